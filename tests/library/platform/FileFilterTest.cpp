// File-dialog filters written as the Parts write them.

#include "FileFilter.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Whether Qt's file dialog would list name under the filter's patterns.
bool Lists(const QString& nameFilter, const QString& name)
{
    const QString patterns = nameFilter.mid(nameFilter.lastIndexOf('(') + 1).chopped(1);
    for (const QString& pattern : patterns.split(' '))
        if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).match(name).hasMatch())
            return true;
    return false;
}

} // namespace

TEST(FileFilter, PairsBecomeQtFiltersThatIgnoreCase)
{
    const QStringList filters = FileFilter::NameFilters("Jpeg (*.jpg)|*.jpg|Bitmap (*.bmp)|*.bmp||");
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith("Jpeg (*.jpg) (")) << "the description is shown as written";
    EXPECT_TRUE(Lists(filters[0], "photo.jpg"));
    EXPECT_TRUE(Lists(filters[0], "PHOTO.JPG"));
    EXPECT_TRUE(Lists(filters[0], "Photo.Jpg"));
    EXPECT_FALSE(Lists(filters[0], "photo.bmp"));
    EXPECT_FALSE(Lists(filters[0], "photo.jpeg"));
    EXPECT_TRUE(Lists(filters[1], "LOGO.BMP"));
}

TEST(FileFilter, SeveralPatternsAndOddEndings)
{
    const QStringList filters = FileFilter::NameFilters("Pictures|*.jpg;*.gif|All files (*.*)|*.*");
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(Lists(filters[0], "a.GIF"));
    EXPECT_TRUE(Lists(filters[0], "a.jpg"));
    EXPECT_TRUE(Lists(filters[1], "README.txt"));
    EXPECT_TRUE(FileFilter::NameFilters("").isEmpty());
    EXPECT_TRUE(FileFilter::NameFilters("||").isEmpty());
    EXPECT_EQ(FileFilter::NameFilters("Lone|").size(), 1) << "a pair with no pattern";
}
