#include "Palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace {

struct Teinte {
    QRgb rgb;
    long long nombre;
    int canal(int c) const { return c == 0 ? qRed(rgb) : c == 1 ? qGreen(rgb) : qBlue(rgb); }
};

using Boite = std::vector<Teinte>;

// The channel with the widest spread, and that spread weighted by the pixels it holds.
std::pair<int, double> Etendue(const Boite& boite)
{
    int meilleur = 0, largeur = -1;
    long long total = 0;
    for (int c = 0; c < 3; ++c) {
        int lo = 255, hi = 0;
        for (const Teinte& t : boite) {
            lo = std::min(lo, t.canal(c));
            hi = std::max(hi, t.canal(c));
        }
        if (hi - lo > largeur)
            largeur = hi - lo, meilleur = c;
    }
    for (const Teinte& t : boite)
        total += t.nombre;
    return {meilleur, boite.size() < 2 ? -1.0 : largeur * std::sqrt(static_cast<double>(total))};
}

QRgb Moyenne(const Boite& boite)
{
    double r = 0, g = 0, b = 0, n = 0;
    for (const Teinte& t : boite) {
        r += qRed(t.rgb) * double(t.nombre);
        g += qGreen(t.rgb) * double(t.nombre);
        b += qBlue(t.rgb) * double(t.nombre);
        n += double(t.nombre);
    }
    return qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5));
}

std::vector<QRgb> Coupe(Boite tout)
{
    std::vector<Boite> boites{std::move(tout)};
    while (boites.size() < 256) {
        auto choix = boites.end();
        double meilleure = 0;
        int canal = 0;
        for (auto it = boites.begin(); it != boites.end(); ++it) {
            const auto [c, e] = Etendue(*it);
            if (e > meilleure)
                meilleure = e, choix = it, canal = c;
        }
        if (choix == boites.end())
            break;
        Boite& b = *choix;
        std::sort(b.begin(), b.end(), [canal](const Teinte& x, const Teinte& y) { return x.canal(canal) < y.canal(canal); });
        long long total = 0, cumul = 0;
        for (const Teinte& t : b)
            total += t.nombre;
        std::size_t milieu = 1;
        for (; milieu < b.size() - 1; ++milieu) {
            cumul += b[milieu - 1].nombre;
            if (cumul * 2 >= total)
                break;
        }
        Boite haut(b.begin() + static_cast<long>(milieu), b.end());
        b.resize(milieu);
        boites.push_back(std::move(haut));
    }
    std::vector<QRgb> palette;
    for (const Boite& b : boites)
        palette.push_back(Moyenne(b));
    return palette;
}

int Proche(const std::vector<QRgb>& palette, QRgb c)
{
    int meilleur = 0;
    long long distance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long long dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                        db = qBlue(c) - qBlue(palette[i]);
        const long long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < 0 || d < distance)
            distance = d, meilleur = static_cast<int>(i);
    }
    return meilleur;
}

} // namespace

QImage Palette::Indexe(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::unordered_map<QRgb, long long> histogramme;
    for (int y = 0; y < image.height(); ++y) {
        const auto* ligne = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++histogramme[ligne[x] | 0xFF000000];
    }
    Boite toutes;
    for (const auto& [rgb, nombre] : histogramme)
        toutes.push_back({rgb, nombre});
    std::sort(toutes.begin(), toutes.end(), [](const Teinte& a, const Teinte& b) { return a.rgb < b.rgb; });
    const std::vector<QRgb> palette = Coupe(toutes);
    std::unordered_map<QRgb, int> index;
    for (const Teinte& t : toutes)
        index[t.rgb] = Proche(palette, t.rgb);
    QImage resultat(image.size(), QImage::Format_Indexed8);
    resultat.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* ligne = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* sortie = resultat.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            sortie[x] = static_cast<uchar>(index[ligne[x] | 0xFF000000]);
    }
    return resultat;
}
