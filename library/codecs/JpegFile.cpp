#include "JpegFile.h"

#include "AtomicFile.h"
#include "JpegEcriture.h"
#include "JpegLecture.h"
#include "RapportCodec.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

namespace {

BYTE Gris(const BYTE* rgb) { return static_cast<BYTE>(0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]); }

} // namespace

BYTE* JpegFile::JpegFileToRGB(CString fileName, UINT* width, UINT* height, Budget& budget, RapportCodec& rapport)
{
    if (width)
        *width = 0;
    if (height)
        *height = 0;
    JpegLecture lecture(rapport, budget);
    if (!lecture.Ouvre(fileName))
        return nullptr;
    if (!lecture.TailleAcceptable(3)) {
        lecture.SignaleMemoire();
        return nullptr;
    }
    if (!lecture.Demarre())
        return nullptr;
    const jpeg_decompress_struct& info = lecture.Info();
    const std::size_t rowBytes = static_cast<std::size_t>(info.output_width) * 3;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[rowBytes * info.output_height]);
    if (!buffer) {
        lecture.SignaleMemoire();
        return nullptr;
    }
    if (width)
        *width = info.output_width;
    if (height)
        *height = info.output_height;

    // Three components land in place; the others pass through one row.
    const int components = info.output_components;
    JSAMPARRAY ligne = nullptr;
    if (components != 3 && !(ligne = lecture.AlloueLignes(info.output_width * components, 1)))
        return nullptr;
    while (info.output_scanline < info.output_height) {
        BYTE* dest = buffer.get() + rowBytes * info.output_scanline;
        JSAMPROW cible = components == 3 ? dest : ligne[0];
        JDIMENSION lues = 0;
        if (!lecture.LitLignes(&cible, 1, lues) || lues == 0)
            return nullptr;
        if (components == 1) {
            for (JDIMENSION x = 0; x < info.output_width; ++x)
                dest[3 * x] = dest[3 * x + 1] = dest[3 * x + 2] = cible[x];
        } else if (components != 3) {
            // Colour spaces we cannot show (CMYK) stay black rather than
            // keeping whatever the memory held.
            std::memset(dest, 0, rowBytes);
        }
    }
    if (!lecture.Termine())
        return nullptr;
    return buffer.release();
}

namespace {

BOOL EcritRVB(const CString& fileName, BYTE* dataBuf, UINT widthPix, UINT height, BOOL color, int quality,
              RapportCodec& rapport)
{
    if (!dataBuf || widthPix == 0 || height == 0)
        return 0;
    std::unique_ptr<BYTE[]> gris;
    if (!color) {
        const std::size_t pixels = static_cast<std::size_t>(widthPix) * height;
        gris.reset(new (std::nothrow) BYTE[pixels]);
        if (!gris) {
            rapport.Ajoute("Memory error", {}, MB_OK, RapportCodec::Boite::Application);
            return 0;
        }
        for (std::size_t i = 0; i < pixels; ++i)
            gris[i] = Gris(dataBuf + 3 * i);
    }
    AtomicFile fichier(fileName);
    if (!fichier.open()) {
        rapport.Ajoute("JpegFile :\nCan't open " + fileName + "\n", {}, MB_OK, RapportCodec::Boite::Application);
        return 0;
    }
    JpegEcriture ecriture("JPEG Fatal Error", rapport);
    if (!ecriture.Demarre(fichier.stream(), widthPix, height, color ? 3 : 1, color ? JCS_RGB : JCS_GRAYSCALE,
                          quality))
        return 0;
    const std::size_t rowBytes = static_cast<std::size_t>(widthPix) * (color ? 3 : 1);
    BYTE* source = color ? dataBuf : gris.get();
    for (UINT y = 0; y < height; ++y) {
        JSAMPROW ligne = source + rowBytes * y;
        if (!ecriture.EcritLignes(&ligne, 1))
            return 0;
    }
    return ecriture.Termine() && fichier.commit() ? 1 : 0;
}

BOOL LitDimensions(const CString& fileName, UINT* width, UINT* height, RapportCodec& rapport)
{
    // The header alone: nothing is charged.
    Budget budget;
    JpegLecture lecture(rapport, budget);
    if (!lecture.Ouvre(fileName))
        return 0;
    if (width)
        *width = lecture.Info().image_width;
    if (height)
        *height = lecture.Info().image_height;
    return 1;
}

} // namespace

BYTE* JpegFile::JpegFileToRGB(CString fileName, UINT* width, UINT* height)
{
    Budget budget;
    return RapportCodec::AfficheApres(
        [&](RapportCodec& rapport) { return JpegFileToRGB(fileName, width, height, budget, rapport); });
}

BOOL JpegFile::RGBToJpegFile(CString fileName, BYTE* dataBuf, UINT widthPix, UINT height, BOOL color, int quality)
{
    return RapportCodec::AfficheApres(
        [&](RapportCodec& rapport) { return EcritRVB(fileName, dataBuf, widthPix, height, color, quality, rapport); });
}

BOOL JpegFile::GetJPGDimensions(CString fileName, UINT* width, UINT* height)
{
    return RapportCodec::AfficheApres(
        [&](RapportCodec& rapport) { return LitDimensions(fileName, width, height, rapport); });
}

BYTE* JpegFile::MakeDwordAlignedBuf(BYTE* dataBuf, UINT widthPix, UINT height, UINT* uiOutWidthBytes)
{
    if (!dataBuf)
        return nullptr;
    const std::size_t rowBytes = DibRowBytes(widthPix, 24);
    if (rowBytes > UINT_MAX)
        return nullptr;
    BYTE* out = new (std::nothrow) BYTE[rowBytes * height];
    if (!out)
        return nullptr;
    const std::size_t packed = static_cast<std::size_t>(widthPix) * 3;
    for (UINT y = 0; y < height; ++y) {
        BYTE* row = out + rowBytes * y;
        std::memcpy(row, dataBuf + packed * y, packed);
        std::memset(row + packed, 0, rowBytes - packed);
    }
    if (uiOutWidthBytes)
        *uiOutWidthBytes = static_cast<UINT>(rowBytes);
    return out;
}

BYTE* JpegFile::RGBFromDWORDAligned(BYTE* inBuf, UINT widthPix, UINT widthBytes, UINT height)
{
    const std::size_t packed = static_cast<std::size_t>(widthPix) * 3;
    if (!inBuf || widthBytes < packed)
        return nullptr;
    BYTE* out = new (std::nothrow) BYTE[packed * height];
    if (!out)
        return nullptr;
    for (UINT y = 0; y < height; ++y)
        std::memcpy(out + packed * y, inBuf + static_cast<std::size_t>(widthBytes) * y, packed);
    return out;
}

BOOL JpegFile::VertFlipBuf(BYTE* inbuf, UINT widthBytes, UINT height)
{
    if (!inbuf)
        return 0;
    for (UINT i = 0; i < height / 2; ++i) {
        BYTE* top = inbuf + static_cast<std::size_t>(widthBytes) * i;
        BYTE* bottom = inbuf + static_cast<std::size_t>(widthBytes) * (height - 1 - i);
        std::swap_ranges(top, top + widthBytes, bottom);
    }
    return 1;
}

BOOL JpegFile::BGRFromRGB(BYTE* buf, UINT widthPix, UINT height)
{
    if (!buf)
        return 0;
    const std::size_t pixels = static_cast<std::size_t>(widthPix) * height;
    for (std::size_t i = 0; i < pixels; ++i)
        std::swap(buf[3 * i], buf[3 * i + 2]);
    return 1;
}

BOOL JpegFile::MakeGrayScale(BYTE* buf, UINT widthPix, UINT height)
{
    if (!buf)
        return 0;
    const std::size_t pixels = static_cast<std::size_t>(widthPix) * height;
    for (std::size_t i = 0; i < pixels; ++i) {
        BYTE* pixel = buf + 3 * i;
        pixel[0] = pixel[1] = pixel[2] = Gris(pixel);
    }
    return 1;
}
