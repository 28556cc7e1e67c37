#pragma once
// The totals of a run's manifests, one per shard: pictures signed, passed
// and failed, and which failed with why. A picture recorded more than once
// (a task run again into another manifest) counts once, by its best outcome;
// pictures are told apart by their path's exact bytes.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class Bilan {
public:
    struct Enregistrement {
        std::string Source; // exact bytes
        std::string Destination;
        std::string Statut; // ok, skipped or failed
        std::string Erreur;
    };
    // One line as Manifeste writes it, or wrote it before paths carried
    // their bytes (any JSON spacing, any key order); false when it is not
    // such a record.
    static bool LitLigne(std::string_view ligne, Enregistrement& enregistrement);

    // False, with the reason in Erreur, when the file cannot be read. Lines
    // that are no record are listed in Illisibles() and otherwise passed.
    bool Ajoute(const std::string& chemin);
    // No line at all in the manifests added: totals of nothing would read
    // as a run where nothing failed. A shard that got no picture leaves an
    // empty manifest, so only all of them empty is told.
    bool Vide() const { return m_Enregistrements == 0 && m_Illisibles.empty(); }
    std::string Erreur;

    std::size_t Signes() const { return Compte(kSigne); }
    std::size_t Passes() const { return Compte(kPasse); }
    std::size_t Echecs() const { return Compte(kEchec); }
    const std::vector<std::string>& Illisibles() const { return m_Illisibles; } // "file:line"

    // The totals, then each failed picture with its error, by source.
    std::string Texte() const;

private:
    // Ranks: a later better outcome replaces an earlier worse one.
    static constexpr int kEchec = 0;
    static constexpr int kPasse = 1;
    static constexpr int kSigne = 2;
    struct Issue {
        int Rang;
        std::string Erreur;
    };
    std::size_t Compte(int rang) const;

    std::map<std::string, Issue> m_Images;
    std::size_t m_Manifestes = 0;
    std::size_t m_Enregistrements = 0;
    std::vector<std::string> m_Illisibles;
};
