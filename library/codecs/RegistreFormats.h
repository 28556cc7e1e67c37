#pragma once
// The picture formats the system reads and writes, one entry each: what the
// loaders, the writers, the command line, the file dialogs and the output
// naming know of a format comes from here.
//
// An entry gives
// - its name, and the label the file dialogs show;
// - its endings, compared without regard to case; the first is the one a
//   written copy takes;
// - a sniffer on the file's first kOctetsReconnus bytes (its magic number);
//   no two sniffers accept the same bytes;
// - a header probe giving width and height without decoding;
// - its read function, and its write function (none: read only);
// - the metadata it carries (Exif, XMP, ICC profile), read and written;
// - whether its container has turned the pixels already (an Exif
//   orientation is then not applied again).
//
// A file is read as its content says, its name deciding only when no
// sniffer knows the content; a copy is written in the format of its name.
// Adding a format is one entry in RegistreFormats.cpp plus its codec.

#include "Bitmap.h"
#include "SondeEntete.h"
#include "Types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Budget;
class CGraphique;
class Metadonnees;
class RapportCodec;

class RegistreFormats {
public:
    enum class Genre { Jpeg, Bmp, Gif, Png, Webp, Heif, Avif, Svg };
    // Bits of Format::Metadonnees.
    enum Porte : unsigned { Aucune = 0, Exif = 1, Xmp = 2, Icc = 4 };
    using Taille = SondeEntete::Taille;

    // Null when nothing could be read; alpha (cleared by the caller)
    // receives the alpha plane where the format has one, metadonnees what
    // the file carries. The decoding is charged to budget; what it has to
    // say is recorded in rapport, never shown.
    using Lecture = HBITMAP (*)(CGraphique& graphique, const CString& chemin, std::vector<std::uint8_t>* alpha,
                                Metadonnees* metadonnees, Budget& budget, RapportCodec& rapport);
    // 1 when written, 0 otherwise. ecrits: the metadata to write as they
    // are (already filtered), or null for a plain picture. Messages go to
    // rapport, as for a read.
    using Ecriture = int (*)(CGraphique& graphique, const CString& chemin, HBITMAP image, int qualite,
                             const Metadonnees* ecrits, RapportCodec& rapport);

    struct Format {
        Genre Id;
        const char* Nom;
        const char* Libelle;
        std::vector<std::string> Terminaisons;
        bool (*Reconnait)(std::span<const std::uint8_t> debut);
        std::optional<Taille> (*Sonde)(const CString& chemin);
        Lecture Lit;
        Ecriture Ecrit;
        unsigned Metadonnees;
        bool DejaRedresse;
    };

    // The bytes a sniffer is given (fewer for a shorter file).
    static constexpr std::size_t kOctetsReconnus = 64;

    // The pictures, in the order the endings are listed to the user.
    static const std::vector<Format>& Formats();
    // Svg included: a logo may be a drawing, never a picture to sign.
    static const Format& De(Genre id);

    // By content: the first bytes, or the start of the file at chemin; null
    // when no sniffer knows them or the file cannot be read.
    static const Format* ParContenu(std::span<const std::uint8_t> debut);
    static const Format* ParContenu(const CString& chemin);
    // By a whole ending (".jpg", ".JPEG", ...) after a non-empty name.
    static const Format* ParNom(std::string_view chemin);
    // By the last three characters of the name, in any case, against those
    // of each ending ("PEG" is JPEG, "EBP" WebP): the picture toolbox's
    // rule, which also takes "photo.mpeg" or "scanjpg" for JPEG.
    static const Format* ParFinDeNom(std::string_view chemin);

    // What a logo is read as: the picture formats and drawings (SVG), by
    // content first, else by the last three characters of the name.
    static const Format* Logo(const CString& chemin);

    // Whether a copy "in the source's format" of such a picture is written
    // in it: not for those without a writer, nor for HEIC or AVIF when
    // libheif has no encoder for them here.
    static bool CopieDansSonFormat(const Format& format);

    // Width and height from the header of the format the content shows;
    // null when the content is no known format or its header is refused.
    static std::optional<Taille> Dimensions(const CString& chemin);

    // Every ending in order, joined by entre, the last by avantDerniere:
    // (", ", " or ") gives ".jpg, .jpeg, ... .heif or .avif".
    static std::string ListeTerminaisons(std::string_view entre, std::string_view avantDerniere);

    // A file dialog's filter ("Label (*.a;*.b)|*.a;*.b|...||"): tete, the
    // dialog's own leading entries each ending in "|", then every format
    // whose first ending tete does not name, then all pictures together.
    static std::string Filtre(std::string_view tete);
};
