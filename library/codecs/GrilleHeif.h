#pragma once
// The canvases of a HEIF file's derived pictures (grids of tiles, overlays),
// read from the file's own boxes: libheif decodes such a picture at the size
// its description declares, which its 'ispe' box need not match.

#include "Types.h"

#include <cstdint>

class GrilleHeif {
public:
    enum class Resultat {
        Aucune,    // no derived picture: every picture decodes at its 'ispe' size
        Lue,       // pixels holds the largest canvas of them
        Illisible, // a derived picture whose canvas cannot be read
    };
    static Resultat PlusGrandCanevas(const CString& path, std::uint64_t& pixels);
};
