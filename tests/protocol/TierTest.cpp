#include "ProtocolFixtures.h"

using namespace ProtocolFixtures;
using Tier = LearnedRates::Tier;

TEST(Tier, forQualityColumnLabelSentencePhraseAndSettingIndependence)
{
    EXPECT_EQ(Tier::forQuality(std::nullopt), "unknown");
    // The lossless switch decides first.
    EXPECT_EQ(Tier::forQuality(MusicQuality{false, 3, true, std::nullopt}), "aac");
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 9, std::nullopt, "auto"}), "unknown");
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 3, true, std::nullopt}), "hires");
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 2, false, std::nullopt}), "lossless");

    const Bundle en = Bundle::english();
    auto expectTier = [&](const char *word, const char *column, const char *phrase, bool independent) {
        SCOPED_TRACE(word);
        const QString tier = QString::fromLatin1(word);
        EXPECT_EQ(Tier::columnLabel(tier), QString::fromUtf8(column));
        EXPECT_EQ(Tier::sentencePhrase(tier, en), QString::fromUtf8(phrase));
        LearnedRates::Row row;
        row.tier = tier;
        EXPECT_EQ(row.isSettingIndependent(), independent);
    };
    expectTier("hires", "Hi-Res", "Hi-Res Lossless", false);
    expectTier("lossless", "Lossless", "Lossless", false);
    expectTier("aac", "AAC", "Lossless off (AAC)", false);
    expectTier("unknown", "Unknown", "an unrecognised setting", false);
    expectTier("file", "Local file", "the local file", true);
    expectTier("any", "Any", "any setting", true);
    // Unrecognised words read as "any", but only the exact words are setting-independent.
    for (const char *word : {"dolby", "HIRES", "FILE", "any ", ""})
        expectTier(word, "Any", "any setting", false);
}
