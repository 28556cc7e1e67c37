#pragma once
// HEIC and AVIF files written through libheif: a device image encoded as HEVC
// or AV1 at a JPEG-like quality, with the Exif and ICC profile it is given.

#include "Bitmap.h"
#include "Types.h"

class Metadonnees;
class RapportCodec;

class HeifEcriture {
public:
    enum class Codec { Hevc, Av1 };

    // quality 0 to 100; 1 when written, 0 otherwise with the reason in
    // rapport (an encoder libheif was built or installed without included),
    // and what was at path survives a failure. The pixels are upright, so
    // the Exif written says Orientation 1 whatever metadonnees holds.
    static int Sauve(const CString& path, const Bitmap& image, int quality, Codec codec,
                     const Metadonnees* metadonnees, RapportCodec& rapport);
    // Whether libheif has an encoder for codec in this process.
    static bool Disponible(Codec codec);
};
