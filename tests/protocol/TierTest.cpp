#include "SwitcherProtocol.h"

#include <gtest/gtest.h>

using namespace SwitcherProtocol;
using Tier = LearnedRates::Tier;

TEST(Tier, forQualityFollowsMusicSetting)
{
    EXPECT_EQ(Tier::forQuality(std::nullopt), "unknown");
    EXPECT_EQ(Tier::forQuality(MusicQuality{false, 0, std::nullopt, std::nullopt}), "aac");
    EXPECT_EQ(Tier::forQuality(MusicQuality{false, 3, true, std::nullopt}), "aac"); // the switch decides first
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 9, std::nullopt, QStringLiteral("auto")}), "unknown");
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 3, true, std::nullopt}), "hires");
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 2, false, std::nullopt}), "lossless");
}

TEST(Tier, columnLabelsAndSentencePhrasesForEveryWord)
{
    const Bundle en = Bundle::english();
    const struct {
        QString tier;
        const char *column;
        const char *phrase;
    } cases[] = {
        {Tier::hires, "Hi-Res", "Hi-Res Lossless"},
        {Tier::lossless, "Lossless", "Lossless"},
        {Tier::aac, "AAC", "Lossless off (AAC)"},
        {Tier::unknown, "Unknown", "an unrecognised setting"},
        {Tier::file, "Local file", "the local file"},
        {Tier::any, "Any", "any setting"},
        {QStringLiteral("dolby"), "Any", "any setting"},
        {QStringLiteral("HIRES"), "Any", "any setting"},
        {QString(), "Any", "any setting"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Tier::columnLabel(c.tier), QString::fromUtf8(c.column)) << c.tier.toStdString();
        EXPECT_EQ(Tier::sentencePhrase(c.tier, en), QString::fromUtf8(c.phrase)) << c.tier.toStdString();
    }
}

TEST(Tier, settingIndependenceIsAnExactMatch)
{
    LearnedRates::Row row;
    for (const char *tier : {"any", "file"}) {
        row.tier = QString::fromLatin1(tier);
        EXPECT_TRUE(row.isSettingIndependent()) << tier;
    }
    for (const char *tier : {"Any", "FILE", "any ", "hires", "lossless", "aac", "unknown", ""}) {
        row.tier = QString::fromLatin1(tier);
        EXPECT_FALSE(row.isSettingIndependent()) << tier;
    }
}
