#include "JpegTestSupport.h"

#include "JpegFile.h"

#include <csignal>
#include <filesystem>
#include <memory>

namespace JpegTest {

using namespace TestImages;

HBITMAP Photo(int width, int height, int bitsPerPixel)
{
    std::uint32_t seed = 12345;
    return Make(width, height, bitsPerPixel, [&](int x, int y) {
        seed = seed * 1664525u + 1013904223u;
        const int noise = static_cast<int>(seed >> 28) - 8;
        const bool edge = (x / 7 + y / 5) % 3 == 0;
        auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
        return RGB(clamp(x * 255 / width + noise), clamp(y * 255 / height + noise),
                   clamp((edge ? 200 : 40) + noise));
    });
}

std::string Cjpeg(CGraphique& graphique, const Sandbox& box, const std::string& name, int width, int height,
                  const std::string& options)
{
    HBITMAP source = Gradient(width, height, 24);
    const std::string bmp = box.path(name + ".bmp");
    const std::string jpeg = box.path(name + ".jpg");
    const bool saved = graphique.SauveImage(bmp, source, 0) == 1;
    DeleteObject(source);
    if (!saved || RunCommand(std::string(kCjpeg) + " " + options + " -outfile '" + jpeg + "' '" + bmp + "'") != 0)
        return {};
    return jpeg;
}

bool Djpeg(const std::string& jpeg, const Sandbox& box, int& width, int& height, std::vector<COLORREF>& pixels)
{
    const std::string out = box.path("djpeg.pnm");
    return RunCommand(std::string(kDjpeg) + " -outfile '" + out + "' '" + jpeg + "'") == 0
        && ReadPnm(out, width, height, pixels);
}

HBITMAP LoadThroughRgbBuffer(const std::string& path)
{
    UINT width = 0, height = 0;
    std::unique_ptr<BYTE[]> rgb(JpegFile::JpegFileToRGB(path, &width, &height));
    if (!rgb)
        return nullptr;
    JpegFile::BGRFromRGB(rgb.get(), width, height);
    JpegFile::VertFlipBuf(rgb.get(), width * 3, height);
    UINT rowBytes = 0;
    std::unique_ptr<BYTE[]> padded(JpegFile::MakeDwordAlignedBuf(rgb.get(), width, height, &rowBytes));
    BITMAPINFOHEADER header;
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = static_cast<LONG>(height);
    header.biBitCount = 24;
    DibSource dib;
    dib.header = &header;
    dib.bits = padded.get();
    dib.bitsLength = static_cast<std::size_t>(rowBytes) * height;
    return CreateDIBitmap(nullptr, dib);
}

Bytes RowBytes(HBITMAP image)
{
    Bytes bytes;
    for (int y = 0; y < image->height(); ++y)
        bytes.insert(bytes.end(), image->row(y), image->row(y) + image->width() * 4);
    return bytes;
}

std::vector<COLORREF> Pixels(HBITMAP image)
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x) {
            const BYTE* p = image->row(y) + 4 * x;
            pixels.push_back(RGB(p[2], p[1], p[0]));
        }
    return pixels;
}

std::size_t FilesIn(const std::string& folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    // Past the limit a write fails with EFBIG instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &m_old);
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_old); }

} // namespace JpegTest
