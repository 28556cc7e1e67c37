// The GIF reader under the decoding budget: an image may not be larger than
// its LZW data can describe, nor than the budget's pixels and memory.

#include "GifTestSupport.h"
#include "TestImages.h"
#include "codecs/Budget.h"

#include <gtest/gtest.h>

using namespace GifTest;

namespace {

// A stream at LZW's maximal expansion for minimum code size 2: after the
// first pixel each code is the one being defined, so code n stands for n - 4
// pixels, then the last entry of the full table is repeated. Widths follow
// the decoder's table as it grows.
Bytes MaximalStream(std::uint64_t pixels)
{
    std::vector<Code> codes{{4, 3}, {0, 3}};
    std::uint64_t made = 1;
    int next = 6, width = 3;
    while (made < pixels) {
        const int code = next < 4096 ? next : 4095;
        codes.push_back({code, width});
        made += static_cast<std::uint64_t>(code - 4);
        if (next < 4096 && ++next == (1 << width) && width < 12)
            ++width;
    }
    codes.push_back({5, width});
    return PackCodes(codes);
}

Bytes OneImage(int width, int height, const Bytes& lzw)
{
    Bytes file = Header("GIF89a", width, height, DistinctPalette(4));
    Append(file, Image(width, height, false, {}, 2, lzw));
    file.push_back(0x3B);
    return file;
}

struct Case {
    const char* name;
    int width, height;
    Bytes lzw;
    Budget::Limites limites;
    bool loads;
    Budget::Refus motif;
};

} // namespace

TEST(GifBudget, ImagesLargerThanTheirDataOrTheBudgetAreRefusedBeforeAllocation)
{
    TestImages::Sandbox box;
    const Bytes empty = PackCodes({{4, 3}, {0, 3}, {5, 3}});
    const Bytes full = MaximalStream(std::uint64_t(8192) * 4096);
    const std::uint64_t unlimited = Budget::kDefaut.octets;
    const Case cases[] = {
        // 8192 x 8192 from a stream of 2 bytes: 256 MiB of image from 35 bytes.
        {"tiny stream, huge image", 8192, 8192, empty, Budget::kDefaut, false, Budget::Refus::Donnees},
        {"beyond the pixel limit", 65535, 65535, empty, Budget::kDefaut, false, Budget::Refus::Pixels},
        // Cut-short data still gets 2^20 pixels, the rest staying index 0,
        // and 4096 more for each of its 2 bytes.
        {"short data up to the floor", 1032, 1024, empty, Budget::kDefaut, true, Budget::Refus::Aucun},
        {"short data past the floor", 1033, 1024, empty, Budget::kDefaut, false, Budget::Refus::Donnees},
        // The most any stream can expand: what it describes always loads...
        {"maximal expansion", 8192, 4096, full, Budget::kDefaut, true, Budget::Refus::Aucun},
        // ...and twice that from the same bytes does not.
        {"twice the maximal expansion", 8192, 8192, full, Budget::kDefaut, false, Budget::Refus::Donnees},
        // Within the model's limit, beyond what this format is allowed.
        {"over the GIF cap", 16384, 8193, full, Budget::kDefaut, false, Budget::Refus::Aucun},
        {"image over the memory", 1024, 1024, empty, {1 << 28, 4 << 20}, false, Budget::Refus::Memoire},
        {"fewer pixels allowed", 1024, 1024, empty, {1 << 19, unlimited}, false, Budget::Refus::Pixels},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = OneImage(c.width, c.height, c.lzw);
        TestImages::WriteFile(box.path("g.gif"), file);
        Budget budget(c.limites);
        CGif gif;
        ASSERT_EQ(gif.Load(box.path("g.gif").c_str(), budget), 1);
        HBITMAP image = gif.FirstImage();
        EXPECT_EQ(image != nullptr, c.loads);
        EXPECT_EQ(budget.Motif(), c.motif);
        const std::uint64_t pixels = std::uint64_t(c.width) * c.height;
        if (c.loads) {
            EXPECT_EQ(TestImages::SizeOf(image), CSize(c.width, c.height));
            // The index pixels and the 32-bit image were both charged.
            EXPECT_GE(budget.Pic(), pixels * 5);
        } else {
            // Refused before anything beyond the file was taken.
            EXPECT_LE(budget.Pic(), file.size() + 1);
        }
        DeleteObject(image);
    }
    // The maximal stream is what it claims: near LZW's ceiling of 2730
    // pixels per byte, above what any encoder of ours writes.
    EXPECT_GT(std::uint64_t(8192) * 4096 / full.size(), 2000u);
}

TEST(GifBudget, FileLargerThanTheMemoryIsNotRead)
{
    TestImages::Sandbox box;
    std::vector<std::uint8_t> indices(64 * 64);
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<std::uint8_t>(i * 7 % 251);
    const Bytes file = File(64, 64, DistinctPalette(256), indices);
    TestImages::WriteFile(box.path("g.gif"), file);

    Budget budget({1 << 28, file.size() / 2});
    CGif gif;
    EXPECT_EQ(gif.Load(box.path("g.gif").c_str(), budget), 0);
    EXPECT_EQ(budget.Motif(), Budget::Refus::Memoire);
    EXPECT_EQ(budget.Pic(), 0u);
}
