#pragma once
// A picture's width and height read from its file's header, without
// decoding: one probe per format, each reading a bounded number of bytes
// and refusing a header that is cut short, out of its own bounds, or gives
// a zero side.

#include "Types.h"

#include <cstdint>
#include <optional>

class SondeEntete {
public:
    struct Taille {
        std::uint32_t Largeur = 0;
        std::uint32_t Hauteur = 0;
        bool operator==(const Taille&) const = default;
    };
    // Marker segments a JPEG probe steps over before giving up on finding
    // the frame header.
    static constexpr int kSegmentsMax = 1024;

    static std::optional<Taille> Jpeg(const CString& chemin);
    static std::optional<Taille> Bmp(const CString& chemin);
    static std::optional<Taille> Gif(const CString& chemin);
    static std::optional<Taille> Png(const CString& chemin);
    static std::optional<Taille> Webp(const CString& chemin);
    // Through libheif's primary picture, as it would be shown (turned).
    static std::optional<Taille> Heif(const CString& chemin);
};
