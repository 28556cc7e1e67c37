#include "CouchesSignature.h"

#include <utility>

CoucheTexte CouchesSignature::Texte(const ModeleSignature& reglages, HFONT police)
{
    CoucheTexte texte;
    texte.Texte = reglages.Texte;
    texte.Police = police;
    texte.Encre = reglages.CouleurEncre;
    texte.Fond = reglages.CouleurFond;
    texte.Transparent = reglages.FondTransparent;
    texte.Place = reglages.EmplacementTexte;
    texte.Rendu = reglages.StyleTexte;
    return texte;
}

CoucheLogo CouchesSignature::Logo(const ModeleSignature& reglages, const CString& chemin, HBITMAP image,
                                  std::vector<std::uint8_t> alpha)
{
    CoucheLogo logo;
    logo.Place = reglages.EmplacementLogo;
    logo.Rendu = reglages.StyleLogo;
    if (!image)
        return logo;
    logo.Logo = chemin;
    logo.Image = image;
    logo.Alpha = std::move(alpha);
    CGraphique::RecupereInfosImage(image, logo.Taille, nullptr);
    return logo;
}
