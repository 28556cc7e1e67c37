#pragma once
// What the signing benches sign: twenty photographs at 12 MP and twenty at
// 2 MP drawn into a folder, a logo, and the template's settings (a white
// text at the bottom right, the logo above it).

#include "ModeleSignature.h"

#include "Photographie.h"

#include <QDir>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace JeuSignature {

constexpr int kQualiteSource = 90;
constexpr int kQualite = 85; // the template's
constexpr int kPhotos = 20;
constexpr const char* kTexte = "Signed with Tamparo2 - 2024";

struct Jeu {
    const char* nom;
    int largeur;
    int hauteur;
    std::vector<std::string> fichiers;
};

// Both sets drawn under racine; false when a file cannot be written.
inline bool FaitPhotos(const std::string& racine, std::vector<Jeu>& jeux)
{
    jeux = {{"12 MP", 4000, 3000, {}}, {"2 MP", 1600, 1200, {}}};
    for (Jeu& jeu : jeux) {
        const std::string dossier = racine + jeu.nom + "/";
        QDir().mkpath(QString::fromStdString(dossier));
        for (int i = 0; i < kPhotos; ++i) {
            char nom[32];
            std::snprintf(nom, sizeof nom, "photo%02d.jpg", i);
            if (!Photographie(jeu.largeur, jeu.hauteur, 1000u + unsigned(i)).Ecrit(dossier + nom, kQualiteSource))
                return false;
            jeu.fichiers.push_back(dossier + nom);
        }
    }
    return true;
}

// The logo written at logo; the settings name it as given.
inline bool Modele(const std::string& logo, const std::string& nomLogo, ModeleSignature& modele)
{
    modele.Texte = kTexte;
    modele.Fonte.lfHeight = -48;
    modele.Fonte.lfWeight = FW_BOLD;
    std::strcpy(modele.Fonte.lfFaceName, "DejaVu Sans");
    modele.CouleurEncre = RGB(255, 255, 255);
    modele.FondTransparent = 1;
    // Both at the bottom right (the placement's default), the logo above the text.
    modele.Logo = nomLogo.c_str();
    modele.EmplacementLogo.PositionAutomatiqueDeltaY = 70;
    modele.QualiteJPEG = kQualite;
    return Photographie(240, 120, 7).Ecrit(logo, 90);
}

} // namespace JeuSignature
