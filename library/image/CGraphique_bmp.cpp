// BMP files. Reading accepts the info header in its 40-byte form and its
// longer successors (52, 56, 108 and 124 bytes), bottom-up or top-down rows,
// 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit-field
// masks at 16 and 32 bits. Every length and offset is checked against the
// bytes actually read; a file that fails a check loads as null. The headers
// are read first: only the bytes they describe are then read, once the
// file is known to hold them and the decoding's Budget allows them.
// Writing uses the image's own depth: 32 and 16 bits with masks (header
// block of 52 bytes), 24 bits plain, 8 bits with the 256-colour table.

#include "CGraphique.h"

#include "AtomicFile.h"
#include "codecs/RapportCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr std::size_t kFileHeader = 14;
// The longest info header, and the masks and colour table after a short one.
constexpr std::size_t kHeaders = 124 + 12 + 4 * 256;

DWORD ReadDword(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }

bool KnownHeaderSize(DWORD size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

// Lays out the headers and colour table of a BMP held in memory (everything
// after the 14-byte file header) and finds where its pixels start, or
// returns false when the file cannot be read safely.
bool LayOut(const BYTE* data, std::size_t length, DWORD pixelOffset, BITMAPINFOHEADER& header, DibSource& dib,
            std::uint64_t& pixels)
{
    if (length < 4)
        return false;
    const DWORD headerSize = ReadDword(data);
    if (!KnownHeaderSize(headerSize) || headerSize > length)
        return false;
    std::memcpy(&header, data, sizeof header);
    dib.header = &header;
    const int bpp = header.biBitCount;

    std::uint64_t tableStart = headerSize;
    if (header.biCompression == BI_BITFIELDS) {
        // Masks follow a 40-byte header; longer headers hold them inside.
        if (headerSize == 40) {
            if (length < 40 + 12)
                return false;
            tableStart = 52;
        }
        for (int i = 0; i < 3; ++i)
            dib.masks[i] = ReadDword(data + 40 + 4 * i);
    }
    std::uint64_t entries = header.biClrUsed;
    if (bpp <= 8) {
        if (entries == 0)
            entries = std::uint64_t(1) << bpp;
        if (entries > 256)
            return false;
        if (tableStart + 4 * entries > length)
            return false;
        dib.colours = reinterpret_cast<const RGBQUAD*>(data + tableStart);
        dib.colourCount = static_cast<std::size_t>(entries);
    }
    // The pixels start where the file header says; a file that leaves the
    // offset at 0 has them right after the colour table.
    const std::uint64_t tableEnd = tableStart + 4 * entries;
    pixels = tableEnd;
    if (pixelOffset != 0) {
        if (pixelOffset < kFileHeader + (bpp <= 8 ? tableEnd : tableStart))
            return false;
        pixels = pixelOffset - kFileHeader;
    }
    return true;
}

bool DescribeBmp(const BYTE* data, std::size_t length, DWORD pixelOffset, BITMAPINFOHEADER& header,
                 DibSource& dib)
{
    std::uint64_t pixels = 0;
    if (!LayOut(data, length, pixelOffset, header, dib, pixels) || pixels >= length)
        return false;
    dib.bits = data + pixels;
    dib.bitsLength = length - static_cast<std::size_t>(pixels);
    return ValidateDib(dib) != 0;
}

// What the image described by the headers at the start of data asks for:
// the bytes after the file header that it occupies (rows are uncompressed,
// so the file must hold them all) and those of its device image. False when
// the headers cannot be read or the budget refuses the size.
bool Measure(const BYTE* data, std::size_t length, DWORD pixelOffset, Budget& budget, std::uint64_t& needed,
             std::uint64_t& imageBytes)
{
    BITMAPINFOHEADER header;
    DibSource dib;
    std::uint64_t pixels = 0;
    if (!LayOut(data, length, pixelOffset, header, dib, pixels))
        return false;
    const int bpp = header.biBitCount;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN || bpp <= 0 || bpp > 32)
        return false;
    const std::uint64_t width = static_cast<std::uint64_t>(header.biWidth);
    const std::uint64_t height = header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
    if (!budget.AdmetPixels(width, height))
        return false;
    // The last row need not carry its padding.
    needed = pixels + DibRowBytes(width, static_cast<unsigned>(bpp)) * (height - 1) + (width * bpp + 7) / 8;
    imageBytes = DibRowBytes(width, static_cast<unsigned>(Screen::depth())) * height;
    return true;
}

} // namespace

HBITMAP CGraphique::ChargeImageBMP(CString path) { return LitBMP(path, m_Budget); }

HBITMAP CGraphique::LitBMP(const CString& path, Budget& budget)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    HBITMAP image = nullptr;
    BYTE fileHeader[kFileHeader];
    BYTE headers[kHeaders];
    struct stat info {};
    budget.Debute();
    std::uint64_t needed = 0;
    std::uint64_t imageBytes = 0;
    std::size_t read = 0;
    // The file read as far as its image goes, and no further, and not at all
    // when it is shorter than its headers say: the pixels are then held
    // twice for a moment, as read and as a device image.
    if (std::fread(fileHeader, 1, kFileHeader, file) == kFileHeader && fileHeader[0] == 'B' && fileHeader[1] == 'M'
        && ::fstat(::fileno(file), &info) == 0 && static_cast<std::uint64_t>(info.st_size) > kFileHeader) {
        const std::uint64_t rest = static_cast<std::uint64_t>(info.st_size) - kFileHeader;
        read = std::fread(headers, 1, static_cast<std::size_t>(std::min<std::uint64_t>(rest, kHeaders)), file);
        if (Measure(headers, read, ReadDword(fileHeader + 10), budget, needed, imageBytes)
            && (!budget.AdmetDonnees(needed, rest) || !budget.Reserve(needed + imageBytes)))
            needed = 0;
    }
    if (needed) {
        m_TailleFichier = static_cast<std::size_t>(needed);
        m_Fichier.reset(new (std::nothrow) BYTE[m_TailleFichier]);
        const std::size_t kept = std::min(read, m_TailleFichier);
        if (m_Fichier) {
            std::memcpy(m_Fichier.get(), headers, kept);
            BITMAPINFOHEADER header;
            DibSource dib;
            if (std::fread(m_Fichier.get() + kept, 1, m_TailleFichier - kept, file) == m_TailleFichier - kept
                && DescribeBmp(m_Fichier.get(), m_TailleFichier, ReadDword(fileHeader + 10), header, dib)) {
                HDC screen = GetDC(nullptr);
                image = CreateDIBitmap(screen, dib);
                ReleaseDC(nullptr, screen);
            }
        }
        LiberationMemoireImage();
    }
    std::fclose(file);
    return image;
}

int CGraphique::SauveImageBMP(CString path, HBITMAP image)
{
    return RapportCodec::AfficheApres([&](RapportCodec& rapport) { return EcritBMP(path, image, rapport); });
}

int CGraphique::EcritBMP(const CString& path, HBITMAP image, RapportCodec& rapport)
{
    if (!image)
        return 0;
    HDC screen = GetDC(nullptr);
    // Room for the header and the largest table or mask block after it.
    BITMAPINFO block{};
    block.bmiHeader.biBitCount = 0;
    if (!GetDIBits(screen, image, 0, static_cast<UINT>(image->height()), nullptr, &block, DIB_RGB_COLORS)) {
        ReleaseDC(nullptr, screen);
        return 0;
    }
    const BITMAPINFOHEADER& header = block.bmiHeader;
    std::vector<BYTE> pixels;
    try {
        pixels.assign(header.biSizeImage, 0);
    } catch (const std::bad_alloc&) {
        ReleaseDC(nullptr, screen);
        return 0;
    }
    const int bpp = header.biBitCount;
    const std::size_t h = (bpp == 16 || bpp == 32) ? 52 : bpp == 24 ? 40 : 40 + 4 * (std::size_t(1) << bpp);

    AtomicFile file(path);
    if (!file.open()) {
        ReleaseDC(nullptr, screen);
        rapport.Ajoute("Unable to save Bitmap file.", "Error", MB_OK | MB_ICONERROR, RapportCodec::Boite::Libre);
        return 0;
    }
    const DWORD offset = static_cast<DWORD>(kFileHeader + h);
    const BITMAPFILEHEADER fileHeader{0x4D42, static_cast<DWORD>(offset + header.biSizeImage), 0, 0, offset};
    bool ok = file.write(&fileHeader, sizeof fileHeader);
    ok = ok && GetDIBits(screen, image, 0, static_cast<UINT>(image->height()), pixels.data(), &block, DIB_RGB_COLORS) != 0;
    ok = ok && file.write(&block, h) && file.write(pixels.data(), pixels.size());
    ok = ok && file.commit();
    ReleaseDC(nullptr, screen);
    return ok ? 1 : 0;
}
