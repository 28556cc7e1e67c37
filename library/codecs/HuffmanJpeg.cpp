#include "HuffmanJpeg.h"

const std::array<std::uint8_t, 64> HuffmanJpeg::kNaturel = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

bool HuffmanJpeg::Construit(const JHUFF_TBL& table)
{
    *this = HuffmanJpeg();
    // Canonical codes: each length's codes follow the shorter ones', doubled.
    std::uint32_t code = 0;
    int k = 0;
    for (int longueur = 1; longueur <= 16; ++longueur) {
        const int nombre = table.bits[longueur];
        m_Decalage[std::size_t(longueur)] = k - std::int32_t(code);
        m_CodeMax[std::size_t(longueur)] = -1;
        for (int i = 0; i < nombre; ++i, ++k, ++code) {
            if (k >= 256 || code >= (1u << longueur))
                return false;
            const std::uint8_t symbole = table.huffval[k];
            m_Symboles[std::size_t(k)] = symbole;
            if (m_Longueur[symbole]) // a symbol twice: which code would a writer use?
                return false;
            m_Code[symbole] = std::uint16_t(code);
            m_Longueur[symbole] = std::uint8_t(longueur);
            if (longueur <= kRapide) {
                const std::uint32_t premier = code << (kRapide - longueur);
                for (std::uint32_t j = 0; j < (1u << (kRapide - longueur)); ++j)
                    m_Rapide[premier + j] = {std::uint8_t(longueur), symbole};
            }
        }
        if (nombre)
            m_CodeMax[std::size_t(longueur)] = std::int32_t(code) - 1;
        code <<= 1;
    }
    return true;
}

int HuffmanJpeg::DecodeLong(std::uint32_t seizeBits, int& longueur) const
{
    for (int l = kRapide + 1; l <= 16; ++l) {
        const auto code = std::int32_t(seizeBits >> (16 - l));
        if (code <= m_CodeMax[std::size_t(l)]) {
            longueur = l;
            return m_Symboles[std::size_t(code + m_Decalage[std::size_t(l)])];
        }
    }
    longueur = 0;
    return 0;
}
