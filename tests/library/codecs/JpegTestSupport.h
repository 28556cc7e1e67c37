#pragma once
// JPEG files made by the reference encoder, the loading pipeline built from
// JpegFile's own operations, and a file-size limit that makes writes fail
// half-way (root included), for the JPEG tests.

#include "CGraphique.h"
#include "TestImages.h"

#include <sys/resource.h>

#include <cstdint>
#include <string>
#include <vector>

namespace JpegTest {

using Bytes = std::vector<std::uint8_t>;

// A picture with smooth areas, edges and noise, like a photograph.
HBITMAP Photo(int width, int height, int bitsPerPixel = 32);

// Encodes a width x height picture with cjpeg and the options given
// ("-sample 2x1", "-grayscale", ...); the path of the file, empty on failure.
std::string Cjpeg(CGraphique& graphique, const TestImages::Sandbox& box, const std::string& name, int width,
                  int height, const std::string& options);
// Decodes with djpeg's defaults into pixels; false when djpeg fails.
bool Djpeg(const std::string& jpeg, const TestImages::Sandbox& box, int& width, int& height,
           std::vector<COLORREF>& pixels);

// What loading gives when done step by step with JpegFile's operations:
// RGB buffer, byte swap, row flip, row padding, 24-bit DIB, device image.
HBITMAP LoadThroughRgbBuffer(const std::string& path);

// The bytes of a 32-bit image's rows, fourth bytes included.
Bytes RowBytes(HBITMAP image);
// Pixels of a 32-bit image as COLORREF, row by row.
std::vector<COLORREF> Pixels(HBITMAP image);

// Files in a folder, so that a failed write can be shown to leave no trace.
std::size_t FilesIn(const std::string& folder);

// While alive, no file of the process may grow beyond the limit.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
};

} // namespace JpegTest
