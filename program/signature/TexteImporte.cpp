#include "TexteImporte.h"

#include <cstdint>

namespace {

// 0x80 to 0x9F; the other bytes are their own code points.
constexpr char16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool Suite(unsigned char c) { return (c & 0xC0) == 0x80; }

void AjouteUtf8(CString& sortie, std::uint32_t point)
{
    if (point < 0x80) {
        sortie += static_cast<char>(point);
    } else if (point < 0x800) {
        sortie += static_cast<char>(0xC0 | (point >> 6));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        sortie += static_cast<char>(0xE0 | (point >> 12));
        sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    }
}

} // namespace

bool TexteImporte::EstUtf8(std::string_view octets)
{
    const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
    const std::size_t n = octets.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t suite;
        std::uint32_t minimum;
        if (c >= 0xC2 && c <= 0xDF) {
            suite = 1;
            minimum = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            suite = 2;
            minimum = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            suite = 3;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (n - i <= suite)
            return false;
        std::uint32_t point = c & (0x3F >> suite);
        for (std::size_t k = 1; k <= suite; ++k) {
            if (!Suite(p[i + k]))
                return false;
            point = (point << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past Unicode are not UTF-8.
        if (point < minimum || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
            return false;
        i += suite + 1;
    }
    return true;
}

CString TexteImporte::DepuisWindows1252(std::string_view octets)
{
    CString sortie;
    sortie.reserve(octets.size());
    for (const char octet : octets) {
        const auto c = static_cast<unsigned char>(octet);
        AjouteUtf8(sortie, c >= 0x80 && c < 0xA0 ? kWindows1252[c - 0x80] : c);
    }
    return sortie;
}

CString TexteImporte::Borne(CString texte)
{
    if (texte.size() <= kTailleMaximale)
        return texte;
    std::size_t fin = kTailleMaximale;
    while (fin > 0 && Suite(static_cast<unsigned char>(texte[fin])))
        --fin;
    texte.resize(fin);
    return texte;
}

CString TexteImporte::DepuisModele(std::string_view octets)
{
    // Every byte gives at least one: the bytes past the limit could never be kept.
    const std::string_view utile = octets.substr(0, kTailleMaximale + 1);
    return Borne(EstUtf8(octets) ? CString(utile) : DepuisWindows1252(utile));
}
