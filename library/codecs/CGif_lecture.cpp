// GIF reading. The file layout (little-endian):
//   header      "GIF87a" or "GIF89a", screen width (2), height (2), flags (1:
//               bit 7 global table, bits 0-2 its size exponent e),
//               background index (1), aspect ratio (1)
//   global table 2^(e+1) entries of R, G, B when flagged
//   blocks      ',' image, '!' extension, ';' trailer
//   image       left, top, width, height (2 each), flags (1: bit 7 local
//               table, bit 6 interlaced, bits 0-2 exponent), local table,
//               LZW minimum code size (1), data sub-blocks, terminator 0
//   sub-block   length 1..255 then that many bytes
// The whole file is held in memory and every read is checked against its
// length: a block that would reach past it ends the walk.

#include "CGif.h"

#include "AtomicFile.h"
#include "Budget.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr std::size_t kHeaderBytes = 13;
constexpr std::size_t kDescriptorBytes = 9;
constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeSize = 12;

int ReadWord(const BYTE* p) { return p[0] | (p[1] << 8); }

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// One block per image: header, colour table, pixels and the string table.
struct ImageBlock {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
constexpr std::size_t kTableBytes = kMaxCodes * (2 * sizeof(WORD) + 2);

// What an image's LZW data can stand for. A code stands for at most 4093
// pixels (the longest string a 4096-entry table can define) and takes 12 bits
// once strings grow past 2046, so no stream expands beyond 2730 pixels per
// byte; 4096 leaves a margin. Data cut short still gets 2^20 pixels.
constexpr std::uint64_t kPixelsOfferts = std::uint64_t(1) << 20;
constexpr std::uint64_t kPixelsParOctet = 4096;
// No GIF of use comes near 134 megapixels, while one decoded at LZW's full
// expansion costs a second of work per hundred: the cap keeps the worst
// file of this format within its time.
constexpr std::uint64_t kPixelsMaxGif = std::uint64_t(1) << 27;

// The data bytes of the sub-blocks that start at position, as far as the
// file holds them.
std::uint64_t OctetsDesSousBlocs(const BYTE* data, std::size_t length, std::size_t position)
{
    std::uint64_t total = 0;
    while (position < length && data[position] != 0) {
        const std::size_t block = data[position];
        total += std::min(block, length - position - 1);
        position += 1 + block;
    }
    return total;
}

} // namespace

CGif::CGif() = default;

CGif::~CGif()
{
    Stop();
}

int CGif::Stop()
{
    return 0;
}

int CGif::Load(const char* path) { return Load(path, m_BudgetPropre); }

int CGif::Load(const char* path, Budget& budget)
{
    Stop();
    m_Budget = &budget;
    m_GlobalTable.reset();
    m_GlobalCount = 0;
    m_Data.reset();
    m_DataLength = 0;
    m_Position = 0;
    if (!path)
        return 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return 0;
    BYTE header[kHeaderBytes];
    if (std::fread(header, 1, kHeaderBytes, file.get()) != kHeaderBytes)
        return 0;
    if (std::memcmp(header, "GIF87a", 6) != 0 && std::memcmp(header, "GIF89a", 6) != 0)
        return 0;
    m_ScreenWidth = ReadWord(header + 6);
    m_ScreenHeight = ReadWord(header + 8);
    m_Background = header[11];
    std::size_t consumed = kHeaderBytes;
    if (header[10] & 0x80) {
        const int count = 2 << (header[10] & 7);
        const std::size_t bytes = static_cast<std::size_t>(count) * 3;
        m_GlobalTable.reset(static_cast<BYTE*>(std::malloc(bytes)));
        if (!m_GlobalTable || std::fread(m_GlobalTable.get(), 1, bytes, file.get()) != bytes) {
            m_GlobalTable.reset();
            return 0;
        }
        m_GlobalCount = count;
        consumed += bytes;
    }

    // The rest at once, once the budget allows it; the size is a hint only
    // (the file may change under us).
    struct stat info {};
    std::size_t capacity = 1 << 16;
    if (::fstat(::fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode)
        && static_cast<std::uint64_t>(info.st_size) > consumed)
        capacity = static_cast<std::size_t>(info.st_size) - consumed + 1;
    budget.Debute();
    CBlock<BYTE> data(budget.Reserve(capacity) ? static_cast<BYTE*>(std::malloc(capacity)) : nullptr);
    std::size_t length = 0;
    while (data) {
        length += std::fread(data.get() + length, 1, capacity - length, file.get());
        if (length < capacity)
            break;
        if (capacity > SIZE_MAX / 2 || !budget.Reserve(capacity)) {
            data.reset();
            break;
        }
        BYTE* grown = static_cast<BYTE*>(std::realloc(data.get(), capacity * 2));
        if (!grown) {
            data.reset();
            break;
        }
        data.release();
        data.reset(grown);
        capacity *= 2;
    }
    if (!data || std::ferror(file.get())) {
        m_GlobalTable.reset();
        m_GlobalCount = 0;
        return 0;
    }
    m_Data = std::move(data);
    m_DataLength = length;
    return 1;
}

HBITMAP CGif::FirstImage()
{
    m_Position = 0;
    return NextImage();
}

HBITMAP CGif::NextImage()
{
    // Starting at the beginning, meeting the end means the data hold no image.
    bool wrapped = m_Position == 0;
    for (;;) {
        if (m_Position >= m_DataLength) {
            m_Position = 0;
            return nullptr;
        }
        switch (m_Data.get()[m_Position]) {
        case 0x2C:
            ++m_Position;
            return TakeIt();
        case 0x21:
            if (!SkipExtension())
                return nullptr;
            break;
        case 0x3B:
        case 0x00:
            m_Position = 0;
            if (wrapped)
                return nullptr;
            wrapped = true;
            break;
        default:
            return nullptr;
        }
    }
}

bool CGif::SkipSubBlocks()
{
    const BYTE* data = m_Data.get();
    for (;;) {
        if (m_Position >= m_DataLength) {
            m_Position = 0;
            return false;
        }
        const std::size_t length = data[m_Position];
        if (length == 0) {
            ++m_Position;
            return true;
        }
        if (length >= m_DataLength - m_Position) {
            m_Position = 0;
            return false;
        }
        m_Position += 1 + length;
    }
}

bool CGif::SkipExtension()
{
    // Every known extension is its label then sub-blocks: the graphic control
    // block (4 bytes), the plain-text header (12), the application name (11)
    // are the first sub-block of theirs.
    if (m_DataLength - m_Position < 2) {
        m_Position = 0;
        return false;
    }
    const BYTE* data = m_Data.get() + m_Position;
    const BYTE label = data[1];
    if (label == 0xF9) {
        if (m_DataLength - m_Position >= 7 && data[2] >= 4) {
            m_Transparent = data[3] & 1;
            m_Disposal = (data[3] >> 2) & 7;
            m_Delay = ReadWord(data + 4);
            m_TransparentIndex = data[6];
        }
    } else if (label != 0x01 && label != 0xFE && label != 0xFF) {
        return false;
    }
    m_Position += 2;
    return SkipSubBlocks();
}

HBITMAP CGif::TakeIt()
{
    const BYTE* data = m_Data.get();
    if (m_DataLength - m_Position < kDescriptorBytes) {
        m_Position = 0;
        return nullptr;
    }
    const BYTE* d = data + m_Position;
    m_Left = ReadWord(d);
    m_Top = ReadWord(d + 2);
    m_Width = ReadWord(d + 4);
    m_Height = ReadWord(d + 6);
    const BYTE flags = d[8];
    m_Interlaced = (flags & 0x40) != 0;
    m_Position += kDescriptorBytes;

    std::size_t localBytes = 0;
    if (flags & 0x80) {
        localBytes = static_cast<std::size_t>(2 << (flags & 7)) * 3;
        if (m_DataLength - m_Position < localBytes) {
            m_Position = 0;
            return nullptr;
        }
    }
    const BYTE* local = data + m_Position;
    m_Position += localBytes;
    if (m_Position >= m_DataLength) {
        m_Position = 0;
        return nullptr;
    }
    const int minimum = data[m_Position++];

    // Sizes the decoder refuses still leave the walk after this image. Each
    // image is a decoding of its own, beside the file held since Load.
    const std::uint64_t pixels = std::uint64_t(m_Width) * std::uint64_t(m_Height);
    Budget& budget = *m_Budget;
    budget.Debute();
    if (m_Width == 0 || m_Height == 0 || minimum < 1 || minimum > 8 || !budget.AdmetPixels(m_Width, m_Height)
        || pixels > kPixelsMaxGif
        || !budget.AdmetDonnees(pixels, Budget::Permis(kPixelsOfferts, kPixelsParOctet,
                                                       OctetsDesSousBlocs(data, m_DataLength, m_Position)))) {
        SkipSubBlocks();
        return nullptr;
    }
    m_Stride = ((static_cast<std::size_t>(m_Width) - 1) | 3) + 1;
    const std::size_t pixelBytes = m_Stride * static_cast<std::size_t>(m_Height);
    const std::size_t blockBytes = sizeof(ImageBlock) + pixelBytes + kTableBytes;
    const std::uint64_t imageBytes =
        std::uint64_t(DibRowBytes(static_cast<std::size_t>(m_Width), Screen::depth())) * std::uint64_t(m_Height);
    CBlock<BYTE> block(budget.Reserve(m_DataLength + blockBytes + imageBytes)
                           ? static_cast<BYTE*>(std::calloc(1, blockBytes))
                           : nullptr);
    if (!block) {
        SkipSubBlocks();
        return nullptr;
    }
    auto* image = reinterpret_cast<ImageBlock*>(block.get());
    BITMAPINFOHEADER& header = image->header;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = m_Width;
    header.biHeight = -m_Height;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(pixelBytes);
    header.biClrUsed = 256;
    header.biClrImportant = 256;
    const BYTE* table = (flags & 0x80) ? local : m_GlobalTable.get();
    const int entries = (flags & 0x80) ? static_cast<int>(localBytes / 3) : m_GlobalCount;
    for (int i = 0; i < entries && i < 256; ++i)
        image->colours[i] = {table[i * 3 + 2], table[i * 3 + 1], table[i * 3], 0};

    m_Pixels = block.get() + sizeof(ImageBlock);
    BYTE* strings = m_Pixels + pixelBytes;
    m_Prefix = reinterpret_cast<WORD*>(strings);
    m_Link = m_Prefix + kMaxCodes;
    m_Suffix = reinterpret_cast<BYTE*>(m_Link + kMaxCodes);
    m_First = m_Suffix + kMaxCodes;

    const int clear = 1 << minimum;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i) {
        m_Suffix[i] = static_cast<BYTE>(i);
        m_First[i] = static_cast<BYTE>(i);
    }
    m_InitCodeSize = m_CodeSize = minimum + 1;
    int freeCode = clear + 2;
    m_BitByte = 0;
    m_BitsLeft = 0;
    m_BlockLength = 0;
    m_BlockUsed = 0;
    m_DataOver = false;
    m_Column = 0;
    m_Row = 0;
    m_Pass = 1;

    bool failed = false;
    int previous = -1;
    for (;;) {
        const int code = GetCode();
        if (code < 0 || code == end)
            break;
        if (code == clear) {
            m_CodeSize = m_InitCodeSize;
            freeCode = clear + 2;
            previous = -1;
            continue;
        }
        int first = 0;
        if (code < freeCode) {
            if (!Replay(code, freeCode, end, first)) {
                failed = true;
                break;
            }
        } else {
            // The string being defined: the previous one and its own first byte.
            // Right after a clear there is none, and the code is corrupt.
            if (previous < 0 || !Replay(previous, freeCode, end, first)) {
                failed = true;
                break;
            }
            if (!ImageFull())
                Output(static_cast<BYTE>(first));
        }
        if (previous >= 0 && freeCode < kMaxCodes) {
            m_Prefix[freeCode] = static_cast<WORD>(previous);
            m_Suffix[freeCode] = static_cast<BYTE>(first);
            m_First[freeCode] = m_First[previous];
            ++freeCode;
            if (freeCode == (1 << m_CodeSize) && m_CodeSize < kMaxCodeSize)
                ++m_CodeSize;
        }
        previous = code;
    }

    // Step over what is left of the data and its terminator.
    if (!m_DataOver)
        m_Position += m_BlockLength - m_BlockUsed;
    SkipSubBlocks();

    HBITMAP result = nullptr;
    m_Alpha.clear();
    if (!failed && m_Transparent) {
        // Only an index that some pixel uses makes the picture transparent.
        bool utilise = false;
        m_Alpha.resize(static_cast<std::size_t>(m_Width) * static_cast<std::size_t>(m_Height));
        for (int y = 0; y < m_Height; ++y) {
            const BYTE* ligne = m_Pixels + static_cast<std::size_t>(y) * m_Stride;
            BYTE* alpha = m_Alpha.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_Width);
            for (int x = 0; x < m_Width; ++x) {
                const bool transparent = ligne[x] == m_TransparentIndex;
                alpha[x] = transparent ? 0 : 255;
                utilise |= transparent;
            }
        }
        if (!utilise)
            m_Alpha.clear();
    }
    if (!failed) {
        DibSource dib;
        dib.header = &header;
        dib.colours = image->colours;
        dib.colourCount = 256;
        dib.bits = m_Pixels;
        dib.bitsLength = pixelBytes;
        HDC screen = GetDC(nullptr);
        result = CreateDIBitmap(screen, dib);
        ReleaseDC(nullptr, screen);
    }
    m_Pixels = nullptr;
    m_Prefix = m_Link = nullptr;
    m_Suffix = m_First = nullptr;
    return result;
}

// Writes the string of a defined code forwards: the prefix chain is walked
// down to its root once, leaving a link at each step, and the links lead
// back up. A chain that does not strictly descend is corrupt. Once every
// pixel is placed the rest would be dropped, so only the first byte is kept.
bool CGif::Replay(int code, int freeCode, int end, int& first)
{
    if (code >= freeCode)
        return false;
    if (ImageFull()) {
        first = m_First[code];
        return true;
    }
    int c = code;
    while (c > end) {
        const int prefix = m_Prefix[c];
        if (prefix >= c)
            return false;
        m_Link[prefix] = static_cast<WORD>(c);
        c = prefix;
    }
    if (c >= end - 1) // the clear or end code is no pixel
        return false;
    first = c;
    Output(static_cast<BYTE>(c));
    while (c != code) {
        c = m_Link[c];
        Output(m_Suffix[c]);
    }
    return true;
}

int CGif::GetByte()
{
    if (m_DataOver)
        return -1;
    if (m_BlockUsed >= m_BlockLength) {
        // The position stays on a terminator or on a sub-block that the data
        // do not hold whole.
        const std::size_t length = m_Position < m_DataLength ? m_Data.get()[m_Position] : 0;
        if (length == 0 || length >= m_DataLength - m_Position) {
            m_DataOver = true;
            return -1;
        }
        ++m_Position;
        m_BlockLength = length;
        m_BlockUsed = 0;
    }
    ++m_BlockUsed;
    return m_Data.get()[m_Position++];
}

int CGif::GetCode()
{
    int code = 0;
    int got = 0;
    while (got < m_CodeSize) {
        if (m_BitsLeft == 0) {
            const int byte = GetByte();
            if (byte < 0)
                return -1;
            m_BitByte = byte;
            m_BitsLeft = 8;
        }
        const int take = m_BitsLeft < m_CodeSize - got ? m_BitsLeft : m_CodeSize - got;
        code |= ((m_BitByte >> (8 - m_BitsLeft)) & ((1 << take) - 1)) << got;
        m_BitsLeft -= take;
        got += take;
    }
    return code;
}

void CGif::Output(BYTE index)
{
    if (m_Row < m_Height)
        m_Pixels[static_cast<std::size_t>(m_Row) * m_Stride + static_cast<std::size_t>(m_Column)] = index;
    if (++m_Column < m_Width)
        return;
    m_Column = 0;
    if (!m_Interlaced) {
        ++m_Row;
        return;
    }
    m_Row += m_Pass <= 2 ? 8 : m_Pass == 3 ? 4 : 2;
    // Passes start at rows 4, 2 and 1; one that starts below the image is skipped.
    while (m_Row >= m_Height && m_Pass < 4) {
        ++m_Pass;
        m_Row = 16 >> m_Pass;
    }
}
