// The model's derived texts and the commands that need no file: rates, notices, pins, scans.

#include "ModelTestSupport.h"

#include <QDir>

using SwitcherProtocol::RateLibraryImported;

namespace {

RateLibraryImported counts(qint64 added, qint64 updated, qint64 known, qint64 skipped = 0,
                           qint64 outputsNew = 0, qint64 outputsUpdated = 0)
{
    RateLibraryImported result;
    result.ok = true;
    result.newCount = added;
    result.updated = updated;
    result.known = known;
    result.skipped = skipped;
    result.outputsNew = outputsNew;
    result.outputsUpdated = outputsUpdated;
    return result;
}

SwitcherProtocol::LocalFileRow localFile(int i)
{
    SwitcherProtocol::LocalFileRow row;
    row.id = QStringLiteral("%1").arg(i, 16, 16, QLatin1Char('0')).toUpper();
    row.title = QStringLiteral("Track %1").arg(i);
    row.rate = 96000;
    return row;
}

} // namespace

TEST(ModelTexts, ImportSummary)
{
    EXPECT_EQ(SwitcherModel::importSummaryText(counts(40, 12, 260)),
              QStringLiteral("40 new, 12 updated, 260 already known"));
    EXPECT_EQ(SwitcherModel::importSummaryText(counts(40, 12, 260, 3, 2)),
              QStringLiteral("40 new, 12 updated, 260 already known, 3 skipped · 2 outputs added"));
    EXPECT_EQ(SwitcherModel::importSummaryText(counts(0, 0, 0, 0, 0, 1)),
              QStringLiteral("0 new, 0 updated, 0 already known · 1 updated"));
    EXPECT_EQ(SwitcherModel::importSummaryText(counts(1, 0, 5, 0, 2, 3)),
              QStringLiteral("1 new, 0 updated, 5 already known · 2 outputs added, 3 updated"));
}

TEST(ModelTexts, LoadSummary)
{
    EXPECT_EQ(SwitcherModel::loadSummaryText(std::nullopt),
              QStringLiteral("Music.app load not measured yet · about 0.9 s assumed"));
    EXPECT_EQ(SwitcherModel::loadSummaryText(PlaybackHistory::MusicStartStats{7, 640, 1200, 4310}),
              QStringLiteral("Music.app load · fastest 0.6 s · typical 1.2 s · slowest 4.3 s"));
}

TEST(ModelTexts, CompanionFileIsInItsContainer)
{
    EXPECT_EQ(SwitcherModel::companionLearnedFileURL(),
              QDir::homePath() + QStringLiteral("/Library/Containers/dulvarin.Corvane/Data/Library/"
                                                "Application Support/SwitcherLearned.json"));
}

TEST(ModelCommands, SupportedStandardRatesFollowTheAttachedDevice)
{
    ModelHarness h;
    EXPECT_TRUE(h.model->supportedStandardRates(QStringLiteral("dac")).isEmpty()); // no device

    OutputDevice device = FakePlatform::device(QStringLiteral("dac"), {});
    device.availableSampleRates = {{44100, 96000}, {192000, 192000}, {384000, 400000}};
    h.platform.outputDevices.device = device;
    h.model->pollPlatform();
    EXPECT_EQ(h.model->supportedStandardRates(QStringLiteral("dac")),
              (QList<double>{44100, 48000, 88200, 96000, 192000, 384000}));
    EXPECT_TRUE(h.model->supportedStandardRates(QStringLiteral("other")).isEmpty());

    device.uid.reset();
    h.platform.outputDevices.device = device;
    h.model->pollPlatform();
    EXPECT_TRUE(h.model->supportedStandardRates(QString()).isEmpty());
}

TEST(ModelCommands, NoticeStaysDismissedUntilANewOneArrives)
{
    ModelHarness h;
    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    EXPECT_FALSE(h.model->visibleRateLibraryNotice());
    h.model->dismissRateLibraryNotice(); // nothing to dismiss
    EXPECT_FALSE(h.model->dismissedNotice());

    SwitcherProtocol::LearnedRates rates;
    h.model->setLearnedRates(rates);
    EXPECT_FALSE(h.model->visibleRateLibraryNotice());

    rates.notice = QStringLiteral("The library was restored.");
    h.model->setLearnedRates(rates);
    EXPECT_EQ(h.model->visibleRateLibraryNotice(), rates.notice);

    h.model->dismissRateLibraryNotice();
    EXPECT_EQ(h.model->dismissedNotice(), rates.notice);
    EXPECT_FALSE(h.model->visibleRateLibraryNotice());
    EXPECT_TRUE(peer.waitForType(QStringLiteral("dismissRateLibraryNotice")));

    rates.notice = QStringLiteral("Another notice.");
    h.model->setLearnedRates(rates);
    EXPECT_EQ(h.model->visibleRateLibraryNotice(), rates.notice);
}

TEST(ModelCommands, PinRateCarriesTheRow)
{
    ModelHarness h;
    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    SwitcherProtocol::LearnedRates::Row row;
    row.id = QStringLiteral("1234");
    row.tier = QStringLiteral("hires");
    row.title = QStringLiteral("Song");
    row.artist = QStringLiteral("Band");
    row.album = QStringLiteral("Album");
    h.model->pinRate(row, 88200);
    ASSERT_TRUE(peer.waitForType(QStringLiteral("pinLearnedRate")));
    const auto pin = SwitcherProtocol::PinLearnedRate::fromJson(
        peer.receivedOfType(QStringLiteral("pinLearnedRate")).first().payload);
    ASSERT_TRUE(pin);
    EXPECT_EQ(*pin.value,
              (SwitcherProtocol::PinLearnedRate{row.id, row.tier, 88200, row.title, row.artist, row.album}));
}

TEST(ModelCommands, LocalFileScan)
{
    ModelHarness h;
    using Scanning = SwitcherModel::LocalScanScanning;

    h.model->scanLocalFiles(); // no companion: nothing
    EXPECT_TRUE(std::holds_alternative<SwitcherModel::LocalScanIdle>(h.model->localScan()));
    EXPECT_EQ(h.platform.musicApp.scans, 0);

    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    h.model->scanLocalFiles(); // Music.app isn't running
    ASSERT_TRUE(std::holds_alternative<SwitcherModel::LocalScanFailed>(h.model->localScan()));
    EXPECT_EQ(std::get<SwitcherModel::LocalScanFailed>(h.model->localScan()).text,
              QStringLiteral("Music.app isn't running"));

    h.platform.musicApp.running = true;
    h.model->scanLocalFiles(); // no local files at all
    EXPECT_EQ(h.model->localScan(), SwitcherModel::LocalScanState(SwitcherModel::LocalScanDone{}));

    QList<SwitcherProtocol::LocalFileRow> rows;
    for (int i = 0; i < 1201; ++i)
        rows.append(localFile(i));
    h.platform.musicApp.scanResult = rows;
    h.platform.musicApp.holdScans = true;
    h.model->scanLocalFiles();
    EXPECT_TRUE(std::holds_alternative<Scanning>(h.model->localScan()));
    h.model->scanLocalFiles(); // a second press while scanning does nothing
    EXPECT_EQ(h.platform.musicApp.scans, 3);
    h.platform.musicApp.finishScans();
    ASSERT_TRUE(peer.waitForType(QStringLiteral("localFiles"), 3));
    EXPECT_TRUE(std::holds_alternative<Scanning>(h.model->localScan())); // until the companion answers

    const SwitcherProtocol::LocalFilesResult result{1201, 1100, 101, 1090};
    peer.send(QStringLiteral("localFilesResult"), result.toJson());
    ASSERT_TRUE(eventually([&] { return !std::holds_alternative<Scanning>(h.model->localScan()); }));
    EXPECT_EQ(h.model->localScan(), SwitcherModel::LocalScanState(SwitcherModel::LocalScanDone{result}));
}

TEST(ModelCommands, AScanWhoseCompanionLeftCanBeStartedAgain)
{
    ModelHarness h;
    h.platform.musicApp.running = true;
    h.platform.musicApp.holdScans = true;
    h.platform.musicApp.scanResult = QList<SwitcherProtocol::LocalFileRow>{localFile(1)};
    {
        LoopbackPeer peer;
        ASSERT_TRUE(pair(h, peer));
        h.model->scanLocalFiles();
        ASSERT_TRUE(std::holds_alternative<SwitcherModel::LocalScanScanning>(h.model->localScan()));
    }
    ASSERT_TRUE(eventually([&] { return !h.switcher().link().isPeer(); }));
    EXPECT_TRUE(std::holds_alternative<SwitcherModel::LocalScanIdle>(h.model->localScan()));
    h.platform.musicApp.finishScans(); // the old scan's rows go nowhere
    EXPECT_TRUE(std::holds_alternative<SwitcherModel::LocalScanIdle>(h.model->localScan()));

    LoopbackPeer again;
    ASSERT_TRUE(pair(h, again));
    h.model->scanLocalFiles();
    EXPECT_TRUE(std::holds_alternative<SwitcherModel::LocalScanScanning>(h.model->localScan()));
}
