#pragma once
// Conversions between device images and device-independent bitmaps (DIBs):
// rows bottom-up when the height is positive, each padded to 4 bytes.

#include "DeviceContext.h"

constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD CBM_INIT = 4;

// Where the parts of a DIB lie in memory, with the bytes really available, so
// that no conversion reads past what the caller holds.
struct DibSource {
    const BITMAPINFOHEADER* header = nullptr;
    const RGBQUAD* colours = nullptr; // colour table for 1, 4 and 8 bits
    std::size_t colourCount = 0;      // entries present; missing ones read as black
    DWORD masks[3] = {0, 0, 0};       // red, green, blue masks for BI_BITFIELDS
    const BYTE* bits = nullptr;
    std::size_t bitsLength = 0;
};

// Checks a DIB description: depth 1, 4, 8, 16, 24 or 32; compression 0, or 3
// with 16 and 32 bits and non-zero masks; a size we can hold; every row
// inside bitsLength. Returns the bytes of one row, or 0 when it fails.
std::size_t ValidateDib(const DibSource& dib);

// A new device image of the display's depth made from a DIB, or null when
// the description fails ValidateDib.
HBITMAP CreateDIBitmap(HDC reference, const DibSource& dib);

// Copies rows start..start+lines-1 (counted from the bottom for bottom-up
// DIBs) into bits in the format the header asks for: 8 bits (system palette
// indices; the table is written after the header), 16 (5-5-5, or 5-6-5 with
// BI_BITFIELDS), 24, or 32 (B, G, R, 0). With bits null, or a bit count of
// 0, only completes the header (a zero bit count asks for the image's own
// format). Masks of BI_BITFIELDS are written after the header. Returns the
// rows copied, or non-zero for a header query; 0 on failure.
int GetDIBits(HDC dc, HBITMAP image, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
