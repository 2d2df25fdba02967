#include "Units.h"

#include <gtest/gtest.h>

TEST(Units, kHzKeepsAtMostOneDecimalSecondsAlwaysOneAndMsNone)
{
    const Bundle en = Bundle::english();
    const std::pair<double, const char *> rates[] = {
        {44100, "44.1 kHz"},   {48000, "48 kHz"},
        {352800, "352.8 kHz"}, {44150, "44.2 kHz"}, // 441.5 tenths: halves away from zero
        {44149.9, "44.1 kHz"}, {47950, "48 kHz"},   // 480 tenths, written without ".0"
        {1536000, "1536 kHz"},                      // never grouped
    };
    for (const auto &[hz, text] : rates)
        EXPECT_EQ(Units::kHz(en, hz), text) << hz;
    const std::pair<double, const char *> seconds[] = {
        {1.5, "1.5 s"}, {0.9, "0.9 s"}, {12, "12.0 s"}, {1234.5, "1234.5 s"}};
    for (const auto &[s, text] : seconds)
        EXPECT_EQ(Units::seconds(en, s), text) << s;
    EXPECT_EQ(QStringList({Units::ms(1200), Units::ms(-400), Units::ms(10000)}),
              QStringList({"1200 ms", "-400 ms", "10000 ms"}));
}

TEST(Units, englishBundleIgnoresTheUserLocaleAndOthersFollowIt)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Units::kHz(Bundle::english(), 44100), "44.1 kHz");
    EXPECT_EQ(Units::seconds(Bundle::english(), 1.5), "1.5 s");
    EXPECT_EQ(Units::kHz(Bundle(QStringLiteral("de")), 44100), "44,1 kHz");
    EXPECT_EQ(Units::seconds(Bundle(QStringLiteral("de")), 1234.5), "1234,5 s");
    QLocale::setDefault(saved);
}
