#include "Bruit.h"

#include <cmath>
#include <numbers>

namespace {

int Enroule(int i, int periode) { return ((i % periode) + periode) % periode; }

double Fondu(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

} // namespace

std::uint32_t Bruit::Melange(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

std::uint32_t Bruit::Hache(int i, int j, int k) const
{
    return Melange(m_graine ^ Melange(static_cast<std::uint32_t>(i) * 0x9E3779B1U
                                      ^ Melange(static_cast<std::uint32_t>(j) * 0x85EBCA77U
                                                ^ Melange(static_cast<std::uint32_t>(k) + 0x27D4EB2FU))));
}

double Bruit::Hasard(int i, int j, int k) const { return Hache(i, j, k) / 4294967296.0; }

double Bruit::Hasard(std::uint32_t id, int k)
{
    return Melange(id ^ Melange(static_cast<std::uint32_t>(k) + 0x165667B1U)) / 4294967296.0;
}

double Bruit::Gradient(double u, double v, int px, int py) const
{
    const double fu = std::floor(u), fv = std::floor(v);
    const int i = static_cast<int>(fu), j = static_cast<int>(fv);
    const double x = u - fu, y = v - fv;
    auto coin = [&](int di, int dj) {
        const double a = Hasard(Enroule(i + di, px), Enroule(j + dj, py)) * 2 * std::numbers::pi;
        return std::cos(a) * (x - di) + std::sin(a) * (y - dj);
    };
    const double sx = Fondu(x), sy = Fondu(y);
    const double haut = coin(0, 0) + (coin(1, 0) - coin(0, 0)) * sx;
    const double bas = coin(0, 1) + (coin(1, 1) - coin(0, 1)) * sx;
    return (haut + (bas - haut) * sy) * 1.4;
}

double Bruit::Fractal(double u, double v, int px, int py, int octaves, double gain) const
{
    double somme = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        somme += Gradient(u, v, px, py) * amplitude;
        total += amplitude;
        amplitude *= gain;
        u *= 2, v *= 2, px *= 2, py *= 2;
    }
    return somme / total;
}

double Bruit::Turbulence(double u, double v, int px, int py, int octaves) const
{
    double somme = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        somme += std::abs(Gradient(u, v, px, py)) * amplitude;
        total += amplitude;
        amplitude *= 0.5;
        u *= 2, v *= 2, px *= 2, py *= 2;
    }
    return somme / total;
}

Bruit::Cellule Bruit::Worley(double u, double v, int px, int py, double jitter) const
{
    const int i = static_cast<int>(std::floor(u)), j = static_cast<int>(std::floor(v));
    Cellule c;
    for (int dj = -2; dj <= 2; ++dj)
        for (int di = -2; di <= 2; ++di) {
            const int wi = Enroule(i + di, px), wj = Enroule(j + dj, py);
            const double x = i + di + 0.5 + (Hasard(wi, wj, 1) - 0.5) * jitter;
            const double y = j + dj + 0.5 + (Hasard(wi, wj, 2) - 0.5) * jitter;
            const double d = std::hypot(u - x, v - y);
            if (d < c.f1) {
                c.f2 = c.f1;
                c.f1 = d;
                c.id = Hache(wi, wj, 3);
                c.dx = u - x;
                c.dy = v - y;
            } else if (d < c.f2) {
                c.f2 = d;
            }
        }
    return c;
}
