#pragma once
// What a JPEG photograph carries beside its pixels (Exif, XMP, ICC profile,
// IPTC, comments): its markers as read, in file order, to be written back
// to the signed copy. The JFIF and Adobe markers are not kept (the encoder
// writes its own), nor the multi-picture index (APP2 "MPF"), which describes
// pictures the copy no longer has.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What a save writes of a photograph's metadata. The numbers are stored in
// templates and settings.
enum class PolitiqueMetadonnees : int {
    Toutes = 0,   // everything, adjusted to the upright picture
    SaufLieu = 1, // everything but the GPS position (Exif and XMP)
    Aucune = 2    // nothing
};

class Metadonnees {
public:
    struct Marqueur {
        int code; // JPEG_APP0 + n or JPEG_COM
        std::vector<std::uint8_t> octets;
    };

    // A marker segment holds at most this many bytes after its length word.
    static constexpr std::size_t kTailleMarqueur = 65533;
    // Bytes kept from one file, all markers together; markers beyond are
    // left out whole.
    static constexpr std::size_t kTailleTotale = std::size_t(8) << 20;

    // Whether a marker read from a file is kept; false for those listed
    // above, for oversized ones and once the total would pass its bound.
    bool Ajoute(int code, std::span<const std::uint8_t> octets);
    // The same from formats that store them whole: an Exif TIFF block (as
    // after "Exif\0\0"; some writers keep that header, which is then
    // skipped; none without a TIFF header), an XMP packet (as after its
    // namespace) and an ICC profile, cut into APP2 chunks.
    bool AjouteExif(std::span<const std::uint8_t> tiff);
    bool AjouteXmp(std::span<const std::uint8_t> paquet);
    bool AjouteProfilICC(std::span<const std::uint8_t> profil);
    // The first Exif TIFF block and main XMP packet, as other containers
    // store them; empty when absent. Valid until the markers change.
    std::span<const std::uint8_t> BlocExif() const;
    std::span<const std::uint8_t> PaquetXmp() const;
    void Efface();
    bool Vide() const { return m_marqueurs.empty(); }
    const std::vector<Marqueur>& Marqueurs() const { return m_marqueurs; }

    // The ICC profile put back together from its APP2 chunks; empty when
    // there is none or its chunks do not make one whole.
    std::vector<std::uint8_t> ProfilICC() const;
    static bool EstMorceauICC(const Marqueur& m);

    // 1 to 8, from the Exif Orientation tag: how the stored pixels are turned.
    int Orientation() const;
    // An Exif text tag by name ("DateTimeOriginal", "Make", "Model", ...);
    // empty when absent.
    std::string Etiquette(const std::string& nom) const;
    // "YYYY:MM:DD HH:MM:SS" as the camera wrote it, or empty.
    std::string DateOriginale() const { return Etiquette("DateTimeOriginal"); }

    // The markers to write with the picture once turned upright and saved
    // at largeur x hauteur: Orientation 1 in Exif and XMP, the pixel
    // dimensions updated, the thumbnail dropped, the location removed when
    // the policy says so; none for Aucune.
    Metadonnees PourEcriture(PolitiqueMetadonnees politique, int largeur, int hauteur) const;

private:
    const Marqueur* MarqueurExif() const;
    const Marqueur* MarqueurXmp() const;

    std::vector<Marqueur> m_marqueurs;
    std::size_t m_total = 0;
};
