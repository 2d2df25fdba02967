// The explainer's derived values without a window: the sentences and labels, the answer and
// output menus as data, the lit step and its track, the latest play line, the recent plays
// with their tints and the hover rules.

#include "ExplainerFixtures.h"
#include "RateLibraryFixtures.h"

#include "RateLibrary/Explainer/ExplainerModel.h"

#include <gtest/gtest.h>

using namespace RateLibrary;
using HistoryFixtures::minutesAfterNoon;
using HistoryFixtures::play;
using SwitcherProtocol::MusicQuality;

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);

MusicQuality withAtmos(std::optional<QString> word)
{
    return {true, 2, true, std::move(word)};
}

QList<PlayEntry> historyOf(const QList<std::optional<QString>> &sources)
{
    QList<PlayEntry> plays;
    for (const auto &source : sources)
        plays.append(play(QStringLiteral("Song"), QStringLiteral("Artist"), 44100, source, 44100));
    return plays;
}

} // namespace

TEST(ExplainerConditions, musicSettingTableCoversEveryTierWord)
{
    const QString inForce = "Every step below answers for the setting in force, but ";
    const QString filed = " — rates are filed by what actually plays.";
    const auto takenUnder = [](const QString &setting) {
        return "Every step below answers for this setting: a confirmed rate, an album’s rate and "
               "the catalog’s rendition are all taken under " +
               setting + ". Rates confirmed under other settings are kept, not used.";
    };
    const std::tuple<std::optional<MusicQuality>, QString, QString> cases[] = {
        {std::nullopt, "Not readable", inForce + "Music.app’s audio quality setting can’t be read" + filed},
        {MusicQuality{false, 1, false, {}}, "Lossless off (AAC)",
         "Every step below answers for this setting: tracks stream as AAC, and only rates confirmed "
         "under it are used. Lossless rates are kept for when you switch back."},
        {MusicQuality{true, 2, true, {}}, "Hi-Res Lossless", takenUnder("Hi-Res Lossless (up to 192 kHz)")},
        {MusicQuality{true, 1, false, {}}, "Lossless", takenUnder("Lossless (up to 48 kHz)")},
        {MusicQuality{true, 7, std::nullopt, {}}, "Lossless, tier 7",
         inForce + "this quality tier isn’t recognised" + filed},
    };
    for (const auto &[quality, value, sentence] : cases) {
        EXPECT_EQ(musicSettingValue(quality), value);
        EXPECT_EQ(musicSettingSentence(quality), sentence) << value.toStdString();
    }
}

TEST(ExplainerConditions, atmosAnswerLabelSentenceAndCheckMarkFollowTheRecord)
{
    const QString start = "Applies to Dolby Atmos tracks only. ";
    const QString mix =
        "This output plays the Atmos mix, which is always 48 kHz — so that is the prediction for "
        "every Atmos track here. ";
    const QString stereo =
        "This output can’t play the Atmos mix, so Music.app plays the track’s lossless stereo "
        "version instead — the steps below predict that version’s rate. ";
    const QString unknown = "Not yet known whether this output plays the Atmos mix (48 kHz) or the lossless "
                            "stereo version instead. The first Atmos track you play settles it — or choose.";
    struct Case {
        std::optional<Output> record;
        QString label;
        int choice;
        QString sentence;
    };
    const Case cases[] = {
        {std::nullopt, "Learn from plays", 0, start + unknown},
        {Output{"o", {}, {}}, "Learn from plays", 0, start + unknown},
        {Output{"o", false, true}, "Dolby Atmos–compatible", 1, start + mix + "Your choice."},
        {Output{"o", true, {}}, "Dolby Atmos–compatible", 0, start + mix + "Learned from plays."},
        {Output{"o", true, false}, "Not Dolby Atmos–compatible", 2, start + stereo + "Your choice."},
        {Output{"o", false, {}}, "Not Dolby Atmos–compatible", 0, start + stereo + "Learned from plays."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sentence.toStdString());
        const auto answer = atmosAnswer(c.record);
        EXPECT_EQ(atmosAnswerLabel(answer), c.label);
        EXPECT_EQ(atmosAnswerChoice(c.record), c.choice);
        // Unreadable, unset and unknown Atmos words all leave the output to answer.
        for (const std::optional<MusicQuality> &q :
             {std::optional<MusicQuality>(), std::optional(withAtmos({})), std::optional(withAtmos("auto")),
              std::optional(withAtmos("sometimes"))}) {
            EXPECT_TRUE(atmosQuestionApplies(q));
            EXPECT_EQ(atmosAnswerSentence(q, answer), c.sentence);
        }
        // Music.app's own setting decides for every output.
        EXPECT_FALSE(atmosQuestionApplies(withAtmos("always")));
        EXPECT_FALSE(atmosQuestionApplies(withAtmos("off")));
        EXPECT_EQ(
            atmosAnswerSentence(withAtmos("always"), answer),
            start + "Music.app’s Dolby Atmos setting is Always On, so the Atmos mix (always 48 kHz) plays on "
                    "every output — predicted without asking.");
        EXPECT_EQ(atmosAnswerSentence(withAtmos("off"), answer),
                  start +
                      "Music.app’s Dolby Atmos setting is Off, so the lossless stereo version plays on every "
                      "output — predicted like any other track.");
    }
    EXPECT_TRUE(atmosQuestionApplies(withAtmos("Always"))); // the words are compared exactly
}

TEST(ExplainerConditions, answerMenuSendsForTheOutputChosenWhenAnItemIsChosen)
{
    QStringList sent;
    const AtmosCommands commands{
        [&](const QString &uid, std::optional<bool> answer) {
            sent.append("setDeviceAtmos " + uid + " " +
                        (answer ? (*answer ? QStringLiteral("true") : QStringLiteral("false")) : "absent"));
        },
        [&](const QString &uid) { sent.append("resetOutput " + uid); },
    };
    std::optional<QString> uidNow = QStringLiteral("first");
    const auto now = [&] { return uidNow; };

    const MenuItems learned = atmosAnswerMenu(Output{"first", false, true}, now, commands);
    EXPECT_EQ(RateLibraryFixtures::titles(learned),
              QStringList({"Learn from plays", "Dolby Atmos–compatible — the Atmos mix plays, always 48 kHz",
                           "Not Dolby Atmos–compatible — the lossless stereo version plays instead", "---",
                           "Forget what plays learned"}));
    EXPECT_TRUE(learned[1].checked);
    EXPECT_FALSE(learned[0].checked || learned[2].checked);
    uidNow = QStringLiteral("picked since"); // worked out afresh when chosen
    for (int i : {0, 1, 2, 4})
        learned[i].action();
    EXPECT_EQ(sent, QStringList({"setDeviceAtmos picked since absent", "setDeviceAtmos picked since true",
                                 "setDeviceAtmos picked since false", "resetOutput picked since"}));

    // Nothing learned: the picker alone, checked on "Learn from plays" even with no record.
    for (const std::optional<Output> &record :
         {std::optional(Output{"first", {}, {}}), std::optional<Output>()}) {
        const MenuItems items = atmosAnswerMenu(record, now, commands);
        ASSERT_EQ(items.size(), 3);
        EXPECT_TRUE(items[0].checked);
    }
    // No output chosen at the moment of choosing: nothing is sent.
    sent.clear();
    uidNow.reset();
    for (const MenuItem &item : learned)
        if (item.action)
            item.action();
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_EQ(atmosOutputForChoice(7), false); // any other tag counts as "not compatible"
}

TEST(ExplainerConditions, outputControlIsAMenuANameOrNoOutput)
{
    QStringList picked;
    const auto pick = [&](const QString &uid) { picked.append(uid); };
    const QList<std::pair<QString, QString>> three = {
        {"a", "Speakers"}, {"b", "DacMagic 200M"}, {"c", "Denon"}};

    OutputControl control = outputControl(three, QStringLiteral("b"), pick);
    EXPECT_EQ(control.kind, OutputControl::Kind::menu);
    EXPECT_EQ(control.label, "DacMagic 200M");
    MenuItems items = control.items();
    EXPECT_EQ(RateLibraryFixtures::titles(items), QStringList({"Speakers", "DacMagic 200M", "Denon"}));
    EXPECT_EQ(QList<bool>({items[0].checked, items[1].checked, items[2].checked}),
              QList<bool>({false, true, false}));
    items[2].action();
    EXPECT_EQ(picked, QStringList{"c"});

    // A picked output the companion no longer lists: the first name, nothing checked.
    control = outputControl(three, QStringLiteral("gone"), pick);
    EXPECT_EQ(control.label, "Speakers");
    items = control.items();
    EXPECT_TRUE(std::none_of(items.begin(), items.end(), [](const auto &i) { return i.checked; }));

    control = outputControl(QList<std::pair<QString, QString>>{{"a", "Speakers"}}, QStringLiteral("a"), pick);
    EXPECT_EQ(control.kind, OutputControl::Kind::name);
    EXPECT_EQ(control.label, "Speakers");
    control = outputControl({}, std::nullopt, pick);
    EXPECT_EQ(control.kind, OutputControl::Kind::none);
    EXPECT_EQ(control.label, "No output");
}

TEST(ExplainerPredictionOrder, stepsOneAndTwoAreCertainTheRestPredicted)
{
    EXPECT_EQ(QStringList({stepBadge(1), stepBadge(2), stepBadge(3), stepBadge(4), stepBadge(5)}),
              QStringList({"CERTAIN", "CERTAIN", "PREDICTED", "PREDICTED", "PREDICTED"}));
}

TEST(ExplainerPredictionOrder, theHoveredRowLightsItsStepElseTheLatestPlayDoes)
{
    // Oldest first: step 3, step 5, no step, step 2 (the latest).
    const QList<PlayEntry> history =
        historyOf({"catalog/album", "catalog/tags-guess", "catalog/mystery", "a/learned"});
    EXPECT_EQ(litStep({}, std::nullopt), std::nullopt);
    EXPECT_EQ(litStep(history, std::nullopt), 2);
    EXPECT_EQ(hoveredStep(history, history[0].id), 3);
    EXPECT_EQ(litStep(history, history[0].id), 3);
    EXPECT_EQ(litStep(history, history[1].id), 5);
    // A row whose play names no step, or a play that left the history, lights the latest play's.
    EXPECT_EQ(hoveredStep(history, history[2].id), std::nullopt);
    EXPECT_EQ(litStep(history, history[2].id), 2);
    EXPECT_EQ(litStep(history, QUuid::createUuid()), 2);
    EXPECT_EQ(litStep(historyOf({"a/learned", "catalog/mystery"}), std::nullopt), std::nullopt);
}

TEST(ExplainerPredictionOrder, accentLineRunsFromDiscOneToTheLitStep)
{
    const qreal width = 1000; // discs at 100, 300, 500, 700, 900
    EXPECT_EQ(stepTrack(width, std::nullopt).base, QLineF(100, 11, 900, 11));
    EXPECT_FALSE(stepTrack(width, std::nullopt).accent);
    EXPECT_FALSE(stepTrack(width, 1).accent); // the lit disc alone shows step 1
    for (int step = 2; step <= 5; ++step) {
        const auto accent = stepTrack(width, step).accent;
        ASSERT_TRUE(accent);
        EXPECT_EQ(*accent, QLineF(100, 11, 200.0 * step - 100, 11)) << step;
    }
}

TEST(ExplainerLatestPlay, summarySaysWhatWasPredictedWhatPlayedAndHowItEnded)
{
    const QDateTime now = minutesAfterNoon(60);
    const auto summary = [&](const PlayEntry &entry) { return latestPlaySummary(&entry, now, english); };
    EXPECT_EQ(latestPlaySummary(nullptr, now, english),
              "No plays yet — play a track through Music.app and it appears here with its prediction.");

    PlayEntry entry =
        play("Pyramid Song", "Radiohead", 44100, "catalog/learned", 48000, std::nullopt, "hires", 1500);
    EXPECT_EQ(summary(entry),
              "Pyramid Song — 44.1 kHz from step 2, Confirmed playback rate, under Hi-Res Lossless · "
              "played at 48 kHz · Music.app took 1.5 s to start it");
    entry.outcome = QStringLiteral("rewritten");
    entry.at = now.addSecs(-3 * 3600);
    entry.playedAt = now.addSecs(-2 * 60); // the play's start, not the prediction's, is its time
    EXPECT_EQ(summary(entry),
              "Pyramid Song — 44.1 kHz from step 2, Confirmed playback rate, under Hi-Res Lossless · "
              "played at 48 kHz · Music.app took 1.5 s to start it · Rewritten · remembered 2 "
              "minutes ago");
    entry.playedAt.reset();
    entry.outcome.reset();
    entry.corrected = true;
    entry.musicStartMs.reset();
    EXPECT_EQ(summary(entry),
              "Pyramid Song — 44.1 kHz from step 2, Confirmed playback rate, under Hi-Res Lossless · "
              "played at 48 kHz · Corrected mid-track 3 hours ago");

    // Setting-independent or unknown tiers leave out the setting; a rate as predicted leaves out
    // what played.
    for (const std::optional<QString> &tier :
         {std::optional<QString>("any"), std::optional<QString>("file"), std::optional<QString>()}) {
        PlayEntry pinned = play("Takk", "Sigur Rós", 96000, "library/file", 96000);
        pinned.tier = tier;
        EXPECT_EQ(summary(pinned), "Takk — 96 kHz from step 1, Fixed rate");
    }
    EXPECT_EQ(summary(play("Takk", "Sigur Rós", 96000, "x/album", std::nullopt, std::nullopt, "lossless")),
              "Takk — 96 kHz from step 3, Same album, under Lossless");

    // Nothing predicted.
    PlayEntry bare = play("Jóga", "Björk", std::nullopt, std::nullopt, 44100);
    EXPECT_EQ(summary(bare), "Jóga — playing at 44.1 kHz · nothing was predicted");
    bare.note = QStringLiteral("the companion was not paired");
    EXPECT_EQ(summary(bare), "Jóga — playing at 44.1 kHz · no prediction: the companion was not paired");
    bare.playedRate.reset();
    EXPECT_EQ(summary(bare), "Jóga — no prediction: the companion was not paired");
    // A rate whose source names no step is still a prediction.
    PlayEntry unknownStep = play("Jóga", "Björk", 44100, "catalog/mystery", 48000, std::nullopt, "hires");
    EXPECT_EQ(summary(unknownStep), "Jóga — 44.1 kHz predicted, under Hi-Res Lossless · played at 48 kHz");
    unknownStep.tier.reset();
    unknownStep.playedRate.reset();
    EXPECT_EQ(summary(unknownStep), "Jóga — 44.1 kHz predicted");
}

TEST(ExplainerRecentPlays, theEightNewestNewestFirstWithTheirCellsAndTints)
{
    QList<PlayEntry> twenty;
    for (int i = 0; i < 20; ++i)
        twenty.append(play(QString::number(i), "Artist", 44100, i % 2 ? "a/album" : "a/learned", 44100));
    const QList<PlayEntry> recent = recentPlays(twenty);
    EXPECT_EQ(HistoryFixtures::titles(recent), QStringList({"19", "18", "17", "16", "15", "14", "13", "12"}));
    EXPECT_EQ(HistoryFixtures::titles(recentPlays(twenty.mid(0, 3))), QStringList({"2", "1", "0"}));
    EXPECT_EQ(recentPlaysFooter(recent.size()), "Last 8 plays. Hover a row to light its step above.");

    // The newest row keeps its accent tint, though its step is the hovered one; every other play of
    // that step is tinted.
    const auto latest = std::optional(twenty.last().id);
    const std::optional<int> hovered = hoveredStep(twenty, recent[2].id); // "17": step 3, as "19"
    QList<RowTint> tints;
    for (const PlayEntry &entry : recent)
        tints.append(recentPlayRowTint(entry, latest, hovered));
    using T = RowTint;
    EXPECT_EQ(tints, QList<RowTint>({T::latest, T::none, T::sameStep, T::none, T::sameStep, T::none,
                                     T::sameStep, T::none}));
    EXPECT_EQ(recentPlayRowTint(recent[1], latest, std::nullopt), RowTint::none);

    // Headers in the locale's capitals; the last column takes the rest of the row.
    QStringList headers;
    for (const RecentPlayColumnInfo &info : recentPlayColumns())
        headers.append(recentPlayHeader(info, english));
    EXPECT_EQ(headers, QStringList({"TIME", "TRACK", "PREDICTED", "FROM", "PLAYED", "LOAD", "OUTCOME"}));
    EXPECT_EQ(recentPlayHeader(recentPlayColumns()[1], QLocale(QLocale::Turkish)), "TRACK");
    EXPECT_EQ(recentPlayColumnWidths(1000), QList<int>({52, 250, 90, 200, 70, 50, 288}));
    EXPECT_EQ(recentPlayColumnWidths(600).last(), 0);
}

TEST(ExplainerRecentPlays, hoverMovesStraightIntoTheNextRowAndLeavesOnTheLatestPlayLine)
{
    const QUuid a = QUuid::createUuid();
    const QUuid b = QUuid::createUuid();
    // Into the next row: entering it comes first, leaving the first one then changes nothing.
    std::optional<QUuid> hovered = b;
    hovered = hoverAfterLeaving(hovered, a);
    EXPECT_EQ(hovered, b);
    // The other order: leaving the first row clears it before the next is entered.
    EXPECT_EQ(hoverAfterLeaving(a, a), std::nullopt);
    // Leaving the row that is hovered clears it.
    EXPECT_EQ(hoverAfterLeaving(hovered, b), std::nullopt);

    EXPECT_EQ(latestStripCorners(false), (StripCorners{6, 6}));
    EXPECT_EQ(latestStripCorners(true), (StripCorners{6, 0}));
}
