#include "Composition.h"

#include "ContexteEcran.h"
#include "DessinStyle.h"
#include "LogoAlpha.h"
#include "MemoryContext.h"

HBITMAP Composition::Compose(HBITMAP picture, const CoucheTexte& texte, const CoucheLogo& logo)
{
    CSize size;
    CGraphique::RecupereInfosImage(picture, size, nullptr);
    HBITMAP copy;
    {
        ContexteEcran dc;
        copy = CGraphique::RedimensionneImage(dc, picture, size, 1);
    }
    if (copy)
        SigneSurPlace(copy, texte, logo);
    return copy;
}

void Composition::SigneSurPlace(HBITMAP picture, const CoucheTexte& texte, const CoucheLogo& logo)
{
    CSize size;
    CGraphique::RecupereInfosImage(picture, size, nullptr);
    MemoryContext dc(nullptr, picture);
    const Position t = PlaceTexte(texte.Rendu.EmplacementPour(texte.Place, size), size);
    // A relative size is a font of its own for this picture.
    HFONT police = texte.Police;
    HFONT miseAEchelle = nullptr;
    if (const int hauteur = texte.Rendu.HauteurTexte(size); hauteur > 0 && police) {
        LOGFONT description = police->description();
        description.lfHeight = -hauteur;
        police = miseAEchelle = CreateFontIndirect(&description);
    }
    if (texte.Rendu.TexteSimple())
        CGraphique::DessineTexte(dc, size.cx, texte.Texte, t.point, t.vertical, t.horizontal, texte.Encre,
                                 texte.Fond, texte.Transparent, police);
    else
        DessinStyle::Texte(picture, texte.Texte, t, texte.Encre, texte.Fond, texte.Transparent, police, texte.Rendu);
    if (miseAEchelle)
        DeleteObject(miseAEchelle);
    // The logo lies over the text.
    if (!logo.Logo.empty() && logo.Image) {
        CSize logoSize;
        CGraphique::RecupereInfosImage(logo.Image, logoSize, nullptr);
        // Resampled for each picture: pictures of a run differ in size.
        HBITMAP pose = logo.Image;
        HBITMAP redimensionne = nullptr;
        CSize taille = logo.Taille;
        const std::uint8_t* alpha = logo.Alpha.empty() ? nullptr : logo.Alpha.data();
        std::vector<std::uint8_t> alphaRedimensionne;
        if (const CSize voulue = logo.Rendu.TailleLogo(size, logoSize); voulue != logoSize) {
            if (alpha) {
                redimensionne = LogoAlpha::Redimensionne(logo.Image, logo.Alpha, voulue, alphaRedimensionne);
                alpha = redimensionne ? alphaRedimensionne.data() : alpha;
            } else {
                ContexteEcran ecran;
                redimensionne = CGraphique::RedimensionneImage(ecran, logo.Image, voulue, 0);
            }
            if (redimensionne) {
                pose = redimensionne;
                taille = logoSize = voulue;
            }
        }
        const Position l = PlaceLogo(logo.Rendu.EmplacementPour(logo.Place, size), size, taille);
        // Transparency blends (straight colours weighed by their coverage: the
        // premultiplied blend); an opaque logo is copied as it always was.
        if (logo.Rendu.Opacite < 100 || alpha) {
            DessinStyle::Logo(picture, pose, alpha, l.point, logo.Rendu.Opacite);
        } else {
            MemoryContext source(nullptr, pose);
            BitBlt(dc, l.point.x, l.point.y, logoSize.cx, logoSize.cy, source, 0, 0, SRCCOPY);
        }
        if (redimensionne)
            DeleteObject(redimensionne);
    }
}

CSize Composition::TailleApercu(CSize picture, CSize area)
{
    if (picture.cx > area.cx || picture.cy > area.cy)
        return CGraphique::ConservationProportion(picture, area);
    return picture;
}

HBITMAP Composition::Apercu(HBITMAP signedPicture, HBITMAP background, CSize area, CSize* size)
{
    CSize picture;
    CGraphique::RecupereInfosImage(signedPicture, picture, nullptr);
    const CSize reduced = TailleApercu(picture, area);
    if (size)
        *size = reduced;
    HBITMAP small;
    {
        ContexteEcran dc;
        small = CGraphique::RedimensionneImage(dc, signedPicture, reduced, 1);
    }
    if (!small)
        return nullptr;
    HBITMAP preview;
    {
        ContexteEcran dc;
        preview = CGraphique::FusionneImage(dc, background, small,
                                            CPoint((area.cx - reduced.cx) / 2, (area.cy - reduced.cy) / 2));
    }
    DeleteObject(small);
    return preview;
}
