#include "CGraphique.h"

#include "PixelRows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <numbers>
#include <vector>

namespace {

constexpr std::uint32_t kBlanc = 0x00FFFFFF;

int Arrondi(double x) { return static_cast<int>(x + 0.5); }

// The source's pixels as 0x00RRGGBB, read as GetPixel would: straight from
// the image's rows at 32 bits, from a converted copy at other depths.
class Source {
public:
    explicit Source(const Bitmap& image) : m_image(image), m_width(image.width())
    {
        if (image.bitsPerPixel() == 32)
            return;
        m_copie.resize(static_cast<std::size_t>(m_width) * image.height());
        for (int y = 0; y < image.height(); ++y)
            PixelRows::Read(image, 0, y, m_width, m_copie.data() + static_cast<std::size_t>(y) * m_width);
    }
    std::uint32_t operator()(int x, int y) const
    {
        if (m_copie.empty())
            return reinterpret_cast<const std::uint32_t*>(m_image.row(y))[x] & 0x00FFFFFF;
        return m_copie[static_cast<std::size_t>(y) * m_width + x];
    }

private:
    const Bitmap& m_image;
    int m_width;
    std::vector<std::uint32_t> m_copie;
};

} // namespace

HBITMAP CGraphique::RotationImage(HDC, HBITMAP source, int angle)
{
    BITMAP info{};
    if (!GetObject(source, sizeof info, &info))
        return nullptr;
    // Half-degrees: 180 is a quarter turn, clockwise on screen.
    const double theta = angle * std::numbers::pi * (1.0 / 360);
    const double c = std::cos(theta), s = std::sin(theta);
    const int b = info.bmWidth - 1, k = info.bmHeight - 1;
    const int cornersX[] = {0, Arrondi(b * c), Arrondi(-k * s), Arrondi(b * c - k * s)};
    const int cornersY[] = {0, Arrondi(b * s), Arrondi(k * c), Arrondi(k * c + b * s)};
    const auto [minX, maxX] = std::minmax_element(std::begin(cornersX), std::end(cornersX));
    const auto [minY, maxY] = std::minmax_element(std::begin(cornersY), std::end(cornersY));
    const int width = *maxX - *minX + 1, height = *maxY - *minY + 1;
    HBITMAP result = CreateBitmap(width, height, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    try {
        const Source pixels(*source);
        // Each product is the one the per-pixel formula would compute, so
        // the sums and their truncations are bit for bit the same.
        std::vector<double> xc(static_cast<std::size_t>(width)), xs(static_cast<std::size_t>(width));
        for (int i = 0; i < width; ++i) {
            xc[i] = (*minX + i) * c;
            xs[i] = (*minX + i) * s;
        }
        const auto w = static_cast<unsigned>(info.bmWidth), h = static_cast<unsigned>(info.bmHeight);
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
        for (int Y = *minY; Y <= *maxY; ++Y) {
            const double yc = Y * c, ys = Y * s;
            for (int i = 0; i < width; ++i) {
                const int x = static_cast<int>(xc[i] + ys), y = static_cast<int>(yc - xs[i]);
                row[i] = static_cast<unsigned>(x) < w && static_cast<unsigned>(y) < h ? pixels(x, y) : kBlanc;
            }
            PixelRows::Write(*result, 0, Y - *minY, width, row.data());
        }
    } catch (const std::bad_alloc&) {
        DeleteObject(result);
        return nullptr;
    }
    return result;
}
