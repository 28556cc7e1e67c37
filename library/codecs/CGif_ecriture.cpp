// GIF writing: version 87a, one global colour table, one image.
//   "GIF87a", screen width, height (words), flags (bit 7 table present,
//   bits 4-6 colour resolution - 1, bits 0-2 table bits - 1), background 0,
//   aspect 0, the table (R, G, B per entry), ',' left, top, width, height
//   (words), flags 0, LZW minimum code size, sub-blocks of at most 255 bytes
//   (all but the last full), terminator 0, trailer ';'.
// The LZW string table is a hash table (9973 slots, a prime, probed in
// steps of 2039) owned by each CGif, so encoders on several threads never
// meet.

#include "CGif.h"

#include "AtomicFile.h"
#include "SystemPalette.h"

#include <cstring>

namespace {

constexpr int kHashSize = 9973;
constexpr int kHashStep = 2039;
constexpr int kMaxStrings = 4096;
constexpr int kMaxBits = 12;
constexpr DWORD kEmpty = 0xFFFF;   // an empty slot, and "no prefix"

// The two descriptors as written, field by field (no padding reaches the file).
struct ScreenDescriptor {
    WORD width = 0;
    WORD height = 0;
    BYTE flags = 0;
    BYTE background = 0;
    BYTE aspect = 0;
};

struct ImageDescriptor {
    BYTE separator = ',';
    WORD left = 0;
    WORD top = 0;
    WORD width = 0;
    WORD height = 0;
    BYTE flags = 0; // no local table, not interlaced
};

int Hash(DWORD prefix, BYTE suffix) { return static_cast<int>((prefix ^ (DWORD(suffix) << 8)) % kHashSize); }

} // namespace

int CGif::BitsNeeded(unsigned n)
{
    if (n == 0)
        return 0;
    int count = 1;
    for (unsigned m = n - 1; m > 1; m >>= 1)
        ++count;
    return count;
}

// --- Files ---

int CGif::Create(const char* path)
{
    m_File = std::make_unique<AtomicFile>(path);
    if (!m_File->open()) {
        m_File.reset();
        return 1;
    }
    return 0;
}

int CGif::Write(const void* bytes, std::size_t count)
{
    if (!m_File || !m_File->write(bytes, count)) {
        m_Failed = true;
        return 2;
    }
    return 0;
}

int CGif::WriteByte(BYTE value)
{
    return Write(&value, 1);
}

int CGif::WriteWord(WORD value)
{
    const BYTE bytes[2] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>(value >> 8)};
    return Write(bytes, 2);
}

int CGif::Close()
{
    if (!m_File)
        return 2;
    // An incomplete file is thrown away: the target keeps its old content.
    const bool complete = !m_Failed && m_File->commit();
    m_File.reset();
    return complete ? 0 : 2;
}

int CGif::WriteScreenDescriptor()
{
    ScreenDescriptor sd;
    sd.width = static_cast<WORD>(m_OutScreenWidth);
    sd.height = static_cast<WORD>(m_OutScreenHeight);
    sd.flags = static_cast<BYTE>(((m_ColorRes - 1) & 7) << 4);
    if (m_NumColors)
        sd.flags |= static_cast<BYTE>(0x80 | ((BitsNeeded(static_cast<unsigned>(m_NumColors)) - 1) & 7));
    if (WriteWord(sd.width) || WriteWord(sd.height) || WriteByte(sd.flags) || WriteByte(sd.background)
        || WriteByte(sd.aspect))
        return 2;
    return 0;
}

int CGif::WriteImageDescriptor()
{
    ImageDescriptor id;
    id.left = static_cast<WORD>(m_ImageLeft);
    id.top = static_cast<WORD>(m_ImageTop);
    id.width = static_cast<WORD>(m_ImageWidth);
    id.height = static_cast<WORD>(m_ImageHeight);
    if (WriteByte(id.separator) || WriteWord(id.left) || WriteWord(id.top) || WriteWord(id.width)
        || WriteWord(id.height) || WriteByte(id.flags))
        return 2;
    return 0;
}

// --- Bits into sub-blocks ---

void CGif::InitBitFile()
{
    m_Buffer[0] = 0;
    m_Index = 0;
    m_BitsFree = 8;
}

int CGif::WriteBits(int code, int bits)
{
    const int written = bits;
    while (bits > 0) {
        const int take = bits < m_BitsFree ? bits : m_BitsFree;
        m_Buffer[m_Index] |= static_cast<BYTE>((code & ((1 << take) - 1)) << (8 - m_BitsFree));
        code >>= take;
        bits -= take;
        m_BitsFree -= take;
        if (m_BitsFree == 0) {
            m_BitsFree = 8;
            // A full sub-block leaves at once; the stream of bytes is the same.
            if (++m_Index == 255) {
                const BYTE length = 255;
                if (Write(&length, 1) || Write(m_Buffer, 255))
                    return -1;
                m_Index = 0;
            }
            m_Buffer[m_Index] = 0;
        }
    }
    return written;
}

int CGif::ResetOutBitFile()
{
    const int count = m_Index + (m_BitsFree < 8 ? 1 : 0);
    if (count > 0) {
        const BYTE length = static_cast<BYTE>(count);
        if (Write(&length, 1) || Write(m_Buffer, static_cast<std::size_t>(count)))
            return -1;
    }
    InitBitFile();
    return 0;
}

// --- The string table ---

int CGif::AllocStrtab()
{
    FreeStrtab();
    m_StrSuffix.reset(static_cast<BYTE*>(std::malloc(kMaxStrings)));
    m_StrPrefix.reset(static_cast<DWORD*>(std::malloc(kMaxStrings * sizeof(DWORD))));
    m_StrHash.reset(static_cast<DWORD*>(std::malloc(kHashSize * sizeof(DWORD))));
    if (!m_StrSuffix || !m_StrPrefix || !m_StrHash) {
        FreeStrtab();
        return 1;
    }
    return 0;
}

void CGif::FreeStrtab()
{
    m_StrSuffix.reset();
    m_StrPrefix.reset();
    m_StrHash.reset();
    m_StrCount = 0;
}

void CGif::ClearStrtab(int codeSize)
{
    for (int i = 0; i < kHashSize; ++i)
        m_StrHash.get()[i] = kEmpty;
    m_StrCount = 0;
    // The roots, then the clear and end codes.
    const int roots = (1 << codeSize) + 2;
    for (int j = 0; j < roots; ++j)
        AddCharString(static_cast<WORD>(kEmpty), static_cast<BYTE>(j));
}

int CGif::AddCharString(WORD prefix, BYTE suffix)
{
    if (m_StrCount >= kMaxStrings)
        return kEmpty;
    int h = Hash(prefix, suffix);
    DWORD* hash = m_StrHash.get();
    while (hash[h] != kEmpty)
        h = (h + kHashStep) % kHashSize;
    const int code = m_StrCount++;
    hash[h] = static_cast<DWORD>(code);
    m_StrSuffix.get()[code] = suffix;
    m_StrPrefix.get()[code] = prefix;
    return code;
}

int CGif::FindCharString(WORD prefix, BYTE suffix)
{
    if (prefix == kEmpty)
        return suffix;
    const DWORD* hash = m_StrHash.get();
    int h = Hash(prefix, suffix);
    for (DWORD code; (code = hash[h]) != kEmpty; h = (h + kHashStep) % kHashSize)
        if (m_StrPrefix.get()[code] == prefix && m_StrSuffix.get()[code] == suffix)
            return static_cast<int>(code);
    return kEmpty;
}

// --- Compression ---

int CGif::InputByte()
{
    if (m_RelPixY >= m_ImageHeight)
        return -1;
    const int x = m_ImageLeft + m_RelPixX;
    const int y = m_ImageTop + m_RelPixY;
    if (++m_RelPixX >= m_ImageWidth) {
        m_RelPixX = 0;
        ++m_RelPixY;
    }
    const Bitmap* image = m_Source ? m_Source->bitmap : nullptr;
    if (!image || x >= image->width() || y >= image->height())
        return 0;
    if (image->bitsPerPixel() == 8)
        return image->row(y)[x];
    const COLORREF c = GetPixel(m_Source, x, y);
    return SystemPalette::instance().nearestIndex(GetRValue(c), GetGValue(c), GetBValue(c));
}

int CGif::LZW_Compress(int codeSize)
{
    const int clear = 1 << codeSize;
    const int end = clear + 1;
    int width = codeSize + 1;
    int limit = (1 << width) - 1;

    InitBitFile();
    if (AllocStrtab())
        return 3;
    struct Release {
        CGif& gif;
        ~Release() { gif.FreeStrtab(); }
    } release{*this};
    ClearStrtab(codeSize);
    if (WriteBits(clear, width) < 0)
        return 2;

    int prefix = kEmpty;
    for (int c; (c = InputByte()) != -1;) {
        // An index past the table would not be a root code.
        c &= clear - 1;
        const int found = FindCharString(static_cast<WORD>(prefix), static_cast<BYTE>(c));
        if (found != static_cast<int>(kEmpty)) {
            prefix = found;
            continue;
        }
        if (WriteBits(prefix, width) < 0)
            return 2;
        if (AddCharString(static_cast<WORD>(prefix), static_cast<BYTE>(c)) > limit) {
            if (++width > kMaxBits) {
                if (WriteBits(clear, kMaxBits) < 0)
                    return 2;
                ClearStrtab(codeSize);
                width = codeSize + 1;
            }
            limit = (1 << width) - 1;
        }
        prefix = c;
    }
    if (prefix != static_cast<int>(kEmpty) && WriteBits(prefix, width) < 0)
        return 2;
    if (WriteBits(end, width) < 0 || ResetOutBitFile() < 0)
        return 2;
    return 0;
}

// --- The public steps ---

int CGif::GIF_Create(const char* path, int width, int height, int colours, int colourResolution)
{
    m_File.reset();
    m_ColorTable.reset();
    m_NumColors = 0;
    m_Failed = false;
    // What a GIF cannot describe cannot be written.
    if (!path || width < 0 || width > 0xFFFF || height < 0 || height > 0xFFFF || colours < 0 || colours > 256)
        return 1;
    m_NumColors = colours ? 1 << BitsNeeded(static_cast<unsigned>(colours)) : 0;
    m_ColorRes = colourResolution < 1 ? 1 : colourResolution > 8 ? 8 : colourResolution;
    m_OutScreenWidth = width;
    m_OutScreenHeight = height;
    if (Create(path))
        return 1;
    if (Write("GIF87a", 6) || WriteScreenDescriptor())
        return 2;
    if (m_NumColors) {
        m_ColorTable.reset(static_cast<BYTE*>(std::calloc(static_cast<std::size_t>(m_NumColors), 3)));
        if (!m_ColorTable) {
            m_Failed = true;
            return 3;
        }
    }
    return 0;
}

void CGif::GIF_SetColor(int index, int red, int green, int blue)
{
    if (!m_ColorTable || index < 0 || index >= m_NumColors)
        return;
    const int max = (1 << m_ColorRes) - 1;
    BYTE* entry = m_ColorTable.get() + index * 3;
    entry[0] = static_cast<BYTE>(red * 255 / max);
    entry[1] = static_cast<BYTE>(green * 255 / max);
    entry[2] = static_cast<BYTE>(blue * 255 / max);
}

int CGif::GIF_CompressImage(int left, int top, int width, int height)
{
    if (!m_File)
        return 2;
    // Without pixels the file would hold a black picture that looks written.
    if (!m_Source || !m_Source->bitmap) {
        m_Failed = true;
        return 2;
    }
    if (width < 0) {
        width = m_OutScreenWidth;
        left = 0;
    }
    if (height < 0) {
        height = m_OutScreenHeight;
        top = 0;
    }
    m_ImageLeft = left < 0 ? 0 : left;
    m_ImageTop = top < 0 ? 0 : top;
    m_ImageWidth = width;
    m_ImageHeight = height;
    if (m_ImageLeft > 0xFFFF || m_ImageTop > 0xFFFF || m_ImageWidth > 0xFFFF || m_ImageHeight > 0xFFFF) {
        m_Failed = true;
        return 2;
    }
    if (m_NumColors && Write(m_ColorTable.get(), static_cast<std::size_t>(m_NumColors) * 3))
        return 2;
    if (WriteImageDescriptor())
        return 2;
    int codeSize = BitsNeeded(static_cast<unsigned>(m_NumColors));
    if (codeSize < 2)
        codeSize = 2;
    if (WriteByte(static_cast<BYTE>(codeSize)))
        return 2;
    m_RelPixX = 0;
    m_RelPixY = 0;
    if (const int result = LZW_Compress(codeSize)) {
        m_Failed = true;
        return result;
    }
    if (WriteByte(0))
        return 2;
    return 0;
}

int CGif::GIF_Close()
{
    if (!m_File)
        return 2;
    int result = WriteByte(';');
    if (Close())
        result = 2;
    m_ColorTable.reset();
    m_NumColors = 0;
    return result;
}
