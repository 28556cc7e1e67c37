// Times the program's hot path, ChargeImage + SauveImage of a JPEG at
// quality 75, against libjpeg's own decode + encode of the same file (plain
// calls, default settings, RGB rows), in the same process, round after round.
// Pictures: 12 and 2 megapixels of generated photograph-like content, plus
// the JPEG wallpapers of an installed Debian wallpaper package, if any.
// Usage: jpeg_bench [ROUNDS]

#include "CGraphique.h"

#include "Banc.h"

#include <jpeglib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Picture {
    std::string label;
    std::string path;
};

// Smooth light, a few hard-edged shapes, fine texture and sensor noise.
std::vector<JSAMPLE> PhotoLike(int width, int height)
{
    std::vector<JSAMPLE> rgb(static_cast<std::size_t>(width) * height * 3);
    std::uint32_t seed = 2024;
    for (int y = 0; y < height; ++y) {
        const double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            seed = seed * 1664525u + 1013904223u;
            const double noise = double(seed >> 24) / 32.0 - 4.0;
            const double light = 0.5 + 0.5 * std::sin(u * 5.0 + v * 3.0);
            const double texture = 18.0 * std::sin(x * 0.31) * std::cos(y * 0.27);
            double r = 40 + 170 * light * (1 - v) + texture;
            double g = 60 + 120 * v + 50 * u + texture;
            double b = 90 + 140 * (1 - light) * u;
            const double dx = u - 0.6, dy = v - 0.45;
            if (dx * dx + dy * dy < 0.04) {
                r = 220 - 60 * v;
                g = 180 - 40 * u;
                b = 40;
            }
            if (u > 0.1 && u < 0.3 && v > 0.55 && v < 0.9) {
                r = 30;
                g = 45 + 30 * v;
                b = 70;
            }
            JSAMPLE* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<JSAMPLE>(std::clamp(r + noise, 0.0, 255.0));
            p[1] = static_cast<JSAMPLE>(std::clamp(g + noise, 0.0, 255.0));
            p[2] = static_cast<JSAMPLE>(std::clamp(b + noise, 0.0, 255.0));
        }
    }
    return rgb;
}

bool Encode(const std::string& path, const std::vector<JSAMPLE>& rgb, JDIMENSION width, JDIMENSION height,
            int quality)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_error_mgr err;
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < height) {
        auto* row = const_cast<JSAMPLE*>(&rgb[static_cast<std::size_t>(info.next_scanline) * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

// libjpeg alone: the whole picture decoded to RGB, then encoded again.
bool ReferenceRoundTrip(const std::string& source, const std::string& target)
{
    std::FILE* file = std::fopen(source.c_str(), "rb");
    if (!file)
        return false;
    jpeg_error_mgr err;
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const JDIMENSION width = info.output_width, height = info.output_height;
    std::vector<JSAMPLE> rgb(static_cast<std::size_t>(width) * height * 3);
    while (info.output_scanline < height) {
        JSAMPLE* row = &rgb[static_cast<std::size_t>(info.output_scanline) * width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return Encode(target, rgb, width, height, 75);
}

bool OurRoundTrip(CGraphique& graphique, const std::string& source, const std::string& target)
{
    HBITMAP image = graphique.ChargeImage(source);
    const bool saved = image && graphique.SauveImage(target, image, 75) == 1;
    DeleteObject(image);
    return saved;
}

std::vector<char> Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <class F>
double Milliseconds(F&& run)
{
    const auto start = Clock::now();
    if (!run()) {
        std::fprintf(stderr, "a round trip failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<Picture> Wallpapers()
{
    std::vector<Picture> found;
    for (const char* root : {"/usr/share/wallpapers", "/usr/share/backgrounds"}) {
        std::error_code error;
        for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
            std::string ext = it->path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            if (it->is_regular_file() && (ext == ".jpg" || ext == ".jpeg") && found.size() < 4)
                found.push_back({it->path().filename().string(), it->path().string()});
        }
    }
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = Tours(argc, argv, 1, 5);
    const fs::path folder = fs::temp_directory_path() / ("jpeg_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder);

    std::vector<Picture> pictures;
    for (auto [width, height, label] : {std::tuple{4000, 3000, "12 MP generated"}, std::tuple{1728, 1152, "2 MP generated"}}) {
        const std::string path = (folder / (std::to_string(width) + "x" + std::to_string(height) + ".jpg")).string();
        if (!Encode(path, PhotoLike(width, height), width, height, 92)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        pictures.push_back({label, path});
    }
    for (const Picture& wallpaper : Wallpapers())
        pictures.push_back(wallpaper);

    CGraphique graphique;
    const std::string ours = (folder / "ours.jpg").string();
    const std::string reference = (folder / "reference.jpg").string();
    // Medians, and the ratio of the best rounds too: on a shared machine the
    // fastest round is the one least disturbed.
    std::printf("%d rounds per picture of load + save at quality 75; times are medians\n", rounds);
    std::printf("%-22s %8s %10s %12s %8s %10s  %s\n", "picture", "file KB", "ours ms", "libjpeg ms", "ratio",
                "best/best", "same bytes");
    for (const Picture& picture : pictures) {
        // One untimed pass of each warms the caches and the page tables.
        OurRoundTrip(graphique, picture.path, ours);
        ReferenceRoundTrip(picture.path, reference);
        std::vector<double> ourTimes, referenceTimes;
        for (int round = 0; round < rounds; ++round) {
            ourTimes.push_back(Milliseconds([&] { return OurRoundTrip(graphique, picture.path, ours); }));
            referenceTimes.push_back(Milliseconds([&] { return ReferenceRoundTrip(picture.path, reference); }));
        }
        const double a = Median(ourTimes), b = Median(referenceTimes);
        const double best = *std::min_element(ourTimes.begin(), ourTimes.end())
            / *std::min_element(referenceTimes.begin(), referenceTimes.end());
        const bool same = Contents(ours) == Contents(reference);
        std::printf("%-22s %8ju %10.1f %12.1f %8.3f %10.3f  %s\n", picture.label.c_str(),
                    static_cast<std::uintmax_t>(fs::file_size(picture.path) / 1024), a, b, a / b, best,
                    same ? "yes" : "no");
    }
    fs::remove_all(folder);
    return 0;
}
