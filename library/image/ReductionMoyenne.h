#pragma once
// A picture made smaller as its rows come in: each pixel of the result is
// the mean of the source area under it, weighted by how much of each source
// pixel it covers. Only one row of sums is kept, so a decoder can hand its
// rows over in small batches and no whole picture at the source size exists.

#include "Bitmap.h"

#include <cstdint>
#include <vector>

class ReductionMoyenne {
public:
    // Rows of source.cx pixels, source.cy of them, into cible (32 bits per
    // pixel, no side larger than the source's). Throws std::bad_alloc.
    ReductionMoyenne(CSize source, Bitmap& cible);

    // The next source row: 4 bytes a pixel, B, G, R and one ignored. Rows
    // beyond the source's height are ignored.
    void Ajoute(const BYTE* ligne);

    // One pixel's four channels, as the sums hold them.
    using Pixel = float __attribute__((vector_size(16)));

private:
    // Adds poids times the row to the sums, or starts them with it.
    void Accumule(const BYTE* ligne, float poids);
    // The sums, averaged across, as result row m_Ligne; then starts the next.
    void Emet();

    Bitmap& m_Cible;
    std::int64_t m_Source;  // source height
    std::int64_t m_Hauteur; // result height
    std::int64_t m_Lue = 0; // source rows received
    int m_Ligne = 0;        // result row being summed
    bool m_Vide = true;     // no row summed into it yet
    // Across: result column x averages the m_Prises source pixels from
    // m_Premier[x] on, with the weights m_Poids[x * m_Prises] on; the same
    // count for every column, the missing ones weighing 0, keeps the loop
    // free of unpredictable branches.
    int m_Prises = 1;
    std::vector<int> m_Premier;
    std::vector<float> m_Poids;
    // One per source pixel, this result row's rows summed, then m_Prises
    // zeros for the last columns' padding.
    std::vector<Pixel> m_Sommes;
    std::size_t m_Largeur; // source width
};
