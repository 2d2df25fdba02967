#include "Units.h"
#include "OutputDevice.h"

#include <gtest/gtest.h>

TEST(Units, kHzKeepsAtMostOneDecimalAndRoundsHalvesAwayFromZero)
{
    const Bundle en = Bundle::english();
    EXPECT_EQ(Units::kHz(en, 44100), "44.1 kHz");
    EXPECT_EQ(Units::kHz(en, 48000), "48 kHz");
    EXPECT_EQ(Units::kHz(en, 352800), "352.8 kHz");
    EXPECT_EQ(Units::kHz(en, 44150), "44.2 kHz"); // 441.5 tenths -> 442
    EXPECT_EQ(Units::kHz(en, 44149.9), "44.1 kHz");
    EXPECT_EQ(Units::kHz(en, 47950), "48 kHz");     // 479.5 tenths -> 480, written without ".0"
    EXPECT_EQ(Units::kHz(en, 1536000), "1536 kHz"); // never grouped
}

TEST(Units, secondsAlwaysOneDecimalAndMsPlain)
{
    const Bundle en = Bundle::english();
    EXPECT_EQ(Units::seconds(en, 1.5), "1.5 s");
    EXPECT_EQ(Units::seconds(en, 0.9), "0.9 s");
    EXPECT_EQ(Units::seconds(en, 12), "12.0 s");
    EXPECT_EQ(Units::seconds(en, 1234.5), "1234.5 s");
    EXPECT_EQ(Units::ms(1200), "1200 ms");
    EXPECT_EQ(Units::ms(-400), "-400 ms");
    EXPECT_EQ(Units::ms(10000), "10000 ms");
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

TEST(OutputDevice, supportsIncludesBothEndsOfEveryRange)
{
    OutputDevice device;
    device.availableSampleRates = {{44100, 48000}, {96000, 96000}};
    EXPECT_TRUE(device.supports(44100));
    EXPECT_TRUE(device.supports(48000));
    EXPECT_TRUE(device.supports(46000));
    EXPECT_TRUE(device.supports(96000));
    EXPECT_FALSE(device.supports(88200));
    EXPECT_FALSE(device.supports(96000.5));
    EXPECT_FALSE(OutputDevice{}.supports(44100));
}
