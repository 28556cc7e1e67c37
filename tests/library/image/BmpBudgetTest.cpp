// The BMP reader under the decoding budget: headers are read first, and a
// file is read only as far as the image they describe, once it is known to
// hold it and the budget allows it.

#include "CGraphique.h"
#include "TestImages.h"
#include "codecs/Budget.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace TestImages;

namespace {

void PutDword(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Case {
    const char* name;
    int width, height;         // claimed by the header; 0 keeps the real ones
    std::uint64_t fileSize;    // the file made this long (sparse), 0 as saved
    Budget::Limites limites;
    bool loads;
    Budget::Refus motif;
};

} // namespace

TEST(BmpBudget, HeadersDecideWhatIsReadAndAllocated)
{
    CGraphique graphique;
    Sandbox box;
    HBITMAP small = Gradient(5, 3, 24);
    ASSERT_EQ(graphique.SauveImage(box.path("s.bmp"), small, 0), 1);
    const std::vector<std::uint8_t> saved = ReadFile(box.path("s.bmp"));
    const std::uint64_t twoGiB = std::uint64_t(2) << 30;
    const std::uint64_t oneGiB = std::uint64_t(1) << 30;
    const Case cases[] = {
        // 16384 x 16384 at 24 bits claimed by 78 bytes.
        {"huge image, no data", 16384, 16384, 0, Budget::kDefaut, false, Budget::Refus::Donnees},
        {"beyond the pixel limit", 65536, 65536, 0, Budget::kDefaut, false, Budget::Refus::Pixels},
        // A small picture at the front of 2 GiB: only its bytes are read.
        {"small image in a huge file", 0, 0, twoGiB, Budget::kDefaut, true, Budget::Refus::Aucun},
        // The rows are all there, but with the device image they take 1.75 GiB.
        {"whole but over the memory", 16384, 16384, oneGiB, Budget::kDefaut, false, Budget::Refus::Memoire},
        {"fewer pixels allowed", 0, 0, 0, {14, Budget::kDefaut.octets}, false, Budget::Refus::Pixels},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> bytes = saved;
        if (c.width) {
            PutDword(bytes, 18, static_cast<std::uint32_t>(c.width));
            PutDword(bytes, 22, static_cast<std::uint32_t>(c.height));
        }
        const std::string path = box.path("b.bmp");
        WriteFile(path, bytes);
        if (c.fileSize)
            std::filesystem::resize_file(path, c.fileSize);
        Budget& budget = graphique.BudgetLecture();
        budget = Budget(c.limites);
        HBITMAP image = graphique.ChargeImageBMP(path);
        EXPECT_EQ(image != nullptr, c.loads);
        EXPECT_EQ(budget.Motif(), c.motif);
        if (c.loads) {
            EXPECT_EQ(FirstDifference(small, image), "");
            // Header and rows as read (the last one without its padding)
            // and the device image; nothing of the rest.
            EXPECT_EQ(budget.Pic(), 40 + 16 * 2 + 15 + 5 * 3 * 4);
        } else {
            EXPECT_EQ(budget.Pic(), 0u);
        }
        DeleteObject(image);
    }
    DeleteObject(small);
}
