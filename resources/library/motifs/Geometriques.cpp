// Geometric patterns: every period divides the tile's size.

#include "Motifs.h"

#include "Bruit.h"
#include "Rendu.h"

#include <QPainterPath>

#include <numbers>

namespace Motifs {

namespace {

constexpr double k2Pi = 2 * std::numbers::pi;

QPainterPath Etoile(QPointF centre, double rayon, double creux, double angle, int branches = 5)
{
    QPainterPath chemin;
    for (int k = 0; k < 2 * branches; ++k) {
        const double r = k % 2 ? rayon * creux : rayon;
        const double a = angle + k * std::numbers::pi / branches - std::numbers::pi / 2;
        const QPointF p(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        k ? chemin.lineTo(p) : chemin.moveTo(p);
    }
    chemin.closeSubpath();
    return chemin;
}

} // namespace

QImage Arlequin(int w, int h)
{
    const double pas = w / 2.0;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double a = (x + y) / pas, b = (x - y * w / h) / pas;
        const bool pair = static_cast<long>(std::floor(a) + std::floor(b)) % 2 == 0;
        Couleur c = pair ? Hex(0x7B1E3A) : Hex(0xE9C46A);
        c = c * (0.92 + 0.16 * Fract(a));
        const double bord = std::min({Fract(a), 1 - Fract(a), Fract(b), 1 - Fract(b)}) * pas / std::numbers::sqrt2;
        return Melange(Hex(0x2B1020), c, Lisse(0.3, 1.0, bord));
    }, 4);
}

QImage Pois(int w, int h)
{
    const QPointF centres[] = {{w * 0.25, h * 0.25}, {w * 0.75, h * 0.25}, {0, h * 0.75}, {w * 0.5, h * 0.75}};
    const double rayon = w * 0.11;
    return Rendu::Champ(w, h, [&](double x, double y) {
        double proche = 1e9, ombre = 1e9;
        for (const QPointF& c : centres) {
            proche = std::min(proche, std::hypot(Ecart(x, c.x(), w), Ecart(y, c.y(), h)));
            ombre = std::min(ombre, std::hypot(Ecart(x - 2, c.x(), w), Ecart(y - 2, c.y(), h)));
        }
        Couleur fond = Hex(0xC8102E) * (1 - 0.25 * (1 - Lisse(rayon - 1, rayon + 1.5, ombre)));
        return Melange(Hex(0xFBF7EF), fond, Lisse(rayon - 0.6, rayon + 0.6, proche));
    }, 4);
}

QImage SucreOrge(int w, int h)
{
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double t = Fract((x / w + y / h) * 4);
        if (t < 0.42)
            return Hex(0xD62828);
        if (t < 0.5 || (t >= 0.6 && t < 0.92))
            return Hex(0xFBF5EC);
        if (t < 0.6)
            return Hex(0x8FCFC9);
        return Hex(0xF0A6A6);
    }, 4);
}

QImage Etoiles(int w, int h)
{
    const Bruit bruit(12);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0x14, 0x21, 0x3D));
    const int scintillements = 10;
    Rendu::Formes(image, 2 + scintillements, [&](QPainter& p, int k) {
        p.setPen(Qt::NoPen);
        if (k < 2) {
            const QPointF centre = k == 0 ? QPointF(w * 0.25, h * 0.25) : QPointF(w * 0.75, h * 0.75);
            p.setBrush(QColor(0xFC, 0xA3, 0x11));
            p.drawPath(Etoile(centre, w * 0.15, 0.42, k * 0.3));
            p.setBrush(QColor(0xFF, 0xD1, 0x66));
            p.drawPath(Etoile(centre, w * 0.075, 0.42, k * 0.3));
            return;
        }
        const QPointF point(bruit.Hasard(k, 0) * w, bruit.Hasard(k, 1) * h);
        p.setBrush(QColor(0xE5, 0xE5, 0xF0));
        p.drawPath(Etoile(point, 2.5 + 2 * bruit.Hasard(k, 2), 0.3, 0, 4));
    });
    return image;
}

QImage Vagues(int w, int h)
{
    const Couleur eaux[] = {Hex(0x023E8A), Hex(0x0077B6), Hex(0x48A9D6)};
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w;
        const double t = y / h * 6 + 0.16 * std::sin(k2Pi * u * 2) + 0.06 * std::sin(k2Pi * u * 3 + 1);
        const int bande = static_cast<int>(std::floor(t)) % 3;
        const double dans = Fract(t);
        const Couleur c = eaux[(bande + 3) % 3] * (0.85 + 0.25 * dans);
        return Melange(Hex(0xEAF8FF), c, Lisse(0.03, 0.08, dans));
    }, 3);
}

QImage Chevrons(int w, int h)
{
    const Couleur teintes[] = {Hex(0x2A9D8F), Hex(0xF4EBD9), Hex(0xE76F51)};
    const double pas = w / 3.0, bande = h / 6.0;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double triangle = std::abs(Fract(x / pas) * 2 - 1);
        const double t = y / bande + triangle * 1.2;
        const int i = static_cast<int>(std::floor(t)) % 3;
        return teintes[(i + 3) % 3];
    }, 4);
}

QImage ArcEnCiel(int w, int h)
{
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double teinte = Fract(x / w + y / h);
        const double clarte = 0.9 + 0.06 * std::sin(k2Pi * (x / w - y / h));
        const QColor c = QColor::fromHsvF(teinte, 0.5, clarte);
        return Couleur{c.redF() * 255, c.greenF() * 255, c.blueF() * 255};
    });
}

QImage Ondes(int w, int h)
{
    const std::vector<Couleur> rampe{Hex(0x1D1E4A), Hex(0x2D6E7E), Hex(0xC6E5D9), Hex(0xF4D58D)};
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double d1 = std::hypot(Ecart(x, 0, w), Ecart(y, 0, h));
        const double d2 = std::hypot(Ecart(x, w / 2.0, w), Ecart(y, h / 2.0, h));
        const double onde = std::cos(k2Pi * d1 / (w / 10.0)) + std::cos(k2Pi * d2 / (w / 10.0));
        return Rampe(rampe, 0.5 + 0.25 * onde);
    }, 2);
}

QImage Quadrillage(int w, int h)
{
    return Rendu::Champ(w, h, [&](double x, double y) {
        auto trait = [](double p, double pas, double epaisseur) {
            return 1 - Lisse(epaisseur * 0.5, epaisseur * 0.5 + 0.7, std::abs(Ecart(p, 0.5, pas)));
        };
        Couleur c = Hex(0xFBFAF5);
        c = Melange(c, Hex(0xBCD6EC), std::max(trait(x, w / 10.0, 0.6), trait(y, h / 10.0, 0.6)));
        return Melange(c, Hex(0x6FA3D0), std::max(trait(x, w / 2.0, 1.2), trait(y, h / 2.0, 1.2)));
    }, 3);
}

QImage Damier(int w, int h)
{
    const Bruit bruit(31);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const int i = static_cast<int>(x * 4 / w), j = static_cast<int>(y * 4 / h);
        const bool clair = (i + j) % 2 == 0;
        const double veine = bruit.Fractal(x / w * 2, y / h * 16, 2, 16, 2);
        const Couleur c = clair ? Hex(0xEFE3C6) : Hex(0x6B4426);
        // Each square is slightly bevelled.
        const double lx = Fract(x * 4 / w), ly = Fract(y * 4 / h);
        const double biseau = lx < 0.06 || ly < 0.06 ? 1.08 : lx > 0.94 || ly > 0.94 ? 0.85 : 1.0;
        return c * ((0.95 + 0.05 * veine) * biseau);
    }, 2);
}

} // namespace Motifs
