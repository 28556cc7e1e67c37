#include "Composition.h"

namespace {

// Each image operation gets a context taken just before it and released after.
class ScreenContext {
public:
    ScreenContext() : m_dc(GetDC(nullptr)) {}
    ~ScreenContext() { ReleaseDC(nullptr, m_dc); }
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
};

} // namespace

HBITMAP Composition::Compose(CGraphique& graphique, HBITMAP picture, const CoucheTexte& texte,
                             const CoucheLogo& logo)
{
    CSize size;
    CGraphique::RecupereInfosImage(picture, size, nullptr);
    const Position t = PlaceTexte(texte.Place, size);
    HBITMAP result;
    {
        ScreenContext dc;
        result = graphique.EcritureTexteDansImage(dc, picture, texte.Texte, t.point, t.vertical, t.horizontal,
                                                  texte.Encre, texte.Fond, texte.Transparent, texte.Police);
    }
    if (!result || logo.Logo.empty() || !logo.Image)
        return result;
    const Position l = PlaceLogo(logo.Place, size, logo.Taille);
    HBITMAP merged;
    {
        ScreenContext dc;
        merged = CGraphique::FusionneImage(dc, result, logo.Image, l.point);
    }
    DeleteObject(result);
    return merged;
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
        ScreenContext dc;
        small = CGraphique::RedimensionneImage(dc, signedPicture, reduced, 1);
    }
    if (!small)
        return nullptr;
    HBITMAP preview;
    {
        ScreenContext dc;
        preview = CGraphique::FusionneImage(dc, background, small,
                                            CPoint((area.cx - reduced.cx) / 2, (area.cy - reduced.cy) / 2));
    }
    DeleteObject(small);
    return preview;
}
