#pragma once
// PNG files through libspng: every colour type and depth read as a 32-bit
// device image (16-bit samples keep their high byte; gamma, chromaticities
// and colour profiles leave the pixels alone), with its alpha plane and its
// Exif (eXIf), XMP (iTXt) and ICC profile (iCCP) for callers that ask;
// written as 8-bit RGB, or RGBA with an alpha plane, with the same three.

#include "Types.h"
#include "Bitmap.h"

class AtomicFile;
class Budget;
class Metadonnees;
class RapportCodec;

#include <cstdint>
#include <vector>

class PngFile {
public:
    // zlib level 2: on a 12-megapixel photograph it writes a file a tenth
    // larger than the default level (6) in a quarter of its time, 2 %
    // smaller than level 1 in the same time; level 3 costs a fifth more time
    // for 5 %. A signed copy is written in a batch of hundreds: time wins.
    static constexpr int kNiveauCompression = 2;
    // The largest ancillary chunk we read (an ICC profile is well below).
    static constexpr std::size_t kTailleMorceau = std::size_t(16) << 20;

    // Null when the file cannot be read, is damaged (a wrong CRC, a short
    // chunk), or is larger than budget allows (a default one when none is
    // given). alpha receives the alpha plane (empty when the picture is
    // opaque), metadonnees the Exif, XMP and ICC profile the file carries.
    static HBITMAP Charge(const CString& path, Budget& budget, std::vector<std::uint8_t>* alpha = nullptr,
                          Metadonnees* metadonnees = nullptr);
    static HBITMAP Charge(const CString& path, std::vector<std::uint8_t>* alpha = nullptr,
                          Metadonnees* metadonnees = nullptr);
    // 1 when written, 0 otherwise; what was at path survives a failure,
    // whose cause goes to rapport when given. metadonnees is written as
    // given: the caller has filtered it.
    static int Sauve(const CString& path, const Bitmap& image, const std::vector<std::uint8_t>* alpha = nullptr,
                     const Metadonnees* metadonnees = nullptr, RapportCodec* rapport = nullptr);

private:
    static int Ecrit(AtomicFile& fichier, const Bitmap& image, const std::vector<std::uint8_t>* alpha,
                     const Metadonnees* metadonnees);
};
