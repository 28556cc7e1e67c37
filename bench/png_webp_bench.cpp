// Times ChargeImage + SauveImage of a 12-megapixel PNG and WebP picture
// against the codec libraries' own decode + encode of the same file (RGB
// rows, the same zlib level and WebP quality), round after round, and prints
// the ratio of the medians. Usage: png_webp_bench [ROUNDS]

#include "CGraphique.h"
#include "codecs/PngFile.h"

#include "Banc.h"
#include "Mesure.h"

#include <spng.h>
#include <webp/decode.h>
#include <webp/encode.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kQualite = 75;

// Smooth light, a hard-edged disc, fine texture and sensor noise.
std::vector<std::uint8_t> PhotoLike(int width, int height)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    std::uint32_t seed = 2024;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            seed = seed * 1664525u + 1013904223u;
            const double noise = double(seed >> 24) / 32.0 - 4.0;
            const double light = 0.5 + 0.5 * std::sin(u * 5.0 + v * 3.0);
            const double texture = 18.0 * std::sin(x * 0.31) * std::cos(y * 0.27);
            double r = 40 + 170 * light * (1 - v) + texture, g = 60 + 120 * v + 50 * u + texture,
                   b = 90 + 140 * (1 - light) * u;
            if ((u - 0.6) * (u - 0.6) + (v - 0.45) * (v - 0.45) < 0.04) {
                r = 220 - 60 * v;
                g = 180 - 40 * u;
                b = 40;
            }
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(std::clamp(r + noise, 0.0, 255.0));
            p[1] = static_cast<std::uint8_t>(std::clamp(g + noise, 0.0, 255.0));
            p[2] = static_cast<std::uint8_t>(std::clamp(b + noise, 0.0, 255.0));
        }
    return rgb;
}

std::vector<std::uint8_t> Lit(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Ecrit(const std::string& path, const void* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const bool ok = f && std::fwrite(data, 1, size, f) == size;
    return f && std::fclose(f) == 0 && ok;
}

bool EncodePng(const std::string& path, const std::vector<std::uint8_t>& rgb, std::uint32_t w, std::uint32_t h)
{
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    spng_ihdr ihdr{};
    ihdr.width = w;
    ihdr.height = h;
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    spng_set_png_file(ctx, f);
    spng_set_ihdr(ctx, &ihdr);
    spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, PngFile::kNiveauCompression);
    const int r = spng_encode_image(ctx, rgb.data(), rgb.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    spng_ctx_free(ctx);
    return std::fclose(f) == 0 && r == 0;
}

// libspng alone: the file decoded to RGB, then encoded again.
bool ReferencePng(const std::string& source, const std::string& cible)
{
    const std::vector<std::uint8_t> octets = Lit(source);
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, octets.data(), octets.size());
    spng_ihdr ihdr{};
    std::size_t taille = 0;
    spng_get_ihdr(ctx, &ihdr);
    spng_decoded_image_size(ctx, SPNG_FMT_RGB8, &taille);
    std::vector<std::uint8_t> rgb(taille);
    const int r = spng_decode_image(ctx, rgb.data(), taille, SPNG_FMT_RGB8, 0);
    spng_ctx_free(ctx);
    return r == 0 && EncodePng(cible, rgb, ihdr.width, ihdr.height);
}

// libwebp alone, with the same configuration as ours.
bool ReferenceWebp(const std::string& source, const std::string& cible)
{
    const std::vector<std::uint8_t> octets = Lit(source);
    int w = 0, h = 0;
    std::uint8_t* rgb = WebPDecodeRGB(octets.data(), octets.size(), &w, &h);
    if (!rgb)
        return false;
    std::uint8_t* sortie = nullptr;
    const std::size_t taille = WebPEncodeRGB(rgb, w, h, w * 3, kQualite, &sortie);
    WebPFree(rgb);
    const bool ok = taille && Ecrit(cible, sortie, taille);
    WebPFree(sortie);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    const int tours = Tours(argc, argv, 1, 5);
    const int w = 4000, h = 3000;
    const std::string dossier = "/tmp/png_webp_bench_" + std::to_string(::getpid());
    std::system(("mkdir -p " + dossier).c_str());
    const std::vector<std::uint8_t> rgb = PhotoLike(w, h);
    const std::string png = dossier + "/photo.png", webp = dossier + "/photo.webp";
    std::uint8_t* encode = nullptr;
    const std::size_t tailleWebp = WebPEncodeRGB(rgb.data(), w, h, w * 3, kQualite, &encode);
    if (!EncodePng(png, rgb, w, h) || !tailleWebp || !Ecrit(webp, encode, tailleWebp)) {
        std::fprintf(stderr, "cannot write the test pictures in %s\n", dossier.c_str());
        return 1;
    }
    WebPFree(encode);

    CGraphique graphique;
    for (const std::string& source : {png, webp}) {
        const bool estPng = source == png;
        const std::string cible = dossier + (estPng ? "/out.png" : "/out.webp");
        std::vector<double> nous, eux;
        for (int t = 0; t < tours; ++t) {
            auto debut = Clock::now();
            HBITMAP image = graphique.ChargeImage(source);
            const int ok = image ? graphique.SauveImage(cible, image, kQualite) : 0;
            DeleteObject(image);
            nous.push_back(std::chrono::duration<double>(Clock::now() - debut).count());
            debut = Clock::now();
            const bool refOk = estPng ? ReferencePng(source, cible) : ReferenceWebp(source, cible);
            eux.push_back(std::chrono::duration<double>(Clock::now() - debut).count());
            if (!ok || !refOk) {
                std::fprintf(stderr, "round %d failed\n", t);
                return 1;
            }
        }
        const double a = Mediane(nous), b = Mediane(eux);
        std::printf("%-4s 12 MP  load+save %.3f s  library decode+encode %.3f s  ratio %.3f\n", estPng ? "PNG" : "WebP",
                    a, b, a / b);
    }
    std::system(("rm -rf " + dossier).c_str());
    return 0;
}
