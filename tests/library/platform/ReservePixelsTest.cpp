// A worker's pictures reuse the memory of the one before.

#include "Bitmap.h"
#include "ReservePixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

Bitmap* Filled(int width, int height)
{
    Bitmap* image = Bitmap::Create(width, height, 32);
    std::memset(image->bits(), 0xAB, image->byteCount());
    return image;
}

TEST(ReservePixels, ThePicturesOfAWorkerTakeTheKeptMemoryWhenItFitsAndStartZeroed)
{
    struct Cas {
        int largeur, hauteur;
        bool enUsage;
        bool repris;
    } const cas[] = {
        {400, 300, true, true},   // the same size
        {300, 300, true, true},   // smaller, still more than half
        {200, 200, true, false},  // a third: left for a larger one
        {401, 300, true, false},  // larger than what is kept
        {400, 300, false, true},  // no reserve in use on this thread: fresh memory, then kept below
    };
    ReservePixels reserve;
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << c.largeur << "x" << c.hauteur << (c.enUsage ? " in use" : ""));
        Bitmap* precedente = Filled(400, 300);
        const BYTE* garde = precedente->bits();
        reserve.Keep(precedente);
        Bitmap* image = nullptr;
        if (c.enUsage) {
            ReservePixels::Use usage(reserve);
            image = Bitmap::Create(c.largeur, c.hauteur, 32);
        } else {
            image = Bitmap::Create(c.largeur, c.hauteur, 32);
        }
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->bits() == garde, c.enUsage && c.repris);
        EXPECT_EQ(reserve.Capacity() == 0, c.enUsage && c.repris);
        EXPECT_TRUE(std::all_of(image->bits(), image->bits() + image->byteCount(), [](BYTE b) { return b == 0; }));
        delete image;
    }
}

TEST(ReservePixels, TheLargerBlockIsKeptAndUsesNest)
{
    ReservePixels petite, grande;
    grande.Keep(Filled(100, 100));
    petite.Keep(Filled(10, 10));
    EXPECT_EQ(grande.Capacity(), 100u * 100 * 4);
    grande.Keep(Filled(10, 10));
    EXPECT_EQ(grande.Capacity(), 100u * 100 * 4) << "a smaller block does not replace a larger one";
    {
        ReservePixels::Use exterieur(grande);
        {
            ReservePixels::Use interieur(petite);
            delete Bitmap::Create(10, 10, 32, Bitmap::Fill::Overwritten);
            EXPECT_EQ(petite.Capacity(), 0u) << "the innermost reserve serves";
        }
        delete Bitmap::Create(100, 100, 32);
        EXPECT_EQ(grande.Capacity(), 0u) << "the outer one again once the inner use ends";
    }
}

} // namespace
