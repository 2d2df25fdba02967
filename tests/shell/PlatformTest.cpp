// The Linux platform layer: symbols, colours, fonts, brand colours and the Music.app stand-in.

#include "Platform/BrandColors.h"
#include "Platform/FontStyles.h"
#include "Platform/LinuxMusicApp.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

int paintedPixels(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

void writeFixture(const QString &path, const QByteArray &json)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(json);
}

MusicApp::ScanResult scanNow(LinuxMusicApp &music)
{
    std::optional<MusicApp::ScanResult> result;
    music.scanLocalFiles([&](MusicApp::ScanResult r) { result = std::move(r); });
    EXPECT_FALSE(result) << "the scan must answer later, not inside the call";
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
    return result.value_or(QString());
}

} // namespace

TEST(Platform, EverySymbolTheWindowsNameIsDrawn)
{
    const QStringList needed = {QStringLiteral("gearshape"),
                                QStringLiteral("info.circle"),
                                QStringLiteral("music.note"),
                                QStringLiteral("checkmark"),
                                QStringLiteral("exclamationmark.triangle.fill"),
                                QStringLiteral("clock.arrow.circlepath"),
                                QStringLiteral("speaker.wave.2"),
                                QStringLiteral("chevron.down"),
                                QStringLiteral("chevron.right"),
                                QStringLiteral("chevron.up"),
                                QStringLiteral("chevron.up.chevron.down"),
                                QStringLiteral("arrow.right"),
                                QStringLiteral("circle"),
                                QStringLiteral("largecircle.fill.circle"),
                                QStringLiteral("play.fill"),
                                QStringLiteral("waveform")};
    for (const QString &name : needed) {
        EXPECT_TRUE(Symbols::has(name)) << qPrintable(name);
        const QPixmap pixmap = Symbols::pixmap(name, Qt::black, 20, 1.0);
        EXPECT_EQ(pixmap.size(), QSize(24, 24));
        EXPECT_GT(paintedPixels(pixmap), 20) << qPrintable(name);
    }
    EXPECT_EQ(paintedPixels(Symbols::pixmap(QStringLiteral("no.such.symbol"), Qt::black, 20, 1.0)), 0);
    EXPECT_EQ(Symbols::pixmap(QStringLiteral("checkmark"), Qt::black, 20, 2.0).size(), QSize(48, 48));
    EXPECT_FALSE(Symbols::icon(QStringLiteral("gearshape"), Qt::black).isNull());
}

TEST(Platform, ColoursFollowTheAppearance)
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    QPalette light;
    light.setColor(QPalette::Window, QColor(0xf0, 0xf0, 0xf0));
    EXPECT_EQ(SystemColors::appearance(dark), SystemColors::Appearance::dark);
    EXPECT_EQ(SystemColors::appearance(light), SystemColors::Appearance::light);

    using SystemColors::Appearance;
    EXPECT_NE(SystemColors::blue(Appearance::light), SystemColors::blue(Appearance::dark));
    EXPECT_LT(SystemColors::windowBackground(Appearance::dark).lightnessF(), 0.5);
    EXPECT_GT(SystemColors::windowBackground(Appearance::light).lightnessF(), 0.5);
    EXPECT_GT(SystemColors::label(Appearance::dark).lightnessF(), 0.5);
    EXPECT_LT(SystemColors::secondaryLabel(Appearance::light).alphaF(), 1.0);
    EXPECT_EQ(SystemColors::accent(Appearance::light), SystemColors::blue(Appearance::light));
    EXPECT_NEAR(
        SystemColors::withOpacity(SystemColors::selectedContentBackground(Appearance::light), 0.35).alphaF(),
        0.35, 0.01);
}

TEST(Platform, FontsAndBrand)
{
    EXPECT_NEAR(FontStyles::points(FontStyles::body()), 13, 0.01);
    EXPECT_NEAR(FontStyles::points(FontStyles::title3()), 15, 0.01);
    EXPECT_NEAR(FontStyles::points(FontStyles::caption2()), 10, 0.01);
    EXPECT_EQ(FontStyles::headline().weight(), QFont::DemiBold);
    EXPECT_NEAR(FontStyles::points(FontStyles::scaled(FontStyles::systemFont(10), 1.3)), 13, 0.01);

    EXPECT_EQ(BrandColors::assetColor(QStringLiteral("brandRedStart")), BrandColors::brandRedStart());
    EXPECT_EQ(BrandColors::assetColor(QStringLiteral("brandRedEnd")), BrandColors::brandRedEnd());
    EXPECT_FALSE(BrandColors::assetColor(QStringLiteral("other")).isValid());
    const QRectF rect(10, 0, 100, 20);
    const QLinearGradient ltr = BrandColors::brandGradient(rect);
    EXPECT_EQ(ltr.start().x(), 10);
    EXPECT_EQ(ltr.finalStop().x(), 110);
    EXPECT_EQ(ltr.stops().first().second, BrandColors::brandRedStart());
    const QLinearGradient rtl = BrandColors::brandGradient(rect, Qt::RightToLeft);
    EXPECT_EQ(rtl.start().x(), 110); // the leading edge is on the right
}

TEST(Platform, MusicAppNeverRunsWithoutItsFixture)
{
    QTemporaryDir dir;
    LinuxMusicApp music(dir.filePath(QStringLiteral("MusicApp.json")));
    EXPECT_FALSE(music.isRunning());
    EXPECT_FALSE(music.qualitySetting());
    EXPECT_FALSE(music.processTapSupported());
    const MusicApp::ScanResult result = scanNow(music);
    ASSERT_TRUE(std::holds_alternative<QString>(result));
    EXPECT_EQ(std::get<QString>(result), QStringLiteral("Music.app isn't running"));
}

TEST(Platform, MusicAppFixtureIsReadAgainWhenItChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MusicApp.json"));
    LinuxMusicApp music(path);
    writeFixture(
        path, R"({"running": true, "quality": {"lossless": true, "tier": 2, "hiRes": true, "atmos": "auto"},
                           "processTap": true,
                           "scan": [{"id": "A1", "title": "One", "rate": 96000}, {"id": 5}]})");
    EXPECT_TRUE(music.isRunning());
    ASSERT_TRUE(music.qualitySetting());
    EXPECT_EQ(music.qualitySetting()->hiRes, true);
    EXPECT_TRUE(music.processTapSupported());
    MusicApp::ScanResult result = scanNow(music);
    ASSERT_TRUE((std::holds_alternative<QList<SwitcherProtocol::LocalFileRow>>(result)));
    const auto rows = std::get<QList<SwitcherProtocol::LocalFileRow>>(result);
    ASSERT_EQ(rows.size(), 1); // the malformed row is left out
    EXPECT_EQ(rows.first().id, QStringLiteral("A1"));

    writeFixture(path, R"({"running": true, "scanError": "Music.app got an error: AppleEvent timed out."})");
    EXPECT_FALSE(music.qualitySetting());
    result = scanNow(music);
    ASSERT_TRUE(std::holds_alternative<QString>(result));
    EXPECT_EQ(std::get<QString>(result), QStringLiteral("Music.app got an error: AppleEvent timed out."));

    writeFixture(path, "{ not json");
    EXPECT_FALSE(music.isRunning());
}
