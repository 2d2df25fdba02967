// The model's derived texts and the commands that need no file: rates, notices, scans.

#include "ModelTestSupport.h"

// Each count alone, in both its forms, is a translations test; here the outputs' part after the
// tracks', without the outputs added when there are none.
TEST(ModelTexts, ImportSummaryJoinsTheOutputsAfterTheTracks)
{
    EXPECT_EQ(SwitcherModel::importSummaryText(importAnswer(u"apply"_s, true, {1, 0, 5, 0, 0, 3})),
              u"1 new, 0 updated, 5 already known · 3 updated"_s);
}

TEST(ModelCommands, SupportedStandardRatesFollowTheAttachedDevice)
{
    ModelHarness h;
    EXPECT_TRUE(h.model->supportedStandardRates(u"dac"_s).isEmpty()); // no device

    OutputDevice device = FakePlatform::device(u"dac"_s, {});
    device.availableSampleRates = {{44100, 96000}, {192000, 192000}, {384000, 400000}};
    h.platform.outputDevices.device = device;
    h.model->pollPlatform();
    EXPECT_EQ(h.model->supportedStandardRates(u"dac"_s),
              (QList<double>{44100, 48000, 88200, 96000, 192000, 384000}));
    EXPECT_TRUE(h.model->supportedStandardRates(u"other"_s).isEmpty());

    OutputDevice anonymous; // a device that reports no uid
    anonymous.availableSampleRates = device.availableSampleRates;
    h.platform.outputDevices.device = anonymous;
    h.model->pollPlatform();
    EXPECT_TRUE(h.model->supportedStandardRates(QString()).isEmpty());
}

// The OK button that dismisses it, and the message it sends, are the footer screenshot test's.
TEST(ModelCommands, NoticeStaysDismissedUntilANewOneArrives)
{
    ModelHarness h;
    SwitcherProtocol::LearnedRates rates;
    h.model->setLearnedRates(rates);
    h.model->dismissRateLibraryNotice(); // nothing to dismiss
    EXPECT_FALSE(h.model->dismissedNotice());
    for (const QString &notice : {u"The library was restored."_s, u"Another notice."_s}) {
        rates.notice = notice;
        h.model->setLearnedRates(rates);
        EXPECT_EQ(h.model->visibleRateLibraryNotice(), notice);
        h.model->dismissRateLibraryNotice();
        h.model->setLearnedRates(rates); // the same notice again
        EXPECT_FALSE(h.model->visibleRateLibraryNotice());
    }
}

TEST(ModelCommands, LocalFileScan)
{
    using Scanning = SwitcherModel::LocalScanScanning;
    using State = SwitcherModel::LocalScanState;
    ModelHarness h;
    h.model->scanLocalFiles(); // no companion: nothing, not even Music.app is asked

    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    h.model->scanLocalFiles(); // Music.app isn't running
    EXPECT_EQ(h.model->localScan(), State(SwitcherModel::LocalScanFailed{u"Music.app isn't running"_s}));

    h.platform.musicApp.running = true;
    h.model->scanLocalFiles(); // no local files: done at once, nothing to wait for
    EXPECT_EQ(h.model->localScan(), State(SwitcherModel::LocalScanDone{}));
    h.platform.musicApp.scanResult =
        QList<SwitcherProtocol::LocalFileRow>{{u"A1"_s, u"Song"_s, {}, {}, 96000}};
    h.platform.musicApp.holdScans = true;
    h.model->scanLocalFiles();
    h.model->scanLocalFiles();               // a second press while scanning does nothing
    EXPECT_EQ(h.platform.musicApp.scans, 3); // neither does a scan without the companion
    h.platform.musicApp.finishScans();
    ASSERT_TRUE(peer.waitForType(u"localFiles"_s));
    EXPECT_TRUE(std::holds_alternative<Scanning>(h.model->localScan())); // until the companion answers

    const SwitcherProtocol::LocalFilesResult result{1, 1, 0, 1};
    peer.send(u"localFilesResult"_s, result.toJson());
    ASSERT_TRUE(eventually([&] { return !std::holds_alternative<Scanning>(h.model->localScan()); }));
    EXPECT_EQ(h.model->localScan(), State(SwitcherModel::LocalScanDone{result}));

    // A scan ends with a failure when its companion leaves, or keeps silent two minutes after the
    // last batch; a result with no scan running changes nothing.
    h.model->scanLocalFiles();
    peer.disconnectFromHost();
    ASSERT_TRUE(eventually([&] { return !h.switcher().link().isPeer(); }));
    const State disconnected = SwitcherModel::LocalScanFailed{u"Corvane Mac Remote disconnected"_s};
    EXPECT_EQ(h.model->localScan(), disconnected);
    const auto rows = h.platform.musicApp.scanResult;
    h.platform.musicApp.scanResult = u"Music.app got an error."_s;
    h.platform.musicApp.finishScans(); // the old scan's answer goes nowhere
    EXPECT_EQ(h.model->localScan(), disconnected);

    LoopbackPeer again;
    ASSERT_TRUE(pair(h, again));
    h.platform.musicApp.scanResult = rows;
    h.model->scanLocalFiles();
    h.platform.musicApp.finishScans();
    ASSERT_TRUE(again.waitForType(u"localFiles"_s));
    h.clock->advance(SwitcherModel::localScanAnswerTimeoutMs - 1);
    EXPECT_TRUE(std::holds_alternative<Scanning>(h.model->localScan()));
    h.clock->advance(1);
    const State silent = SwitcherModel::LocalScanFailed{u"Corvane Mac Remote did not answer"_s};
    EXPECT_EQ(h.model->localScan(), silent);
    again.send(u"localFilesResult"_s, result.toJson());
    incomingHandled(h, again);
    EXPECT_EQ(h.model->localScan(), silent);
}
