#pragma once
// Builders and probes for test pictures, a sandbox folder, and the external
// reference tools (ImageMagick, djpeg) found by their full paths.

#include "Gdi.h"

#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace TestImages {

// A new image whose pixel (x, y) has colour fn(x, y).
HBITMAP Make(int width, int height, int bitsPerPixel, const std::function<COLORREF(int, int)>& fn);
HBITMAP Solid(int width, int height, int bitsPerPixel, COLORREF colour);
// A colourful pattern that shows any misplaced row or column.
HBITMAP Gradient(int width, int height, int bitsPerPixel = 32);
COLORREF Pixel(HBITMAP image, int x, int y);
CSize SizeOf(HBITMAP image);
int Depth(HBITMAP image);
// Index of the first differing pixel as "x,y", or empty when equal.
std::string FirstDifference(HBITMAP a, HBITMAP b, int tolerance = 0);

std::vector<std::uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Runs a shell command; returns its exit status.
int RunCommand(const std::string& command);
bool HaveTool(const char* fullPath);
constexpr const char* kConvert = "/usr/bin/convert";
constexpr const char* kDjpeg = "/usr/bin/djpeg";
constexpr const char* kCjpeg = "/usr/bin/cjpeg";

// A folder removed with its content at the end of the test.
class Sandbox {
public:
    Sandbox();
    std::string path(const std::string& name) const;

private:
    QTemporaryDir m_dir;
};

// Reads a binary PPM (P6) or PGM (P5) as written by djpeg or ImageMagick;
// pixels as COLORREF, row by row. Returns false when the file is not one.
bool ReadPnm(const std::string& path, int& width, int& height, std::vector<COLORREF>& pixels);
// Writes an image as a binary PPM, the input reference tools read most easily.
void WritePpm(const std::string& path, HBITMAP image);
// Compares an image with a PNM file decoded by a reference tool; empty when
// equal within the tolerance, else where they first differ.
std::string DifferenceFromPnm(HBITMAP image, const std::string& pnmPath, int tolerance = 0);

} // namespace TestImages
