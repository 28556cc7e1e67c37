// Images of a list view: fixed size, the transparent colour let through.

#include "CImageList.h"
#include "TestImages.h"

#include <gtest/gtest.h>

TEST(ImageList, MaskedColourBecomesSeeThroughAndOthersStayOpaque)
{
    HBITMAP image = TestImages::Make(4, 4, 24, [](int x, int) { return x == 0 ? RGB(0, 0, 0) : RGB(10, 20, 30); });
    CImageList masque, plein;
    ASSERT_TRUE(masque.Create(4, 4, ILC_MASK, 2));
    ASSERT_TRUE(plein.Create(4, 4, 0, 2));
    ASSERT_EQ(masque.Add(image, RGB(0, 0, 0)), 0);
    ASSERT_EQ(plein.Add(image, RGB(0, 0, 0)), 0);
    const QImage vue = masque.Icon(0).pixmap(4, 4).toImage();
    EXPECT_EQ(qAlpha(vue.pixel(0, 2)), 0);
    EXPECT_EQ(vue.pixel(2, 2), qRgba(10, 20, 30, 255));
    EXPECT_EQ(qAlpha(plein.Icon(0).pixmap(4, 4).toImage().pixel(0, 2)), 255) << "no mask, no transparency";
    DeleteObject(image);
}

TEST(ImageList, TakesOnlyImagesOfItsSize)
{
    CImageList liste;
    HBITMAP carre = TestImages::Solid(4, 4, 32, RGB(1, 2, 3));
    HBITMAP large = TestImages::Solid(8, 4, 32, RGB(1, 2, 3));
    EXPECT_EQ(liste.Add(carre, 0), -1) << "not created yet";
    ASSERT_TRUE(liste.Create(4, 4, ILC_MASK, 1));
    EXPECT_EQ(liste.Add(large, 0), -1);
    EXPECT_EQ(liste.Add(carre, 0), 0);
    EXPECT_EQ(liste.Add(carre, 0), 1) << "room made for one is no limit";
    EXPECT_TRUE(liste.Icon(2).isNull());
    EXPECT_TRUE(liste.Remove(-1));
    EXPECT_EQ(liste.GetImageCount(), 0);
    DeleteObject(carre);
    DeleteObject(large);
}
