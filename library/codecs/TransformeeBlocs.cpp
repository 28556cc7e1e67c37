#include "TransformeeBlocs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// Every sum below runs 8 wide along a row, its terms added in the same order
// as a plain dot product, so the compiler may vectorise it without changing a
// bit; unrolled so that the 8 partial sums stay in registers. Rounding and
// narrowing have loops of their own, which then vectorise too.

namespace {

// Beyond what any 8-bit picture's coefficients reach once dequantized;
// bounds a hostile file's sums well inside an int.
constexpr int kFrequenceMax = 1 << 20;

} // namespace

TransformeeBlocs::TransformeeBlocs()
{
    // Orthonormal: the forward transform is the transpose of the inverse.
    for (int u = 0; u < 8; ++u)
        for (int x = 0; x < 8; ++x) {
            m_base[u][x] = static_cast<float>((u == 0 ? std::sqrt(0.125) : 0.5)
                                              * std::cos((2 * x + 1) * u * std::numbers::pi / 16));
            m_transposee[x][u] = m_base[u][x];
        }
}

void TransformeeBlocs::Inverse(const JCOEF* coefficients, const JQUANT_TBL& table, JSAMPLE* echantillons) const
{
    float frequences[64];
    for (int k = 0; k < 64; ++k)
        frequences[k] = static_cast<float>(
            std::clamp(coefficients[k] * table.quantval[k], -kFrequenceMax, kFrequenceMax));
    float lignes[64];
    for (int v = 0; v < 8; ++v) {
        float somme[8] = {};
#pragma GCC unroll 8
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x)
                somme[x] += m_base[u][x] * frequences[v * 8 + u];
        std::copy_n(somme, 8, lignes + v * 8);
    }
    float valeurs[64];
    for (int y = 0; y < 8; ++y) {
        float somme[8];
        std::fill_n(somme, 8, 128.0f);
#pragma GCC unroll 8
        for (int v = 0; v < 8; ++v)
            for (int x = 0; x < 8; ++x)
                somme[x] += m_base[v][y] * lignes[v * 8 + x];
        std::copy_n(somme, 8, valeurs + y * 8);
    }
    int entiers[64];
    for (int k = 0; k < 64; ++k)
        entiers[k] = std::clamp(Arrondi(valeurs[k]), 0, 255);
    for (int k = 0; k < 64; ++k)
        echantillons[k] = static_cast<JSAMPLE>(entiers[k]);
}

void TransformeeBlocs::Directe(const float* echantillons, const JQUANT_TBL& table, JCOEF* coefficients) const
{
    float lignes[64];
    for (int y = 0; y < 8; ++y) {
        float somme[8] = {};
#pragma GCC unroll 8
        for (int x = 0; x < 8; ++x)
            for (int u = 0; u < 8; ++u)
                somme[u] += m_transposee[x][u] * (echantillons[y * 8 + x] - 128.0f);
        std::copy_n(somme, 8, lignes + y * 8);
    }
    float quotients[64];
    for (int v = 0; v < 8; ++v) {
        float somme[8] = {};
#pragma GCC unroll 8
        for (int y = 0; y < 8; ++y)
            for (int u = 0; u < 8; ++u)
                somme[u] += m_base[v][y] * lignes[y * 8 + u];
        for (int u = 0; u < 8; ++u)
            quotients[v * 8 + u] = somme[u] / static_cast<float>(std::max<int>(table.quantval[v * 8 + u], 1));
    }
    int entiers[64];
    for (int k = 0; k < 64; ++k)
        entiers[k] = Arrondi(quotients[k]);
    for (int k = 0; k < 64; ++k)
        coefficients[k] = static_cast<JCOEF>(entiers[k]);
}
