#include "CouchesSignature.h"

#include "codecs/RapportCodec.h"
#include "codecs/RegistreFormats.h"
#include "image/LogoSvg.h"

#include <memory>
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
    // At its own size the image is the drawing: only a relative size
    // needs the file again.
    const RegistreFormats::Format* format = logo.Rendu.TailleRelative > 0 ? RegistreFormats::Logo(chemin) : nullptr;
    if (!format || format->Id != RegistreFormats::Genre::Svg)
        return logo;
    // The loader has told what it had to say of this file already.
    RapportCodec rapport;
    auto dessin = std::make_shared<LogoSvg>(LogoSvg::Ouvre(chemin, rapport));
    // A file changed since image was loaded from it is not image's drawing.
    if (dessin->Valide() && dessin->TailleIntrinseque() == logo.Taille)
        logo.Dessin = std::move(dessin);
    return logo;
}
