#include "TestImages.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace TestImages {

HBITMAP Make(int width, int height, int bitsPerPixel, const std::function<COLORREF(int, int)>& fn)
{
    HBITMAP image = CreateBitmap(width, height, 1, bitsPerPixel, nullptr);
    if (!image)
        return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP old = SelectObject(dc, image);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelV(dc, x, y, fn(x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return image;
}

HBITMAP Solid(int width, int height, int bitsPerPixel, COLORREF colour)
{
    return Make(width, height, bitsPerPixel, [colour](int, int) { return colour; });
}

HBITMAP Gradient(int width, int height, int bitsPerPixel)
{
    return Make(width, height, bitsPerPixel, [](int x, int y) {
        return RGB((x * 37 + y * 3) & 0xFF, (y * 29 + x) & 0xFF, ((x ^ y) * 11) & 0xFF);
    });
}

COLORREF Pixel(HBITMAP image, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP old = SelectObject(dc, image);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

CSize SizeOf(HBITMAP image)
{
    BITMAP info{};
    GetObject(image, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

int Depth(HBITMAP image)
{
    BITMAP info{};
    GetObject(image, sizeof info, &info);
    return info.bmBitsPixel;
}

std::string FirstDifference(HBITMAP a, HBITMAP b, int tolerance)
{
    const CSize sa = SizeOf(a), sb = SizeOf(b);
    if (!(sa == sb))
        return "size " + std::to_string(sa.cx) + "x" + std::to_string(sa.cy) + " vs " + std::to_string(sb.cx) + "x"
            + std::to_string(sb.cy);
    for (int y = 0; y < sa.cy; ++y)
        for (int x = 0; x < sa.cx; ++x) {
            const COLORREF pa = Pixel(a, x, y), pb = Pixel(b, x, y);
            if (std::abs(GetRValue(pa) - GetRValue(pb)) > tolerance || std::abs(GetGValue(pa) - GetGValue(pb)) > tolerance
                || std::abs(GetBValue(pa) - GetBValue(pb)) > tolerance) {
                std::ostringstream s;
                s << x << "," << y << ": " << std::hex << pa << " vs " << pb;
                return s.str();
            }
        }
    return {};
}

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int RunCommand(const std::string& command) { return std::system(command.c_str()); }

bool HaveTool(const char* fullPath) { return ::access(fullPath, X_OK) == 0; }

Sandbox::Sandbox() = default;

std::string Sandbox::path(const std::string& name) const { return m_dir.filePath(QString::fromStdString(name)).toStdString(); }

bool ReadPnm(const std::string& path, int& width, int& height, std::vector<COLORREF>& pixels)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    if (!in || (magic != "P6" && magic != "P5") || maxValue != 255)
        return false;
    in.get();
    const int channels = magic == "P6" ? 3 : 1;
    std::vector<unsigned char> data(static_cast<std::size_t>(width) * height * channels);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!in)
        return false;
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = channels == 3 ? RGB(data[i * 3], data[i * 3 + 1], data[i * 3 + 2])
                                  : RGB(data[i], data[i], data[i]);
    return true;
}

void WritePpm(const std::string& path, HBITMAP image)
{
    const CSize size = SizeOf(image);
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << size.cx << " " << size.cy << "\n255\n";
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const COLORREF c = Pixel(image, x, y);
            const char rgb[3] = {static_cast<char>(GetRValue(c)), static_cast<char>(GetGValue(c)),
                                 static_cast<char>(GetBValue(c))};
            out.write(rgb, 3);
        }
}

std::string DifferenceFromPnm(HBITMAP image, const std::string& pnmPath, int tolerance)
{
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    if (!ReadPnm(pnmPath, width, height, pixels))
        return "unreadable " + pnmPath;
    const CSize size = SizeOf(image);
    if (size.cx != width || size.cy != height)
        return "size " + std::to_string(size.cx) + "x" + std::to_string(size.cy) + " vs " + std::to_string(width)
            + "x" + std::to_string(height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF a = Pixel(image, x, y), b = pixels[static_cast<std::size_t>(y) * width + x];
            if (std::abs(GetRValue(a) - GetRValue(b)) > tolerance || std::abs(GetGValue(a) - GetGValue(b)) > tolerance
                || std::abs(GetBValue(a) - GetBValue(b)) > tolerance) {
                std::ostringstream s;
                s << x << "," << y << ": " << std::hex << a << " vs " << b;
                return s.str();
            }
        }
    return {};
}

} // namespace TestImages
