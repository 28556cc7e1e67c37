#pragma once
// A run of the signing step over many pictures on several workers. Each
// worker has its own step (toolbox, font, logo) and takes the next picture
// not yet started; workers share only the position in the list. When the
// machine has two cores for each worker, a streamed picture's encoding
// runs on the second.

#include "EtapeSignature.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One picture of the run.
struct Travail {
    CString Source;
    CString Destination;
    // Set when the listing already knows the picture cannot be signed.
    std::string Refus;
    // The output is a picture of the list, its own source or another's:
    // writing it would replace an original.
    bool SurSource = false;
};

// What became of one picture.
struct CompteRendu {
    enum class Statut { Signe, Passe, Echec };
    const Travail* Objet = nullptr;
    Statut Etat = Statut::Echec;
    std::string Erreur; // why it failed, or why it was passed when that is worth saying
    std::string Avertissement; // what is wrong with a picture signed all the same
    std::int64_t Millisecondes = 0;
};

class Lot {
public:
    // Why a picture whose output is an original was passed.
    static constexpr const char* kSurSource = "the output is a picture of the list; --in-place replaces it";
    // Before the decoder's words, for a picture it had to patch over.
    static constexpr const char* kEndommagee = "damaged: ";

    enum class Ecrasement {
        Jamais,  // an existing output is left as it is and the picture passed
        Toujours // replaced, atomically
    };

    // Builds the workers' steps on the calling thread.
    Lot(const ModeleSignature& reglages, const std::string& dossierLogo, int travailleurs, Ecrasement ecrasement);
    ~Lot();

    int Travailleurs() const { return static_cast<int>(m_Etapes.size()); }
    // A worker's step, for what they all share (the logo found or not).
    const EtapeSignature& Etape(int index) const { return *m_Etapes.at(static_cast<std::size_t>(index)); }

    // By default a damaged picture (cut short, corrupt data) fails and no
    // output is written from it; accepted, it is signed as far as it could
    // be read, with a warning.
    void AccepteEndommagees(bool oui) { m_AccepteEndommagees = oui; }

    // Signs travaux and returns when every worker has stopped. Once arret
    // is not 0 no picture starts; those in hand are finished. rapport is
    // called on the worker's thread after each picture, one call at a time.
    // The pictures are numbered (the text's {counter}) from premier on: a
    // run that signs in several batches goes on counting.
    void Execute(const std::vector<Travail>& travaux, const std::atomic<int>& arret,
                 const std::function<void(const CompteRendu&)>& rapport, int premier = 1);

private:
    // numero: the picture's place in the run, from 1.
    CompteRendu Traite(EtapeSignature& etape, const Travail& travail, int numero) const;

    std::vector<std::unique_ptr<EtapeSignature>> m_Etapes;
    Ecrasement m_Ecrasement;
    bool m_AccepteEndommagees = false;
};
