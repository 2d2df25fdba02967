// The engine's settings in the settings store, and the automatic Delay Added.
#include "HistoryFixtures.h"
#include "RateSwitcher.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr const char *defaults = R"({"enabled": true, "port": null, "relockLeadMsOverride": null,
    "quietWindowSec": 4.5, "quietThresholdDb": -55, "quietHoldSec": 0.4, "pausePointSec": 0.4,
    "fadeExtendPause": true, "handOverDelayMs": null, "boundaryMode": "stop", "audioTap": true})";

std::string normalized(const char *json)
{
    return QJsonDocument::fromJson(json).toJson(QJsonDocument::Compact).toStdString();
}

// Every setting as the engine holds it, named by its key without the "switcher." prefix.
std::string snapshot(const RateSwitcher &s)
{
    const auto whole = [](std::optional<int> v) { return v ? QJsonValue(*v) : QJsonValue(); };
    const QJsonObject o{{"enabled", s.enabled()},
                        {"port", whole(s.port())},
                        {"relockLeadMsOverride", whole(s.relockLeadMsOverride())},
                        {"quietWindowSec", s.quietWindowSec()},
                        {"quietThresholdDb", s.quietThresholdDb()},
                        {"quietHoldSec", s.quietHoldSec()},
                        {"pausePointSec", s.pausePointSec()},
                        {"fadeExtendPause", s.fadeExtendPause()},
                        {"handOverDelayMs", whole(s.handOverDelayMs())},
                        {"boundaryMode", RateSwitcher::boundaryModeText(s.boundaryMode())},
                        {"audioTap", s.audioTapEnabled()}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

class EngineSettings : public ::testing::Test {
protected:
    // Writes each member of `json` under its "switcher." key.
    void store(const char *json)
    {
        const QJsonObject values = QJsonDocument::fromJson(json).object();
        for (auto it = values.begin(); it != values.end(); ++it)
            settings->setValue("switcher." + it.key(), it.value().toVariant());
    }
    std::unique_ptr<RateSwitcher> engine(QSettings *from = nullptr) const
    {
        return std::make_unique<RateSwitcher>(from ? from : settings.get(), dir.filePath("history.json"),
                                              dir.path());
    }

    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings =
        std::make_unique<QSettings>(dir.filePath("settings.ini"), QSettings::IniFormat);
};

} // namespace

TEST_F(EngineSettings, AnEmptyStoreOrValuesOfTheWrongKindGiveTheDefaults)
{
    EXPECT_EQ(snapshot(*engine()), normalized(defaults));
    store(R"({"boundaryMode": "Pause", "quietWindowSec": "soon", "fadeExtendPause": "perhaps",
              "handOverDelayMs": "auto", "port": 70000})");
    EXPECT_EQ(snapshot(*engine()), normalized(defaults));
}

TEST_F(EngineSettings, ReadsStoredValuesOnceAndDropsTheOldKey)
{
    const char *stored = R"({"enabled": false, "port": 40305, "relockLeadMsOverride": 900,
        "quietWindowSec": 6, "quietThresholdDb": -60, "quietHoldSec": 0.8, "pausePointSec": 1.2,
        "fadeExtendPause": false, "handOverDelayMs": 300, "boundaryMode": "lead", "audioTap": false})";
    store(stored);
    settings->setValue("switcher.firstNoteProtection", true);
    const auto switcher = engine();
    settings->setValue("switcher.quietWindowSec", 2.0); // read once: not picked up
    EXPECT_EQ(snapshot(*switcher), normalized(stored));
    EXPECT_FALSE(settings->contains("switcher.firstNoteProtection"));
}

TEST_F(EngineSettings, EverySetterWritesItsKeyBack)
{
    auto switcher = engine();
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
    QSettings reread(dir.filePath("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(snapshot(*engine(&reread)),
              normalized(R"({"enabled": true, "port": null, "relockLeadMsOverride": 750,
        "quietWindowSec": 3.5, "quietThresholdDb": -48, "quietHoldSec": 0.25, "pausePointSec": 0.9,
        "fadeExtendPause": false, "handOverDelayMs": 400, "boundaryMode": "pause", "audioTap": false})"));

    // "Automatic" and "no override" are the absence of the key.
    switcher->setHandOverDelayMs(std::nullopt);
    switcher->setRelockLeadMsOverride(std::nullopt);
    EXPECT_FALSE(settings->contains("switcher.handOverDelayMs"));
    EXPECT_FALSE(settings->contains("switcher.relockLeadMsOverride"));
}

TEST_F(EngineSettings, RelockLeadIsTheRelockTimeMinusTheFastestStart)
{
    const auto switcher = engine();
    const auto started = [&](const QList<std::optional<qint64>> &ms) {
        HistoryFixtures::appendStarts(switcher->history(), ms);
    };
    // Fewer than five plays with a start time: nothing to go on. A play without one, or with a
    // negative one, does not count.
    started({430, 900, 1000, 1100, std::nullopt, -200});
    EXPECT_EQ(switcher->relockLeadMs(), 0);
    started({800});

    const std::vector<std::pair<std::optional<int>, int>> cases{
        {std::nullopt, 800}, // 1200 - 430 = 770, to the nearest 100
        {0, 800},            // below 1 ms: the default relock time
        {2000, 1600},        // 1570
        {480, 100},          // 50 rounds up
        {300, 0},            // never below zero
    };
    for (const auto &[relock, lead] : cases) {
        switcher->setRelockLeadMsOverride(relock);
        EXPECT_EQ(switcher->relockLeadMs(), lead) << relock.value_or(-1);
    }

    // A start of 0 ms is a start: the fastest there can be.
    switcher->setRelockLeadMsOverride(std::nullopt);
    started({0});
    EXPECT_EQ(switcher->relockLeadMs(), 1200);

    // Only the last 25 plays that have a start count: 25 newer ones push the 0 ms out.
    for (int i = 0; i < 25; ++i)
        started({1000 + i, std::nullopt});
    EXPECT_EQ(switcher->relockLeadMs(), 200);
}
