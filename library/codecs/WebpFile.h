#pragma once
// WebP files through libwebp: a still picture or the first frame of an
// animation read as a 32-bit device image, with its alpha plane and its
// EXIF, XMP and ICCP chunks for callers that ask; written lossy at a
// JPEG-like quality, lossless at quality 100, with the same chunks.

#include "Types.h"
#include "Bitmap.h"

class Budget;
class Metadonnees;
class RapportCodec;

#include <cstdint>
#include <vector>

class WebpFile {
public:
    // Null when the file cannot be read, is damaged, or is larger than
    // budget allows (a default one when none is given); alpha receives the
    // alpha plane (empty when the picture is opaque), metadonnees the Exif,
    // XMP and ICC profile.
    static HBITMAP Charge(const CString& path, Budget& budget, std::vector<std::uint8_t>* alpha = nullptr,
                          Metadonnees* metadonnees = nullptr);
    static HBITMAP Charge(const CString& path, std::vector<std::uint8_t>* alpha = nullptr,
                          Metadonnees* metadonnees = nullptr);
    // quality 0 to 100 as for JPEG; 1 when written, 0 otherwise, and what
    // was at path survives a failure, whose cause goes to rapport when
    // given. metadonnees is written as given: the caller has filtered it.
    static int Sauve(const CString& path, const Bitmap& image, int quality,
                     const std::vector<std::uint8_t>* alpha = nullptr, const Metadonnees* metadonnees = nullptr,
                     RapportCodec* rapport = nullptr);
};
