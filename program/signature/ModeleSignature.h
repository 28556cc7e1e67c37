#pragma once
// The signing settings as a template (.tp2) holds them, and their bytes.
//
// The file is the version word 191 and then 42 fields, little-endian, no
// padding, nothing after the last: text, font (60 bytes), the text's
// placement, ink colour with its Hex/Dec base, background colour with its
// base and "Transparent", logo path, the logo's placement, then the output
// options (name text and its three radios, JPEG quality, folder and its two
// radios). Flags are 32-bit, non-zero meaning checked. Each placement writes
// its "Absolute" flag twice; on reading the second copy wins.
//
// The view fills a ModeleSignature from its panels and controls before
// writing, and before reading so that the fields a short file does not reach
// keep the values they had.
//
// Options added since go after the last field in one extension block: the
// 4 bytes "TPX1", then records to the end of the file, each a u16 tag, a u32
// length and that many bytes (numbers little-endian). The block is written
// only when some option differs from its default, records in increasing
// tag order, so a template using none stays byte for byte the original
// format. Readers skip unknown tags, stop at a record that runs past the end
// (keeping what was read) and ignore a block over kExtensionMaximale bytes.

#include "Emplacement.h"
#include "Style.h"

#include "CArchive.h"
#include "Types.h"
#include "codecs/Metadonnees.h"
#include "image/RegleTaille.h"

#include <string>

// The format signed copies are written in ("Save as"); the numbers are
// stored in templates and settings, whose readers refuse any past the last
// (AVIF). Source keeps the source's own, HEIC and AVIF included, except
// where this libheif has no encoder for them: then JPEG.
enum class FormatSortie : int { Source = 0, JPEG = 1, PNG = 2, WebP = 3, HEIC = 4, AVIF = 5 };

struct ModeleSignature {
    static constexpr std::int32_t kVersion = 191;

    enum class Lecture {
        Complete,
        Refusee,   // not a template: reported to the user, nothing changed
        Incomplete // the data ended early: the fields before the end are read
    };

    // Text panel
    CString Texte;
    LOGFONT Fonte{};
    Emplacement EmplacementTexte;
    COLORREF CouleurEncre = 0;
    int EncreHexa = 1;
    int EncreDecimal = 0;
    COLORREF CouleurFond = 0;
    int FondHexa = 1;
    int FondDecimal = 0;
    int FondTransparent = 1;
    // Logo panel
    CString Logo;
    Emplacement EmplacementLogo;
    // "Setup" area of the view
    CString NomFichier = "TP";
    int NomFichierAucun = 0;
    int NomFichierPrefixe = 1;
    int NomFichierSuffixe = 0;
    int QualiteJPEG = 75;
    CString NomRepertoire;
    int NomRepertoireAucun = 1;
    int NomRepertoireSpecifique = 0;
    // Extension block
    PolitiqueMetadonnees MetadonneesSortie = PolitiqueMetadonnees::Toutes;
    Style StyleTexte;
    Style StyleLogo;
    FormatSortie FormatEnregistrement = FormatSortie::Source;
    // "Same as the original": a JPEG written as JPEG keeps its own quality
    // and tables; QualiteJPEG serves the other pictures.
    bool QualiteOrigine = false;
    // "Resize": the picture made smaller before it is signed.
    RegleTaille RedimensionSortie;

    // The extension block's tags; each new option adds its own.
    enum class Extension : std::uint16_t {
        MetadonneesSortie = 1, // u32, a PolitiqueMetadonnees
        StyleTexte = 2,        // a Style's fields
        StyleLogo = 3,         // a Style's fields
        FormatSortie = 4,      // u32, a FormatSortie
        QualiteOrigine = 5,    // u32, 0 or 1
        RedimensionSortie = 6, // u32 RegleTaille::Mode, u32 value
    };
    static constexpr char kSignatureExtension[4] = {'T', 'P', 'X', '1'};
    static constexpr std::size_t kExtensionMaximale = std::size_t(1) << 20;

    void Ecrit(CArchive& archive) const;
    // Applies each field as soon as it is read and stops at the first that
    // is not all there. A wrong version word is shown to the user (owned by
    // owner) and changes nothing.
    Lecture Lit(CArchive& archive, HWND owner = nullptr);

    // Whole files. Reading looks at no more than kTailleMaximale bytes;
    // a file that cannot be opened reads as Incomplete with nothing changed.
    Lecture ChargeFichier(const std::string& path, HWND owner = nullptr);
    // Replaces the file only once all of it is written; false on any failure.
    bool SauveFichier(const std::string& path) const;

    static constexpr std::size_t kTailleMaximale = 64u << 20;
};
