// Turning a stored picture the way its Exif orientation says a viewer shows
// it. Each destination row is gathered from the source in one pass, with a
// fixed step: one pixel along a source row for the mirrors and the half
// turn, one source row for the quarter turns and the transposes.

#include "CGraphique.h"

#include "PixelRows.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// Destination rows filled together by the quarter turns: their sources are
// neighbours in one source row, so each cache line read serves them all.
constexpr int kBloc = 8;

struct Parcours {
    bool transpose;
    // The source pixel of destination (0, y) is (x0 + ax * y, y0 + ay * y),
    // with x0 and y0 as 0 or the last column / row; moving along the
    // destination row moves the source by (dx, dy).
    bool x0Dernier, y0Dernier;
    int ax, ay, dx, dy;
};

// Indexed by orientation - 1.
constexpr Parcours kParcours[] = {
    {false, false, false, 0, 1, 1, 0},  // 1: as stored
    {false, true, false, 0, 1, -1, 0},  // 2: mirrored left-right
    {false, true, true, 0, -1, -1, 0},  // 3: half turn
    {false, false, true, 0, -1, 1, 0},  // 4: mirrored top-bottom
    {true, false, false, 1, 0, 0, 1},   // 5: transposed
    {true, false, true, 1, 0, 0, -1},   // 6: quarter turn clockwise
    {true, true, true, -1, 0, 0, -1},   // 7: transverse
    {true, true, false, -1, 0, 0, 1},   // 8: quarter turn anticlockwise
};

} // namespace

HBITMAP CGraphique::Copie32Bits(const Bitmap& image)
{
    HBITMAP copie = Bitmap::Create(image.width(), image.height(), 32);
    if (!copie)
        return nullptr;
    for (int y = 0; y < image.height(); ++y) {
        // 0x00RRGGBB in memory is B, G, R, 0: the 32-bit row itself.
        PixelRows::Read(image, 0, y, image.width(), reinterpret_cast<std::uint32_t*>(copie->row(y)));
    }
    return copie;
}

HBITMAP CGraphique::RedresseImage(HBITMAP source, int orientation)
{
    if (!source || orientation < 1 || orientation > 8)
        return nullptr;
    const Parcours& p = kParcours[orientation - 1];
    HBITMAP converti = nullptr;
    if (source->bitsPerPixel() != 32 || orientation == 1) {
        converti = Copie32Bits(*source);
        if (!converti || orientation == 1)
            return converti;
    }
    const Bitmap& src = converti ? *converti : *source;
    const int w = src.width(), h = src.height();
    HBITMAP resultat = p.transpose ? Bitmap::Create(h, w, 32) : Bitmap::Create(w, h, 32);
    if (resultat) {
        const auto pas = static_cast<std::ptrdiff_t>(src.stride() / 4);
        const auto* base = reinterpret_cast<const std::uint32_t*>(src.bits());
        const std::ptrdiff_t avance = p.dx + p.dy * pas;
        const int largeur = resultat->width(), hauteur = resultat->height();
        const int bloc = p.transpose ? kBloc : 1;
        for (int y0 = 0; y0 < hauteur; y0 += bloc) {
            const int n = std::min(bloc, hauteur - y0);
            const std::uint32_t* depuis[kBloc];
            std::uint32_t* vers[kBloc];
            for (int r = 0; r < n; ++r) {
                const int y = y0 + r;
                const int sx = (p.x0Dernier ? w - 1 : 0) + p.ax * y;
                const int sy = (p.y0Dernier ? h - 1 : 0) + p.ay * y;
                depuis[r] = base + sy * pas + sx;
                vers[r] = reinterpret_cast<std::uint32_t*>(resultat->row(y));
            }
            for (int x = 0; x < largeur; ++x) {
                const std::ptrdiff_t d = x * avance;
                for (int r = 0; r < n; ++r)
                    vers[r][x] = depuis[r][d];
            }
        }
    }
    if (converti)
        DeleteObject(converti);
    return resultat;
}
