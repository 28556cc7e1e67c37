#include "DessinStyle.h"

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

// One byte of coverage a pixel, 0 outside.
struct Masque {
    int largeur = 0;
    int hauteur = 0;
    std::vector<std::uint8_t> v;

    Masque(int l, int h) : largeur(l), hauteur(h), v(static_cast<std::size_t>(l) * h) {}
    int At(int x, int y) const
    {
        return x < 0 || y < 0 || x >= largeur || y >= hauteur ? 0 : v[static_cast<std::size_t>(y) * largeur + x];
    }
};

// The glyphs grown by largeur pixels, antialiased over the last one.
// Distances come from a two-pass 5-7-11 chamfer transform (fifths of a
// pixel, within 2 % of the Euclidean distance): two raster scans of adds
// and minimums, whatever the width.
Masque Contour(const Masque& a, int largeur)
{
    const int l = a.largeur, h = a.hauteur;
    // A border of two pixels spares the bounds checks; beyond the outline
    // every distance is the same to us.
    const int pl = l + 4;
    const int plafond = 5 * (largeur + 2);
    std::vector<int> d(static_cast<std::size_t>(pl) * (h + 4), plafond);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < l; ++x)
            if (a.v[static_cast<std::size_t>(y) * l + x] >= 128)
                d[static_cast<std::size_t>(y + 2) * pl + x + 2] = 0;
    // Each scan takes the rows behind it as they are, in one pass over the
    // row the compiler vectorises, then the pixel just behind in sequence.
    std::vector<int> rangs(static_cast<std::size_t>(l));
    const auto balaye = [&](int y, int sens) {
        int* p = d.data() + static_cast<std::size_t>(y + 2) * pl + 2;
        const int* r1 = p - sens * pl;
        const int* r2 = p - 2 * sens * pl;
        for (int x = 0; x < l; ++x)
            rangs[static_cast<std::size_t>(x)] =
                std::min({r1[x - 1] + 7, r1[x] + 5, r1[x + 1] + 7, r2[x - 1] + 11, r2[x + 1] + 11, r1[x - 2] + 11,
                          r1[x + 2] + 11});
        if (sens > 0) {
            for (int x = 0; x < l; ++x)
                p[x] = std::min({p[x], rangs[static_cast<std::size_t>(x)], p[x - 1] + 5});
        } else {
            for (int x = l - 1; x >= 0; --x)
                p[x] = std::min({p[x], rangs[static_cast<std::size_t>(x)], p[x + 1] + 5});
        }
    };
    for (int y = 0; y < h; ++y)
        balaye(y, 1);
    for (int y = h - 1; y >= 0; --y)
        balaye(y, -1);
    Masque o(l, h);
    for (int y = 0; y < h; ++y) {
        const int* p = d.data() + static_cast<std::size_t>(y + 2) * pl + 2;
        for (int x = 0; x < l; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * l + x;
            // Full up to the width, fading over the next pixel (five fifths).
            const int c = std::clamp((5 * (largeur + 1) - p[x]) * 51, 0, 255);
            o.v[i] = std::max<std::uint8_t>(a.v[i], static_cast<std::uint8_t>(c));
        }
    }
    return o;
}

// Three box passes each way: close to a Gaussian of that radius, at a cost
// that does not grow with it. Each pass reads one buffer and writes the
// other, so no pass copies the mask.
void Flou(Masque& m, int rayon)
{
    if (rayon <= 0)
        return;
    const int r = std::max(1, (rayon + 2) / 3);
    const int n = 2 * r + 1;
    // Dividing by n as a multiplication: a division a pixel costs more than the rest.
    const int inverse = ((1 << 16) + n / 2) / n;
    const auto moyenne = [inverse](int somme) {
        return static_cast<std::uint8_t>(std::min(255, (somme * inverse + (1 << 15)) >> 16));
    };
    const int l = m.largeur, h = m.hauteur;
    std::vector<std::uint8_t> passe(m.v.size());
    std::vector<int> sommes(static_cast<std::size_t>(l));
    for (int tour = 0; tour < 3; ++tour) {
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* ligne = m.v.data() + static_cast<std::size_t>(y) * l;
            std::uint8_t* p = passe.data() + static_cast<std::size_t>(y) * l;
            const auto at = [&](int x) { return x < 0 || x >= l ? 0 : int(ligne[x]); };
            int s = 0;
            for (int x = -r; x < r; ++x)
                s += at(x);
            for (int x = 0; x < l; ++x) {
                s += at(x + r);
                p[x] = moyenne(s);
                s -= at(x - r);
            }
        }
        const auto ajoute = [&](int y, int signe) {
            if (y < 0 || y >= h)
                return;
            const std::uint8_t* p = passe.data() + static_cast<std::size_t>(y) * l;
            for (int x = 0; x < l; ++x)
                sommes[static_cast<std::size_t>(x)] += signe * p[x];
        };
        std::fill(sommes.begin(), sommes.end(), 0);
        for (int y = -r; y < r; ++y)
            ajoute(y, 1);
        for (int y = 0; y < h; ++y) {
            ajoute(y + r, 1);
            std::uint8_t* p = m.v.data() + static_cast<std::size_t>(y) * l;
            for (int x = 0; x < l; ++x)
                p[x] = moyenne(sommes[static_cast<std::size_t>(x)]);
            ajoute(y - r, -1);
        }
    }
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

// The layer over g.zone, premultiplied: box, shadow, outline, glyphs.
void Dessine(const Geometrie& g, COLORREF encre, COLORREF fond, int transparent, const Style& style,
             std::vector<std::uint32_t>& pixels)
{
    const QRect& zoneMasque = g.zoneMasque;
    const int contour = g.contour;
    const bool ombre = g.ombre;
    const int dx = g.dx, dy = g.dy;

    Masque a(zoneMasque.width(), zoneMasque.height());
    {
        QImage couverture(a.v.data(), a.largeur, a.hauteur, a.largeur, QImage::Format_Alpha8);
        couverture.fill(0);
        QPainter p(&couverture);
        p.setFont(g.fonte);
        p.setPen(QColor(0, 0, 0, 255));
        p.drawText(g.base - zoneMasque.topLeft(), g.ligne);
    }
    const Masque o = contour > 0 ? Contour(a, contour) : Masque(0, 0);
    Masque s(0, 0);
    if (ombre) {
        s = contour > 0 ? o : a;
        Flou(s, style.OmbreFlou);
    }

    const int opaciteOmbre = (std::clamp(style.OpaciteOmbre, 0, 100) * 255 + 50) / 100;
    const int ox = zoneMasque.left(), oy = zoneMasque.top();
    const auto composantes = [](COLORREF c) { return std::array<int, 3>{GetRValue(c), GetGValue(c), GetBValue(c)}; };
    const std::array<int, 3> cFond = composantes(fond), cOmbre = composantes(style.CouleurOmbre),
                             cContour = composantes(style.CouleurContour), cEncre = composantes(encre);
    const QRect& zone = g.zone;
    pixels.assign(static_cast<std::size_t>(zone.width()) * zone.height(), 0);
    std::uint32_t* sortie = pixels.data();
    for (int py = zone.top(); py <= zone.bottom(); ++py)
        for (int px = zone.left(); px <= zone.right(); ++px, ++sortie) {
            const bool dansBoite = !transparent && g.boite.contains(px, py);
            const int kOmbre = ombre ? (s.At(px - dx - ox, py - dy - oy) * opaciteOmbre + 127) / 255 : 0;
            const int kContour = contour > 0 ? o.At(px - ox, py - oy) : 0;
            const int kEncre = a.At(px - ox, py - oy);
            if (!dansBoite && !kOmbre && !kContour && !kEncre)
                continue;
            // In 255ths; each layer over those below.
            std::array<int, 3> c{0, 0, 0};
            int alpha = 0;
            const auto pose = [&](const std::array<int, 3>& couleur, int k) {
                if (k <= 0)
                    return;
                for (int j = 0; j < 3; ++j)
                    c[j] = (couleur[j] * k + c[j] * (255 - k) + 127) / 255;
                alpha = k + (alpha * (255 - k) + 127) / 255;
            };
            if (dansBoite)
                pose(cFond, 255);
            pose(cOmbre, kOmbre);
            pose(cContour, kContour);
            pose(cEncre, kEncre);
            *sortie = static_cast<std::uint32_t>(alpha) << 24 | static_cast<std::uint32_t>(c[0]) << 16 |
                      static_cast<std::uint32_t>(c[1]) << 8 | static_cast<std::uint32_t>(c[2]);
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

    const int opacite = (std::clamp(style.Opacite, 0, 100) * 255 + 50) / 100;
    const std::uint32_t* source = calque.pixels.data();
    const int largeur = g.zone.width();
    SurLignes(*image, g.zone, [&](std::uint32_t* pixels, int py) {
        const std::uint32_t* rang = source + static_cast<std::size_t>(py - g.zone.top()) * largeur;
        for (int i = 0; i < largeur; ++i) {
            const std::uint32_t v = rang[i];
            const int alpha = static_cast<int>(v >> 24);
            // Nothing there: the blend would give the pixel back.
            if (!alpha)
                continue;
            const std::uint32_t dessous = pixels[i];
            const int reste = 255 * 255 - alpha * opacite;
            const auto canal = [&](int decalage) {
                const int c = static_cast<int>((v >> decalage) & 0xFF);
                const int d = static_cast<int>((dessous >> decalage) & 0xFF);
                return static_cast<std::uint32_t>((c * opacite * 255 + d * reste + 32512) / 65025);
            };
            pixels[i] = canal(16) << 16 | canal(8) << 8 | canal(0);
        }
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
