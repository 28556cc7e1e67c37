// PNG, WebP and HEIF files that lie about their size, stop half-way, carry
// wrong checksums or pack a bomb: refused quickly, silently, and without
// holding more memory than the pixels their bytes can stand for.

#include "codecs/Budget.h"
#include "codecs/HeifFile.h"
#include "codecs/PngFile.h"
#include "codecs/WebpFile.h"
#include "TestImages.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <functional>

using namespace TestImages;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Be32(Bytes& b, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(Bytes& png, const char* type, const Bytes& data)
{
    Be32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t debut = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Be32(png, static_cast<std::uint32_t>(crc32(0, png.data() + debut, static_cast<uInt>(png.size() - debut))));
}

// A PNG of width x height 8-bit RGBA whose data is `rows` zero rows, or
// 100 zero bytes when there are none.
Bytes Png(std::uint32_t width, std::uint32_t height, std::size_t rows)
{
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Be32(ihdr, width);
    Be32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    Bytes raw(rows ? (std::size_t(width) * 4 + 1) * rows : 100, 0);
    uLongf taille = compressBound(static_cast<uLong>(raw.size()));
    Bytes z(taille);
    compress2(z.data(), &taille, raw.data(), static_cast<uLong>(raw.size()), 9);
    z.resize(taille);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

Bytes Riff(std::uint32_t width, std::uint32_t height)
{
    // VP8X canvas claiming the size, then nothing to decode.
    Bytes b{'R', 'I', 'F', 'F', 22, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'X', 10, 0, 0, 0, 0, 0, 0, 0};
    const std::uint32_t w = width - 1, h = height - 1;
    b.insert(b.end(), {std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(w >> 16), std::uint8_t(h),
                       std::uint8_t(h >> 8), std::uint8_t(h >> 16)});
    return b;
}

// A 34-byte lossless WebP of width x height in one colour: five one-symbol
// codes, so no pixel costs a bit.
Bytes SansPerte(std::uint32_t width, std::uint32_t height)
{
    Bytes b{'R', 'I', 'F', 'F', 26, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'L', 14, 0, 0, 0, 0x2F};
    const std::uint32_t taille = (width - 1) | ((height - 1) << 14);
    b.insert(b.end(), {std::uint8_t(taille), std::uint8_t(taille >> 8), std::uint8_t(taille >> 16),
                       std::uint8_t(taille >> 24)});
    // No transform, cache or meta code; then 1000 five times: simple code, one 1-bit symbol, 0.
    b.insert(b.end(), {0x88, 0x88, 0x08, 0, 0, 0, 0, 0, 0});
    return b;
}

// Rows of 2^24 16-bit RGBA pixels, whose coded rows libspng holds beside ours.
Bytes PngLarge16Bits()
{
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Be32(ihdr, 1u << 24);
    Be32(ihdr, 16);
    ihdr.insert(ihdr.end(), {16, 6, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    // As many bytes as such rows may honestly come from.
    Chunk(png, "IDAT", Bytes(std::size_t(3) << 20, 0));
    return png;
}

struct Case {
    const char* name;
    std::function<Bytes()> bytes;
    // What the budget refused, where it is the budget that refuses.
    Budget::Refus motif = Budget::Refus::Aucun;
};

TEST(FormatsHostiles, RefusedQuicklyWithinBoundedMemory)
{
    Sandbox box;
    const Bytes valide = Png(300, 200, 200);
    const std::vector<Case> cases = {
        {"too_wide.png", [] { return Png(1u << 29, 1, 0); }},
        {"too_many_pixels.png", [] { return Png(40000, 40000, 0); }, Budget::Refus::Pixels},
        // 16384 x 16384 from a few hundred bytes: no deflate packs that.
        {"bomb.png", [] { return Png(16384, 16384, 2); }, Budget::Refus::Donnees},
        {"cut_in_rows.png", [&] { return Bytes(valide.begin(), valide.begin() + valide.size() / 2); }},
        {"bad_crc.png", [&] {
             Bytes b = valide;
             b[40] ^= 0x55; // inside the IDAT data
             return b;
         }},
        {"rows_missing.png", [] { return Png(300, 200, 100); }},
        {"empty.png", [] { return Bytes{}; }},
        {"canvas_too_large.webp", [] { return Riff(16383, 16383); }, Budget::Refus::Memoire},
        {"cut.webp", [] { return Bytes{'R', 'I', 'F', 'F', 200, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', ' '}; }},
        {"garbage.heic", [] {
             Bytes b{0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0, 'm', 'i', 'f', '1', 'h', 'e', 'i', 'c'};
             b.insert(b.end(), {0, 0, 0, 0x7F, 'm', 'e', 't', 'a', 1, 2, 3});
             return b;
         }},
        {"png_named.avif", [&] { return valide; }},
    };
    // Far less than any of the claimed pictures needs.
    Budget budget({Bitmap::kMaxPixels, std::uint64_t(64) << 20});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = box.path(c.name);
        WriteFile(path, c.bytes());
        const std::string nom = c.name;
        const auto debut = std::chrono::steady_clock::now();
        std::vector<std::uint8_t> alpha;
        HBITMAP image = nom.ends_with(".png")    ? PngFile::Charge(path, budget, &alpha)
                        : nom.ends_with(".webp") ? WebpFile::Charge(path, budget, &alpha)
                                                 : HeifFile::Charge(path, budget, nullptr, &alpha);
        EXPECT_EQ(image, nullptr);
        DeleteObject(image);
        if (c.motif != Budget::Refus::Aucun) {
            EXPECT_EQ(budget.Motif(), c.motif);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(1));
        EXPECT_LE(budget.Pic(), std::uint64_t(64) << 20);
    }
    // The valid picture itself loads, so the refusals above are the damage.
    const std::string path = box.path("valide.png");
    WriteFile(path, valide);
    HBITMAP image = PngFile::Charge(path);
    EXPECT_NE(image, nullptr);
    DeleteObject(image);
}

TEST(FormatsHostiles, WhatTheDecoderHoldsIsReservedBeforeDecoding)
{
    struct Cas {
        const char* name;
        Bytes bytes;
        std::uint64_t budget;
        bool charge;
    };
    constexpr std::uint64_t MiB = 1 << 20;
    const std::uint64_t defaut = Budget::kDefaut.octets;
    const std::vector<Cas> cas = {
        // libwebp decodes a lossless picture through a 32-bit copy of its own:
        // 2 GiB from 34 bytes.
        {"lossless_bomb.webp", SansPerte(16383, 16383), defaut, false},
        // The device image alone fits; with the decoder's copy it does not.
        {"lossless.webp", SansPerte(2048, 2048), 24 * MiB, false},
        {"lossless.webp", SansPerte(2048, 2048), 40 * MiB, true},
        {"wide_16_bits.png", PngLarge16Bits(), defaut, false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.name + std::string(" in ") + std::to_string(c.budget / MiB) + " MiB");
        Sandbox box;
        const std::string path = box.path(c.name);
        WriteFile(path, c.bytes);
        Budget budget({Bitmap::kMaxPixels, c.budget});
        HBITMAP image = std::string(c.name).ends_with(".png") ? PngFile::Charge(path, budget)
                                                              : WebpFile::Charge(path, budget);
        EXPECT_EQ(image != nullptr, c.charge);
        if (image) {
            EXPECT_EQ(image->width(), 2048);
            EXPECT_GE(budget.Pic(), 2 * std::uint64_t(2048) * 2048 * 4) << "the decoder's copy is counted";
        } else {
            EXPECT_EQ(budget.Motif(), Budget::Refus::Memoire);
            EXPECT_LE(budget.Pic(), 4 * MiB) << "refused before the pixels are allocated";
        }
        EXPECT_LE(budget.Pic(), c.budget);
        DeleteObject(image);
    }
}

} // namespace
