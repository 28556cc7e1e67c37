#pragma once
// The library's own GIF codec. Reading: versions 87a and 89a, any number of
// images, each decoded on request into a new device image (the caller owns
// it). Writing: version 87a, one global colour table and one image whose
// pixels are the indices of an 8-bit image selected into a drawing context.
// The two sides share the class but no state.

#include <vector>
#include "Gdi.h"
#include "codecs/Budget.h"

#include <cstdlib>
#include <memory>

class AtomicFile;

class CGif {
public:
    CGif();
    virtual ~CGif();
    CGif(const CGif&) = delete;
    CGif& operator=(const CGif&) = delete;

    // Reading. Load keeps the whole file in memory; 1 when it was read.
    // The file and each image decoded from it are charged to budget, which
    // must outlive the walk; without one, to this reader's own.
    int Load(const char* path);
    int Load(const char* path, Budget& budget);
    // The first image of the loaded data, or null.
    HBITMAP FirstImage();
    // The image after the current position; after the last one the walk
    // starts again at the first. Null when there is none or it is damaged.
    HBITMAP NextImage();
    // The alpha plane (width x height, top-down, 0 or 255) of the image the
    // last call returned, from its transparent index; empty when it has none
    // or no pixel uses it.
    const std::vector<BYTE>& Alpha() const { return m_Alpha; }

    // Writing, in this order: GIF_Create, GIF_SetColor for each entry,
    // GIF_SetSource, GIF_CompressImage once, GIF_Close. Results: 0 ok,
    // 1 the file cannot be created, 2 write error, 3 no memory. The target is
    // replaced only by a complete file, when GIF_Close succeeds.
    int GIF_Create(const char* path, int width, int height, int colours, int colourResolution);
    void GIF_SetColor(int index, int red, int green, int blue);
    // The context whose selected image supplies the pixels: colour indices
    // of an 8-bit image, or the nearest system-palette index of any other.
    // Compressing without one fails with 2 and the target is left alone.
    void GIF_SetSource(HDC source) { m_Source = source; }
    int GIF_CompressImage(int left, int top, int width, int height);
    int GIF_Close();

protected:
    // Reading helpers.
    HBITMAP TakeIt();
    int GetCode();
    int GetByte();
    void Output(BYTE index);
    int Stop();

    // Writing helpers.
    int Create(const char* path);
    int Write(const void* bytes, std::size_t count);
    int WriteByte(BYTE value);
    int WriteWord(WORD value);
    int Close();
    int WriteScreenDescriptor();
    int WriteImageDescriptor();
    void InitBitFile();
    int WriteBits(int code, int bits);
    int ResetOutBitFile();
    // The string table is this encoder's own: encoders may run side by side.
    int AllocStrtab();
    void FreeStrtab();
    void ClearStrtab(int codeSize);
    int AddCharString(WORD prefix, BYTE suffix);
    int FindCharString(WORD prefix, BYTE suffix);
    static int BitsNeeded(unsigned n);
    int LZW_Compress(int codeSize);
    int InputByte();

private:
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    template <typename T> using CBlock = std::unique_ptr<T, FreeDeleter>;

    // Whether the cursor has left the image (every pass done).
    bool ImageFull() const { return m_Row >= m_Height; }
    // Steps over sub-blocks up to and including their terminator.
    bool SkipSubBlocks();
    bool SkipExtension();
    bool Replay(int code, int freeCode, int end, int& first);

    // --- Reading state ---
    Budget m_BudgetPropre;
    Budget* m_Budget = &m_BudgetPropre;
    int m_ScreenWidth = 0;
    int m_ScreenHeight = 0;
    int m_Background = 0;
    int m_GlobalCount = 0;          // entries of the global table
    CBlock<BYTE> m_GlobalTable;     // m_GlobalCount x (R, G, B)
    CBlock<BYTE> m_Data;            // the file after the header and the global table
    std::size_t m_DataLength = 0;
    std::size_t m_Position = 0;
    // Last graphic control extension: kept, not applied.
    int m_Transparent = 0;
    int m_TransparentIndex = 0;
    std::vector<BYTE> m_Alpha;
    int m_Delay = 0;
    int m_Disposal = 0;

    // The image being decoded.
    int m_Left = 0;
    int m_Top = 0;
    int m_Width = 0;
    int m_Height = 0;
    bool m_Interlaced = false;
    std::size_t m_Stride = 0;
    BYTE* m_Pixels = nullptr;
    WORD* m_Prefix = nullptr;   // 4096 entries each
    WORD* m_Link = nullptr;
    BYTE* m_Suffix = nullptr;
    BYTE* m_First = nullptr;    // first byte of each entry's string
    int m_CodeSize = 0;
    int m_InitCodeSize = 0;
    int m_BitByte = 0;          // the partly used byte
    int m_BitsLeft = 0;         // its unused bits
    std::size_t m_BlockLength = 0;
    std::size_t m_BlockUsed = 0;
    bool m_DataOver = false;
    int m_Column = 0;
    int m_Row = 0;
    int m_Pass = 1;

    // --- Writing state ---
    std::unique_ptr<AtomicFile> m_File;
    bool m_Failed = false;      // a step failed: the target is left alone
    int m_OutScreenWidth = 0;
    int m_OutScreenHeight = 0;
    CBlock<BYTE> m_ColorTable;  // m_NumColors x (R, G, B)
    int m_NumColors = 0;
    int m_ColorRes = 8;
    int m_ImageLeft = 0;
    int m_ImageTop = 0;
    int m_ImageWidth = 0;
    int m_ImageHeight = 0;
    int m_RelPixX = 0;
    int m_RelPixY = 0;
    HDC m_Source = nullptr;
    // LZW strings: kMaxStrings suffixes and prefixes, and the hash of codes.
    CBlock<BYTE> m_StrSuffix;
    CBlock<DWORD> m_StrPrefix;
    CBlock<DWORD> m_StrHash;
    int m_StrCount = 0;
    BYTE m_Buffer[256] = {};
    int m_Index = 0;            // byte being filled
    int m_BitsFree = 8;         // its free bits
};
