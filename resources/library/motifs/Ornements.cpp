// Ornaments and building materials: cells, scales, tiles, bricks, boards.

#include "Motifs.h"

#include "Bruit.h"
#include "Rendu.h"

#include <QPainterPath>

#include <numbers>
#include <vector>

namespace Motifs {

namespace {

constexpr double kPi = std::numbers::pi;

struct Proches {
    double f1 = 1e9, f2 = 1e9;
    int indice = 0;
    double dx = 0, dy = 0;
};

// The two nearest of a set of points, the tile wrapping round.
Proches PlusProches(const std::vector<QPointF>& points, double x, double y, double w, double h)
{
    Proches p;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double dx = Ecart(x, points[k].x(), w), dy = Ecart(y, points[k].y(), h);
        const double d = std::hypot(dx, dy);
        if (d < p.f1) {
            p.f2 = p.f1;
            p.f1 = d;
            p.indice = static_cast<int>(k);
            p.dx = dx, p.dy = dy;
        } else if (d < p.f2) {
            p.f2 = d;
        }
    }
    return p;
}

QPainterPath Coeur(QPointF c, double taille, double angle)
{
    QPainterPath chemin(QPointF(0, 0.35));
    chemin.cubicTo(QPointF(-0.1, 0.05), QPointF(-0.5, 0.0), QPointF(-0.5, -0.3));
    chemin.cubicTo(QPointF(-0.5, -0.6), QPointF(-0.1, -0.65), QPointF(0, -0.35));
    chemin.cubicTo(QPointF(0.1, -0.65), QPointF(0.5, -0.6), QPointF(0.5, -0.3));
    chemin.cubicTo(QPointF(0.5, 0.0), QPointF(0.1, 0.05), QPointF(0, 0.35));
    QTransform t;
    t.translate(c.x(), c.y());
    t.rotate(angle);
    t.scale(taille, taille);
    return t.map(chemin);
}

} // namespace

QImage NidAbeille(int w, int h)
{
    // Seven cells across and four pairs of rows down: a honeycomb lattice
    // stretched by about one percent to fit a square.
    constexpr int kColonnes = 7, kRangees = 8;
    std::vector<QPointF> centres;
    for (int r = 0; r < kRangees; ++r)
        for (int c = 0; c < kColonnes; ++c)
            centres.emplace_back((c + (r % 2) * 0.5) * w / kColonnes, (r + 0.5) * h / kRangees);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const Proches p = PlusProches(centres, x, y, w, h);
        const double bord = (p.f2 - p.f1) / 2;
        const Couleur miel = Melange(Hex(0xFFD166), Hex(0xD98E04), Lisse(0.0, w / kColonnes * 0.5, p.f1));
        return Melange(Hex(0x7A4E00), miel, Lisse(0.7, 1.5, bord));
    }, 3);
}

QImage Ecailles(int w, int h)
{
    const Bruit bruit(44);
    const double pas = w / 4.0, rayon = pas / 2, rangee = h / 8.0;
    return Rendu::Champ(w, h, [&](double x, double y) {
        // The lowest row whose circle holds the point lies on top.
        for (int r = 9; r >= -1; --r) {
            const double cy = r * rangee;
            const double decalage = (((r % 2) + 2) % 2) * pas / 2;
            const double cx = std::round((x - decalage) / pas) * pas + decalage;
            const double dx = x - cx, dy = y - cy;
            const double d = std::hypot(dx, dy);
            if (d > rayon)
                continue;
            const int colonne = ((static_cast<int>(std::round((cx - decalage) / pas)) % 4) + 4) % 4;
            const int ligne = ((r % 8) + 8) % 8;
            const Couleur teinte = Melange(Hex(0x1F7A74), Hex(0x3FB5A8), bruit.Hasard(colonne, ligne));
            Couleur c = Melange(teinte, Hex(0xA8E6DC), Lisse(0, rayon, -dy) * 0.6);
            return Melange(c, Hex(0x0B3B38), Lisse(rayon - 2.2, rayon - 0.4, d));
        }
        return Hex(0x0B3B38);
    }, 3);
}

QImage Treillage(int w, int h)
{
    const Bruit bruit(43);
    const double pas = w / 3.0, demi = 4.5;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double a = x + y, b = x - y;
        const double da = std::abs(Ecart(a, 0, pas)) / std::numbers::sqrt2, db = std::abs(Ecart(b, 0, pas)) / std::numbers::sqrt2;
        Couleur fond = Melange(Hex(0x24402A), Hex(0x3F6B45), 0.5 + 0.5 * bruit.Fractal(x / w * 6, y / h * 6, 6, 6, 4));
        // Which slat is on top alternates from one crossing to the next.
        const int ia = static_cast<int>(std::floor(a / pas + 0.5)), ib = static_cast<int>(std::floor(b / pas + 0.5));
        const bool aDessus = ((ia + ib) % 2 + 2) % 2 == 0;
        auto latte = [&](double d) { return Hex(0xF1EDE4) * (0.8 + 0.2 * std::cos(kPi * d / (2 * demi))); };
        const bool surA = da < demi, surB = db < demi;
        if (surA && surB)
            return aDessus ? latte(da) : latte(db);
        if (surA)
            return Melange(latte(da), Hex(0x5A5A50), Lisse(demi - 1, demi, da));
        if (surB)
            return Melange(latte(db), Hex(0x5A5A50), Lisse(demi - 1, demi, db));
        const double ombre = std::min(da, db) - demi;
        return fond * (0.6 + 0.4 * Lisse(0, 3, ombre));
    }, 3);
}

QImage Coeurs(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0xF8, 0xC8, 0xDC));
    Rendu::Formes(image, 4, [&](QPainter& p, int k) {
        const bool grand = k < 2;
        const QPointF centre = k == 0 ? QPointF(w * 0.25, h * 0.28) : k == 1 ? QPointF(w * 0.75, h * 0.78)
                             : k == 2 ? QPointF(w * 0.75, h * 0.28) : QPointF(w * 0.25, h * 0.78);
        p.setPen(Qt::NoPen);
        p.setBrush(grand ? QColor(0xD6, 0x22, 0x46) : QColor(0xF0, 0x7E, 0xA6));
        p.drawPath(Coeur(centre, w * (grand ? 0.3 : 0.2), grand ? -12 : 15));
    });
    return image;
}

QImage Mosaique(int w, int h)
{
    const Bruit bruit(42);
    const Couleur tesselles[] = {Hex(0x1D4E89), Hex(0x00A6C0), Hex(0x7DCFB6), Hex(0xFBF6EF), Hex(0xF79256), Hex(0x2F7FBF)};
    return Rendu::Champ(w, h, [&](double x, double y) {
        const Bruit::Cellule c = bruit.Worley(x / w * 16, y / h * 16, 16, 16, 0.55);
        const Couleur t = tesselles[static_cast<int>(Bruit::Hasard(c.id, 1) * 6)] * (0.92 + 0.12 * Bruit::Hasard(c.id, 2));
        return Melange(Hex(0xD8D2C4), t * (0.9 + 0.1 * Lisse(0.05, 0.25, c.f2 - c.f1)), Lisse(0.05, 0.09, c.f2 - c.f1));
    }, 2);
}

QImage Azulejo(int w, int h)
{
    const double carreau = w / 4.0;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double lx = Fract(x / carreau) * carreau - carreau / 2, ly = Fract(y / carreau) * carreau - carreau / 2;
        const double r = std::hypot(lx, ly), a = std::atan2(ly, lx);
        const double s = carreau / 50;
        const double petale = 14 * s * (0.5 + 0.5 * std::pow(std::abs(std::cos(2 * a)), 0.6));
        const double coin = std::hypot(carreau / 2 - std::abs(lx), carreau / 2 - std::abs(ly));
        double bleu = 1 - Lisse(petale - 0.6, petale + 0.6, r);
        bleu = std::max(bleu, 1 - Lisse(0.6, 1.4, std::abs(r - 19.5 * s)));
        bleu = std::max(bleu, 1 - Lisse(8.5 * s, 9.5 * s, coin));
        bleu *= Lisse(3 * s, 4 * s, r);
        Couleur c = Melange(Hex(0xF4F6F8), Hex(0x1F4E9C), bleu);
        c = c * (1.0 + 0.04 * (ly < 0 ? 1 : -1) * Lisse(0, carreau / 2, std::abs(ly)));
        const double joint = carreau / 2 - std::max(std::abs(lx), std::abs(ly));
        return Melange(Hex(0xC9C6BE), c, Lisse(0.6, 1.6, joint));
    }, 3);
}

QImage Parquet(int w, int h)
{
    const Bruit bruit(40);
    const double bloc = w / 4.0, lame = bloc / 4;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const int bi = static_cast<int>(x / bloc), bj = static_cast<int>(y / bloc);
        const bool horizontal = (bi + bj) % 2 == 0;
        const double travers = horizontal ? y - bj * bloc : x - bi * bloc;
        const double long_ = horizontal ? x - bi * bloc : y - bj * bloc;
        const int n = static_cast<int>(travers / lame);
        const double graine = bruit.Hasard(bi * 4 + n, bj);
        const double veine = 0.5 + 0.5 * std::sin(2 * kPi * (travers / lame * 1.5 + graine * 5
                                                             + 0.25 * bruit.Fractal(x / w * 8, y / h * 8, 8, 8, 3)));
        Couleur c = Rampe({Hex(0xE0B878), Hex(0xC99A58), Hex(0x9C6D36)}, 0.3 * veine + 0.6 * graine);
        c = c * (0.96 + 0.04 * bruit.Fractal((horizontal ? long_ : travers) / 8, (horizontal ? travers : long_) / 2, 32, 128, 2));
        const double joint = std::min({Fract(travers / lame) * lame, long_, bloc - long_});
        return c * (0.55 + 0.45 * Lisse(0.3, 1.2, joint));
    }, 2);
}

QImage Briques(int w, int h)
{
    const Bruit bruit(1);
    const double longueur = w / 4.0, hauteur = h / 8.0, mortier = 1.6;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const int rangee = static_cast<int>(y / hauteur);
        const double decale = x + (rangee % 2) * longueur / 2;
        const int colonne = static_cast<int>(std::floor(decale / longueur)) % 4;
        const double lx = Fract(decale / longueur) * longueur, ly = y - rangee * hauteur;
        const double bord = std::min({lx, longueur - lx, ly, hauteur - ly});
        const Couleur brique = Rampe({Hex(0x8A3324), Hex(0x9C3D2A), Hex(0xB04A32), Hex(0xA8553A)}, bruit.Hasard(colonne, rangee))
                               * (0.88 + 0.12 * bruit.Fractal(x / w * 16, y / h * 16, 16, 16, 3));
        const Couleur joint = Hex(0xB9B2A6) * (0.9 + 0.1 * bruit.Fractal(x / w * 32, y / h * 32, 32, 32, 2));
        return Melange(joint, brique * (0.8 + 0.2 * Lisse(mortier, mortier + 2, bord)), Lisse(mortier - 0.5, mortier + 0.5, bord));
    }, 2);
}

QImage Bambou(int w, int h)
{
    const Bruit bruit(46);
    const double tige = w / 5.0;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const int n = static_cast<int>(x / tige);
        const double t = (x - n * tige) / tige;
        const double rond = std::sin(kPi * t);
        Couleur c = Melange(Hex(0x6A994E), Hex(0xB5CF6B), rond * (0.6 + 0.4 * bruit.Hasard(n, 0)));
        c = c * (0.95 + 0.05 * bruit.Fractal(x / w * 40, y / h * 2, 40, 2, 2));
        // One node per stalk, each at its own height.
        const double noeud = std::abs(Ecart(y, bruit.Hasard(n, 1) * h, h));
        c = c * (1 - 0.45 * (1 - Lisse(0.5, 1.5, noeud))) * (1 + 0.12 * (1 - Lisse(1.5, 4, noeud)));
        return Melange(Hex(0x3A2A14), c, Lisse(0.02, 0.06, std::min(t, 1 - t)));
    }, 2);
}

QImage Damas(int w, int h)
{
    const Couleur fond = Hex(0x6D1A36), motif = Hex(0x9C3358), trait = Hex(0xC39A4E);
    const std::vector<QPointF> grands{{w * 0.25, h * 0.25}, {w * 0.75, h * 0.75}};
    const std::vector<QPointF> petits{{w * 0.75, h * 0.25}, {w * 0.25, h * 0.75}};
    const double s = w / 288.0;
    return Rendu::Champ(w, h, [&](double x, double y) {
        double plein = 0, ligne = 0;
        const Proches g = PlusProches(grands, x, y, w, h);
        const double ag = std::atan2(g.dy, g.dx);
        const double fleur = 40 * s * (0.45 + 0.55 * std::pow(std::abs(std::cos(4 * ag)), 0.7));
        plein = std::max(plein, 1 - Lisse(fleur - 0.7, fleur + 0.7, g.f1));
        ligne = std::max(ligne, 1 - Lisse(0.5, 1.3, std::abs(g.f1 - fleur)));
        ligne = std::max(ligne, 1 - Lisse(1.0, 1.8, std::abs(g.f1 - 50 * s)));
        for (int k = 0; k < 4; ++k) {
            const double a = kPi / 4 + k * kPi / 2;
            const double d = std::hypot(g.dx - 60 * s * std::cos(a), g.dy - 60 * s * std::sin(a));
            plein = std::max(plein, 1 - Lisse(5 * s, 6 * s, d));
        }
        const Proches p = PlusProches(petits, x, y, w, h);
        const double ap = std::atan2(p.dy, p.dx) + kPi / 4;
        const double petale = 22 * s * (0.3 + 0.7 * std::pow(std::abs(std::cos(2 * ap)), 1.5));
        plein = std::max(plein, 1 - Lisse(petale - 0.7, petale + 0.7, p.f1));
        ligne = std::max(ligne, 1 - Lisse(0.5, 1.3, std::abs(p.f1 - petale)));
        plein *= Lisse(5 * s, 6.5 * s, g.f1);
        return Melange(Melange(fond, motif, plein), trait, ligne * 0.8);
    }, 3);
}

} // namespace Motifs
