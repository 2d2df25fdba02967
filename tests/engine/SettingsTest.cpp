// The engine's settings in the settings store, and the automatic Delay Added.
#include "RateSwitcher.h"

#include <QHostAddress>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class EngineSettings : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString iniPath() const { return dir.filePath(QStringLiteral("settings.ini")); }
    std::unique_ptr<QSettings> store() const
    {
        return std::make_unique<QSettings>(iniPath(), QSettings::IniFormat);
    }
    std::unique_ptr<RateSwitcher> engine(QSettings *settings) const
    {
        return std::make_unique<RateSwitcher>(settings, dir.filePath(QStringLiteral("history.json")), dir.path());
    }
};

PlaybackHistory::Entry startedIn(std::optional<qint64> ms)
{
    PlaybackHistory::Entry entry;
    entry.at = QDateTime::currentDateTimeUtc();
    entry.musicStartMs = ms;
    return entry;
}

} // namespace

TEST_F(EngineSettings, DefaultsWhenNothingIsStored)
{
    auto settings = store();
    auto switcher = engine(settings.get());
    EXPECT_TRUE(switcher->enabled());
    EXPECT_EQ(switcher->port(), std::nullopt);
    EXPECT_EQ(switcher->relockLeadMsOverride(), std::nullopt);
    EXPECT_DOUBLE_EQ(switcher->quietWindowSec(), 4.5);
    EXPECT_DOUBLE_EQ(switcher->quietThresholdDb(), -55);
    EXPECT_DOUBLE_EQ(switcher->quietHoldSec(), 0.4);
    EXPECT_DOUBLE_EQ(switcher->pausePointSec(), 0.4);
    EXPECT_TRUE(switcher->fadeExtendPause());
    EXPECT_EQ(switcher->handOverDelayMs(), std::nullopt);
    EXPECT_EQ(switcher->boundaryMode(), RateSwitcher::BoundaryMode::stop);
    EXPECT_TRUE(switcher->audioTapEnabled());
    EXPECT_FALSE(switcher->audioTapFailed());
}

TEST_F(EngineSettings, ReadsStoredValuesOnceAndDropsTheOldKey)
{
    {
        auto settings = store();
        settings->setValue("switcher.enabled", false);
        settings->setValue("switcher.relockLeadMsOverride", 900);
        settings->setValue("switcher.quietWindowSec", 6.0);
        settings->setValue("switcher.quietThresholdDb", -60);
        settings->setValue("switcher.quietHoldSec", 0.8);
        settings->setValue("switcher.pausePointSec", 1.2);
        settings->setValue("switcher.fadeExtendPause", false);
        settings->setValue("switcher.handOverDelayMs", 300);
        settings->setValue("switcher.boundaryMode", "lead");
        settings->setValue("switcher.audioTap", false);
        settings->setValue("switcher.firstNoteProtection", true);
    }
    auto settings = store();
    auto switcher = engine(settings.get());
    EXPECT_FALSE(switcher->enabled());
    EXPECT_EQ(switcher->relockLeadMsOverride(), 900);
    EXPECT_DOUBLE_EQ(switcher->quietWindowSec(), 6.0);
    EXPECT_DOUBLE_EQ(switcher->quietThresholdDb(), -60);
    EXPECT_DOUBLE_EQ(switcher->quietHoldSec(), 0.8);
    EXPECT_DOUBLE_EQ(switcher->pausePointSec(), 1.2);
    EXPECT_FALSE(switcher->fadeExtendPause());
    EXPECT_EQ(switcher->handOverDelayMs(), 300);
    EXPECT_EQ(switcher->boundaryMode(), RateSwitcher::BoundaryMode::lead);
    EXPECT_FALSE(switcher->audioTapEnabled());
    settings->sync();
    EXPECT_FALSE(store()->contains("switcher.firstNoteProtection"));

    // Read once: a later change in the store is not picked up by the running engine.
    settings->setValue("switcher.quietWindowSec", 2.0);
    EXPECT_DOUBLE_EQ(switcher->quietWindowSec(), 6.0);
}

TEST_F(EngineSettings, ValuesOfTheWrongKindFallBackToTheDefaults)
{
    auto settings = store();
    settings->setValue("switcher.boundaryMode", "sideways");
    settings->setValue("switcher.quietWindowSec", "soon");
    settings->setValue("switcher.fadeExtendPause", "perhaps");
    settings->setValue("switcher.handOverDelayMs", "auto");
    settings->setValue("switcher.port", 70000);
    auto switcher = engine(settings.get());
    EXPECT_EQ(switcher->boundaryMode(), RateSwitcher::BoundaryMode::stop);
    EXPECT_DOUBLE_EQ(switcher->quietWindowSec(), 4.5);
    EXPECT_TRUE(switcher->fadeExtendPause());
    EXPECT_EQ(switcher->handOverDelayMs(), std::nullopt);
    EXPECT_EQ(switcher->port(), std::nullopt);

    for (const auto mode : {RateSwitcher::BoundaryMode::stop, RateSwitcher::BoundaryMode::pause,
                            RateSwitcher::BoundaryMode::lead, RateSwitcher::BoundaryMode::none})
        EXPECT_EQ(RateSwitcher::boundaryModeFromText(RateSwitcher::boundaryModeText(mode)), mode);
    EXPECT_EQ(RateSwitcher::boundaryModeFromText(QStringLiteral("Pause")), RateSwitcher::BoundaryMode::stop);
}

TEST_F(EngineSettings, EverySetterWritesItsKeyBack)
{
    auto settings = store();
    auto switcher = engine(settings.get());
    int changes = 0;
    switcher->onChange = [&changes] { ++changes; };
    switcher->setRelockLeadMsOverride(750);
    switcher->setQuietWindowSec(3.5);
    switcher->setQuietThresholdDb(-48);
    switcher->setQuietHoldSec(0.25);
    switcher->setPausePointSec(0.9);
    switcher->setFadeExtendPause(false);
    switcher->setHandOverDelayMs(400);
    switcher->setBoundaryMode(RateSwitcher::BoundaryMode::pause);
    switcher->setAudioTapEnabled(false);
    EXPECT_EQ(changes, 9);
    settings->sync();

    auto reread = store();
    EXPECT_EQ(reread->value("switcher.relockLeadMsOverride").toInt(), 750);
    EXPECT_DOUBLE_EQ(reread->value("switcher.quietWindowSec").toDouble(), 3.5);
    EXPECT_DOUBLE_EQ(reread->value("switcher.quietThresholdDb").toDouble(), -48);
    EXPECT_DOUBLE_EQ(reread->value("switcher.quietHoldSec").toDouble(), 0.25);
    EXPECT_DOUBLE_EQ(reread->value("switcher.pausePointSec").toDouble(), 0.9);
    EXPECT_FALSE(reread->value("switcher.fadeExtendPause").toBool());
    EXPECT_EQ(reread->value("switcher.handOverDelayMs").toInt(), 400);
    EXPECT_EQ(reread->value("switcher.boundaryMode").toString(), QStringLiteral("pause"));
    EXPECT_FALSE(reread->value("switcher.audioTap").toBool());

    // "Automatic" and "no override" are the absence of the key.
    switcher->setHandOverDelayMs(std::nullopt);
    switcher->setRelockLeadMsOverride(std::nullopt);
    settings->sync();
    EXPECT_FALSE(store()->contains("switcher.handOverDelayMs"));
    EXPECT_FALSE(store()->contains("switcher.relockLeadMsOverride"));
}

TEST_F(EngineSettings, TheConfiguredPortReachesTheLink)
{
    // Find a port that is free right now, then ask the engine to listen there.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();

    auto settings = store();
    settings->setValue("switcher.port", port);
    auto switcher = engine(settings.get());
    EXPECT_EQ(switcher->port(), port);
    int changes = 0;
    switcher->onChange = [&changes] { ++changes; };
    switcher->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !std::holds_alternative<SwitcherLink::Idle>(switcher->link().state()); }, 5000));
    EXPECT_EQ(switcher->link().state(), SwitcherLink::State(SwitcherLink::Listening{port}));
    EXPECT_GE(changes, 1);
}

TEST_F(EngineSettings, RelockLeadIsTheRelockTimeMinusTheFastestStart)
{
    auto settings = store();
    auto switcher = engine(settings.get());
    PlaybackHistory &history = switcher->history();

    // Fewer than five plays with a start time: nothing to go on.
    for (qint64 ms : {430, 900, 1000, 1100})
        history.append(startedIn(ms));
    history.append(startedIn(std::nullopt));
    history.append(startedIn(0));
    EXPECT_EQ(switcher->relockLeadMs(), 0);

    history.append(startedIn(800));
    EXPECT_EQ(switcher->relockLeadMs(), 800); // 1200 - 430 = 770, to the nearest 100

    switcher->setRelockLeadMsOverride(0); // below 1 ms: the default relock time
    EXPECT_EQ(switcher->relockLeadMs(), 800);
    switcher->setRelockLeadMsOverride(2000);
    EXPECT_EQ(switcher->relockLeadMs(), 1600); // 1570
    switcher->setRelockLeadMsOverride(480);
    EXPECT_EQ(switcher->relockLeadMs(), 100); // 50 rounds up
    switcher->setRelockLeadMsOverride(300);
    EXPECT_EQ(switcher->relockLeadMs(), 0); // never below zero

    // Only the newest 25 start times count: the fast 430 ms play falls out of the window.
    switcher->setRelockLeadMsOverride(std::nullopt);
    for (int i = 0; i < 25; ++i)
        history.append(startedIn(1000));
    EXPECT_EQ(switcher->relockLeadMs(), 200);
}
