#include "DessinStyle.h"

#include "PixelRows.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
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
    const std::ptrdiff_t voisins[] = {-1, -pl - 1, -pl, -pl + 1, -2 * pl - 1, -2 * pl + 1, -pl - 2, -pl + 2};
    const int couts[] = {5, 7, 5, 7, 11, 11, 11, 11};
    for (int y = 0; y < h; ++y) {
        int* p = d.data() + static_cast<std::size_t>(y + 2) * pl + 2;
        for (int x = 0; x < l; ++x, ++p)
            if (*p)
                for (int k = 0; k < 8; ++k)
                    *p = std::min(*p, p[voisins[k]] + couts[k]);
    }
    for (int y = h - 1; y >= 0; --y) {
        int* p = d.data() + static_cast<std::size_t>(y + 2) * pl + 2 + l - 1;
        for (int x = l - 1; x >= 0; --x, --p)
            if (*p)
                for (int k = 0; k < 8; ++k)
                    *p = std::min(*p, p[-voisins[k]] + couts[k]);
    }
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
// that does not grow with it.
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
    std::vector<std::uint8_t> ligne(static_cast<std::size_t>(l));
    std::vector<int> sommes(static_cast<std::size_t>(l));
    for (int passe = 0; passe < 3; ++passe) {
        for (int y = 0; y < h; ++y) {
            std::uint8_t* p = m.v.data() + static_cast<std::size_t>(y) * l;
            std::copy(p, p + l, ligne.begin());
            const auto at = [&](int x) { return x < 0 || x >= l ? 0 : int(ligne[static_cast<std::size_t>(x)]); };
            int s = 0;
            for (int x = -r; x < r; ++x)
                s += at(x);
            for (int x = 0; x < l; ++x) {
                s += at(x + r);
                p[x] = moyenne(s);
                s -= at(x - r);
            }
        }
        const std::vector<std::uint8_t> copie = m.v;
        const auto ajoute = [&](int y, int signe) {
            if (y < 0 || y >= h)
                return;
            const std::uint8_t* p = copie.data() + static_cast<std::size_t>(y) * l;
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

void DessinStyle::Texte(HBITMAP image, const CString& texte, const Position& place, COLORREF encre, COLORREF fond,
                        int transparent, HFONT police, const Style& style)
{
    if (!image)
        return;
    const QString ligne = QString::fromUtf8(texte.data(), static_cast<qsizetype>(texte.size()));
    QFont fonte = police ? police->qfont() : Font(LOGFONT{}).qfont();
    // Placed with the extent the plain text is placed with.
    const QFontMetrics mesure(fonte);
    const int largeurTexte = mesure.horizontalAdvance(ligne);
    const int hauteurTexte = mesure.ascent() + mesure.descent();
    long long x = place.point.x;
    if (place.horizontal == 2)
        x = (image->width() - largeurTexte) / 2;
    else if (place.horizontal == 1)
        x -= largeurTexte;
    long long y = place.point.y;
    if (place.vertical == 1)
        y -= hauteurTexte;
    if (ligne.isEmpty())
        return;

    fonte.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    const QFontMetrics metrics(fonte);
    int contour = style.LargeurContour(fonte.pixelSize() > 0 ? fonte.pixelSize() : hauteurTexte);
    bool ombre = style.OpaciteOmbre > 0;
    const int flou = ombre && style.OmbreFlou > 0 ? 3 * std::max(1, (style.OmbreFlou + 2) / 3) : 0;
    const int dx = ombre ? style.OmbreX : 0;
    const int dy = ombre ? style.OmbreY : 0;
    const long long portee = 2LL * metrics.height() + 2 + contour + flou + std::max(std::abs(dx), std::abs(dy));
    if (x > image->width() + portee || x + metrics.horizontalAdvance(ligne) + portee < 0 ||
        y > image->height() + portee || y + hauteurTexte + portee < 0)
        return;

    const QRect boite(Coordonnee(x), Coordonnee(y), metrics.horizontalAdvance(ligne),
                      metrics.ascent() + metrics.descent());
    const QPoint base(boite.left(), boite.top() + metrics.ascent());
    // Accents and italics reach past the box; a pixel of antialiasing around.
    const QRect glyphes = metrics.boundingRect(ligne).translated(base).united(boite).adjusted(-1, -1, 1, 1);
    const QRect cadre(0, 0, image->width(), image->height());
    // The masks cover what may reach the picture, shadow included.
    const int marge = std::max(std::abs(dx), std::abs(dy)) + flou;
    QRect zoneMasque = glyphes.adjusted(-contour - flou, -contour - flou, contour + flou, contour + flou)
                           .intersected(cadre.adjusted(-marge, -marge, marge, marge));
    if (1LL * zoneMasque.width() * zoneMasque.height() > kPixelsEffets) {
        contour = 0;
        ombre = false;
        zoneMasque = glyphes.intersected(cadre);
    }
    const QRect zone = (ombre ? zoneMasque.united(zoneMasque.translated(dx, dy)) : zoneMasque).intersected(cadre);
    if (zone.isEmpty() || zoneMasque.isEmpty())
        return;

    Masque a(zoneMasque.width(), zoneMasque.height());
    {
        QImage couverture(a.v.data(), a.largeur, a.hauteur, a.largeur, QImage::Format_Alpha8);
        couverture.fill(0);
        QPainter p(&couverture);
        p.setFont(fonte);
        p.setPen(QColor(0, 0, 0, 255));
        p.drawText(base - zoneMasque.topLeft(), ligne);
    }
    const Masque o = contour > 0 ? Contour(a, contour) : Masque(0, 0);
    Masque s(0, 0);
    if (ombre) {
        s = contour > 0 ? o : a;
        Flou(s, style.OmbreFlou);
    }

    const int opacite = (std::clamp(style.Opacite, 0, 100) * 255 + 50) / 100;
    const int opaciteOmbre = (std::clamp(style.OpaciteOmbre, 0, 100) * 255 + 50) / 100;
    const int ox = zoneMasque.left(), oy = zoneMasque.top();
    const auto composantes = [](COLORREF c) { return std::array<int, 3>{GetRValue(c), GetGValue(c), GetBValue(c)}; };
    const std::array<int, 3> cFond = composantes(fond), cOmbre = composantes(style.CouleurOmbre),
                             cContour = composantes(style.CouleurContour), cEncre = composantes(encre);
    SurLignes(*image, zone, [&](std::uint32_t* pixels, int py) {
        for (int i = 0; i < zone.width(); ++i) {
            const int px = zone.left() + i;
            const bool dansBoite = !transparent && boite.contains(px, py);
            const int kOmbre = ombre ? (s.At(px - dx - ox, py - dy - oy) * opaciteOmbre + 127) / 255 : 0;
            const int kContour = contour > 0 ? o.At(px - ox, py - oy) : 0;
            const int kEncre = a.At(px - ox, py - oy);
            if (!dansBoite && !kOmbre && !kContour && !kEncre)
                continue;
            // The layer at this pixel, premultiplied, in 255ths: box, shadow, outline, glyphs.
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
            const std::uint32_t dessous = pixels[i];
            const int reste = 255 * 255 - alpha * opacite;
            const auto canal = [&](int j, int decalage) {
                const int d = static_cast<int>((dessous >> decalage) & 0xFF);
                return static_cast<std::uint32_t>((c[j] * opacite * 255 + d * reste + 32512) / 65025);
            };
            pixels[i] = canal(0, 16) << 16 | canal(1, 8) << 8 | canal(2, 0);
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
