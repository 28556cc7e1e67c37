#include "GifTestSupport.h"

#include "PixelRows.h"
#include "TestImages.h"

#include <cstdlib>
#include <fstream>
#include <map>

namespace GifTest {

std::vector<COLORREF> DistinctPalette(int n)
{
    std::vector<COLORREF> palette;
    for (int i = 0; i < n; ++i)
        palette.push_back(RGB(i, (i * 97 + 31) & 0xFF, 255 - i));
    return palette;
}

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

namespace {

void Word(Bytes& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

int Exponent(std::size_t entries)
{
    int e = 0;
    while ((std::size_t(2) << e) < entries)
        ++e;
    return e;
}

void Table(Bytes& out, const std::vector<COLORREF>& table)
{
    for (COLORREF c : table) {
        out.push_back(GetRValue(c));
        out.push_back(GetGValue(c));
        out.push_back(GetBValue(c));
    }
}

} // namespace

Bytes Header(const char* version, int width, int height, const std::vector<COLORREF>& table)
{
    Bytes out(version, version + 6);
    Word(out, width);
    Word(out, height);
    out.push_back(table.empty() ? 0x70 : static_cast<std::uint8_t>(0xF0 | Exponent(table.size())));
    out.push_back(0);
    out.push_back(0);
    Table(out, table);
    return out;
}

Bytes SubBlocks(const Bytes& data)
{
    Bytes out;
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

Bytes Image(int width, int height, bool interlaced, const std::vector<COLORREF>& localTable, int minimumCodeSize,
            const Bytes& lzw)
{
    Bytes out{0x2C};
    Word(out, 0);
    Word(out, 0);
    Word(out, width);
    Word(out, height);
    std::uint8_t flags = interlaced ? 0x40 : 0;
    if (!localTable.empty())
        flags |= static_cast<std::uint8_t>(0x80 | Exponent(localTable.size()));
    out.push_back(flags);
    Table(out, localTable);
    out.push_back(static_cast<std::uint8_t>(minimumCodeSize));
    Append(out, SubBlocks(lzw));
    return out;
}

Bytes PackCodes(const std::vector<Code>& codes)
{
    Bytes out;
    std::uint32_t accumulator = 0;
    int bits = 0;
    for (const Code& code : codes) {
        accumulator |= static_cast<std::uint32_t>(code.value) << bits;
        bits += code.width;
        while (bits >= 8) {
            out.push_back(static_cast<std::uint8_t>(accumulator & 0xFF));
            accumulator >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out.push_back(static_cast<std::uint8_t>(accumulator & 0xFF));
    return out;
}

Bytes Compress(const std::vector<std::uint8_t>& indices, int minimumCodeSize)
{
    const int clear = 1 << minimumCodeSize;
    std::vector<Code> codes{{clear, minimumCodeSize + 1}};
    std::map<std::pair<int, int>, int> strings;
    int next = clear + 2;
    int width = minimumCodeSize + 1;
    int prefix = -1;
    for (std::uint8_t c : indices) {
        if (prefix < 0) {
            prefix = c;
            continue;
        }
        const auto known = strings.find({prefix, c});
        if (known != strings.end()) {
            prefix = known->second;
            continue;
        }
        codes.push_back({prefix, width});
        if (next < 4096) {
            strings[{prefix, c}] = next;
            if (next == (1 << width))
                ++width;
            ++next;
        } else {
            codes.push_back({clear, width});
            strings.clear();
            next = clear + 2;
            width = minimumCodeSize + 1;
        }
        prefix = c;
    }
    if (prefix >= 0)
        codes.push_back({prefix, width});
    codes.push_back({clear + 1, width});
    return PackCodes(codes);
}

Bytes File(int width, int height, const std::vector<COLORREF>& palette, const std::vector<std::uint8_t>& indices,
           bool interlaced)
{
    int minimum = 2;
    while ((std::size_t(1) << minimum) < palette.size())
        ++minimum;
    Bytes file = Header("GIF89a", width, height, palette);
    Append(file, Image(width, height, interlaced, {}, minimum, Compress(indices, minimum)));
    file.push_back(0x3B);
    return file;
}

std::vector<COLORREF> Colours(HBITMAP image)
{
    std::vector<COLORREF> out;
    if (!image)
        return out;
    std::vector<std::uint32_t> row(static_cast<std::size_t>(image->width()));
    out.reserve(static_cast<std::size_t>(image->width()) * static_cast<std::size_t>(image->height()));
    for (int y = 0; y < image->height(); ++y) {
        PixelRows::Read(*image, 0, y, image->width(), row.data());
        for (std::uint32_t p : row)
            out.push_back(PixelRows::ToColorRef(p));
    }
    return out;
}

std::vector<int> Indices(HBITMAP image, const std::vector<COLORREF>& palette)
{
    std::map<COLORREF, int> index;
    for (std::size_t i = 0; i < palette.size(); ++i)
        index.emplace(palette[i], static_cast<int>(i));
    std::vector<int> out;
    for (COLORREF c : Colours(image)) {
        const auto found = index.find(c);
        out.push_back(found == index.end() ? -1 : found->second);
    }
    return out;
}

int Encode(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices,
           const std::vector<COLORREF>& palette)
{
    HBITMAP picture = CreateBitmap(width, height, 1, 8, nullptr);
    if (!picture)
        return -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->row(y)[x] = indices[static_cast<std::size_t>(y) * width + x];
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP old = SelectObject(dc, picture);
    int result;
    {
        CGif gif;
        result = gif.GIF_Create(path.c_str(), width, height, static_cast<int>(palette.size()), 8);
        if (result == 0) {
            for (std::size_t i = 0; i < palette.size(); ++i)
                gif.GIF_SetColor(static_cast<int>(i), GetRValue(palette[i]), GetGValue(palette[i]),
                                 GetBValue(palette[i]));
            gif.GIF_SetSource(dc);
            result = gif.GIF_CompressImage(0, 0, -1, -1);
            const int closed = gif.GIF_Close();
            if (result == 0)
                result = closed;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(picture);
    return result;
}

HBITMAP Decode(const std::string& path)
{
    CGif gif;
    return gif.Load(path.c_str()) ? gif.FirstImage() : nullptr;
}

CodeStream Inspect(const Bytes& file)
{
    CodeStream result;
    std::size_t at = 13;
    if (file.size() < at)
        return result;
    if (file[10] & 0x80)
        at += 3 * (std::size_t(2) << (file[10] & 7));
    auto subBlocks = [&](Bytes* into) {
        while (at < file.size() && file[at] != 0) {
            const std::size_t n = file[at];
            if (into)
                into->insert(into->end(), file.begin() + static_cast<std::ptrdiff_t>(at + 1),
                             file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), at + 1 + n)));
            at += 1 + n;
        }
        ++at;
    };
    while (at < file.size() && file[at] == 0x21) {
        at += 2;
        subBlocks(nullptr);
    }
    if (at + 10 >= file.size() || file[at] != 0x2C)
        return result;
    const std::uint8_t flags = file[at + 9];
    at += 10;
    if (flags & 0x80)
        at += 3 * (std::size_t(2) << (flags & 7));
    if (at >= file.size())
        return result;
    result.found = true;
    result.minimumCodeSize = file[at++];
    subBlocks(&result.data);

    const int clear = 1 << result.minimumCodeSize;
    int width = result.minimumCodeSize + 1;
    int next = clear + 2;
    bool first = true;
    std::size_t bit = 0;
    while (bit + static_cast<std::size_t>(width) <= result.data.size() * 8) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            code |= ((result.data[bit / 8] >> (bit % 8)) & 1) << i;
        ++result.codes;
        result.maxWidth = std::max(result.maxWidth, width);
        if (code == clear) {
            if (result.codes > 1)
                ++result.clears;
            if (width == 12)
                ++result.clearsAtWidth12;
            width = result.minimumCodeSize + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (code == clear + 1) {
            result.ended = true;
            break;
        }
        // Every code but the first after a clear defines one string.
        if (!first && next < 4096 && ++next == (1 << width) && width < 12)
            ++width;
        first = false;
    }
    return result;
}

bool HaveConvert() { return TestImages::HaveTool(TestImages::kConvert); }

int Convert(const std::string& arguments)
{
    const std::string command = std::string(TestImages::kConvert) + " " + arguments + " 2>/dev/null";
    return std::system(command.c_str());
}

void WritePpm(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (COLORREF c : pixels) {
        const char rgb[3] = {static_cast<char>(GetRValue(c)), static_cast<char>(GetGValue(c)),
                             static_cast<char>(GetBValue(c))};
        out.write(rgb, 3);
    }
}

} // namespace GifTest
