// Tokens in the signature text, replaced for each picture.

#include "Jeton.h"

#include "TestImages.h"
#include "codecs/Metadonnees.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// An Exif APP1 payload, little-endian: IFD0 (Make, the Exif pointer) at 8,
// the Exif IFD (DateTimeOriginal) at 38, the date at 56, Make at 76.
std::vector<std::uint8_t> Exif(const std::string& date, const std::string& marque)
{
    std::vector<std::uint8_t> o(6 + 76 + marque.size() + 1);
    const auto u16 = [&o](std::size_t at, std::uint32_t v) {
        o[6 + at] = std::uint8_t(v);
        o[6 + at + 1] = std::uint8_t(v >> 8);
    };
    const auto u32 = [&](std::size_t at, std::uint32_t v) {
        u16(at, v & 0xFFFF);
        u16(at + 2, v >> 16);
    };
    const auto entree = [&](std::size_t at, int tag, int type, std::uint32_t count, std::uint32_t value) {
        u16(at, tag);
        u16(at + 2, type);
        u32(at + 4, count);
        u32(at + 8, value);
    };
    std::copy_n("Exif\0\0II", 8, o.begin());
    u16(2, 42);
    u32(4, 8);
    u16(8, 2);
    entree(10, 0x010F, 2, static_cast<std::uint32_t>(marque.size() + 1), 76);
    entree(22, 0x8769, 4, 1, 38);
    u16(38, 1);
    entree(40, 0x9003, 2, 20, 56);
    std::copy_n(date.begin(), std::min<std::size_t>(date.size(), 19), o.begin() + 6 + 56);
    std::copy(marque.begin(), marque.end(), o.begin() + 6 + 76);
    return o;
}

TEST(Jeton, TokensAreReplacedForThePicture)
{
    TestImages::Sandbox bac;
    const std::string chemin = bac.path("Vacances 2024/IMG_0042.large.jpg");
    const std::string dossier = bac.path("Vacances 2024");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dossier)));
    TestImages::WriteFile(chemin, {1, 2, 3});
    {
        QFile f(QString::fromStdString(chemin));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2019, 3, 7), QTime(12, 0)), QFileDevice::FileModificationTime));
    }
    Metadonnees avecDate;
    ASSERT_TRUE(avecDate.Ajoute(0xE1, Exif("2021:06:01 12:34:56", "Canon")));
    Metadonnees sansHorloge;
    ASSERT_TRUE(sansHorloge.Ajoute(0xE1, Exif("0000:00:00 00:00:00", "Canon")));
    const std::string hostile = "Ca\nn\x1bon\xE2\x80\xAE\x7F" + std::string(300, 'x');
    Metadonnees malveillante;
    ASSERT_TRUE(malveillante.Ajoute(0xE1, Exif("2021:13:xx", hostile)));

    struct Cas {
        const char* texte;
        const Metadonnees* meta;
        std::string attendu;
    };
    const Cas cas[] = {
        {"no token at all", &avecDate, "no token at all"},
        {"{name}.{ext} in {folder}", nullptr, "IMG_0042.large.jpg in Vacances 2024"},
        {"#{counter} {width}x{height}", nullptr, "#7 640x480"},
        {"(c) {year}, {date}", &avecDate, "(c) 2021, 2021-06-01"},
        {"{date} without Exif: the file's date", nullptr, "2019-03-07 without Exif: the file's date"},
        {"{date}, camera without a clock", &sansHorloge, "2019-03-07, camera without a clock"},
        {"{exif:Make} {exif:Model}|", &avecDate, "Canon |"},
        {"{exif:Make}", nullptr, ""},
        {"{{name} {{{name}}", nullptr, "{name} {IMG_0042.large}"},
        {"{unknown} {Name} {exif:} {} {name", nullptr, "{unknown} {Name} {exif:} {} {name"},
        {"}{ {", nullptr, "}{ {"},
        {"{date}", &malveillante, "2019-03-07"},
        {"{exif:Make}", &malveillante, "Canon" + std::string(123, 'x')},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.texte);
        const Jeton::Contexte contexte{chemin, 7, CSize(640, 480), c.meta};
        EXPECT_EQ(Jeton::Remplace(c.texte, contexte), c.attendu);
    }
}

TEST(Jeton, ValuesAreCutOnACharacterBoundary)
{
    TestImages::Sandbox bac;
    // 127 ASCII bytes then a two-byte letter: cutting at 128 bytes would split it.
    const std::string nom = std::string(127, 'a') + "\xC3\xA9" + "b";
    const Jeton::Contexte contexte{bac.path(nom + ".jpg"), 1, CSize(1, 1), nullptr};
    EXPECT_EQ(Jeton::Remplace("{name}", contexte), std::string(127, 'a'));
    EXPECT_EQ(Jeton::Remplace("{date}{year}", contexte), "") << "a file that is not there has no date";
}

} // namespace
