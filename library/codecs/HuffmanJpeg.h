#pragma once
// One Huffman table of a JPEG file, for reading its codes and writing them,
// without the library: the entropy-coded data of rows a signature leaves
// alone is copied with the table it was written with.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

class HuffmanJpeg {
public:
    // The zigzag order's position k in a block stored in natural order.
    static const std::array<std::uint8_t, 64> kNaturel;

    // False when table is not a code a decoder can read (too many codes of
    // a length, or symbols that do not fit).
    bool Construit(const JHUFF_TBL& table);

    // The symbol whose code starts the 16 bits given (the next bits of the
    // data, first bit highest); longueur receives the code's length, 0 when
    // no code matches.
    int Decode(std::uint32_t seizeBits, int& longueur) const
    {
        const Entree& e = m_Rapide[seizeBits >> (16 - kRapide)];
        if (e.longueur) {
            longueur = e.longueur;
            return e.symbole;
        }
        return DecodeLong(seizeBits, longueur);
    }
    // A symbol's code and length; length 0 when the table has no code for it.
    std::uint16_t Code(int symbole) const { return m_Code[std::size_t(symbole)]; }
    std::uint8_t Longueur(int symbole) const { return m_Longueur[std::size_t(symbole)]; }

private:
    static constexpr int kRapide = 11; // codes this long or shorter are found in one look
    struct Entree {
        std::uint8_t longueur = 0;
        std::uint8_t symbole = 0;
    };
    int DecodeLong(std::uint32_t seizeBits, int& longueur) const;

    std::array<Entree, 1 << kRapide> m_Rapide{};
    // Per length: the largest code (-1 for none) and where its symbols start.
    std::array<std::int32_t, 17> m_CodeMax{};
    std::array<std::int32_t, 17> m_Decalage{};
    std::array<std::uint8_t, 256> m_Symboles{};
    std::array<std::uint16_t, 256> m_Code{};
    std::array<std::uint8_t, 256> m_Longueur{};
};
