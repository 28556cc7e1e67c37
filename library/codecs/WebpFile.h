#pragma once
// WebP files through libwebp: a still picture or the first frame of an
// animation read as a 32-bit device image, with its alpha plane for callers
// that ask; written lossy at a JPEG-like quality, lossless at quality 100.

#include "Types.h"
#include "Bitmap.h"

#include <cstdint>
#include <vector>

class WebpFile {
public:
    // Null when the file cannot be read, is damaged, or is larger than the
    // thread's Budget allows; alpha receives the alpha plane (empty when the
    // picture is opaque).
    static HBITMAP Charge(const CString& path, std::vector<std::uint8_t>* alpha = nullptr);
    // quality 0 to 100 as for JPEG; 1 when written, 0 otherwise, and what
    // was at path survives a failure.
    static int Sauve(const CString& path, const Bitmap& image, int quality,
                     const std::vector<std::uint8_t>* alpha = nullptr);
};
