#pragma once
// Decoding limits shared by every picture reader: the pixels, the memory and
// the work one file may make us spend, checked before they are spent.
//
// A reader opens one account per decoding (Debute), asks before every large
// allocation (Reserve) and before every pass over the picture (Travaille),
// and gives up cleanly on a refusal. Work is counted in the reader's own
// unit (blocks, pixels) against what the file's bytes can honestly stand
// for: a few hundred bytes cannot demand hundreds of passes over a picture
// of a gigabyte. A budget travels with the decoding: whoever reads a
// picture hands one to the reader (a toolbox has its own), so workers never
// share one and tests and fuzz targets set their own limits.

#include <cstdint>

class Budget {
public:
    enum class Refus { Aucun, Pixels, Memoire, Donnees, Travail };

    struct Limites {
        std::uint64_t pixels; // of one image
        std::uint64_t octets; // held at once by one decoding
    };
    // 2^28 pixels is the largest device image we create (16384 x 16384);
    // 1.25 GiB holds its 1 GiB of 32-bit rows and 256 MiB of working memory
    // beside them, so that such a picture still loads while a hostile file
    // keeps the process under 1.5 GB.
    static constexpr Limites kDefaut{std::uint64_t(1) << 28, std::uint64_t(5) << 28};

    explicit Budget(Limites limites = kDefaut);

    // Opens the account of a new decoding: nothing held, no work done, and
    // travailPermis units of work to spend.
    void Debute(std::uint64_t travailPermis = UINT64_MAX);

    // What `octets` bytes of data can stand for: `offert` units for any
    // file, however damaged, and `parOctet` more per byte. Saturates.
    static std::uint64_t Permis(std::uint64_t offert, std::uint64_t parOctet, std::uint64_t octets);

    // Each check records why it refused; a refusal changes nothing else.
    bool AdmetPixels(std::uint64_t largeur, std::uint64_t hauteur);
    // Whether an image of `unites` fits what its data can stand for.
    bool AdmetDonnees(std::uint64_t unites, std::uint64_t permis);
    bool Reserve(std::uint64_t octets);
    bool Travaille(std::uint64_t unites);

    std::uint64_t Disponible() const { return m_limites.octets - m_tenus; }
    std::uint64_t Tenus() const { return m_tenus; }
    // The most this budget's decodings ever held at once.
    std::uint64_t Pic() const { return m_pic; }
    std::uint64_t Travail() const { return m_travail; }
    Refus Motif() const { return m_motif; }
    const Limites& Plafonds() const { return m_limites; }

private:
    bool Refuse(Refus motif);

    Limites m_limites;
    std::uint64_t m_tenus = 0;
    std::uint64_t m_pic = 0;
    std::uint64_t m_travail = 0;
    std::uint64_t m_travailPermis = UINT64_MAX;
    Refus m_motif = Refus::Aucun;
};
