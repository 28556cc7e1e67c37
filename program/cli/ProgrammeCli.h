#pragma once
// tamparo2-cli from its arguments to its exit status: the template or the
// stored settings, the listing, then the dry run or the run on the workers
// with its progress, its record and its summary; or the totals of the
// manifests of earlier runs; or a folder watched.

#include "OptionsCli.h"

#include <string>
#include <vector>

class ListeTravaux;
struct ModeleSignature;

class ProgrammeCli {
public:
    static constexpr int kSucces = 0;
    static constexpr int kEchecs = 1;
    static constexpr int kUsage = 2;

    // The arguments after the program's name. Needs a Gui application
    // object (fonts), no widgets.
    static int Execute(const std::vector<std::string>& arguments);
    // A message on the standard error, after the program's name.
    static void Erreur(const std::string& texte);

private:
    explicit ProgrammeCli(OptionsCli options) : m_Options(std::move(options)) {}
    int Lance();
    bool LitListe();
    int Simule(const ListeTravaux& liste) const;
    int Signe(const ListeTravaux& liste, const ModeleSignature& reglages, const std::string& dossierLogo,
              const std::string& cheminManifeste);
    int Travailleurs(const ListeTravaux& liste) const;
    static int Refuse(const std::string& raison);
    // --summary: the manifests' totals on the standard output.
    static int Resume(const std::vector<std::string>& manifestes);

    OptionsCli m_Options;
};
