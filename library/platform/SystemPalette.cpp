#include "SystemPalette.h"

#include <cstdlib>

namespace {

constexpr int kCubeLevels[6] = {0, 51, 102, 153, 204, 255};
constexpr int kGreyCount = 40;

int GreyLevel(int i)
{
    // 40 greys spread over 0..255, avoiding the cube's own six greys.
    return (i * 255 + (kGreyCount + 1) / 2) / (kGreyCount + 1) + 3;
}

int Square(int v) { return v * v; }

} // namespace

const SystemPalette& SystemPalette::instance()
{
    static const SystemPalette palette;
    return palette;
}

SystemPalette::SystemPalette()
{
    int index = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b, ++index)
                m_entries[index] = {static_cast<BYTE>(kCubeLevels[b]), static_cast<BYTE>(kCubeLevels[g]),
                                    static_cast<BYTE>(kCubeLevels[r]), 0};
    for (int i = 0; i < kGreyCount; ++i, ++index) {
        const auto level = static_cast<BYTE>(GreyLevel(i));
        m_entries[index] = {level, level, level, 0};
    }
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& e = m_entries[i];
        m_colours[i] = (std::uint32_t(e.rgbRed) << 16) | (std::uint32_t(e.rgbGreen) << 8) | e.rgbBlue;
    }
    for (int v = 0; v < 256; ++v)
        m_cubeStep[v] = static_cast<BYTE>((v + 25) / 51);
    // Nearest ramp grey for each channel sum; the cube's greys compete later.
    for (int sum = 0; sum < 256 * 3; ++sum) {
        int best = 0;
        int bestError = 1 << 30;
        for (int i = 0; i < kGreyCount; ++i) {
            const int error = std::abs(GreyLevel(i) * 3 - sum);
            if (error < bestError) {
                bestError = error;
                best = i;
            }
        }
        m_greyIndex[sum] = static_cast<BYTE>(216 + best);
    }
}

BYTE SystemPalette::nearestIndex(BYTE r, BYTE g, BYTE b) const
{
    const int rs = m_cubeStep[r], gs = m_cubeStep[g], bs = m_cubeStep[b];
    const int cubeError = Square(r - kCubeLevels[rs]) + Square(g - kCubeLevels[gs]) + Square(b - kCubeLevels[bs]);
    const BYTE grey = m_greyIndex[r + g + b];
    const int level = m_entries[grey].rgbRed;
    const int greyError = Square(r - level) + Square(g - level) + Square(b - level);
    if (greyError < cubeError)
        return grey;
    return static_cast<BYTE>(rs * 36 + gs * 6 + bs);
}
