#include "Composition.h"

#include "ContexteEcran.h"
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
    const Position t = PlaceTexte(texte.Place, size);
    CGraphique::DessineTexte(dc, size.cx, texte.Texte, t.point, t.vertical, t.horizontal, texte.Encre, texte.Fond,
                             texte.Transparent, texte.Police);
    // The logo is opaque and lies over the text.
    if (!logo.Logo.empty() && logo.Image) {
        CSize logoSize;
        CGraphique::RecupereInfosImage(logo.Image, logoSize, nullptr);
        const Position l = PlaceLogo(logo.Place, size, logo.Taille);
        MemoryContext source(nullptr, logo.Image);
        BitBlt(dc, l.point.x, l.point.y, logoSize.cx, logoSize.cy, source, 0, 0, SRCCOPY);
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
