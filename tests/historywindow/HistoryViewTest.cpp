// The history window's rules without a window: which plays each filter keeps (rows newest
// first), what the search looks at, and the footer's counts.

#include "HistoryFixtures.h"
#include "PlaybackHistory/PlaybackHistoryTableModel.h"
#include "PlaybackHistory/PlaybackHistoryWindowView.h"

#include <gtest/gtest.h>

using namespace HistoryFixtures;
using View = PlaybackHistoryWindowView;
using Filter = View::Filter;

namespace {

QStringList shown(const QList<Entry> &history, Filter filter, const QString &search = {})
{
    View view;
    view.filter = filter;
    view.search = search;
    return titles(view.visibleEntries(history));
}

// One right play per source, titled by its source ("(none)" without one).
QList<Entry> bySource(const QList<std::optional<QString>> &sources)
{
    QList<Entry> plays;
    for (const auto &source : sources)
        plays.append(play(source.value_or("(none)"), "Artist", 44100, source, 44100));
    return inOrder(plays);
}

} // namespace

TEST(HistoryView, PinsLooksOnlyAtTheLastSegmentOfTheSource)
{
    const auto history =
        bySource({"pinned", "library/pinned", "library/pinned/", "//pinned//", "pinned/learned",
                  "library/unpinned", "library/Pinned", "///", "", std::nullopt});
    EXPECT_EQ(shown(history, Filter::pins),
              (QStringList{"//pinned//", "library/pinned/", "library/pinned", "pinned"}));
}

TEST(HistoryView, EstimatesAreStepFiveAndNoPredictionIsAMissingRate)
{
    QList<Entry> history = bySource({"catalog/tags-guess", "derived", "tags+ladder", "album", std::nullopt});
    history.append(play("nothing predicted", "A", std::nullopt, "tags-guess", 44100));
    history.append(play("zero prediction", "A", 0.0, "tags-guess", 44100));
    history = inOrder(history);
    // Estimates go by the source alone; "No prediction" by the rate alone.
    EXPECT_EQ(shown(history, Filter::estimates),
              (QStringList{"zero prediction", "nothing predicted", "derived", "catalog/tags-guess"}));
    EXPECT_EQ(shown(history, Filter::none), QStringList{"nothing predicted"});
    EXPECT_EQ(View::label(Filter::none), "No prediction");
}

TEST(HistoryView, DifferedKeepsWrongPredictionsAndCorrectedPlays)
{
    // The settled rate decides when there is one, whatever the opening step played.
    Entry settledDiffers = play("settled differs", "A", 44100, "album", 44100);
    settledDiffers.outcomeRate = 88200;
    Entry settledAgrees = play("opening step differs", "A", 96000, "tags+ladder", 48000);
    settledAgrees.outcomeRate = 96000;
    const QList<Entry> history = inOrder({
        play("played wrong", "A", 44100, "tags-guess", 48000),
        play("within half a hertz", "A", 44100.4, "learned", 44100),
        play("never played", "A", 44100, "learned", std::nullopt),
        play("no prediction", "A", std::nullopt, std::nullopt, 48000),
        corrected(play("corrected", "A", 44100, "learned", 44100, "learned")),
        corrected(play("corrected without prediction", "A", std::nullopt, std::nullopt, 48000)),
        settledDiffers,
        settledAgrees,
    });
    EXPECT_EQ(shown(history, Filter::differed),
              (QStringList{"settled differs", "corrected without prediction", "corrected", "played wrong"}));
}

TEST(HistoryView, SearchLooksAtTitleAndArtistOnly)
{
    Entry hidden = play("Freddie Freeloader", "Miles Davis", 44100, "library/pinned", 44100, "learned");
    hidden.album = "Kind of Blue";
    hidden.tier = "hires";
    const QList<Entry> history = inOrder({
        play("Blue in Green", "Miles Davis", 44100, "pinned", 44100),
        play("So What", "The Blue Notes", 48000, "album", 48000),
        hidden,
    });
    const QStringList blue = {"So What", "Blue in Green"};
    EXPECT_EQ(shown(history, Filter::all, "blue"), blue);
    EXPECT_EQ(shown(history, Filter::all, "  BLUE\t"), blue) << "capitals, trimmed";
    EXPECT_EQ(shown(history, Filter::all, "davis"), (QStringList{"Freddie Freeloader", "Blue in Green"}));
    EXPECT_EQ(shown(history, Filter::pins, "blue"), QStringList{"Blue in Green"}) << "with a filter";
    for (const char *blank : {"", "   ", "\t ", "\u00a0"})
        EXPECT_EQ(shown(history, Filter::all, QString::fromUtf8(blank)).size(), 3) << "blank: " << blank;
    // Never the album, the setting, the source, the outcome; a line break stays in the query.
    for (const char *elsewhere : {"kind of", "hires", "hi-res", "pinned", "learned", "44", "blue\n"})
        EXPECT_EQ(shown(history, Filter::all, QString::fromUtf8(elsewhere)), QStringList{}) << elsewhere;
}

// The first count is of the plays shown; the other two always cover every stored play.
TEST(HistoryView, SummaryCountsEveryPlayWhateverIsShown)
{
    const QList<Entry> history = {
        play("learned", "A", 44100, "learned", 44100, "learned"),
        play("rewritten and wrong", "A", 44100, "album", 48000, "rewritten"),
        play("other outcome", "A", 44100, "album", 44100, "kept"),
        play("no outcome", "A", std::nullopt, std::nullopt, 44100),
        corrected(play("corrected", "A", 44100, "learned", 44100)),
    };
    const QString counts = " · 2 differed from the prediction · 2 remembered by the Rate Library";
    EXPECT_EQ(View::summaryText(history, 5), "5 plays" + counts);
    EXPECT_EQ(View::summaryText(history, 0), "0 of 5 plays" + counts);
    EXPECT_EQ(View::summaryText({}, 0),
              "0 plays · 0 differed from the prediction · 0 remembered by the Rate Library");
}
