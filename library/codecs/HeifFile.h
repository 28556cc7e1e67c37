#pragma once
// HEIC and AVIF files through libheif, read only: the primary picture as a
// 32-bit device image, turned and mirrored as its container says, with its
// alpha plane, and its Exif and ICC profile carried as a JPEG's would be.

#include "Types.h"
#include "Bitmap.h"

#include <cstdint>
#include <vector>

class Budget;
class Metadonnees;

class HeifFile {
public:
    // The widest or tallest picture libheif is let to decode.
    static constexpr int kCoteMax = 1 << 15;

    // Null when the file cannot be read or decoded (a missing decoder
    // included) or is larger than budget allows (a default one when none
    // is given). The Exif it carries describes the stored picture, already
    // turned: its Orientation is to be ignored (writing sets it to 1).
    static HBITMAP Charge(const CString& path, Budget& budget, Metadonnees* metadonnees = nullptr,
                          std::vector<std::uint8_t>* alpha = nullptr);
    static HBITMAP Charge(const CString& path, Metadonnees* metadonnees = nullptr,
                          std::vector<std::uint8_t>* alpha = nullptr);
    // The primary picture's size as shown, from the file's boxes alone:
    // nothing is decoded. False when libheif cannot read them.
    static bool Dimensions(const CString& path, int& largeur, int& hauteur);
};
