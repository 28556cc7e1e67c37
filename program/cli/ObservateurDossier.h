#pragma once
// The kernel's notes (inotify) of what changes in a folder, or a folder
// tree: files written, closed or moved in, folders made, and the queue
// running over. The notes only wake the caller; what a file holds is
// still to be checked.

#include <map>
#include <string>
#include <vector>

class ObservateurDossier {
public:
    enum class Genre {
        Ecriture,   // a file created or written to: its writer may not be done
        Fermeture,  // a file closed after writing, or moved in whole
        Dossier,    // a sub-folder appeared (now watched): its content is unknown
        Debordement // notes were lost: the whole tree is unknown
    };
    struct Evenement {
        Genre Type;
        std::string Chemin; // empty for Debordement
    };

    // exclu: a folder never watched, nor anything below it (a canonical
    // path; empty for none).
    ObservateurDossier(bool recursif, std::string exclu);
    ~ObservateurDossier();
    ObservateurDossier(const ObservateurDossier&) = delete;
    ObservateurDossier& operator=(const ObservateurDossier&) = delete;

    // Watches dossier, with its sub-folders when recursive. False when the
    // kernel refused a watch (no inotify, its limit reached): from then on
    // the tree is not Complet() and the caller must look for itself.
    bool Observe(const std::string& dossier);
    bool Complet() const { return m_Complet; }

    // What poll() waits on; -1 before Observe or without inotify.
    int Descripteur() const { return m_Descripteur; }

    // The notes queued since the last call; never waits.
    std::vector<Evenement> Lit();

private:
    bool Ajoute(const std::string& dossier);
    void Interprete(const char* octets, std::size_t taille, std::vector<Evenement>& evenements);

    bool m_Recursif;
    std::string m_Exclu;
    int m_Descripteur = -1;
    bool m_Complet = true;
    std::map<int, std::string> m_Dossiers; // watch descriptor -> folder
};
