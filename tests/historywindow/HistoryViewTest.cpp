// The history window's rules without a window: which plays each filter keeps, what the search
// looks at, the order of the rows and the footer's counts.

#include "HistoryFixtures.h"
#include "PlaybackHistory/PlaybackHistoryWindowView.h"

#include <gtest/gtest.h>

using namespace HistoryFixtures;
using View = PlaybackHistoryWindowView;
using Filter = View::Filter;

namespace {

QStringList titles(const QList<Entry> &entries)
{
    QStringList list;
    for (const Entry &entry : entries)
        list.append(entry.title);
    return list;
}

QStringList shown(const QList<Entry> &history, Filter filter, const QString &search = {})
{
    View view;
    view.filter = filter;
    view.search = search;
    return titles(view.visibleEntries(history));
}

Entry withSource(const QString &title, std::optional<QString> source)
{
    return play(title, QStringLiteral("Artist"), 44100, std::move(source), 44100);
}

} // namespace

TEST(HistoryView, FilterRawValuesAreExactlyTheFive)
{
    QStringList raws;
    for (Filter filter : View::allFilters) {
        raws.append(View::rawValue(filter));
        EXPECT_EQ(View::filterFromRawValue(View::rawValue(filter)), filter);
    }
    EXPECT_EQ(raws, (QStringList{"all", "differed", "estimates", "pins", "none"}));
    EXPECT_EQ(View::label(Filter::none), "No prediction");
    for (const char *other : {"All", "", "pinned", "estimate", " none"})
        EXPECT_FALSE(View::filterFromRawValue(QString::fromUtf8(other))) << other;
}

TEST(HistoryView, RowsAreNewestFirstUnderEveryFilter)
{
    const QList<Entry> history = inOrder({
        play("one", "A", std::nullopt, std::nullopt, 44100),
        play("two", "A", 48000, "pinned", 48000),
        play("three", "A", std::nullopt, std::nullopt, std::nullopt),
        play("four", "A", 96000, "catalog/pinned", 96000),
    });
    EXPECT_EQ(shown(history, Filter::all), (QStringList{"four", "three", "two", "one"}));
    EXPECT_EQ(shown(history, Filter::pins), (QStringList{"four", "two"}));
    EXPECT_EQ(shown(history, Filter::none), (QStringList{"three", "one"}));
}

TEST(HistoryView, PinsLooksOnlyAtTheLastPieceOfTheSource)
{
    const QList<Entry> history = {
        withSource("plain", "pinned"),
        withSource("nested", "library/pinned"),
        withSource("trailing slash", "library/pinned/"),
        withSource("doubled slashes", "//pinned//"),
        withSource("earlier piece", "pinned/learned"),
        withSource("inside a word", "library/unpinned"),
        withSource("capitals", "library/Pinned"),
        withSource("only slashes", "///"),
        withSource("empty", ""),
        withSource("no source", std::nullopt),
    };
    EXPECT_EQ(shown(history, Filter::pins),
              (QStringList{"doubled slashes", "trailing slash", "nested", "plain"}));
}

TEST(HistoryView, DifferedKeepsWrongPredictionsAndCorrectedPlays)
{
    Entry rightButCorrected = play("corrected", "A", 44100, "learned", 44100, "learned");
    rightButCorrected.corrected = true;
    Entry noPredictionCorrected =
        play("corrected without prediction", "A", std::nullopt, std::nullopt, 48000);
    noPredictionCorrected.corrected = true;
    // The settled rate decides when there is one, whatever the opening step played.
    Entry settledDiffers = play("settled differs", "A", 44100, "album", 44100);
    settledDiffers.outcomeRate = 88200;
    Entry settledAgrees = play("opening step differs", "A", 96000, "tags+ladder", 48000);
    settledAgrees.outcomeRate = 96000;

    const QList<Entry> history = inOrder({
        play("played wrong", "A", 44100, "tags-guess", 48000),
        play("right", "A", 44100, "learned", 44100),
        play("within half a hertz", "A", 44100.4, "learned", 44100),
        play("never played", "A", 44100, "learned", std::nullopt),
        play("no prediction", "A", std::nullopt, std::nullopt, 48000),
        rightButCorrected,
        noPredictionCorrected,
        settledDiffers,
        settledAgrees,
    });
    EXPECT_EQ(shown(history, Filter::differed),
              (QStringList{"settled differs", "corrected without prediction", "corrected", "played wrong"}));
}

TEST(HistoryView, EstimatesAreStepFiveAndNoPredictionIsAMissingRate)
{
    Entry zeroPrediction = play("zero prediction", "A", 0.0, "tags-guess", 44100);
    const QList<Entry> history = inOrder({
        withSource("guess", "catalog/tags-guess"),
        withSource("derived", "derived"),
        withSource("ladder", "tags+ladder"),
        withSource("album", "album"),
        withSource("no source", std::nullopt),
        play("nothing predicted", "A", std::nullopt, "tags-guess", 44100),
        zeroPrediction,
    });
    // Estimates go by the source alone; "No prediction" by the rate alone.
    EXPECT_EQ(shown(history, Filter::estimates),
              (QStringList{"zero prediction", "nothing predicted", "derived", "guess"}));
    EXPECT_EQ(shown(history, Filter::none), (QStringList{"nothing predicted"}));
}

TEST(HistoryView, SearchLooksAtTitleAndArtistOnly)
{
    Entry hidden = play("Freddie Freeloader", "Miles Davis", 44100, "library/pinned", 44100, "learned");
    hidden.album = QStringLiteral("Kind of Blue");
    hidden.note = QStringLiteral("paired late");
    hidden.tier = QStringLiteral("hires");
    const QList<Entry> history = inOrder({
        play("Blue in Green", "Miles Davis", 44100, "learned", 44100),
        play("So What", "The Blue Notes", 48000, "album", 48000),
        hidden,
    });

    EXPECT_EQ(shown(history, Filter::all, "blue"), (QStringList{"So What", "Blue in Green"}));
    EXPECT_EQ(shown(history, Filter::all, "  BLUE\t"), (QStringList{"So What", "Blue in Green"}));
    EXPECT_EQ(shown(history, Filter::all, "davis"), (QStringList{"Freddie Freeloader", "Blue in Green"}));
    for (const char *elsewhere : {"kind of", "pinned", "learned", "hires", "hi-res", "paired", "44"})
        EXPECT_EQ(shown(history, Filter::all, QString::fromUtf8(elsewhere)), QStringList{}) << elsewhere;
}

TEST(HistoryView, BlankSearchMatchesEverythingButALineBreakIsText)
{
    const QList<Entry> history = inOrder({play("a", "x", 1, {}, 1), play("b", "y", 1, {}, 1)});
    for (const char *blank : {"", " ", "   ", "\t ", "\u00a0"})
        EXPECT_EQ(shown(history, Filter::all, QString::fromUtf8(blank)).size(), 2) << blank;
    // Only spaces and tabs are trimmed.
    EXPECT_EQ(shown(history, Filter::all, "a\n"), QStringList{});
    EXPECT_EQ(View::query("  Ünïcode Ärtist \t"), QString::fromUtf8("ünïcode ärtist"));
}

TEST(HistoryView, SearchAndFilterCombine)
{
    const QList<Entry> history = inOrder({
        play("Blue pinned", "A", 44100, "pinned", 44100),
        play("Blue learned", "A", 44100, "learned", 44100),
        play("Red pinned", "A", 44100, "pinned", 44100),
    });
    EXPECT_EQ(shown(history, Filter::pins, "blue"), QStringList{"Blue pinned"});
}

TEST(HistoryView, SummaryCountsEveryPlayWhateverIsShown)
{
    Entry corrected = play("corrected", "A", 44100, "learned", 44100);
    corrected.corrected = true;
    const QList<Entry> history = inOrder({
        play("learned", "A", 44100, "learned", 44100, "learned"),
        play("rewritten and wrong", "A", 44100, "album", 48000, "rewritten"),
        play("other outcome", "A", 44100, "album", 44100, "kept"),
        play("no outcome", "A", std::nullopt, std::nullopt, 44100),
        corrected,
    });
    EXPECT_EQ(View::summaryText(history, history.size()),
              "5 plays · 2 differed from the prediction · 2 remembered by the Rate Library");

    View view;
    view.filter = Filter::pins;
    const qsizetype visible = view.visibleEntries(history).size();
    EXPECT_EQ(View::summaryText(history, visible),
              "0 of 5 plays · 2 differed from the prediction · 2 remembered by the Rate Library");
    view.filter = Filter::all;
    view.search = QStringLiteral("wrong");
    EXPECT_EQ(View::summaryText(history, view.visibleEntries(history).size()),
              "1 of 5 plays · 2 differed from the prediction · 2 remembered by the Rate Library");
    EXPECT_EQ(View::summaryText({}, 0),
              "0 plays · 0 differed from the prediction · 0 remembered by the Rate Library");
}

TEST(HistoryView, ContentAndButtonsFollowTheStoreNotTheFilter)
{
    const QList<Entry> history = {play("a", "x", 1, {}, 1)};
    EXPECT_EQ(View::content({}, 0), View::Content::noPlays);
    EXPECT_FALSE(View::buttonsEnabled({}));
    EXPECT_EQ(View::content(history, 0), View::Content::nothingMatches);
    EXPECT_TRUE(View::buttonsEnabled(history));
    EXPECT_EQ(View::content(history, 1), View::Content::table);
}
