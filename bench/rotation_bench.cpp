// Times RotationImage on a 12-megapixel picture: a quarter turn, an eighth of
// a turn (whose result is twice as large) and, for scale, a plain copy.

#include "CGraphique.h"

#include "Mesure.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

HBITMAP Photo(int width, int height, int depth)
{
    HBITMAP image = CreateBitmap(width, height, 1, depth, nullptr);
    if (!image)
        return nullptr;
    for (int y = 0; y < height; ++y)
        for (std::size_t i = 0; i < image->stride(); ++i)
            image->row(y)[i] = static_cast<BYTE>(i * 7 + y * 13);
    return image;
}

// The best of a few runs: the machine is shared.
double Mesure(HBITMAP source, int angle, CSize* size)
{
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        HBITMAP rotated = CGraphique::RotationImage(nullptr, source, angle);
        best = std::min(best, Millisecondes(start));
        CGraphique::RecupereInfosImage(rotated, *size, nullptr);
        DeleteObject(rotated);
    }
    return best;
}

} // namespace

int main()
{
    for (int depth : {32, 24}) {
        HBITMAP source = Photo(4000, 3000, depth);
        if (!source) {
            std::fprintf(stderr, "cannot allocate the picture\n");
            return 1;
        }
        for (int angle : {180, 90, 360, 0}) {
            CSize size;
            const double ms = Mesure(source, angle, &size);
            std::printf("%d bpp 4000x3000 angle %4d -> %dx%d: %7.1f ms\n", depth, angle, size.cx, size.cy, ms);
        }
        DeleteObject(source);
    }
    return 0;
}
