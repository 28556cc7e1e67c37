#pragma once
// A logo's alpha plane resampled with its colours. The colours are
// resampled premultiplied, so that what lies under transparent pixels (often
// black or white junk) does not bleed into the edges of the resized logo.

#include "CGraphique.h"

#include <cstdint>
#include <vector>

class LogoAlpha {
public:
    // The logo brought to taille (a new 32-bit image, the caller's, with
    // straight colours) and its plane into alphaSortie; null on failure.
    static HBITMAP Redimensionne(HBITMAP logo, const std::vector<std::uint8_t>& alpha, CSize taille,
                                 std::vector<std::uint8_t>& alphaSortie);
};
