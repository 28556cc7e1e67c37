#include "EstimationMemoire.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

struct Ferme {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Fichier = std::unique_ptr<std::FILE, Ferme>;

bool Lit(std::FILE* f, unsigned char* tampon, std::size_t n) { return std::fread(tampon, 1, n, f) == n; }

std::uint32_t Le16(const unsigned char* p) { return p[0] | p[1] << 8; }
std::uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint32_t Be16(const unsigned char* p) { return p[0] << 8 | p[1]; }

std::optional<EstimationMemoire::Taille> Jpeg(std::FILE* f)
{
    // Markers and their lengths, skipping segments, up to a frame header.
    // A bounded walk: a hostile file cannot keep us here.
    unsigned char m[4];
    for (int segments = 0; segments < 1024; ++segments) {
        if (!Lit(f, m, 2))
            return std::nullopt;
        if (m[0] != 0xFF)
            return std::nullopt;
        const unsigned char type = m[1];
        if (type == 0xFF) {
            std::fseek(f, -1, SEEK_CUR); // fill byte
            continue;
        }
        if (type == 0xD8 || (type >= 0xD0 && type <= 0xD7) || type == 0x01)
            continue;
        if (type == 0xD9 || type == 0xDA)
            return std::nullopt;
        if (!Lit(f, m, 2))
            return std::nullopt;
        const std::uint32_t longueur = Be16(m);
        if (longueur < 2)
            return std::nullopt;
        const bool trame = type >= 0xC0 && type <= 0xCF && type != 0xC4 && type != 0xC8 && type != 0xCC;
        if (trame) {
            unsigned char sof[5];
            if (longueur < 7 || !Lit(f, sof, 5))
                return std::nullopt;
            return EstimationMemoire::Taille{Be16(sof + 3), Be16(sof + 1)};
        }
        if (std::fseek(f, static_cast<long>(longueur) - 2, SEEK_CUR) != 0)
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<EstimationMemoire::Taille> Bmp(std::FILE* f)
{
    unsigned char h[26];
    if (!Lit(f, h, sizeof h))
        return std::nullopt;
    const std::uint32_t taille = Le32(h + 14);
    if (taille == 12)
        return EstimationMemoire::Taille{Le16(h + 18), Le16(h + 20)};
    const auto largeur = static_cast<std::int32_t>(Le32(h + 18));
    const auto hauteur = static_cast<std::int32_t>(Le32(h + 22));
    if (taille < 16 || largeur <= 0 || hauteur == 0 || hauteur == INT32_MIN)
        return std::nullopt;
    return EstimationMemoire::Taille{static_cast<std::uint32_t>(largeur),
                                     static_cast<std::uint32_t>(hauteur < 0 ? -hauteur : hauteur)};
}

std::optional<EstimationMemoire::Taille> Gif(std::FILE* f)
{
    unsigned char h[10];
    if (!Lit(f, h, sizeof h))
        return std::nullopt;
    return EstimationMemoire::Taille{Le16(h + 6), Le16(h + 8)};
}

} // namespace

std::optional<EstimationMemoire::Taille> EstimationMemoire::Dimensions(const std::string& chemin)
{
    Fichier f(std::fopen(chemin.c_str(), "rb"));
    if (!f)
        return std::nullopt;
    unsigned char debut[6];
    if (!Lit(f.get(), debut, sizeof debut))
        return std::nullopt;
    std::rewind(f.get());
    // The content decides, as a loader would find out.
    if (debut[0] == 0xFF && debut[1] == 0xD8)
        return Jpeg(f.get());
    if (debut[0] == 'B' && debut[1] == 'M')
        return Bmp(f.get());
    if (std::memcmp(debut, "GIF87a", 6) == 0 || std::memcmp(debut, "GIF89a", 6) == 0)
        return Gif(f.get());
    return std::nullopt;
}

std::uint64_t EstimationMemoire::Disponible()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string ligne;
    while (std::getline(meminfo, ligne)) {
        std::istringstream mots(ligne);
        std::string nom;
        std::uint64_t ko = 0;
        if (mots >> nom >> ko && nom == "MemAvailable:")
            return ko * 1024;
    }
    return 0;
}

int EstimationMemoire::Travailleurs(int coeurs, std::uint64_t disponible, std::uint64_t parImage)
{
    int n = std::max(1, coeurs);
    if (disponible && parImage)
        n = static_cast<int>(std::min<std::uint64_t>(n, std::max<std::uint64_t>(1, disponible / 4 * 3 / parImage)));
    return n;
}
