// The JPEG readers under the decoding budget: huge pictures claimed by a few
// bytes, scans without end, whole-image buffers beyond the memory, and real
// photographs that must load as they always did.

#include "JpegFile.h"
#include "JpegTestSupport.h"
#include "ScriptedInteraction.h"
#include "codecs/Budget.h"
#include "codecs/RapportCodec.h"

#include <gtest/gtest.h>

using namespace TestImages;
using namespace JpegTest;

namespace {

// Offset of the first marker FF code at or after from; 0 when absent.
std::size_t Marker(const Bytes& bytes, std::uint8_t code, std::size_t from = 2)
{
    for (std::size_t p = from; p + 1 < bytes.size(); ++p)
        if (bytes[p] == 0xFF && bytes[p + 1] == code)
            return p;
    return 0;
}

// The same file claiming another size in its frame header.
Bytes Resized(Bytes bytes, int width, int height)
{
    std::size_t sof = Marker(bytes, 0xC0);
    if (!sof)
        sof = Marker(bytes, 0xC2);
    EXPECT_NE(sof, 0u);
    bytes[sof + 5] = static_cast<std::uint8_t>(height >> 8);
    bytes[sof + 6] = static_cast<std::uint8_t>(height);
    bytes[sof + 7] = static_cast<std::uint8_t>(width >> 8);
    bytes[sof + 8] = static_cast<std::uint8_t>(width);
    return bytes;
}

// The last scan, with the tables just before it, repeated: each repeat is a
// few bytes and a pass over the whole picture.
Bytes RepeatedLastScan(const Bytes& good, int repeats)
{
    std::size_t sos = good.size() - 2;
    while (sos > 0 && !(good[sos] == 0xFF && good[sos + 1] == 0xDA))
        --sos;
    std::size_t start = sos;
    for (std::size_t p = 0; p + 4 <= sos; ++p)
        if (good[p] == 0xFF && good[p + 1] == 0xC4 && p + 2 + (good[p + 2] << 8 | good[p + 3]) == sos)
            start = p;
    Bytes out(good.begin(), good.end() - 2);
    for (int i = 0; i < repeats; ++i)
        out.insert(out.end(), good.begin() + static_cast<long>(start), good.end() - 2);
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

class JpegBudget : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveTool(kCjpeg) || !HaveTool(kDjpeg))
            GTEST_SKIP() << "cjpeg and djpeg are needed to make and check the files";
    }

    Bytes Encoded(const std::string& name, int width, int height, const std::string& options)
    {
        const std::string path = Cjpeg(graphique, box, name, width, height, options);
        EXPECT_FALSE(path.empty());
        return ReadFile(path);
    }

    CGraphique graphique;
    Sandbox box;
};

struct Hostile {
    const char* name;
    Bytes bytes;
    Budget::Limites limites;
    Budget::Refus motif;
    const char* message; // the first box shown
};

} // namespace

TEST_F(JpegBudget, HostileFilesAreRefusedWithinTheBudget)
{
    const Bytes progressive = Encoded("p", 16, 16, "-progressive -sample 1x1");
    const Bytes baseline = Encoded("b", 16, 16, "-sample 1x1");
    const Bytes grey = Encoded("g", 16, 16, "-grayscale -progressive");
    const Bytes medium = Encoded("m", 512, 512, "-progressive -sample 1x1");
    const char* memoire = "JpegFile :\nOut of memory";
    const Hostile cases[] = {
        // 16384 x 16384 at 4:4:4 from a few hundred bytes: 1.5 GiB of
        // coefficients and 1 GiB of rows, seconds of work.
        {"progressive, huge from tiny", Resized(progressive, 16384, 16384), Budget::kDefaut,
         Budget::Refus::Donnees, memoire},
        {"progressive with many scans, huge from tiny", Resized(RepeatedLastScan(progressive, 400), 16384, 16384),
         Budget::kDefaut, Budget::Refus::Donnees, memoire},
        {"baseline, huge from tiny", Resized(baseline, 16384, 16384), Budget::kDefaut, Budget::Refus::Donnees,
         memoire},
        {"beyond the pixel limit", Resized(baseline, 16385, 16384), Budget::kDefaut, Budget::Refus::Pixels, memoire},
        // Within the blocks any damaged file gets, but 400 passes over 4096 x
        // 4096 are more than its bytes can justify: stopped scans in.
        {"scans without end", Resized(RepeatedLastScan(grey, 400), 4096, 4096), Budget::kDefaut,
         Budget::Refus::Travail, "JPEG image asks for more decoding than its data can hold"},
        // A real progressive file whose coefficient buffers do not fit.
        {"coefficients over the memory", medium, {1 << 28, 512 * 512 * 4 + 512 * 512 * 3}, Budget::Refus::Memoire,
         memoire},
    };
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(box.path("h.jpg"), c.bytes);
        Budget& budget = graphique.BudgetLecture();
        budget = Budget(c.limites);
        Scripted().clear();
        EXPECT_EQ(graphique.ChargeImageJPEG(box.path("h.jpg")), nullptr);
        EXPECT_EQ(budget.Motif(), c.motif);
        EXPECT_LE(budget.Pic(), c.limites.octets);
        // Refused from the header alone: nothing was charged, so nothing
        // was allocated.
        if (c.motif != Budget::Refus::Travail)
            EXPECT_EQ(budget.Pic(), 0u);
        else
            EXPECT_LE(budget.Travail(), Budget::Permis(1 << 24, 64, c.bytes.size()));
        const auto& shown = Scripted().shown;
        ASSERT_FALSE(shown.empty());
        // A repeated scan breaks the progression: a warning may come first.
        EXPECT_EQ(shown.back().text, c.message);

        // The RGB-buffer reader is held to the same budget.
        UINT width = 0, height = 0;
        RapportCodec rapport;
        EXPECT_EQ(JpegFile::JpegFileToRGB(box.path("h.jpg"), &width, &height, budget, rapport), nullptr);
        EXPECT_EQ(budget.Motif(), c.motif);
    }
}

TEST_F(JpegBudget, PhotographsLoadAsTheReferenceDecoderGivesThem)
{
    // A 12-megapixel camera picture, baseline and progressive.
    HBITMAP photo = Photo(4000, 3000, 24);
    ASSERT_EQ(graphique.SauveImage(box.path("photo.bmp"), photo, 0), 1);
    DeleteObject(photo);
    std::uint64_t pics[2] = {};
    int i = 0;
    for (const char* options : {"-quality 90", "-quality 90 -progressive"}) {
        SCOPED_TRACE(options);
        const std::string jpeg = box.path("photo.jpg");
        ASSERT_EQ(RunCommand(std::string(kCjpeg) + " " + options + " -outfile '" + jpeg + "' '" + box.path("photo.bmp")
                             + "'"),
                  0);
        Budget& budget = graphique.BudgetLecture();
        budget = Budget();
        HBITMAP image = graphique.ChargeImageJPEG(jpeg);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(budget.Motif(), Budget::Refus::Aucun);
        EXPECT_GE(budget.Pic(), 4000u * 3000u * 4u) << "the device image's rows are charged";
        pics[i++] = budget.Pic();
        int width = 0, height = 0;
        std::vector<COLORREF> reference;
        ASSERT_TRUE(Djpeg(jpeg, box, width, height, reference));
        EXPECT_TRUE(Pixels(image) == reference);
        DeleteObject(image);
    }
    // 4:2:0 coefficients: 1.5 blocks of 128 bytes per 64 pixels.
    EXPECT_GE(pics[1] - pics[0], 4000u * 3000u * 3u);
}
