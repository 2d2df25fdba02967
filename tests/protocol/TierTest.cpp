#include "ProtocolFixtures.h"

using namespace ProtocolFixtures;
using Tier = LearnedRates::Tier;

TEST(Tier, forQualityColumnLabelSentencePhraseAndSettingIndependence)
{
    EXPECT_EQ(Tier::forQuality(std::nullopt), "unknown");
    EXPECT_EQ(Tier::forQuality(MusicQuality{false, 3, true, std::nullopt}), "aac"); // the switch decides first
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 9, std::nullopt, "auto"}), "unknown");
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 3, true, std::nullopt}), "hires");
    EXPECT_EQ(Tier::forQuality(MusicQuality{true, 2, false, std::nullopt}), "lossless");

    const Bundle en = Bundle::english();
    const struct {
        const char *tier;
        const char *column;
        const char *phrase;
        bool independent;
    } cases[] = {
        {"hires", "Hi-Res", "Hi-Res Lossless", false}, {"lossless", "Lossless", "Lossless", false},
        {"aac", "AAC", "Lossless off (AAC)", false}, {"unknown", "Unknown", "an unrecognised setting", false},
        {"file", "Local file", "the local file", true}, {"any", "Any", "any setting", true},
        // Unrecognised words read as "any", but only the exact words are setting-independent.
        {"dolby", "Any", "any setting", false}, {"HIRES", "Any", "any setting", false},
        {"FILE", "Any", "any setting", false}, {"any ", "Any", "any setting", false}, {"", "Any", "any setting", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tier);
        const QString tier = QString::fromLatin1(c.tier);
        EXPECT_EQ(Tier::columnLabel(tier), QString::fromUtf8(c.column));
        EXPECT_EQ(Tier::sentencePhrase(tier, en), QString::fromUtf8(c.phrase));
        LearnedRates::Row row;
        row.tier = tier;
        EXPECT_EQ(row.isSettingIndependent(), c.independent);
    }
}
