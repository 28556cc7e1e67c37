#include "CGraphique.h"

#include "MemoryContext.h"
#include "PixelRows.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

// The three settings turned into the terms of the per-channel formula. Kept
// per call rather than shared, so that adjustments may run side by side.
struct Reglage {
    Reglage(int light, int contrast, int intensity)
        : lumiere(static_cast<int>((light - 50) * 2.55)), gain(contrast * 0.02),
          coefficient(((intensity * 0.4 - 20) * 0.25) / 255), intensite(intensity != 50)
    {
    }
    double Lineaire(int c) const { return c * gain + coefficient + lumiere; }

    int lumiere;
    double gain;
    double coefficient;
    bool intensite;
};

BYTE Borne(double x)
{
    if (x >= 255)
        return 255;
    if (x < 0)
        return 0;
    return static_cast<BYTE>(x);
}

// Adjusts one pixel given as blue, green, red.
void Ajuste(const Reglage& reglage, BYTE& blue, BYTE& green, BYTE& red)
{
    double b = reglage.Lineaire(blue), g = reglage.Lineaire(green), r = reglage.Lineaire(red);
    if (reglage.intensite) {
        // The conversions are fed blue first: the channel order is the pixel's own.
        double h, s, v;
        CGraphique::fp_rgb_to_hsv(b, g, r, &h, &s, &v);
        if (v >= 128)
            v = v * (1 + (v - 128) * reglage.coefficient);
        CGraphique::fp_hsv_to_rgb(h, s, v, &b, &g, &r);
    }
    blue = Borne(b);
    green = Borne(g);
    red = Borne(r);
}

// Without intensity each channel depends on itself alone: one table serves all.
class Ajusteur {
public:
    explicit Ajusteur(const Reglage& reglage) : m_reglage(reglage)
    {
        for (int c = 0; c < 256; ++c)
            m_table[c] = Borne(reglage.Lineaire(c));
    }
    void operator()(BYTE& blue, BYTE& green, BYTE& red) const
    {
        if (m_reglage.intensite) {
            Ajuste(m_reglage, blue, green, red);
        } else {
            blue = m_table[blue];
            green = m_table[green];
            red = m_table[red];
        }
    }

private:
    Reglage m_reglage;
    std::array<BYTE, 256> m_table;
};

void AjusteBloc(HBITMAP image, const Ajusteur& ajuste)
{
    const std::size_t bytes = static_cast<std::size_t>(image->width()) * image->height() * 4;
    auto* block = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, bytes));
    if (!block)
        return;
    GetBitmapBits(image, static_cast<LONG>(bytes), block);
    for (BYTE* p = block; p < block + bytes; p += 4)
        ajuste(p[0], p[1], p[2]);
    SetBitmapBits(image, static_cast<DWORD>(bytes), block);
    GlobalFree(block);
}

// Same as reading and writing each pixel as a colour value, a row at a time.
void AjusteLignes(HBITMAP image, const Ajusteur& ajuste)
{
    std::vector<std::uint32_t> row(static_cast<std::size_t>(image->width()));
    for (int y = 0; y < image->height(); ++y) {
        PixelRows::Read(*image, 0, y, image->width(), row.data());
        for (std::uint32_t& p : row) {
            BYTE blue = p & 0xFF, green = (p >> 8) & 0xFF, red = (p >> 16) & 0xFF;
            ajuste(blue, green, red);
            p = (std::uint32_t(red) << 16) | (std::uint32_t(green) << 8) | blue;
        }
        PixelRows::Write(*image, 0, y, image->width(), row.data());
    }
}

} // namespace

HBITMAP CGraphique::ReglageImage(HDC reference, HBITMAP image, int light, int contrast, int intensity)
{
    BITMAP info{};
    if (!GetObject(image, sizeof info, &info))
        return nullptr;
    HBITMAP result = CreateBitmap(info.bmWidth, info.bmHeight, info.bmPlanes, info.bmBitsPixel, nullptr);
    if (!result)
        return nullptr;
    {
        MemoryContext from(reference, image);
        MemoryContext to(reference, result);
        BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
    }
    if (light == 50 && contrast == 50 && intensity == 50)
        return result;
    const Ajusteur ajuste(Reglage(light, contrast, intensity));
    if (info.bmBitsPixel == 32)
        AjusteBloc(result, ajuste);
    else
        AjusteLignes(result, ajuste);
    return result;
}

void CGraphique::fp_rgb_to_hsv(double r, double g, double b, double* h, double* s, double* v)
{
    double max, min;
    if (r > g) {
        max = r > b ? r : b;
        min = g < b ? g : b;
    } else {
        max = g > b ? g : b;
        min = r < b ? r : b;
    }
    *h = 0;
    *v = max;
    *s = max != 0 ? (max - min) * 255 / max : 0;
    if (*s == 0)
        return;
    const double d = max - min;
    double hue = 0;
    if (r == max)
        hue = (g - b) / d;
    else if (g == max)
        hue = 2 + (b - r) / d;
    else if (b == max)
        hue = 4 + (r - g) / d;
    hue *= 42.5;
    if (hue < 0)
        hue += 255;
    if (hue > 255)
        hue -= 255;
    *h = hue;
}

void CGraphique::fp_hsv_to_rgb(double h, double s, double v, double* r, double* g, double* b)
{
    if (static_cast<long long>(s) == 0) {
        *r = *g = *b = v;
        return;
    }
    const double hh = h * 0.023529411764705882;
    const double ss = s * 0.00392156862745098;
    const double vv = v * 0.00392156862745098;
    const int i = static_cast<int>(hh);
    const double f = hh - i;
    const double p = (1 - ss) * vv;
    const double q = (1 - f * ss) * vv;
    const double t = (1 - (1 - f) * ss) * vv;
    double x, y, z;
    switch (i) {
    case 1:
        x = q, y = vv, z = p;
        break;
    case 2:
        x = p, y = vv, z = t;
        break;
    case 3:
        x = p, y = q, z = vv;
        break;
    case 4:
        x = t, y = p, z = vv;
        break;
    case 5:
        x = vv, y = p, z = q;
        break;
    default:
        // Sector 0, and a hue rounded up to 255 that wraps round to it.
        x = vv, y = t, z = p;
        break;
    }
    *r = x * 255;
    *g = y * 255;
    *b = z * 255;
}
