#include "CGraphique.h"

#include "Interaction.h"
#include "MemoryContext.h"
#include "Resources.h"
#include "SystemPalette.h"

#include <cstdio>
#include <cstring>


CGraphique::CGraphique()
{
    m_Pinceau = CreateSolidBrush(0x0000FFFF);
    m_Crayon = CreatePen(PS_SOLID, 5, 0x00FF0000);
}

void CGraphique::ChargeMotifs() const
{
    // Made when first asked for: a toolbox that only loads, signs and saves
    // pictures (one per signing worker) never pays for the fifty tiles.
    std::call_once(m_MotifsCharges, [this] {
        HDC screen = GetDC(nullptr);
        for (int i = 0; i < kNombreMotifs; ++i) {
            HBITMAP tile = Resources::loadBitmap(ResourceModule::Library, kPremierMotif + i);
            if (!tile)
                continue;
            m_Motifs[i].Attach(tile);
            if (HBITMAP vignette = RedimensionneImage(screen, tile, CSize(40, 40), 1))
                m_Vignettes[i].Attach(vignette);
        }
        ReleaseDC(nullptr, screen);
    });
}

CGraphique::~CGraphique()
{
    DeleteObject(m_Pinceau);
    DeleteObject(m_Crayon);
}

HBITMAP CGraphique::Motif(int index) const
{
    ChargeMotifs();
    return index >= 0 && index < kNombreMotifs ? m_Motifs[index].GetSafeHandle() : nullptr;
}

HBITMAP CGraphique::Vignette(int index) const
{
    ChargeMotifs();
    return index >= 0 && index < kNombreMotifs ? m_Vignettes[index].GetSafeHandle() : nullptr;
}

void CGraphique::RecupereInfosImage(HBITMAP image, CSize& size, long* depth)
{
    BITMAP info{};
    if (!GetObject(image, sizeof info, &info))
        return;
    size = CSize(info.bmWidth, info.bmHeight);
    if (depth)
        *depth = info.bmBitsPixel;
}

CSize CGraphique::RetourneTailleEcran(int* depth)
{
    HDC screen = GetDC(nullptr);
    const CSize size(GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES));
    if (depth)
        *depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return size;
}

int CGraphique::MessageResolutionEcran(int minimum)
{
    int depth = 0;
    RetourneTailleEcran(&depth);
    if (depth >= minimum)
        return 0;
    char text[512];
    std::snprintf(text, sizeof text,
                  "Attention ! afin d'op\u00e9rer dans des conditions optimales,\nle nombre de bits par point doit "
                  "\u00eatre au minimun de %d.\n(votre ordinateur est actuellement configur\u00e9 en %d bpp)",
                  minimum, depth);
    MessageBox(nullptr, text, "Erreur", MB_OK | MB_ICONERROR);
    return 1;
}

HGLOBAL CGraphique::LocalDDBToDIB(CBitmap* image, DWORD compression, const PALETTEENTRY*)
{
    if (!image || !image->GetSafeHandle() || compression == BI_BITFIELDS)
        return nullptr;
    HBITMAP bitmap = image->GetSafeHandle();
    HDC screen = GetDC(nullptr);
    BITMAPINFOHEADER header;
    header.biWidth = bitmap->width();
    header.biHeight = bitmap->height();
    header.biBitCount = 24;
    header.biCompression = compression;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, sizeof header);
    HGLOBAL result = nullptr;
    if (block) {
        std::memcpy(block, &header, sizeof header);
        auto* info = static_cast<BITMAPINFO*>(block);
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(header.biHeight), nullptr, info, DIB_RGB_COLORS);
        std::size_t size = info->bmiHeader.biSizeImage;
        if (size == 0) {
            size = DibRowBytes(static_cast<std::size_t>(header.biWidth), 24) * static_cast<std::size_t>(header.biHeight);
            if (compression != BI_RGB)
                size = size * 3 / 2;
        }
        if (HGLOBAL grown = GlobalReAlloc(block, sizeof header + size, GMEM_MOVEABLE)) {
            block = grown;
            info = static_cast<BITMAPINFO*>(block);
            if (GetDIBits(screen, bitmap, 0, static_cast<UINT>(info->bmiHeader.biHeight),
                          static_cast<BYTE*>(block) + sizeof header, info, DIB_RGB_COLORS))
                result = std::exchange(block, nullptr);
        }
        GlobalFree(block);
    }
    ReleaseDC(nullptr, screen);
    return result;
}

HGLOBAL CGraphique::LocalDDBToDIB8Bits(CBitmap* image, DWORD compression, const PALETTEENTRY*,
                                       PALETTEENTRY* entries)
{
    if (!image || !image->GetSafeHandle() || compression == BI_BITFIELDS)
        return nullptr;
    HBITMAP bitmap = image->GetSafeHandle();
    constexpr std::size_t kTable = 256 * sizeof(RGBQUAD);
    HDC screen = GetDC(nullptr);
    BITMAPINFOHEADER header;
    header.biWidth = bitmap->width();
    header.biHeight = bitmap->height();
    header.biBitCount = 8;
    header.biCompression = compression;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, sizeof header + kTable);
    HGLOBAL result = nullptr;
    if (block) {
        std::memcpy(block, &header, sizeof header);
        if (entries) {
            for (int i = 0; i < 256; ++i) {
                const RGBQUAD& q = SystemPalette::instance().entries()[i];
                entries[i] = {q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
            }
        }
        auto* info = static_cast<BITMAPINFO*>(block);
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(header.biHeight), nullptr, info, DIB_RGB_COLORS);
        std::size_t size = info->bmiHeader.biSizeImage;
        if (size == 0) {
            size = DibRowBytes(static_cast<std::size_t>(header.biWidth), 8) * static_cast<std::size_t>(header.biHeight);
            if (compression != BI_RGB)
                size = size * 3 / 2;
        }
        if (HGLOBAL grown = GlobalReAlloc(block, sizeof header + kTable + size, GMEM_MOVEABLE)) {
            block = grown;
            info = static_cast<BITMAPINFO*>(block);
            if (GetDIBits(screen, bitmap, 0, static_cast<UINT>(info->bmiHeader.biHeight),
                          static_cast<BYTE*>(block) + sizeof header + kTable, info, DIB_RGB_COLORS))
                result = std::exchange(block, nullptr);
        }
        GlobalFree(block);
    }
    ReleaseDC(nullptr, screen);
    return result;
}

HBITMAP CGraphique::Image8Bits(HDC reference, HBITMAP image)
{
    BITMAP info{};
    if (!GetObject(image, sizeof info, &info))
        return nullptr;
    HBITMAP result = CreateBitmap(info.bmWidth, info.bmHeight, info.bmPlanes, 8, nullptr);
    if (!result)
        return nullptr;
    MemoryContext from(reference, image);
    MemoryContext to(reference, result);
    BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
    return result;
}

void CGraphique::LiberationMemoireImage()
{
    m_Fichier.reset();
    m_TailleFichier = 0;
}
