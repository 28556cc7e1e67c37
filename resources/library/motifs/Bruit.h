#pragma once
// Noise that repeats: every lattice is wrapped at a whole number of cells, so
// a tile made from it joins its neighbours without a seam.

#include <cstdint>

class Bruit {
public:
    explicit Bruit(std::uint32_t graine) : m_graine(graine) {}

    // Gradient noise, about -1 to 1, repeating every px cells across and py down.
    double Gradient(double u, double v, int px, int py) const;
    // Octaves of Gradient, each at twice the frequency (and period) of the last.
    double Fractal(double u, double v, int px, int py, int octaves, double gain = 0.5) const;
    // Fractal of the absolute noise: creases and veins.
    double Turbulence(double u, double v, int px, int py, int octaves) const;

    struct Cellule {
        double f1 = 1e9;          // distance to the nearest feature point, in cells
        double f2 = 1e9;          // distance to the second nearest
        std::uint32_t id = 0;     // the nearest point's cell, the same on every repeat
        double dx = 0, dy = 0;    // from the nearest point to (u, v)
    };
    // One feature point per cell, moved from the centre by up to jitter / 2.
    Cellule Worley(double u, double v, int px, int py, double jitter = 1.0) const;

    // A number in [0, 1) fixed by three integers.
    double Hasard(int i, int j, int k = 0) const;
    static double Hasard(std::uint32_t id, int k);

private:
    static std::uint32_t Melange(std::uint32_t x);
    std::uint32_t Hache(int i, int j, int k) const;

    std::uint32_t m_graine;
};
