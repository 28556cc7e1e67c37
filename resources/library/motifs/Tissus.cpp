// Fabrics: threads that go over and under, each shaded round.

#include "Motifs.h"

#include "Bruit.h"
#include "Rendu.h"

#include <numbers>

namespace Motifs {

namespace {

// Light across a thread, t from one side (0) to the other (1).
double Fil(double t) { return std::sqrt(std::max(0.0, std::sin(std::numbers::pi * t))); }

int Modulo(int a, int n) { return ((a % n) + n) % n; }

// Where a point falls on a weave of square threads of this size.
struct Maille {
    Maille(double x, double y, double taille)
        : i(static_cast<int>(std::floor(x / taille))), j(static_cast<int>(std::floor(y / taille))),
          tx(Fract(x / taille)), ty(Fract(y / taille))
    {
    }
    int i, j;
    double tx, ty;
};

} // namespace

QImage Lin(int w, int h)
{
    const Bruit bruit(100);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const Maille m(x, y, 3);
        const bool chaine = Modulo(m.i + m.j, 2) == 0;
        const double teinte = chaine ? bruit.Hasard(m.i, 0) : bruit.Hasard(0, m.j);
        const Couleur base = chaine ? Hex(0xDCCFB4) : Hex(0xCDBE9E);
        const double lumiere = chaine ? Fil(m.tx) * (0.85 + 0.15 * Fil(m.ty)) : Fil(m.ty) * (0.85 + 0.15 * Fil(m.tx));
        return base * (0.72 + 0.28 * lumiere) * (0.94 + 0.1 * teinte);
    }, 2);
}

QImage Jean(int w, int h)
{
    const Bruit bruit(16);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const Maille m(x, y, 4);
        const double usure = Lisse(0.0, 0.7, bruit.Fractal(x / w * 3, y / h * 3, 3, 3, 4));
        if (Modulo(m.i - m.j, 4) == 0)
            return Hex(0xD9D6CC) * (0.7 + 0.3 * Fil(m.ty));
        const Couleur indigo = Melange(Hex(0x1C355F), Hex(0x3A5F95), bruit.Hasard(m.i, 1) * 0.5 + usure * 0.5);
        return indigo * (0.7 + 0.3 * Fil(m.tx));
    }, 2);
}

QImage Tartan(int w, int h)
{
    struct Bande {
        Couleur couleur;
        int largeur;
    };
    // Half of the sett; the other half is its mirror, so the sett is 2 x 80 wide.
    const Bande demi[] = {{Hex(0x1F5130), 22}, {Hex(0x141414), 4}, {Hex(0x1F5130), 4}, {Hex(0x141414), 4},
                          {Hex(0x1C2A4E), 22}, {Hex(0xA8232B), 4}, {Hex(0x1C2A4E), 16}, {Hex(0xE0B52E), 2},
                          {Hex(0x1C2A4E), 2}};
    auto teinte = [&](double p) {
        int q = Modulo(static_cast<int>(std::floor(p)) * 160 / w, 160);
        if (q >= 80)
            q = 159 - q;
        for (const Bande& b : demi) {
            if (q < b.largeur)
                return b.couleur;
            q -= b.largeur;
        }
        return demi[0].couleur;
    };
    return Rendu::Champ(w, h, [&](double x, double y) {
        const int diagonale = Modulo((static_cast<int>(x) + static_cast<int>(y)) / 2, 2);
        const Couleur chaine = teinte(x), trame = teinte(y);
        return diagonale ? Melange(chaine, trame, 0.2) * 0.95 : Melange(trame, chaine, 0.2);
    });
}

QImage Vichy(int w, int h)
{
    return Rendu::Champ(w, h, [&](double x, double y) {
        const int bandes = (Modulo(static_cast<int>(x) / 16, 2) == 0) + (Modulo(static_cast<int>(y) / 16, 2) == 0);
        const Couleur c = bandes == 2 ? Hex(0xC0262D) : bandes == 1 ? Hex(0xE2898B) : Hex(0xF7F3EE);
        return c * (Modulo(static_cast<int>(x) + static_cast<int>(y), 2) ? 0.96 : 1.0);
    });
}

QImage Vannerie(int w, int h)
{
    return Rendu::Champ(w, h, [&](double x, double y) {
        const int bi = static_cast<int>(std::floor(x / 16)), bj = static_cast<int>(std::floor(y / 16));
        const double lx = x - bi * 16, ly = y - bj * 16;
        const bool couche = Modulo(bi + bj, 2) == 0;
        const double travers = couche ? ly : lx, long_ = couche ? lx : ly;
        const double brin = Fil(Fract(travers / 4)) * (0.75 + 0.25 * Fil(long_ / 16));
        const Couleur paille = couche ? Hex(0xD9B56E) : Hex(0xC29B52);
        return paille * (0.55 + 0.45 * brin);
    }, 2);
}

QImage Rayure(int w, int h)
{
    return Rendu::Champ(w, h, [&](double x, double y) {
        const Couleur drap = Hex(0x2E3138) * (Modulo((static_cast<int>(x) + static_cast<int>(y)) / 2, 2) ? 0.9 : 1.05);
        const double d = std::abs(Ecart(x, 8, 16));
        return Melange(drap, Hex(0xA9ADB5), 1 - Lisse(0.4, 0.9, d));
    }, 3);
}

QImage Carbone(int w, int h)
{
    return Rendu::Champ(w, h, [&](double x, double y) {
        const Maille m(x, y, 8);
        const bool travers = Modulo(m.i + m.j, 4) < 2;
        const double t = travers ? m.ty : m.tx;
        const double brillant = std::pow(Fil(t), 3);
        return Melange(Hex(0x1C1D20), Hex(0x8A8E96), brillant * (travers ? 0.95 : 0.65));
    }, 2);
}

QImage PiedDePoule(int w, int h)
{
    return Rendu::Champ(w, h, [&](double x, double y) {
        const Maille m(x, y, 2);
        const bool chaineVisible = Modulo(m.i + m.j, 4) < 2;
        const bool sombre = chaineVisible ? Modulo(m.i, 8) < 4 : Modulo(m.j, 8) < 4;
        return sombre ? Hex(0x1B1B1B) : Hex(0xEFE8D8);
    });
}

} // namespace Motifs
