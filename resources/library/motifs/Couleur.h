#pragma once
// A colour as three channels on a 0-255 scale, and the blends the motifs use.

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

struct Couleur {
    double r = 0, g = 0, b = 0;

    Couleur operator+(Couleur o) const { return {r + o.r, g + o.g, b + o.b}; }
    Couleur operator-(Couleur o) const { return {r - o.r, g - o.g, b - o.b}; }
    Couleur operator*(double k) const { return {r * k, g * k, b * k}; }
};

// 0xRRGGBB, as colours are usually written.
constexpr Couleur Hex(unsigned rgb)
{
    return {double((rgb >> 16) & 0xFF), double((rgb >> 8) & 0xFF), double(rgb & 0xFF)};
}

inline Couleur Melange(Couleur a, Couleur b, double t) { return a + (b - a) * t; }

inline double Borne(double x, double lo = 0, double hi = 1) { return std::clamp(x, lo, hi); }

inline double Fract(double x) { return x - std::floor(x); }

inline double Lisse(double bas, double haut, double x)
{
    const double t = Borne((x - bas) / (haut - bas));
    return t * t * (3 - 2 * t);
}

// Evenly spaced stops; t outside 0..1 takes the end colours.
inline Couleur Rampe(const std::vector<Couleur>& stops, double t)
{
    const double p = Borne(t) * (stops.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(p), stops.size() - 2);
    return Melange(stops[i], stops[i + 1], p - i);
}

// Shortest signed distance between two coordinates on a circle of this length.
inline double Ecart(double a, double b, double longueur)
{
    double d = std::fmod(a - b, longueur);
    if (d > longueur / 2)
        d -= longueur;
    if (d < -longueur / 2)
        d += longueur;
    return d;
}
