#include "SondeEntete.h"

#include "HeifFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Ferme {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Fichier = std::unique_ptr<std::FILE, Ferme>;

bool Lit(std::FILE* f, unsigned char* tampon, std::size_t n) { return std::fread(tampon, 1, n, f) == n; }

// The first n bytes of the file, or false when it has fewer.
bool Debut(const CString& chemin, unsigned char* tampon, std::size_t n)
{
    Fichier f(std::fopen(chemin.c_str(), "rb"));
    return f && Lit(f.get(), tampon, n);
}

std::uint32_t Le16(const unsigned char* p) { return p[0] | p[1] << 8; }
std::uint32_t Le24(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16; }
std::uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint32_t Be16(const unsigned char* p) { return p[0] << 8 | p[1]; }
std::uint32_t Be32(const unsigned char* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

std::optional<SondeEntete::Taille> NonVide(std::uint32_t largeur, std::uint32_t hauteur)
{
    if (largeur == 0 || hauteur == 0)
        return std::nullopt;
    return SondeEntete::Taille{largeur, hauteur};
}

} // namespace

std::optional<SondeEntete::Taille> SondeEntete::Jpeg(const CString& chemin)
{
    Fichier fichier(std::fopen(chemin.c_str(), "rb"));
    std::FILE* f = fichier.get();
    unsigned char m[2];
    if (!f || !Lit(f, m, 2) || m[0] != 0xFF || m[1] != 0xD8)
        return std::nullopt;
    // Markers and their lengths, skipping segments, up to a frame header.
    // A bounded walk: a hostile file cannot keep us here.
    for (int segments = 0; segments < kSegmentsMax; ++segments) {
        if (!Lit(f, m, 2) || m[0] != 0xFF)
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
            // A height of 0 is given later by a DNL marker: no size here.
            return NonVide(Be16(sof + 3), Be16(sof + 1));
        }
        if (std::fseek(f, static_cast<long>(longueur) - 2, SEEK_CUR) != 0)
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<SondeEntete::Taille> SondeEntete::Bmp(const CString& chemin)
{
    unsigned char h[26];
    if (!Debut(chemin, h, sizeof h) || h[0] != 'B' || h[1] != 'M')
        return std::nullopt;
    const std::uint32_t taille = Le32(h + 14);
    if (taille == 12)
        return NonVide(Le16(h + 18), Le16(h + 20));
    const auto largeur = static_cast<std::int32_t>(Le32(h + 18));
    const auto hauteur = static_cast<std::int32_t>(Le32(h + 22));
    // Rows stored top-down give a negative height.
    if (taille < 16 || largeur <= 0 || hauteur == 0 || hauteur == INT32_MIN)
        return std::nullopt;
    return Taille{static_cast<std::uint32_t>(largeur), static_cast<std::uint32_t>(hauteur < 0 ? -hauteur : hauteur)};
}

std::optional<SondeEntete::Taille> SondeEntete::Gif(const CString& chemin)
{
    unsigned char h[10];
    if (!Debut(chemin, h, sizeof h) || (std::memcmp(h, "GIF87a", 6) != 0 && std::memcmp(h, "GIF89a", 6) != 0))
        return std::nullopt;
    return NonVide(Le16(h + 6), Le16(h + 8));
}

std::optional<SondeEntete::Taille> SondeEntete::Png(const CString& chemin)
{
    // The signature, then IHDR, always the first chunk and 13 bytes long.
    static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    unsigned char h[24];
    if (!Debut(chemin, h, sizeof h) || std::memcmp(h, kSignature, 8) != 0 || Be32(h + 8) != 13
        || std::memcmp(h + 12, "IHDR", 4) != 0)
        return std::nullopt;
    const std::uint32_t largeur = Be32(h + 16);
    const std::uint32_t hauteur = Be32(h + 20);
    // PNG's own bound on a side.
    if (largeur > 0x7FFFFFFFu || hauteur > 0x7FFFFFFFu)
        return std::nullopt;
    return NonVide(largeur, hauteur);
}

std::optional<SondeEntete::Taille> SondeEntete::Webp(const CString& chemin)
{
    // RIFF header (12 bytes), then the first chunk's header (8) and the
    // 10 bytes of its payload that hold the size.
    unsigned char h[30];
    if (!Debut(chemin, h, sizeof h) || std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WEBP", 4) != 0)
        return std::nullopt;
    const unsigned char* charge = h + 20;
    const std::uint32_t longueur = Le32(h + 16);
    if (std::memcmp(h + 12, "VP8X", 4) == 0) {
        if (longueur < 10)
            return std::nullopt;
        return NonVide(Le24(charge + 4) + 1, Le24(charge + 7) + 1);
    }
    if (std::memcmp(h + 12, "VP8L", 4) == 0) {
        if (longueur < 5 || charge[0] != 0x2F)
            return std::nullopt;
        const std::uint32_t bits = Le32(charge + 1);
        return NonVide((bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1);
    }
    if (std::memcmp(h + 12, "VP8 ", 4) == 0) {
        // A key frame (bit 0 of its tag clear) starts with 9D 01 2A; the
        // top two bits of each side are a scale, not size.
        if (longueur < 10 || (charge[0] & 1) != 0 || charge[3] != 0x9D || charge[4] != 0x01 || charge[5] != 0x2A)
            return std::nullopt;
        return NonVide(Le16(charge + 6) & 0x3FFF, Le16(charge + 8) & 0x3FFF);
    }
    return std::nullopt;
}

std::optional<SondeEntete::Taille> SondeEntete::Heif(const CString& chemin)
{
    int largeur = 0;
    int hauteur = 0;
    if (!HeifFile::Dimensions(chemin, largeur, hauteur) || largeur <= 0 || hauteur <= 0)
        return std::nullopt;
    return Taille{static_cast<std::uint32_t>(largeur), static_cast<std::uint32_t>(hauteur)};
}
