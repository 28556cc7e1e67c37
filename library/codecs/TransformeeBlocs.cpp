#include "TransformeeBlocs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TransformeeBlocs::TransformeeBlocs()
{
    // Orthonormal: the forward transform is the transpose of the inverse.
    for (int u = 0; u < 8; ++u)
        for (int x = 0; x < 8; ++x)
            m_base[u][x] = static_cast<float>((u == 0 ? std::sqrt(0.125) : 0.5)
                                              * std::cos((2 * x + 1) * u * std::numbers::pi / 16));
}

void TransformeeBlocs::Inverse(const JCOEF* coefficients, const JQUANT_TBL& table, JSAMPLE* echantillons) const
{
    float lignes[64];
    for (int v = 0; v < 8; ++v)
        for (int x = 0; x < 8; ++x) {
            float somme = 0;
            for (int u = 0; u < 8; ++u)
                somme += m_base[u][x] * static_cast<float>(coefficients[v * 8 + u] * table.quantval[v * 8 + u]);
            lignes[v * 8 + x] = somme;
        }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            float somme = 128.0f;
            for (int v = 0; v < 8; ++v)
                somme += m_base[v][y] * lignes[v * 8 + x];
            echantillons[y * 8 + x] = static_cast<JSAMPLE>(std::clamp(std::lround(somme), 0L, 255L));
        }
}

void TransformeeBlocs::Directe(const float* echantillons, const JQUANT_TBL& table, JCOEF* coefficients) const
{
    float lignes[64];
    for (int y = 0; y < 8; ++y)
        for (int u = 0; u < 8; ++u) {
            float somme = 0;
            for (int x = 0; x < 8; ++x)
                somme += m_base[u][x] * (echantillons[y * 8 + x] - 128.0f);
            lignes[y * 8 + u] = somme;
        }
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            float somme = 0;
            for (int y = 0; y < 8; ++y)
                somme += m_base[v][y] * lignes[y * 8 + u];
            const int q = std::max<int>(table.quantval[v * 8 + u], 1);
            coefficients[v * 8 + u] = static_cast<JCOEF>(std::lround(somme / static_cast<float>(q)));
        }
}
