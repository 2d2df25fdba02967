// The Linux platform layer: symbols, appearance, the brand gradient and the Music.app stand-in.

#include "AppPaths.h"
#include "Platform/AlsaOutputDevices.h"
#include "Platform/BrandColors.h"
#include "Platform/LinuxMusicApp.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

qsizetype paintedPixels(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constBits());
    return std::count_if(pixels, pixels + image.width() * image.height(),
                         [](QRgb p) { return qAlpha(p) > 0; });
}

} // namespace

TEST(Platform, EverySymbolTheWindowsNameIsDrawn)
{
    const QStringList needed =
        u"gearshape info.circle music.note checkmark exclamationmark.triangle.fill clock.arrow.circlepath "
        u"speaker.wave.2 chevron.down chevron.right chevron.up chevron.up.chevron.down arrow.right circle "
        u"largecircle.fill.circle play.fill waveform"_s.split(u' ');
    QList<QImage> drawn;
    for (const QString &name : needed) {
        drawn.append(Symbols::pixmap(name, Qt::black, 20, 1.0).toImage());
        EXPECT_GT(paintedPixels(QPixmap::fromImage(drawn.last())), 20) << name.toStdString();
        for (qsizetype other = 0; other + 1 < drawn.size(); ++other)
            EXPECT_NE(drawn[other], drawn.last())
                << name.toStdString() << " drawn as " << needed[other].toStdString();
    }
    EXPECT_EQ(paintedPixels(Symbols::pixmap(u"no.such.symbol"_s, Qt::black, 20, 1.0)), 0);
    EXPECT_EQ(Symbols::pixmap(u"checkmark"_s, Qt::black, 20, 2.0).size(), QSize(48, 48));
}

TEST(Platform, AppearanceAndTheBrandGradientFollowTheSystem)
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    EXPECT_EQ(SystemColors::appearance(dark), SystemColors::Appearance::dark);
    dark.setColor(QPalette::Window, QColor(0xf0, 0xf0, 0xf0));
    EXPECT_EQ(SystemColors::appearance(dark), SystemColors::Appearance::light);

    const QRectF rect(10, 0, 100, 20);
    EXPECT_EQ(BrandColors::brandGradient(rect).start().x(), 10);
    EXPECT_EQ(BrandColors::brandGradient(rect, Qt::RightToLeft).start().x(), 110); // the leading edge
}

TEST(Platform, MusicAppFollowsItsFixtureFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"MusicApp.json"_s);
    LinuxMusicApp music(path);
    const auto scan = [&] {
        std::optional<MusicApp::ScanResult> result;
        music.scanLocalFiles([&](MusicApp::ScanResult r) { result = std::move(r); });
        EXPECT_FALSE(result) << "the scan must answer later, not inside the call";
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
        return result.value_or(QString());
    };
    const auto fixture = [&](const QByteArray &json) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(json) == json.size());
    };

    EXPECT_FALSE(music.isRunning()); // no fixture
    EXPECT_EQ(scan(), MusicApp::ScanResult(u"Music.app isn't running"_s));

    fixture(R"({"running": true, "quality": {"lossless": true, "tier": 2, "hiRes": true, "atmos": "auto"},
                "processTap": true, "scan": [{"id": "A1", "title": "One", "rate": 96000}, {"id": 5}]})");
    EXPECT_TRUE(music.isRunning() && music.processTapSupported());
    EXPECT_EQ(music.qualitySetting(), (SwitcherProtocol::MusicQuality{true, 2, true, u"auto"_s}));
    const MusicApp::ScanResult result = scan();
    const auto *rows = std::get_if<QList<SwitcherProtocol::LocalFileRow>>(&result);
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1); // the malformed row is left out
    EXPECT_EQ(rows->first().id, u"A1"_s);

    fixture(R"({"running": true, "scanError": "Music.app got an error: AppleEvent timed out."})");
    EXPECT_FALSE(music.qualitySetting() || music.processTapSupported());
    EXPECT_EQ(scan(), MusicApp::ScanResult(u"Music.app got an error: AppleEvent timed out."_s));

    fixture("{ not json");
    EXPECT_FALSE(music.isRunning());
}

TEST(Platform, OutputDeviceFixtureStandsInForTheSoundCard)
{
    const QString path = QDir(AppPaths::ensureDataDirectory()).filePath(u"OutputDevice.json"_s);
    QFile file(path);
    const QByteArray json = R"({"uid": "usb:dac", "name": "DAC", "rates": [[44100, 96000], [192000], "x"]})";
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
    file.close();
    AlsaOutputDevices devices;
    const std::optional<OutputDevice> device = devices.defaultOutputDevice();
    QFile::remove(path);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->uid, u"usb:dac"_s);
    EXPECT_EQ(device->name, u"DAC"_s);
    // Malformed ranges are left out rather than read as rates the device does not have.
    EXPECT_EQ(device->availableSampleRates, (QList<SampleRateRange>{{44100, 96000}}));
}

namespace {

// The warnings logged while it lives.
class WarningLog {
public:
    WarningLog() { m_previous = qInstallMessageHandler(&WarningLog::keep); }
    ~WarningLog()
    {
        qInstallMessageHandler(m_previous);
        lines().clear();
    }
    static QStringList &lines()
    {
        static QStringList kept;
        return kept;
    }

private:
    static void keep(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtWarningMsg)
            lines().append(message);
    }
    QtMessageHandler m_previous = nullptr;
};

} // namespace

// A stand-in file that can't be used leaves what the platform has without it, and the log says
// why once, not at every poll; once usable again it stands in again.
TEST(Platform, AStandInFileThatCannotBeUsedIsLoggedOnceAndLeavesTheFallback)
{
    const QString devicePath = QDir(AppPaths::ensureDataDirectory()).filePath(u"OutputDevice.json"_s);
    QTemporaryDir dir;
    const QString musicPath = dir.filePath(u"MusicApp.json"_s);
    const auto oversized = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.resize(33LL * 1024 * 1024);
    };
    struct Case {
        const char *name;
        std::function<bool(const QString &)> make;
        QString why;
    };
    const Case cases[] = {
        {"a folder", [](const QString &path) { return QDir().mkdir(path); }, u"is not a regular file"_s},
        {"a file of 33 MB", oversized, u"is larger than 32 MB"_s},
        {"not JSON", [](const QString &path) { return writeFile(path, "{ not json"); },
         u"is not a JSON object"_s},
    };
    const auto remove = [](const QString &path) {
        QFile::remove(path);
        QDir().rmdir(path);
    };

    const std::optional<OutputDevice> card = AlsaOutputDevices().defaultOutputDevice();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const WarningLog log;
        ASSERT_TRUE(c.make(devicePath));
        ASSERT_TRUE(c.make(musicPath));
        AlsaOutputDevices devices;
        LinuxMusicApp music(musicPath);
        for (int poll = 0; poll < 3; ++poll) {
            EXPECT_EQ(devices.defaultOutputDevice(), card);
            EXPECT_FALSE(music.isRunning() || music.qualitySetting() || music.processTapSupported());
        }
        EXPECT_EQ(log.lines().filter(QDir::toNativeSeparators(devicePath) + u' ' + c.why).size(), 1)
            << log.lines().join(u'\n').toStdString();
        EXPECT_EQ(log.lines().filter(QDir::toNativeSeparators(musicPath) + u' ' + c.why).size(), 1)
            << log.lines().join(u'\n').toStdString();
        EXPECT_EQ(log.lines().size(), 2) << log.lines().join(u'\n').toStdString();

        remove(devicePath);
        remove(musicPath);
        ASSERT_TRUE(writeFile(devicePath, R"({"uid": "usb:dac"})"));
        ASSERT_TRUE(writeFile(musicPath, R"({"running": true})"));
        const std::optional<OutputDevice> device = devices.defaultOutputDevice();
        ASSERT_TRUE(device);
        EXPECT_EQ(device->uid, u"usb:dac"_s);
        EXPECT_TRUE(music.isRunning());
        remove(devicePath);
        remove(musicPath);
    }
}
