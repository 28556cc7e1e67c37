// BMP files. Reading accepts the info header in its 40-byte form and its
// longer successors (52, 56, 108 and 124 bytes), bottom-up or top-down rows,
// 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit-field
// masks at 16 and 32 bits. Every length and offset is checked against the
// bytes actually read; a file that fails a check loads as null.
// Writing uses the image's own depth: 32 and 16 bits with masks (header
// block of 52 bytes), 24 bits plain, 8 bits with the 256-colour table.

#include "CGraphique.h"

#include "AtomicFile.h"
#include "Interaction.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr std::size_t kFileHeader = 14;

DWORD ReadDword(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }

bool KnownHeaderSize(DWORD size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

// Lays out the parts of a BMP held in memory (everything after the 14-byte
// file header), or returns false when the file cannot be read safely.
bool DescribeBmp(const BYTE* data, std::size_t length, DWORD pixelOffset, BITMAPINFOHEADER& header,
                 DibSource& dib)
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
    std::uint64_t pixels = tableEnd;
    if (pixelOffset != 0) {
        if (pixelOffset < kFileHeader + (bpp <= 8 ? tableEnd : tableStart))
            return false;
        pixels = pixelOffset - kFileHeader;
    }
    if (pixels >= length)
        return false;
    dib.bits = data + pixels;
    dib.bitsLength = length - static_cast<std::size_t>(pixels);
    return ValidateDib(dib) != 0;
}

} // namespace

HBITMAP CGraphique::ChargeImageBMP(CString path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    HBITMAP image = nullptr;
    BYTE fileHeader[kFileHeader];
    struct stat info {};
    if (std::fread(fileHeader, 1, kFileHeader, file) == kFileHeader && fileHeader[0] == 'B' && fileHeader[1] == 'M'
        && ::fstat(::fileno(file), &info) == 0 && static_cast<std::uint64_t>(info.st_size) > kFileHeader) {
        m_TailleFichier = static_cast<std::size_t>(info.st_size) - kFileHeader;
        m_Fichier.reset(new (std::nothrow) BYTE[m_TailleFichier]);
        if (m_Fichier && std::fread(m_Fichier.get(), 1, m_TailleFichier, file) == m_TailleFichier) {
            BITMAPINFOHEADER header;
            DibSource dib;
            if (DescribeBmp(m_Fichier.get(), m_TailleFichier, ReadDword(fileHeader + 10), header, dib)) {
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
        MessageBox(nullptr, "Unable to save Bitmap file.", "Error", MB_OK | MB_ICONERROR);
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
