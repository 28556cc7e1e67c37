// Woods, stones and minerals.

#include "Motifs.h"

#include "Bruit.h"
#include "Rendu.h"

#include <numbers>

namespace Motifs {

namespace {

constexpr double k2Pi = 2 * std::numbers::pi;

// Grain of a board: rings across, fine fibres along. t runs across the rings.
double Veinage(double t, double fibre)
{
    const double anneau = 0.5 + 0.5 * std::sin(k2Pi * t);
    return std::pow(anneau, 3) * 0.7 + fibre * 0.3;
}

struct Marbre {
    Couleur fond, nuage, veine, coeur;
    int diagonaleX, diagonaleY;
    double force;
};

// Veins follow a slanted wave bent by noise: broad soft bands with a darker core.
QImage FaitMarbre(int w, int h, const Marbre& m, std::uint32_t graine)
{
    const Bruit bruit(graine);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double nuage = 0.5 + 0.5 * bruit.Fractal(u * 3, v * 3, 3, 3, 4);
        Couleur c = Melange(m.fond, m.nuage, Lisse(0.35, 0.85, nuage));
        const double phase = k2Pi * (m.diagonaleX * u + m.diagonaleY * v) + m.force * bruit.Fractal(u * 3, v * 3, 3, 3, 6);
        const double onde = std::abs(std::sin(phase));
        c = Melange(c, m.veine, (1 - Lisse(0.0, 0.45, onde)) * 0.55);
        c = Melange(c, m.coeur, (1 - Lisse(0.0, 0.07, onde)) * 0.6);
        const double second = std::abs(std::sin(k2Pi * (m.diagonaleY * u - m.diagonaleX * v) * 2
                                                + m.force * bruit.Fractal(u * 4 + 5, v * 4 + 5, 4, 4, 5)));
        return Melange(c, m.veine, (1 - Lisse(0.0, 0.05, second)) * 0.3);
    });
}

} // namespace

QImage PlancheBois(int w, int h)
{
    const Bruit bruit(4);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double torsion = bruit.Fractal(u * 3, v * 2, 3, 2, 4);
        const double fibre = 0.5 + 0.5 * bruit.Fractal(u * 4, v * 24, 4, 24, 2);
        const double grain = Veinage(v * 4 + torsion * 1.2, fibre);
        Couleur c = Rampe({Hex(0xC99660), Hex(0xB07A45), Hex(0x8B5A2B), Hex(0x5A3418)}, grain);
        // The groove between two boards, lit from above.
        if (y < 1.5)
            c = c * 0.45;
        else if (y < 3)
            c = c * 1.12;
        else if (y > h - 1.5)
            c = c * 0.7;
        return c;
    });
}

QImage Plancher(int w, int h)
{
    const Bruit bruit(22);
    constexpr int kLames = 4;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const int n = static_cast<int>(x * kLames / w);
        const double dansLame = x - n * double(w) / kLames;
        const double u = x / w, v = y / h;
        const double torsion = 0.35 * bruit.Fractal(u * 2, v * 3, 2, 3, 4);
        const double fibre = 0.5 + 0.5 * bruit.Fractal(u * 60, v * 3, 60, 3, 2);
        const double grain = Veinage(u * 10 + torsion + bruit.Hasard(n, 1) * 10, fibre);
        const double teinte = bruit.Hasard(n, 0);
        Couleur c = Rampe({Hex(0xDDB985), Hex(0xC9A064), Hex(0xA87C45)}, 0.45 * grain + 0.5 * teinte);
        // Board edges and one butt joint per board, each at its own height.
        const double bout = std::abs(Ecart(y, bruit.Hasard(n, 2) * h, h));
        const double joint = std::min({dansLame, double(w) / kLames - dansLame, bout});
        return c * (0.45 + 0.55 * Lisse(0.4, 1.6, joint));
    }, 2);
}

QImage MarbreBlanc(int w, int h)
{
    return FaitMarbre(w, h, {Hex(0xF5F3EF), Hex(0xE4E1DC), Hex(0xA3A3AB), Hex(0x6E6E78), 1, 1, 3.2}, 5);
}

QImage MarbreVert(int w, int h)
{
    return FaitMarbre(w, h, {Hex(0x1B4434), Hex(0x2F6B52), Hex(0x9CC7AE), Hex(0xE6F2EA), 1, 2, 3.6}, 10);
}

QImage MarbreRose(int w, int h)
{
    return FaitMarbre(w, h, {Hex(0xECCDC6), Hex(0xDCAEA6), Hex(0xB87870), Hex(0x8A4A44), 1, 1, 3.0}, 45);
}

QImage Granit(int w, int h)
{
    const Bruit bruit(7);
    const int px = w / 5, py = h / 5;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const Bruit::Cellule grain = bruit.Worley(u * px, v * py, px, py);
        const double choix = Bruit::Hasard(grain.id, 1);
        Couleur c = choix < 0.45 ? Hex(0x9C9A98) : choix < 0.7 ? Hex(0x3A3836) : choix < 0.88 ? Hex(0xC49A8A) : Hex(0xE8E4E0);
        c = c * (0.85 + 0.3 * Bruit::Hasard(grain.id, 2));
        return c * (0.93 + 0.07 * bruit.Fractal(u * 3, v * 3, 3, 3, 3));
    });
}

QImage Paves(int w, int h)
{
    const Bruit bruit(11);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const Bruit::Cellule pave = bruit.Worley(u * 6, v * 6, 6, 6, 0.8);
        const double bord = pave.f2 - pave.f1;
        const double choix = Bruit::Hasard(pave.id, 1);
        Couleur c = Rampe({Hex(0x6E6A66), Hex(0x857C70), Hex(0x9A9186), Hex(0x7B7770)}, choix);
        c = c * (0.9 + 0.12 * bruit.Fractal(u * 12, v * 12, 12, 12, 3));
        // Rounded tops: darker towards the joints, lit from the top left.
        const double bombe = Lisse(0.04, 0.35, bord);
        c = c * (0.55 + 0.45 * bombe) + Hex(0x202020) * (Borne(-(pave.dx + pave.dy) * 2) * bombe);
        const Couleur joint = Hex(0x4A443C) * (0.9 + 0.2 * bruit.Fractal(u * 20, v * 20, 20, 20, 2));
        return Melange(joint, c, Lisse(0.03, 0.07, bord));
    }, 2);
}

QImage Ardoise(int w, int h)
{
    const Bruit bruit(30);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const Bruit::Cellule dalle = bruit.Worley(u * 4, v * 4, 4, 4, 0.9);
        const double bord = dalle.f2 - dalle.f1;
        Couleur c = Rampe({Hex(0x4F5A5E), Hex(0x5B636B), Hex(0x6B6F70), Hex(0x77706A)}, Bruit::Hasard(dalle.id, 1));
        // Cleavage layers run at a slant chosen per slab.
        const double a = Bruit::Hasard(dalle.id, 2) * std::numbers::pi;
        const double couche = bruit.Fractal(u * 16 + std::cos(a) * 0.5, v * 16 + std::sin(a) * 0.5, 16, 16, 3);
        c = c * (0.9 + 0.1 * couche + 0.06 * bruit.Fractal(u * 5, v * 5, 5, 5, 3));
        c = c * (0.8 + 0.2 * Lisse(0.02, 0.12, bord));
        return Melange(Hex(0xB5B0A6), c, Lisse(0.018, 0.03, bord));
    }, 2);
}

QImage Gres(int w, int h)
{
    const Bruit bruit(37);
    const std::vector<Couleur> strates{Hex(0xC98A4B), Hex(0xE8C99A), Hex(0xA9553A), Hex(0xD6A56C), Hex(0x8A5A3C),
                                       Hex(0xE2B886), Hex(0xC98A4B)};
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double t = v * 3 + 0.35 * bruit.Fractal(u * 2, v * 3, 2, 3, 4);
        Couleur c = Rampe(strates, Fract(t));
        return c * (0.94 + 0.06 * bruit.Fractal(u * 25, v * 50, 25, 50, 2));
    });
}

QImage Sable(int w, int h)
{
    const Bruit bruit(19);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double ride = 0.5 + 0.5 * std::sin(k2Pi * (v * 9 + 0.5 * bruit.Fractal(u * 2, v * 2, 2, 2, 3)));
        Couleur c = Melange(Hex(0xC9A66B), Hex(0xE6CB95), std::pow(ride, 0.7));
        return c * (0.95 + 0.05 * bruit.Fractal(u * 64, v * 64, 64, 64, 1));
    });
}

QImage Liege(int w, int h)
{
    const Bruit bruit(20);
    const int px = w / 5, py = h / 5, qx = px / 4, qy = py / 4;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const Bruit::Cellule granule = bruit.Worley(u * px, v * py, px, py);
        Couleur c = Melange(Hex(0x8E5F36), Hex(0xD2A273), Bruit::Hasard(granule.id, 1));
        c = c * (0.8 + 0.2 * Lisse(0.0, 0.3, granule.f2 - granule.f1));
        const Bruit::Cellule pore = bruit.Worley(u * qx, v * qy, qx, qy);
        if (Bruit::Hasard(pore.id, 1) < 0.5)
            c = Melange(Hex(0x4A2E18), c, Lisse(0.06, 0.14, pore.f1));
        return c;
    });
}

} // namespace Motifs
