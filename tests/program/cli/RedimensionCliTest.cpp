// --max-size: the run's longest side over the template's "Resize".

#include "OptionsCli.h"

#include <gtest/gtest.h>

TEST(RedimensionCli, MaxSizeReplacesTheTemplatesResizeForTheRun)
{
    const struct {
        std::vector<std::string> arguments;
        RegleTaille attendue;
    } cas[] = {
        {{"a.jpg"}, {RegleTaille::Mode::Pourcentage, 50}},
        {{"--max-size", "2048", "a.jpg"}, {RegleTaille::Mode::CotePlusLong, 2048}},
        {{"--max-size", "1", "a.jpg"}, {RegleTaille::Mode::CotePlusLong, 1}},
        {{"--max-size", "1048576", "a.jpg"}, {RegleTaille::Mode::CotePlusLong, 1048576}},
    };
    for (const auto& c : cas) {
        OptionsCli options;
        ASSERT_TRUE(options.Lit(c.arguments)) << options.Erreur;
        ModeleSignature reglages;
        reglages.RedimensionSortie = {RegleTaille::Mode::Pourcentage, 50};
        options.Surcharge(reglages);
        EXPECT_EQ(reglages.RedimensionSortie, c.attendue) << c.arguments.front();
    }
    for (const char* refus : {"0", "-5", "1048577", "2k", "", "99999999999"}) {
        OptionsCli options;
        EXPECT_FALSE(options.Lit({"--max-size", refus, "a.jpg"})) << refus;
    }
    EXPECT_NE(OptionsCli::TexteAide().find("--max-size N"), std::string::npos);
}
