#pragma once
// The one scan of a baseline Huffman-coded JPEG, read and written again
// without the library: the rows asked for are decoded into blocks, the
// others only passed over; on writing, the rows asked for are coded again
// from their blocks and every other row's bits are copied as they were. A
// row's bits are the same whichever way they come, so the file is the one
// the library would write for the same blocks and tables, at a fraction of
// the cost: most of a signed photograph is never decoded or coded again.

#include "HuffmanJpeg.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class BalayageJpeg {
public:
    struct Composante {
        int h = 1, v = 1;                // blocks of it in an MCU, across and down
        int largeur = 0, hauteur = 0;    // its blocks that hold pixels
        const HuffmanJpeg* dc = nullptr; // its tables, which outlive the scan
        const HuffmanJpeg* ac = nullptr;
    };
    // The scan's MCUs: mcusParLigne across, lignes down, a restart marker
    // every restart MCUs (0: none). Each component's rows of blocks are
    // mcusParLigne * h blocks wide.
    BalayageJpeg(std::vector<Composante> composantes, int mcusParLigne, int lignes, int restart);

    // donnees: the file's bytes from the scan's first one to its end. The
    // rows of MCUs marked in decodees are decoded. False when the data is
    // not a whole scan as described: cut short, damaged, restart markers
    // out of place; the library's way then tells what is wrong.
    // With deuxFils, a second thread reads the second half at the same
    // time: from the middle restart marker on, or without them from a
    // guessed position, when the guess falls into step (see EnDeux).
    bool Lit(const std::uint8_t* donnees, std::size_t taille, const std::vector<bool>& decodees,
             bool deuxFils = false);
    // Whether the last Lit took the second half from the second thread.
    bool EnDeux() const { return m_EnDeux; }
    // Block row y of component c, within a row of MCUs decoded; null
    // otherwise. Blocks may be changed before Ecrit.
    JBLOCKROW Rangee(int c, int y) const { return m_Rangees[std::size_t(c)][std::size_t(y)]; }

    // The scan again, into sortie: the rows of MCUs marked in recodees
    // (all decoded) coded from their blocks, the others' bits copied; then
    // the end of image. For the copied bits to mean what they meant, a row
    // after a row whose DC values changed must be coded again too. False
    // when a block holds a value baseline coding cannot hold.
    bool Ecrit(const std::vector<bool>& recodees, std::vector<std::uint8_t>& sortie);

private:
    // The next n bits (n from 1 to 56) from bit position pos of the data.
    std::uint64_t Bits(std::uint64_t pos, int n) const
    {
        std::uint64_t v;
        __builtin_memcpy(&v, m_Octets.data() + (pos >> 3), sizeof v);
        return (__builtin_bswap64(v) << (pos & 7)) >> (64 - n);
    }
    // The data's bits in a register, refilled a few bytes at a time.
    struct Lecteur {
        const std::uint8_t* debut;
        const std::uint8_t* suivant = debut; // the next byte to load
        std::uint64_t bits = 0;              // first bit highest, zeros after the last
        int nombre = 0;                      // bits held

        // At least 56 bits held; the data holds 8 bytes past any position read.
        void Remplit()
        {
            std::uint64_t v;
            __builtin_memcpy(&v, suivant, sizeof v);
            bits |= __builtin_bswap64(v) >> nombre;
            suivant += (63 - nombre) >> 3;
            nombre |= 56;
        }
        std::uint32_t Voit(int n) const { return std::uint32_t(bits >> (64 - n)); }
        void Passe(int n)
        {
            bits <<= n;
            nombre -= n;
        }
        std::uint64_t Position() const { return std::uint64_t(suivant - debut) * 8 - std::uint64_t(nombre); }
        void Va(std::uint64_t position)
        {
            suivant = debut + position / 8;
            bits = 0;
            nombre = 0;
            Remplit();
            Passe(int(position % 8));
        }
    };

    // The MCUs met passing over the data from a guessed position: where
    // each starts and the DC values there, counted from the guess.
    struct Suite {
        struct Debut {
            std::uint64_t position;
            std::array<int, MAX_COMPS_IN_SCAN> dc;
        };
        std::vector<Debut> debuts;
        std::uint64_t fin = 0; // after the last one
    };
    // Until the data's end, or arret.
    Suite PasseDepuis(std::uint64_t depart, std::uint64_t fin, const std::atomic<bool>& arret) const;
    // When the MCU starting row ligne is one suite met (and as many come
    // after it as rows remain), the rest of the scan is taken from it: true,
    // or false when a row to decode there is damaged; nothing otherwise.
    std::optional<bool> Raccorde(const Suite& suite, int ligne, const std::vector<int>& dc, const std::vector<bool>& decodees);
    bool Mcu(Lecteur& lecteur, std::vector<int>& dc, int ligne, int x, bool decode) const;
    // Called at each row's start with its DC predictions and position: a
    // result ends the reading with it.
    using AChaqueLigne = std::function<std::optional<bool>(int ligne, const std::vector<int>& dc, std::uint64_t)>;
    // MCUs premier (0 or a segment's first) to dernier read, each row's start
    // and each segment's end noted; false when the data is not as expected.
    bool Parcourt(int premier, int dernier, const std::vector<bool>& decodees, const AChaqueLigne& ligne);
    bool Desempile(const std::uint8_t* donnees, std::size_t taille);
    // The bit after the data's last, before the margin read past it.
    std::uint64_t FinDonnees() const;
    // A block's DC difference, added to dc.
    static bool LitDc(const Composante& c, Lecteur& lecteur, int& dc);
    bool LitBloc(const Composante& c, Lecteur& lecteur, int& dc, JCOEF* bloc) const;
    bool PasseBloc(const Composante& c, Lecteur& lecteur, int& dc) const;

    // Writing.
    // n bits (at most 32) after those written.
    void Place(std::uint64_t bits, int n);
    // Every whole byte held goes out.
    void VideOctets();
    void Complete();
    void Redemarre(int segment);
    void CopieBits(std::uint64_t debut, std::uint64_t fin);
    void Copie(int premiere, int fin);
    bool CodeBloc(const Composante& c, const JCOEF* bloc, int& dc);
    bool CodeMcu(int mcu, std::vector<int>& dc);
    // Room for octets more bytes.
    void Reserve(std::size_t octets);

    std::vector<Composante> m_Composantes;
    int m_McusParLigne, m_Lignes, m_Restart, m_Segments;
    // The data without its stuffed zeros and markers, each segment between
    // restart markers from a whole byte on, then zeros to read past it.
    std::vector<std::uint8_t> m_Octets;
    std::vector<std::uint64_t> m_DebutSegment; // bit positions
    std::vector<std::uint64_t> m_FinSegment;   // after its last MCU
    std::vector<std::uint64_t> m_DebutLigne;   // each row of MCUs' first bit
    std::vector<std::vector<int>> m_DcLigne;   // the DC predictions there
    std::vector<std::vector<JCOEF>> m_Blocs;   // per component, decoded rows, 64 a block
    std::vector<std::vector<JBLOCKROW>> m_Rangees;
    bool m_EnDeux = false;

    std::vector<std::uint8_t>* m_Sortie = nullptr;
    std::size_t m_Ecrits = 0; // bytes of m_Sortie written, the rest room made by Reserve
    std::uint64_t m_Accumule = 0;
    int m_NombreBits = 0;
};
