#pragma once
// A plane of coverage, one byte a pixel (0 outside), with the outline that
// grows from it and the blur a shadow is made of. Rows are padded with zeros
// to whole blocks, so every loop over a row runs in steps of a fixed count
// the compiler turns into vector code at the project's optimisation level.

#include <cstddef>
#include <cstdint>
#include <vector>

class MasqueStyle {
public:
    static constexpr int kBloc = 16;

    MasqueStyle() = default;
    MasqueStyle(int largeur, int hauteur);

    int Largeur() const { return m_largeur; }
    int Hauteur() const { return m_hauteur; }
    // Bytes from one row to the next: the width rounded up to whole blocks.
    int Pas() const { return m_pas; }
    std::uint8_t* Ligne(int y) { return m_v.data() + static_cast<std::size_t>(y) * m_pas; }
    const std::uint8_t* Ligne(int y) const { return m_v.data() + static_cast<std::size_t>(y) * m_pas; }
    int At(int x, int y) const { return x < 0 || y < 0 || x >= m_largeur || y >= m_hauteur ? 0 : Ligne(y)[x]; }

    // The glyphs (coverage of 128 and more) grown by largeur pixels,
    // antialiased over the last one, over the mask itself. Distances come
    // from a two-pass 5-7-11 chamfer transform (fifths of a pixel, within 2 %
    // of the Euclidean distance): two raster scans of adds and minimums,
    // whatever the width.
    MasqueStyle Contour(int largeur) const;
    // Three box passes each way: close to a Gaussian of that radius, at a
    // cost that does not grow with it. Nothing for a radius of 0 or less.
    void Floute(int rayon);

private:
    int m_largeur = 0;
    int m_hauteur = 0;
    int m_pas = 0;
    std::vector<std::uint8_t> m_v;
};
