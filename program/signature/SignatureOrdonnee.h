#pragma once
// The desktop's run engine: the list's pictures signed one after the other
// in its order, each asked about and written on the calling thread while
// the next two load and sign on threads of their own (one a core, loading
// being the longer half). Outputs are named on the calling thread, since
// naming depends on the sources that came before. Everything the user sees
// (progress, questions, errors) goes through the caller's callbacks, in the
// order a run on one thread would show it.

#include "Anticipation.h"
#include "EtapeSignature.h"
#include "ModeleSignature.h"
#include "NomSortie.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <QString>

class SignatureOrdonnee {
public:
    // The answers to "the output exists" (the question dialog's numbers).
    enum Reponse { Aucune = 0, Ecraser = 1, Renommer = 2, ToutEcraser = 3, Passer = 4, ToutPasser = 5 };
    // What became of one picture of the run. Endommagee: signed as far as
    // its damaged data could be read.
    enum class Issue { Signee, Passee, Echec, Arretee, Endommagee };
    // What the run has done so far, for its closing summary.
    struct Bilan {
        int Signees = 0; // damaged ones too
        int Passees = 0;
        std::vector<CString> Echecs; // in the list's order
        std::vector<CString> Endommagees;
    };

    struct Rappels {
        // The file of the list's row index now, nothing past its end: the
        // list may change while the run waits for the user.
        std::function<std::optional<CString>(int index)> Source;
        // One progress step; true when the run must end here.
        std::function<bool(int numero, const CString& fichier, const CString& operation)> Etape;
        // The output exists: the answer, with sortie changed by "Rename" and
        // arret set by "Stop".
        std::function<int(CString& sortie, int& arret)> Question;
        // The output is a picture of the list (its own source or another):
        // IDYES replaces that original, IDNO passes the picture, IDCANCEL
        // stops the run. Asked for each such output, whatever came before.
        std::function<int(const CString& sortie)> QuestionOriginal;
        // A picture did not load, raison being what its reader said: true
        // to go on with the next picture, false to end the run.
        std::function<bool(const CString& source, const CString& raison)> EchecChargement;
        // A write failed, or was refused for an output that would land
        // outside its folder: true to go on with the next picture.
        std::function<bool(const CString& sortie)> EchecEcriture;
        // The program is closing under the run: nothing more is written.
        std::function<bool()> Interrompu;
    };

    SignatureOrdonnee(const ModeleSignature& reglages, Rappels rappels);
    // Pictures started for a run that ended before them are not written.
    ~SignatureOrdonnee();
    SignatureOrdonnee(const SignatureOrdonnee&) = delete;
    SignatureOrdonnee& operator=(const SignatureOrdonnee&) = delete;

    // Signs the file of row index into its output.
    Issue SigneFichier(int index, const CString& source);
    // Set by a step the user stopped, "Stop" after a failed load, or "Stop" in a question.
    bool Arrete() const { return m_Arret != 0; }
    const Bilan& Resultats() const { return m_Bilan; }

private:
    static constexpr int kEnMain = 3;
    static constexpr const char* kEtapeChargement = "*** File Loading ***";
    static constexpr const char* kEtapePreparation = "*** File Setup ***";

    EtapeSignature& Signataire(int index) { return *m_Etapes[static_cast<std::size_t>(index % kEnMain)]; }
    Anticipation& Suivante(int index) { return m_Suivantes[static_cast<std::size_t>(index % kEnMain)]; }
    bool Etape(int numero, const CString& fichier, const CString& operation);
    void Anticipe(int index);
    // Whether writing sortie would replace a picture of the list.
    bool EstOriginal(const CString& sortie) const;
    // What to do with an existing output: true to write it.
    bool Ecrire(CString& sortie);
    Issue Compte(Issue issue, const CString& source);

    Rappels m_Rappels;
    NomSortie m_Nommage;
    // The list's pictures when the run started, by their real paths: the
    // view is disabled meanwhile, so the list can only lose rows.
    std::set<QString> m_Originaux;
    // The settings as they were when the run started do the work, the
    // pictures going round the steps so that each is in one thread's hands
    // at a time.
    std::array<std::unique_ptr<EtapeSignature>, kEnMain> m_Etapes;
    // After the steps: they end before them, whatever ends the run.
    std::array<Anticipation, kEnMain> m_Suivantes;
    int m_Arret = 0;
    int m_Reponse = Aucune;
    Bilan m_Bilan;
};
