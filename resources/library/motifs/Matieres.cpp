// Surfaces, skies and waters.

#include "Motifs.h"

#include "Bruit.h"
#include "Rendu.h"

#include <QPainterPath>

#include <numbers>

namespace Motifs {

QImage Parchemin(int w, int h)
{
    const Bruit bruit(14);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double tache = bruit.Fractal(u * 3, v * 3, 3, 3, 5);
        Couleur c = Melange(Hex(0xF3E5C0), Hex(0xD4B883), Lisse(-0.1, 0.6, tache));
        const double fibre = bruit.Fractal(u * 30, v * 8, 30, 8, 2);
        c = c * (0.97 + 0.03 * fibre);
        const double rousseur = bruit.Fractal(u * 12 + 5, v * 12 + 5, 12, 12, 2);
        return Melange(c, Hex(0xB08850), Lisse(0.45, 0.7, rousseur) * 0.5);
    });
}

QImage Cuir(int w, int h)
{
    const Bruit bruit(15);
    const int n = w / 10;
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const Bruit::Cellule grain = bruit.Worley(u * n, v * n, n, n, 0.9);
        Couleur c = Melange(Hex(0x5E361C), Hex(0x7A4A28), 0.5 + 0.5 * bruit.Fractal(u * 3, v * 3, 3, 3, 3));
        // Each pebble of the grain swells between creases and catches the light.
        const double pli = Lisse(0.0, 0.22, grain.f2 - grain.f1);
        c = c * (0.62 + 0.38 * pli) + Hex(0x2A1A10) * (Borne(-(grain.dx + grain.dy)) * pli * 0.8);
        return c * (0.95 + 0.05 * bruit.Fractal(u * 60, v * 60, 60, 60, 1));
    });
}

QImage Stuc(int w, int h)
{
    const Bruit bruit(48);
    auto relief = [&](double x, double y) {
        const double u = x / w, v = y / h;
        return bruit.Fractal(u * 8, v * 8, 8, 8, 5) + 0.5 * std::abs(bruit.Gradient(u * 5, v * 5, 5, 5));
    };
    return Rendu::Champ(w, h, [&](double x, double y) {
        // Light from the top left on the relief.
        const double pente = relief(x - 1, y - 1) - relief(x + 1, y + 1);
        return Hex(0xEDE4D3) * Borne(0.93 + 1.6 * pente, 0.7, 1.08);
    });
}

QImage Rouille(int w, int h)
{
    const Bruit bruit(25);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        Couleur metal = Hex(0x878B90) * (0.92 + 0.08 * bruit.Fractal(u * 2, v * 64, 2, 64, 2));
        const double masque = Lisse(-0.05, 0.2, bruit.Fractal(u * 4, v * 4, 4, 4, 5) + 0.08);
        const double teinte = 0.5 + 0.5 * bruit.Fractal(u * 8 + 3, v * 8 + 3, 8, 8, 4);
        Couleur rouille = Rampe({Hex(0x5C2A10), Hex(0x8A3F18), Hex(0xB5602A), Hex(0xCC8A48)}, teinte);
        const double piqure = bruit.Fractal(u * 32, v * 32, 32, 32, 2);
        rouille = rouille * (1 - 0.3 * Lisse(0.3, 0.6, piqure));
        return Melange(metal, rouille, masque);
    });
}

QImage AcierBrosse(int w, int h)
{
    const Bruit bruit(26);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double trait = bruit.Fractal(u * 2, v * 96, 2, 96, 3);
        const double reflet = std::cos(2 * std::numbers::pi * u);
        return Hex(0xB4B8BD) * (1 + 0.07 * trait + 0.06 * reflet);
    });
}

QImage Ciel(int w, int h)
{
    const Bruit bruit(61);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double du = 0.4 * bruit.Fractal(u * 3 + 4, v * 2, 3, 2, 3);
        const double n = bruit.Fractal(u * 6 + du, v * 4 - du, 6, 4, 6);
        const double nuage = Lisse(-0.2, 0.4, n);
        const Couleur ciel = Melange(Hex(0x3F86D4), Hex(0x6AA8E6), 0.5 + 0.5 * bruit.Fractal(u * 2, v, 2, 1, 2));
        // Cloud bellies are a little grey where the cloud is thick.
        const Couleur blanc = Melange(Hex(0xFFFFFF), Hex(0xC9D3DE), Lisse(0.35, 0.8, n));
        return Melange(ciel, blanc, nuage);
    });
}

QImage Eau(int w, int h)
{
    const Bruit bruit(28);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double du = 0.3 * bruit.Fractal(u * 2, v * 2, 2, 2, 3), dv = 0.3 * bruit.Fractal(u * 2 + 7, v * 2 + 7, 2, 2, 3);
        // Points kept apart: two close ones would spread a broad glare between them.
        const Bruit::Cellule c = bruit.Worley(u * 6 + du, v * 6 + dv, 6, 6, 0.7);
        const Bruit::Cellule fin = bruit.Worley(u * 11 - dv, v * 11 + du, 11, 11, 0.7);
        const double lumiere = std::max(1 - Lisse(0.0, 0.12, c.f2 - c.f1), 0.45 * (1 - Lisse(0.0, 0.1, fin.f2 - fin.f1)));
        const Couleur fond = Melange(Hex(0x0C6A8A), Hex(0x2A9DB5), 0.5 + 0.5 * bruit.Fractal(u * 2, v * 2, 2, 2, 3));
        return Melange(fond, Hex(0xD5F8FF), lumiere * 0.85);
    });
}

QImage Nebuleuse(int w, int h)
{
    const Bruit bruit(47);
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double gaz = Lisse(-0.1, 0.6, bruit.Fractal(u * 3, v * 3, 3, 3, 6));
        const Couleur teinte = Melange(Hex(0x5B2A86), Hex(0x1B4F9C), 0.5 + 0.5 * bruit.Fractal(u * 2 + 9, v * 2 + 9, 2, 2, 3));
        Couleur c = Melange(Hex(0x05061A), teinte, gaz * 0.9);
        const Bruit::Cellule astre = bruit.Worley(u * 24, v * 24, 24, 24, 0.8);
        if (Bruit::Hasard(astre.id, 1) < 0.55) {
            const double rayon = (0.5 + 1.1 * Bruit::Hasard(astre.id, 2)) * 24 / w; // 0.5 to 1.6 pixels
            const double eclat = 1 - Lisse(rayon * 0.4, rayon, astre.f1);
            c = Melange(c, Melange(Hex(0xFFFFFF), Hex(0xFFE6B0), Bruit::Hasard(astre.id, 3)), eclat);
        }
        return c;
    }, 3);
}

QImage Camouflage(int w, int h)
{
    const Bruit bruit(27);
    const Couleur teintes[] = {Hex(0x8A8B5C), Hex(0x4B5320), Hex(0x6B4E2E), Hex(0x2F3A1F)};
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double du = 0.3 * bruit.Fractal(u * 4 + 3, v * 4, 4, 4, 3);
        const double n = bruit.Fractal(u * 3 + du, v * 3 - du, 3, 3, 4);
        const double m = bruit.Fractal(u * 5 + 11, v * 5 + 11, 5, 5, 3);
        int i = n < -0.15 ? 1 : n < 0.15 ? 0 : 2;
        if (m > 0.25)
            i = 3;
        return teintes[i];
    }, 2);
}

QImage Aquarelle(int w, int h)
{
    const Bruit bruit(32);
    const std::vector<Couleur> pastels{Hex(0xF7C6D9), Hex(0xFAD9B5), Hex(0xF6F0A8), Hex(0xBDE8C5), Hex(0xB5D8F2),
                                       Hex(0xD6C5F0), Hex(0xF7C6D9)};
    return Rendu::Champ(w, h, [&](double x, double y) {
        const double u = x / w, v = y / h;
        const double t = 0.5 + 0.6 * bruit.Fractal(u * 2, v * 2, 2, 2, 4);
        Couleur c = Rampe(pastels, Fract(t));
        // Pigment gathers at the edge of each wash.
        const double lavis = bruit.Fractal(u * 4 + 2, v * 4 + 2, 4, 4, 4);
        c = c * (1 - 0.08 * (1 - Lisse(0.0, 0.2, std::abs(lavis))));
        return Melange(c, Hex(0xFFFDF8), Lisse(0.1, 0.5, lavis) * 0.6);
    });
}

QImage Herbe(int w, int h)
{
    const Bruit bruit(24);
    QImage image = Rendu::Champ(w, h, [&](double x, double y) {
        return Melange(Hex(0x1E4214), Hex(0x3C6E22), 0.5 + 0.5 * bruit.Fractal(x / w * 4, y / h * 4, 4, 4, 3));
    });
    const int brins = w * h / 60;
    Rendu::Formes(image, brins, [&](QPainter& p, int k) {
        const double x = bruit.Hasard(k, 0) * w, y = bruit.Hasard(k, 1) * h;
        const double longueur = 12 + 16 * bruit.Hasard(k, 2);
        const double penche = (bruit.Hasard(k, 3) - 0.5) * 0.8;
        const double courbe = (bruit.Hasard(k, 4) - 0.5) * 10;
        QPainterPath brin(QPointF(x - 1.4, y));
        brin.quadTo(QPointF(x + courbe * 0.5, y - longueur * 0.6), QPointF(x + penche * longueur + courbe, y - longueur));
        brin.quadTo(QPointF(x + courbe * 0.5 + 1.2, y - longueur * 0.6), QPointF(x + 1.4, y));
        brin.closeSubpath();
        const Couleur vert = Rampe({Hex(0x2E6B1A), Hex(0x4C8C2B), Hex(0x6FAE3A), Hex(0x9CCB55)}, bruit.Hasard(k, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(Rendu::VersQColor(vert));
        p.drawPath(brin);
    });
    return image;
}

} // namespace Motifs
