#pragma once
// JPEG files as plain RGB buffers, and the packed-DIB writer used by
// CGraphique::SauveImageJPEG.
//
// An RGB buffer is a new[] block (release with delete[]) of width x height
// pixels of three bytes red, green, blue, rows top-down and unpadded. A
// row-aligned buffer has each row padded to a multiple of 4 bytes.
// Errors of the JPEG library are shown in message boxes and make the
// operation fail; every object, file and buffer of the operation is released.

#include "GlobalMemory.h"
#include "Types.h"

class Budget;
class RapportCodec;
struct jpeg_compress_struct;

class JpegFile {
public:
    JpegFile() = default;
    JpegFile(const JpegFile&) = default;
    JpegFile& operator=(const JpegFile&) = default;

    // Decodes with the library's default output settings; a greyscale image
    // comes out with its grey in all three bytes. Null on failure.
    static BYTE* JpegFileToRGB(CString fileName, UINT* width, UINT* height);
    // The same, charged to budget, its messages recorded in rapport
    // instead of shown.
    static BYTE* JpegFileToRGB(CString fileName, UINT* width, UINT* height, Budget& budget, RapportCodec& rapport);
    // Writes a baseline JPEG at the quality given; colour 0 writes the
    // greyscale of the buffer. 1 written, 0 failed.
    static BOOL RGBToJpegFile(CString fileName, BYTE* dataBuf, UINT widthPix, UINT height, BOOL color,
                              int quality);
    // The image size from the file's header; 1 read, 0 failed.
    static BOOL GetJPGDimensions(CString fileName, UINT* width, UINT* height);

    // A new row-aligned copy of an RGB buffer; its row length goes to
    // uiOutWidthBytes. Null for a null buffer or no memory.
    static BYTE* MakeDwordAlignedBuf(BYTE* dataBuf, UINT widthPix, UINT height, UINT* uiOutWidthBytes);
    // A new packed copy of a row-aligned buffer. Null for a null buffer, a
    // row length shorter than the pixels, or no memory.
    static BYTE* RGBFromDWORDAligned(BYTE* inBuf, UINT widthPix, UINT widthBytes, UINT height);
    // Reverses the order of the rows, padded or not.
    static BOOL VertFlipBuf(BYTE* inbuf, UINT widthBytes, UINT height);
    // Exchanges the first and third byte of every pixel of a packed buffer.
    static BOOL BGRFromRGB(BYTE* buf, UINT widthPix, UINT height);
    // Replaces each pixel of a packed RGB buffer by its grey,
    // trunc(0.299 R + 0.587 G + 0.114 B).
    static BOOL MakeGrayScale(BYTE* buf, UINT widthPix, UINT height);
};

// Writes a packed 24-bit DIB as a baseline JPEG at the quality (0 to 100).
// The file replaces the one at path only when complete. True exactly when
// message comes back empty; otherwise it says what failed.
BOOL SauveDIBEnJPEG(HGLOBAL dib, int quality, CString path, CString* message);
// The same, the JPEG library's messages recorded in rapport instead of shown.
BOOL SauveDIBEnJPEG(HGLOBAL dib, int quality, CString path, CString* message, RapportCodec& rapport);
// Fills the encoder's sample rows (red, green, blue, top row first) from a
// packed 24-bit bottom-up DIB.
BOOL DIBVersLignesRVB(HGLOBAL dib, int samplesPerRow, jpeg_compress_struct* encoder, BYTE** rows,
                      CString* message);
