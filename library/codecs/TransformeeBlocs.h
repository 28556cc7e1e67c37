#pragma once
// The 8 x 8 transforms of the block-level JPEG way: a block's samples from
// its quantized coefficients, and its coefficients from samples, both with
// the file's own quantization table (coefficients in natural order).

#include <array>
#include <cstdio>
#include <jpeglib.h>

class TransformeeBlocs {
public:
    TransformeeBlocs();

    // Samples 0 to 255, row by row, as a decoder rounds and clamps them.
    void Inverse(const JCOEF* coefficients, const JQUANT_TBL& table, JSAMPLE* echantillons) const;
    // Samples 0 to 255 (not rounded: averages of several pixels) to
    // coefficients rounded to the nearest quantization step.
    void Directe(const float* echantillons, const JQUANT_TBL& table, JCOEF* coefficients) const;

    // std::lround without the library call, which would stop the loops
    // from being vectorised; |v| must stay below 2^31.
    static int Arrondi(float v)
    {
        const int entier = static_cast<int>(v);
        const float reste = v - static_cast<float>(entier);
        return entier + (reste >= 0.5f) - (reste <= -0.5f);
    }

private:
    // m_base[u][x]: the weight of frequency u at position x; m_transposee
    // is the same read the other way, so that both passes run along rows.
    std::array<std::array<float, 8>, 8> m_base{};
    std::array<std::array<float, 8>, 8> m_transposee{};
};
