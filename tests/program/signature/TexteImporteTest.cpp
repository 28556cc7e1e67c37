// Strings from outside the program: UTF-8 kept, Windows-1252 converted, and
// texts cut at a character boundary to what the settings store keeps.

#include "ReglagesRegistre.h"
#include "TexteImporte.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace {

TEST(TexteImporte, OnlyWellFormedUtf8IsTakenAsIs)
{
    const std::pair<std::string, bool> cas[] = {
        {"", true},
        {"plain ASCII", true},
        {"Sign\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB7", true}, // é € and a four-byte camera
        {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", true},                // U+FFFF, U+10FFFF
        {"\xA9 2024", false},                                   // a lone cp1252 byte
        {"caf\xE9", false},                                     // lead byte at the very end
        {"\xC3", false},
        {"\xE2\x82", false},                                    // cut inside a character
        {"\x80", false},                                        // continuation without a lead
        {"\xC0\xAF", false},                                    // overlong "/"
        {"\xE0\x80\xAF", false},
        {"\xF0\x80\x80\xAF", false},
        {"\xED\xA0\x80", false},                                // a surrogate
        {"\xF4\x90\x80\x80", false},                            // past U+10FFFF
        {"\xF8\x88\x80\x80\x80", false},
        {"\xC3\x28", false},                                    // lead followed by ASCII
    };
    for (const auto& [octets, utf8] : cas)
        EXPECT_EQ(TexteImporte::EstUtf8(octets), utf8) << testing::PrintToString(octets);
}

TEST(TexteImporte, Windows1252BytesBecomeTheirCharacters)
{
    const std::pair<std::string, std::string> cas[] = {
        {"\xA9 Anne", "\xC2\xA9 Anne"},                        // ©
        {"\x80", "\xE2\x82\xAC"},                              // €
        {"\x99", "\xE2\x84\xA2"},                              // ™
        {"\x8C\x9C\x9F", "\xC5\x92\xC5\x93\xC5\xB8"},          // Œ œ Ÿ
        {"\x85\x96\x97", "\xE2\x80\xA6\xE2\x80\x93\xE2\x80\x94"},
        {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
        {"caf\xE9", "caf\xC3\xA9"},                            // é, Latin-1 range
        {"\xFF", "\xC3\xBF"},
        {"\xA0", "\xC2\xA0"},
        // The five undefined bytes stay, as the C1 controls of their value.
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& [octets, attendu] : cas) {
        EXPECT_EQ(TexteImporte::DepuisWindows1252(octets), attendu) << testing::PrintToString(octets);
        EXPECT_EQ(TexteImporte::DepuisModele(octets), TexteImporte::EstUtf8(octets) ? octets : attendu);
    }
}

TEST(TexteImporte, LongTextsAreCutAtACharacterBoundary)
{
    const std::size_t max = TexteImporte::kTailleMaximale;
    struct Cas {
        const char* quoi;
        std::string octets;
        std::string attendu;
    };
    const std::string euro = "\xE2\x82\xAC";
    std::string euros;
    while (euros.size() + euro.size() <= max)
        euros += euro;
    const Cas cas[] = {
        {"at the limit", std::string(max, 'a'), std::string(max, 'a')},
        {"one past", std::string(max + 1, 'a'), std::string(max, 'a')},
        {"megabytes", std::string(15u << 20, 'a'), std::string(max, 'a')},
        // max is not a multiple of three: the last euro would be split.
        {"three-byte characters", euros + euro + euro, euros},
        {"cp1252 that grows", std::string(max, '\x80'), euros},
        {"cp1252 at its own size", std::string(max + 9, '\xE9'),
         [&] {
             std::string e;
             for (std::size_t i = 0; i < max / 2; ++i)
                 e += "\xC3\xA9";
             return e;
         }()},
    };
    ASSERT_NE(max % 3, 0u);
    for (const Cas& c : cas) {
        const CString lu = TexteImporte::DepuisModele(c.octets);
        EXPECT_EQ(lu.size(), c.attendu.size()) << c.quoi;
        EXPECT_TRUE(lu == c.attendu) << c.quoi;
        EXPECT_TRUE(TexteImporte::EstUtf8(lu)) << c.quoi;
    }
    EXPECT_EQ(TexteImporte::Borne(euros + euro), euros);
}

// What a template loads, the settings store keeps: the cut is the store's own limit.
TEST(TexteImporte, ACutTextIsKeptByTheSettingsStore)
{
    TestImages::Sandbox bac;
    const QByteArray avant = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(bac.path("config")));

    ModeleSignature ecrits;
    ecrits.Texte = TexteImporte::DepuisModele(std::string(100000, 'x'));
    ecrits.NomRepertoire = TexteImporte::DepuisModele(std::string(100000, '\xE9'));
    EXPECT_EQ(ReglagesRegistre::Ecriture(ecrits), 1);
    ModeleSignature lus;
    EXPECT_EQ(ReglagesRegistre::Lecture(lus), 1);
    EXPECT_TRUE(lus.Texte == ecrits.Texte);
    EXPECT_TRUE(lus.NomRepertoire == ecrits.NomRepertoire);

    qputenv("XDG_CONFIG_HOME", avant);
}

} // namespace
