#pragma once
// tamparo2-cli --watch: a folder whose pictures are signed as they appear,
// each once its writer is done, named and signed as a run over the folder
// would, until SIGINT or SIGTERM.

#include "Lot.h"
#include "Manifeste.h"
#include "ModeleSignature.h"
#include "ObservateurDossier.h"
#include "OptionsCli.h"
#include "Progression.h"

#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class ListeTravaux;

class DossierSurveille {
public:
    DossierSurveille(const OptionsCli& options, const ModeleSignature& reglages, const std::string& dossierLogo);
    ~DossierSurveille();

    // Why these options cannot watch a folder; empty when they can.
    static std::string Refus(const OptionsCli& options);

    // Signs the pictures of depart (the folder listed at start) first, then
    // those that appear, until a signal. The exit status: 0; 1 when a
    // picture failed and was not signed since, the manifest lost a record
    // or the wait failed; 2 when the manifest may not be written.
    int Execute(const ListeTravaux& depart, int travailleurs);

private:
    using Horloge = std::chrono::steady_clock;
    // What stat says of a file: a writer still at work changes it.
    struct Empreinte {
        std::int64_t Taille = -1;
        std::timespec Modifie{};
        bool operator==(const Empreinte& autre) const;
    };
    // A picture seen but not yet taken.
    struct Attente {
        Empreinte Vue;
        Horloge::time_point Quand;
        int Stables = 0;        // polls that found it unchanged in a row
        bool Ecriture = false;  // written to since its last close
        bool Fermee = false;    // closed or moved in after its last write
        bool AuDepart = false;  // there when the watch began
    };

    static bool Lit(const std::string& chemin, Empreinte& empreinte);
    ListeTravaux Liste() const;
    // A file that may be a picture to sign, with the kernel's note about it.
    void Admet(const std::string& chemin, bool auDepart,
               std::optional<ObservateurDossier::Genre> note = std::nullopt);
    void Releve();
    // Polls the pictures waiting and signs those written whole.
    void Pas();
    void Signe(const std::set<std::string>& prets);
    void Rapporte(const CompteRendu& compte);

    OptionsCli m_Options;
    ModeleSignature m_Reglages;
    std::string m_DossierLogo;
    std::string m_Racine;         // the folder watched, absolute
    std::string m_CheminManifeste;
    std::unique_ptr<ObservateurDossier> m_Observateur;
    std::unique_ptr<Lot> m_Lot;
    Manifeste m_Manifeste;
    Progression m_Progression;
    bool m_Releve = true;         // the folder must be listed again
    std::map<std::string, Attente> m_Attentes;
    std::set<std::string> m_Faites;                  // never taken again this session
    std::map<std::string, Empreinte> m_Echouees;     // taken again only once changed
    std::map<std::string, std::string> m_Ecrites;    // output -> its source, this session
    std::size_t m_Signes = 0;
    std::size_t m_Passes = 0;
    int m_Numero = 1;             // the {counter} of the next picture, across batches
    bool m_Defaut = false;        // a record lost, or the watch ended on an error
    Horloge::time_point m_Debut;
};
