#include "DessinStyle.h"

#include "MasqueStyle.h"
#include "PixelRows.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int Coordonnee(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2)); }

// Beyond this many pixels around the text, the outline and the shadow are
// left out rather than asking for memory in proportion.
constexpr long long kPixelsEffets = 1LL << 24;

// One pixel of a layer (premultiplied) at opacite 255ths over dessous.
inline std::uint32_t Melange(std::uint32_t v, std::uint32_t dessous, unsigned opacite)
{
    const unsigned alpha = v >> 24;
    const unsigned reste = 255 * 255 - alpha * opacite;
    const auto canal = [&](int decalage) {
        const unsigned c = (v >> decalage) & 0xFF;
        const unsigned d = (dessous >> decalage) & 0xFF;
        return (c * opacite * 255 + d * reste + 32512) / 65025;
    };
    // Nothing there: the pixel stays as it was, its fourth byte included.
    return alpha ? canal(16) << 16 | canal(8) << 8 | canal(0) : dessous;
}

// Calls f(pixels, y) for each row of zone, pixels being 0x00RRGGBB from the
// zone's left edge; pictures of other depths go through a row of 32 bits.
template <class F> void SurLignes(Bitmap& image, const QRect& zone, F f)
{
    std::vector<std::uint32_t> tampon(image.bitsPerPixel() == 32 ? 0 : static_cast<std::size_t>(zone.width()));
    for (int y = zone.top(); y <= zone.bottom(); ++y) {
        if (image.bitsPerPixel() == 32) {
            f(reinterpret_cast<std::uint32_t*>(image.row(y)) + zone.left(), y);
            continue;
        }
        PixelRows::Read(image, zone.left(), y, zone.width(), tampon.data());
        f(tampon.data(), y);
        PixelRows::Write(image, zone.left(), y, zone.width(), tampon.data());
    }
}

} // namespace

namespace {

// Where a styled line of text lies on a picture of a given size, and
// what of it is drawn: shared by the drawing and by Zone.
struct Geometrie {
    QString ligne;
    QFont fonte;
    QRect boite;
    QPoint base;
    QRect zoneMasque; // the masks: glyphs, outline, the shadow before its offset
    QRect zone;       // the pixels changed
    int contour = 0;
    bool ombre = false;
    int dx = 0;
    int dy = 0;
};

// False when nothing is drawn.
bool Place(Geometrie& g, CSize image, const CString& texte, const Position& place, HFONT police, const Style& style)
{
    g.ligne = QString::fromUtf8(texte.data(), static_cast<qsizetype>(texte.size()));
    QFont fonte = police ? police->qfont() : Font(LOGFONT{}).qfont();
    // Placed with the extent the plain text is placed with.
    const QFontMetrics mesure(fonte);
    const int largeurTexte = mesure.horizontalAdvance(g.ligne);
    const int hauteurTexte = mesure.ascent() + mesure.descent();
    long long x = place.point.x;
    if (place.horizontal == 2)
        x = (image.cx - largeurTexte) / 2;
    else if (place.horizontal == 1)
        x -= largeurTexte;
    long long y = place.point.y;
    if (place.vertical == 1)
        y -= hauteurTexte;
    if (g.ligne.isEmpty())
        return false;

    fonte.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    g.fonte = fonte;
    const QFontMetrics metrics(fonte);
    g.contour = style.LargeurContour(fonte.pixelSize() > 0 ? fonte.pixelSize() : hauteurTexte);
    g.ombre = style.OpaciteOmbre > 0;
    const int flou = g.ombre && style.OmbreFlou > 0 ? 3 * std::max(1, (style.OmbreFlou + 2) / 3) : 0;
    g.dx = g.ombre ? style.OmbreX : 0;
    g.dy = g.ombre ? style.OmbreY : 0;
    const long long portee =
        2LL * metrics.height() + 2 + g.contour + flou + std::max(std::abs(g.dx), std::abs(g.dy));
    if (x > image.cx + portee || x + metrics.horizontalAdvance(g.ligne) + portee < 0 || y > image.cy + portee
        || y + hauteurTexte + portee < 0)
        return false;

    g.boite = QRect(Coordonnee(x), Coordonnee(y), metrics.horizontalAdvance(g.ligne),
                    metrics.ascent() + metrics.descent());
    g.base = QPoint(g.boite.left(), g.boite.top() + metrics.ascent());
    // Accents and italics reach past the box; a pixel of antialiasing around.
    const QRect glyphes =
        metrics.boundingRect(g.ligne).translated(g.base).united(g.boite).adjusted(-1, -1, 1, 1);
    const QRect cadre(0, 0, image.cx, image.cy);
    // The masks cover what may reach the picture, shadow included.
    const int marge = std::max(std::abs(g.dx), std::abs(g.dy)) + flou;
    const int bord = g.contour + flou;
    g.zoneMasque = glyphes.adjusted(-bord, -bord, bord, bord).intersected(cadre.adjusted(-marge, -marge, marge, marge));
    if (1LL * g.zoneMasque.width() * g.zoneMasque.height() > kPixelsEffets) {
        g.contour = 0;
        g.ombre = false;
        g.zoneMasque = glyphes.intersected(cadre);
    }
    g.zone = (g.ombre ? g.zoneMasque.united(g.zoneMasque.translated(g.dx, g.dy)) : g.zoneMasque).intersected(cadre);
    return !g.zone.isEmpty() && !g.zoneMasque.isEmpty();
}

} // namespace

namespace {

// A byte x255 rounded, of at most 255 * 255 + 127: exact for all of them,
// and in 16 bits, so eight or more of them a step.
inline std::uint16_t Sur255(unsigned v) { return static_cast<std::uint16_t>((v + 1 + (v >> 8)) >> 8); }

// Row y of m from column x on, count bytes into ligne; 0 where m has none.
void Extrait(const MasqueStyle& m, int x, int y, int count, std::uint8_t* ligne)
{
    std::memset(ligne, 0, static_cast<std::size_t>(count));
    if (y < 0 || y >= m.Hauteur())
        return;
    const int debut = std::max(x, 0), fin = std::min(x + count, m.Largeur());
    if (debut < fin)
        std::memcpy(ligne + (debut - x), m.Ligne(y) + debut, static_cast<std::size_t>(fin - debut));
}

// The layer over g.zone, premultiplied: box, shadow, outline, glyphs.
void Dessine(const Geometrie& g, COLORREF encre, COLORREF fond, int transparent, const Style& style,
             std::vector<std::uint32_t>& pixels)
{
    const QRect& zoneMasque = g.zoneMasque;
    const int contour = g.contour;
    const bool ombre = g.ombre;

    MasqueStyle a(zoneMasque.width(), zoneMasque.height());
    {
        QImage couverture(a.Ligne(0), a.Largeur(), a.Hauteur(), a.Pas(), QImage::Format_Alpha8);
        couverture.fill(0);
        QPainter p(&couverture);
        p.setFont(g.fonte);
        p.setPen(QColor(0, 0, 0, 255));
        p.drawText(g.base - zoneMasque.topLeft(), g.ligne);
    }
    const MasqueStyle o = contour > 0 ? a.Contour(contour) : MasqueStyle();
    MasqueStyle s;
    if (ombre) {
        s = contour > 0 ? o : a;
        s.Floute(style.OmbreFlou);
    }

    const unsigned opaciteOmbre = (std::clamp(style.OpaciteOmbre, 0, 100) * 255 + 50) / 100;
    const auto composantes = [](COLORREF c) {
        return std::array<std::uint16_t, 3>{GetRValue(c), GetGValue(c), GetBValue(c)};
    };
    const std::array<std::uint16_t, 3> cFond = composantes(fond), cOmbre = composantes(style.CouleurOmbre),
                                       cContour = composantes(style.CouleurContour), cEncre = composantes(encre);
    const QRect& zone = g.zone;
    const int largeur = zone.width();
    const int blocs = (largeur + MasqueStyle::kBloc - 1) / MasqueStyle::kBloc * MasqueStyle::kBloc;
    // The three coverages of a row, then the row as drawn, padded to whole blocks.
    std::vector<std::uint8_t> couvertures(3 * static_cast<std::size_t>(blocs));
    std::uint8_t* kOmbres = couvertures.data();
    std::uint8_t* kContours = kOmbres + blocs;
    std::uint8_t* kEncres = kContours + blocs;
    std::vector<std::uint32_t> rang(static_cast<std::size_t>(blocs));
    pixels.resize(static_cast<std::size_t>(largeur) * zone.height());
    const int ox = zone.left() - zoneMasque.left();
    for (int py = zone.top(); py <= zone.bottom(); ++py) {
        const int my = py - zoneMasque.top();
        Extrait(a, ox, my, largeur, kEncres);
        Extrait(o, ox, my, largeur, kContours);
        Extrait(s, ox - g.dx, my - g.dy, largeur, kOmbres);
        int boiteDebut = 0, boiteFin = 0;
        if (!transparent && py >= g.boite.top() && py <= g.boite.bottom()) {
            boiteDebut = std::clamp(g.boite.left() - zone.left(), 0, largeur);
            boiteFin = std::clamp(g.boite.right() + 1 - zone.left(), 0, largeur);
        }
        // Every layer is laid on every pixel: one of no coverage gives the
        // pixel back, so the blocks need no branch.
        for (int x0 = 0; x0 < blocs; x0 += MasqueStyle::kBloc)
            for (int x = x0; x < x0 + MasqueStyle::kBloc; ++x) {
                const bool dansBoite = x >= boiteDebut && x < boiteFin;
                // In 255ths; each layer over those below.
                std::uint16_t c0 = dansBoite ? cFond[0] : 0, c1 = dansBoite ? cFond[1] : 0,
                              c2 = dansBoite ? cFond[2] : 0, alpha = dansBoite ? 255 : 0;
                const auto pose = [&](const std::array<std::uint16_t, 3>& couleur, std::uint16_t k) {
                    const std::uint16_t reste = 255 - k;
                    c0 = Sur255(couleur[0] * k + c0 * reste + 127);
                    c1 = Sur255(couleur[1] * k + c1 * reste + 127);
                    c2 = Sur255(couleur[2] * k + c2 * reste + 127);
                    alpha = static_cast<std::uint16_t>(k + Sur255(alpha * reste + 127));
                };
                pose(cOmbre, Sur255(kOmbres[x] * opaciteOmbre + 127));
                pose(cContour, kContours[x]);
                pose(cEncre, kEncres[x]);
                rang[static_cast<std::size_t>(x)] = static_cast<std::uint32_t>(alpha) << 24 |
                                                    static_cast<std::uint32_t>(c0) << 16 |
                                                    static_cast<std::uint32_t>(c1) << 8 | c2;
            }
        std::memcpy(pixels.data() + static_cast<std::size_t>(py - zone.top()) * largeur, rang.data(),
                    static_cast<std::size_t>(largeur) * sizeof(std::uint32_t));
    }
}

} // namespace

QRect DessinStyle::Zone(CSize image, const CString& texte, const Position& place, HFONT police, const Style& style)
{
    Geometrie g;
    return Place(g, image, texte, place, police, style) ? g.zone : QRect();
}

void DessinStyle::Texte(HBITMAP image, const CString& texte, const Position& place, COLORREF encre, COLORREF fond,
                        int transparent, HFONT police, const Style& style, Calque* memoire)
{
    if (!image)
        return;
    Geometrie g;
    if (!Place(g, CSize(image->width(), image->height()), texte, place, police, style))
        return;
    const QPoint origine = g.zoneMasque.topLeft();
    Calque::Cle cle;
    cle.ligne = g.ligne;
    if (police)
        std::memcpy(cle.police.data(), &police->description(), sizeof(LOGFONT));
    cle.style = style;
    cle.encre = encre;
    cle.fond = fond;
    cle.transparent = transparent;
    cle.masque = g.zoneMasque.size();
    cle.base = g.base - origine;
    cle.boite = g.boite.translated(-origine);
    cle.zone = g.zone.translated(-origine);
    Calque local;
    Calque& calque = memoire ? *memoire : local;
    if (!calque.valide || !(calque.cle == cle)) {
        calque.valide = false;
        Dessine(g, encre, fond, transparent, style, calque.pixels);
        calque.cle = std::move(cle);
        calque.valide = true;
    }

    const unsigned opacite = (std::clamp(style.Opacite, 0, 100) * 255 + 50) / 100;
    const std::uint32_t* source = calque.pixels.data();
    const int largeur = g.zone.width();
    SurLignes(*image, g.zone, [&](std::uint32_t* pixels, int py) {
        const std::uint32_t* rang = source + static_cast<std::size_t>(py - g.zone.top()) * largeur;
        for (int i = 0; i < largeur; ++i)
            pixels[i] = Melange(rang[i], pixels[i], opacite);
    });
}

void DessinStyle::Logo(HBITMAP image, HBITMAP logo, const std::uint8_t* alpha, CPoint point, int opacite)
{
    if (!image || !logo)
        return;
    const QRect place(point.x, point.y, logo->width(), logo->height());
    const QRect zone = place.intersected(QRect(0, 0, image->width(), image->height()));
    if (zone.isEmpty())
        return;
    const int a = std::clamp(opacite, 0, 100) * 255 / 100;
    const std::size_t w = static_cast<std::size_t>(zone.width());
    std::vector<std::uint32_t> dessous(w), dessus(w);
    for (int y = zone.top(); y <= zone.bottom(); ++y) {
        const int ly = y - place.top();
        const int lx = zone.left() - place.left();
        PixelRows::Read(*image, zone.left(), y, zone.width(), dessous.data());
        PixelRows::Read(*logo, lx, ly, zone.width(), dessus.data());
        const std::uint8_t* couverture =
            alpha ? alpha + static_cast<std::size_t>(ly) * logo->width() + lx : nullptr;
        for (std::size_t i = 0; i < w; ++i) {
            const int k = couverture ? (a * couverture[i] + 127) / 255 : a;
            std::uint32_t v = 0;
            for (int c = 0; c < 24; c += 8) {
                const int d = (dessous[i] >> c) & 0xFF;
                const int s = (dessus[i] >> c) & 0xFF;
                v |= static_cast<std::uint32_t>((s * k + d * (255 - k) + 127) / 255) << c;
            }
            dessous[i] = v;
        }
        PixelRows::Write(*image, zone.left(), y, zone.width(), dessous.data());
    }
}
