#pragma once
// The pictures a command line names, each with the output the template's
// naming gives it: files as they are, folders for their pictures (the files
// named with a format's ending; their sub-folders too when recursive), the
// output folder's tree mirroring them.
// Pictures that are outputs of other listed pictures are left out, as is
// the output folder inside a tree searched; of several pictures with one
// output only the first is signed.

#include "Lot.h"
#include "ModeleSignature.h"
#include "Repartition.h"

#include <string>
#include <vector>

class ListeTravaux {
public:
    // dossierSortie empty keeps the template's folder choice.
    ListeTravaux(const ModeleSignature& reglages, const std::string& dossierSortie, bool recursif);

    // A file or folder as the user gave it; one that cannot be read becomes
    // a picture refused with the reason.
    void Ajoute(const std::string& chemin);

    // Once everything is added: outputs, left-out pictures and collisions.
    void Termine();

    // After Termine, keeps the shard's share. Every task lists everything,
    // so a collision is settled alike in all of them and each picture,
    // refused ones too, lands in exactly one shard.
    void Partage(const Repartition& repartition);

    struct Collision {
        CString Destination;
        std::vector<CString> Sources; // the first is the one signed
    };
    const std::vector<Travail>& Travaux() const { return m_Travaux; }
    const std::vector<Collision>& Collisions() const { return m_Collisions; }
    // What decides each picture's shard, beside Travaux(): the path below
    // the folder given, or a file's path as written ('/' between names).
    const std::vector<std::string>& Cles() const { return m_Cles; }
    // Why each folder that gave no picture gave none ("DIR: 2 sub-folders,
    // searched only with -r").
    const std::vector<std::string>& SansImage() const { return m_SansImage; }

private:
    struct Source {
        std::string Chemin;      // absolute
        std::string SousDossier; // below the folder the user gave, for the output tree
        std::string Refus;
        std::string Cle;
    };
    void AjouteDossier(const std::string& dossier);
    // The output's path; false when it would land outside its folder.
    bool Destination(const Source& source, CString& destination) const;

    ModeleSignature m_Reglages;
    std::string m_DossierSortie;
    bool m_Recursif;
    std::string m_SortieCanonique; // empty without -o
    std::vector<std::string> m_SansImage;
    std::vector<Source> m_Sources;
    std::vector<Travail> m_Travaux;
    std::vector<std::string> m_Cles;
    std::vector<Collision> m_Collisions;
};
