#pragma once
// A bounds-checked walk over the TIFF structure inside an Exif APP1 payload
// ("Exif\0\0", then the TIFF header, "II" or "MM"). Only the directories a
// photograph's handling needs are followed: IFD0, its Exif and GPS
// sub-directories and its link to IFD1. Every offset and count is checked
// against the payload; whatever is out of range, or points back at a
// directory already seen, reads as absent.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class Exif {
public:
    enum class Repertoire { Principal, Exif, Gps };

    // One directory entry, positions counted from the payload's first byte.
    struct Entree {
        std::size_t position; // the 12-byte entry
        std::uint16_t type;
        std::uint32_t nombre;
        std::size_t valeur; // the value's bytes, inline or not
        std::size_t taille;
    };

    explicit Exif(std::span<const std::uint8_t> app1);
    static bool EstExif(std::span<const std::uint8_t> app1);

    bool Valide() const { return m_ifd0 != 0; }
    // 1 to 8: how the stored picture is turned; 1 when absent or invalid.
    int Orientation() const;
    // An ASCII tag's text up to its first NUL; empty when absent.
    std::string Texte(Repertoire ou, std::uint16_t tag) const;
    // The same by tag name: Make, Model, DateTime, DateTimeOriginal, ...
    std::string Etiquette(const std::string& nom) const;

    // Edits in place, length unchanged, so that maker notes and every other
    // offset stay valid: Orientation 1, PixelX/YDimension set to the size
    // written (when they can hold it), IFD1 (the sideways thumbnail)
    // unlinked, and when sansLieu the GPS directory zeroed and its pointer
    // entry taken out of IFD0.
    static void PrepareEcriture(std::vector<std::uint8_t>& app1, int largeur, int hauteur, bool sansLieu);
    // Only the location's removal of PrepareEcriture, for pixels kept as stored.
    static void RetireLieu(std::vector<std::uint8_t>& app1);

private:
    std::uint16_t Mot(std::size_t at) const;
    std::uint32_t Long(std::size_t at) const;
    // Payload position of a directory at a TIFF offset, 0 when its entries
    // do not fit in the payload.
    std::size_t Directoire(std::uint64_t offset) const;
    std::size_t SousDirectoire(std::uint16_t pointeur) const;
    std::size_t Position(Repertoire ou) const;
    std::optional<Entree> Cherche(std::size_t directoire, std::uint16_t tag) const;
    std::optional<Entree> Lit(std::size_t position) const;
    // lu: the walk of app1 as it was before any edit.
    static void EffaceLieu(const Exif& lu, std::vector<std::uint8_t>& app1);

    std::span<const std::uint8_t> m_octets;
    bool m_motorola = false;
    std::size_t m_ifd0 = 0;
    std::size_t m_exif = 0;
    std::size_t m_gps = 0;
};
