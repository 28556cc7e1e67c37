#pragma once
// The one fixed 256-colour palette behind every 8-bit image: a 6 x 6 x 6
// colour cube (indices 0-215) and a 40-step grey ramp between the cube's
// greys (216-255). Nearest-colour lookup is exact and needs no table: the
// nearest cube colour is a per-channel rounding, the nearest grey is the one
// closest to the channels' mean, and the better of the two wins.

#include "Types.h"

#include <array>

class SystemPalette {
public:
    static const SystemPalette& instance();

    const std::array<RGBQUAD, 256>& entries() const { return m_entries; }
    BYTE nearestIndex(BYTE r, BYTE g, BYTE b) const;
    // Colour of an index as 0x00RRGGBB (the in-memory order of a 32-bit pixel).
    std::uint32_t colour(BYTE index) const { return m_colours[index]; }

private:
    SystemPalette();
    std::array<RGBQUAD, 256> m_entries{};
    std::array<std::uint32_t, 256> m_colours{};
    std::array<BYTE, 256> m_cubeStep{};    // channel value -> nearest cube step 0..5
    std::array<BYTE, 256 * 3> m_greyIndex{}; // channel sum -> nearest grey-ramp index
};
