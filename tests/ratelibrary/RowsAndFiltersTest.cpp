#include "RateLibrary/RateLibraryRowText.h"
#include "RateLibraryFixtures.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace RateLibrary;
using namespace RateLibraryFixtures;

namespace {

struct Filters {
    TierFilter tier = TierFilter::all();
    KindFilter kind = KindFilter::all;
    double rate = 0;
    QString search = {};
};

LearnedRatesWindowView viewWith(const Filters &f)
{
    LearnedRatesWindowView view;
    view.tierFilter = f.tier;
    view.kindFilter = f.kind;
    view.rateFilter = f.rate;
    view.search = f.search;
    return view;
}

// Row ids in table order.
QStringList order(const LibraryInputs &in, const LearnedRatesWindowView &view)
{
    QStringList out;
    for (const Keyed &k : visibleRows(in, view))
        out.append(k.row->id);
    return out;
}

struct FilterCase {
    Filters filters;
    QStringList expected;
    std::optional<SwitcherProtocol::MusicQuality> quality = std::nullopt;
};

void expectShown(const QList<Row> &rows, std::initializer_list<FilterCase> cases)
{
    for (const FilterCase &c : cases) {
        SCOPED_TRACE(("search \"" + c.filters.search + "\" shows " + c.expected.join(',')).toStdString());
        QStringList shown = order(inputs(rows, c.quality), viewWith(c.filters));
        shown.sort();
        EXPECT_EQ(shown, c.expected);
    }
}

} // namespace

TEST(RateLibraryRows, tierFilterFollowsMusicAppsSettingAndAlwaysShowsSettingIndependentRows)
{
    const QStringList all = {"a", "b", "c", "d", "e", "f"};
    const Filters current{TierFilter::current()};
    expectShown(
        {row("a", "hires", 96000), row("b", "lossless", 44100), row("c", "aac", 44100),
         row("d", "unknown", 48000), row("e", "any", 48000), row("f", "file", 88200)},
        {
            // No setting known, or a lossless setting whose hi-res answer is unknown: every row.
            {current, all},
            {current, all, quality(true, std::nullopt, 7)},
            {current, {"b", "e", "f"}, quality(true, false)},
            {current, {"a", "e", "f"}, quality(true, true)},
            {current, {"c", "e", "f"}, quality(false, true)}, // lossless off is AAC whatever hi-res says
            {{TierFilter::tier("aac")}, {"c", "e", "f"}, quality(true, true)},
        });
}

TEST(RateLibraryRows, kindAndRateFilters)
{
    expectShown({row("learned", "lossless", 44100), pinned(row("pin", "lossless", 48000), 44100),
                 withSource(row("file", "file", 96000), "file"),
                 pinned(withSource(row("pinnedfile", "file", 88200), "file")),
                 withSource(row("imported", "lossless", 44100), "imported")},
                {
                    {{.kind = KindFilter::pinned}, {"pin", "pinnedfile"}},
                    {{.kind = KindFilter::learned}, {"imported", "learned"}},
                    {{.kind = KindFilter::files}, {"file", "pinnedfile"}},
                    {{.kind = KindFilter::all}, {"file", "imported", "learned", "pin", "pinnedfile"}},
                });
    // Whole hertz, halves rounded away from zero; the menu offers exact rates, the filter still rounds.
    expectShown({row("exact", "lossless", 48000), row("below4", "lossless", 47999.6),
                 row("below6", "lossless", 47999.4), row("half", "lossless", 47999.5),
                 row("cd", "lossless", 44100.4), row("cdHalf", "lossless", 44100.5)},
                {
                    {{.rate = 48000}, {"below4", "exact", "half"}},
                    {{.rate = 44100}, {"cd"}},
                    {{.rate = 44100.5}, {"cdHalf"}},
                    {{.rate = std::nan("")}, {}},
                });
}

TEST(RateLibraryRows, searchIsTrimmedOfSpacesAndTabsAndMatchesTitleArtistOrAlbum)
{
    auto track = [](const char *id, std::optional<QString> title, std::optional<QString> artist,
                    std::optional<QString> album) {
        Row r = row(id, "lossless", 44100, std::move(title));
        r.artist = std::move(artist);
        r.album = std::move(album);
        return r;
    };
    expectShown({track("night", "Dawn", "Artist", "Night in blue"), track("bare", {}, {}, {}),
                 track("split", "xxab", "cdyy", "zz")},
                {
                    {{.search = "  Blue "}, {"night"}},
                    {{.search = "\tBLUE\t"}, {"night"}},
                    {{.search = "blue\n"}, {}}, // line breaks are not trimmed
                    {{.search = "   "}, {"bare", "night", "split"}},
                    // A match never runs from one field into the next.
                    {{.search = "abcd"}, {}},
                    {{.search = "cdyy"}, {"split"}},
                });
}

TEST(RateLibraryRows, oneTrackUnderTwoSettingsGivesTwoKeyedIdsAndRateChoicesIgnoreKindAndSearch)
{
    auto two = inputs({row("abc", "lossless", 44100), row("abc", "hires", 96000)});
    const std::vector<Keyed> keyed = visibleRows(two, viewWith({}));
    ASSERT_EQ(keyed.size(), 2u);
    EXPECT_EQ(QSet<QString>({keyed[0].id(), keyed[1].id()}), QSet<QString>({"abc|lossless", "abc|hires"}));
    EXPECT_EQ(two.library->rowForKeyedId("abc|hires"), 1);
    EXPECT_EQ(two.library->rowForKeyedId("abc|aac"), -1);

    auto in =
        inputs({row("a", "lossless", 44100.5), row("b", "lossless", 44100), row("c", "file", 48000),
                pinned(row("p", "lossless", 96000)), row("d", "lossless", 44100), row("o", "hires", 192000)},
               quality(true, false));
    LearnedRatesWindowView view =
        viewWith({TierFilter::current(), KindFilter::files, 48000, "nothing matches"});
    EXPECT_EQ(rateChoices(in, view), QList<double>({44100, 44100.5, 48000, 96000}));
    view.tierFilter = TierFilter::all();
    EXPECT_EQ(rateChoices(in, view), QList<double>({44100, 44100.5, 48000, 96000, 192000}));
    EXPECT_EQ(rateMenuItems(in, view).mid(0, 2), (QList<RateMenuItem>{{"Any rate", 0}, {"44.1 kHz", 44100}}));
    EXPECT_TRUE(rateChoices(LibraryInputs{}, view).isEmpty());
}

TEST(RateLibraryRows, sortKeysAndTies)
{
    auto sorted = [](const QList<Row> &rows, const SortOrder &sortOrder) {
        LearnedRatesWindowView view;
        view.sortOrder = sortOrder;
        return order(inputs(rows), view);
    };
    Row untitled = row("untitled", "lossless", 44100, std::nullopt);
    untitled.album.reset();
    EXPECT_EQ(albumSortKey(untitled), QString(QChar(0xFFFF)));
    // Untitled sorts as U+FFFF: after private use (U+E000), before anything above the BMP.
    EXPECT_EQ(sorted({untitled, row("z", "lossless", 44100, QStringLiteral("zebra")),
                      row("emoji", "lossless", 44100, QStringLiteral("😀 smile")),
                      row("private", "lossless", 44100, QString(QChar(0xE000))),
                      row("a", "lossless", 44100, QStringLiteral("Apple"))},
                     {{SortKey::track, false}}),
              QStringList({"a", "z", "private", "untitled", "emoji"}));
    EXPECT_EQ(sorted({row("5", "unknown", 1), row("4", "any", 1), row("3", "file", 1), row("2", "aac", 1),
                      row("1", "lossless", 1), row("0", "hires", 1), row("6", "dolby", 1)},
                     {{SortKey::setting, false}}),
              QStringList({"0", "1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(sorted({row("learned", "lossless", 1), withSource(row("file", "file", 1), "file"),
                      pinned(withSource(row("pinnedfile", "file", 1), "file")), pinned(row("pin", "aac", 1))},
                     {{SortKey::source, false}}),
              QStringList({"pinnedfile", "pin", "file", "learned"}));

    // The default is newest confirmation first; a tie keeps the companion's order.
    QList<Row> rows = {row("a", "lossless", 192000), row("b", "lossless", 96000), row("c", "lossless", 96000),
                       row("d", "lossless", 44100)};
    const int days[] = {1, 3, 3, 2};
    for (int i = 0; i < 4; ++i)
        rows[i].confirmedAt = day(days[i]);
    EXPECT_EQ(order(inputs(rows), LearnedRatesWindowView()), QStringList({"b", "c", "d", "a"}));
}

// The prepared index must give exactly what the plain rules give, on libraries made to hit ties,
// missing fields, odd tiers and rates near the rounding edge.
TEST(RateLibraryRows, preparedIndexAgreesWithThePlainRules)
{
    QRandomGenerator random(42);
    const QStringList tiers = {"hires", "lossless", "aac", "unknown", "any", "file", "dolby"};
    // A field holding NUL (the character that ends each field) and needles longer than one scanning step.
    const QStringList words = {"blue",
                               "Night",
                               "río",
                               "Blü",
                               "ab",
                               "",
                               "x y",
                               "Été 7",
                               QStringLiteral("y\0z"),
                               "An Extraordinarily Long Title Ends Here"};
    const QList<double> rates = {44100, 44100.4, 44100.5, 48000, 47999.5, 96000};
    auto pick = [&](const auto &list) { return list.at(random.bounded(int(list.size()))); };
    auto maybe = [&]() {
        return random.bounded(5) == 0 ? std::nullopt : std::optional(pick(words) + pick(words));
    };

    auto randomRow = [&] {
        Row r = row(QString::number(random.bounded(20)), pick(tiers), pick(rates), maybe());
        r.artist = maybe();
        r.album = maybe();
        r.pinned = random.bounded(3) == 0;
        r.source = pick(QStringList({"file", "imported", "learned"}));
        r.confirmedAt = day(random.bounded(4));
        return r;
    };
    // Every other round is the library before it sent again after a few changes, and its index
    // takes what it can from the earlier one.
    QList<Row> rows;
    std::shared_ptr<const RateLibraryIndex> earlier;
    for (int round = 0; round < 60; ++round) {
        if (round % 2 == 0) {
            rows.clear();
            for (int i = 0; i < 60; ++i)
                rows.append(randomRow());
            earlier.reset();
        } else {
            rows[random.bounded(60)].title = maybe();
            rows[random.bounded(60)].album = maybe();
            // Rows changed in place, under every sort key: an order made with the earlier
            // index is taken over only while no key changed.
            if (round % 8 == 1) {
                rows[random.bounded(60)].confirmedAt = day(random.bounded(4));
                rows[random.bounded(60)].rate = pick(rates);
                rows[random.bounded(60)].tier = pick(tiers);
                rows[random.bounded(60)].pinned = random.bounded(2) == 1;
                rows[random.bounded(60)].source = pick(QStringList({"file", "imported", "learned"}));
                if (std::optional<QString> &title = rows[random.bounded(60)].title)
                    title = QString(title->constData(), title->size()); // the same text, not shared
            }
            if (round % 4 == 3) {
                rows.move(random.bounded(60), 0);
                rows.insert(random.bounded(60), randomRow());
                rows.removeAt(random.bounded(61));
            }
        }
        const std::optional<SwitcherProtocol::MusicQuality> q =
            random.bounded(3) == 0 ? std::nullopt : std::optional(quality(random.bounded(2), true));
        LearnedRatesWindowView view = viewWith(
            {pick(QList<TierFilter>({TierFilter::current(), TierFilter::all(), TierFilter::tier("aac")})),
             pick(allKindFilters()), pick(QList<double>({0, 44100, 48000})),
             pick(QStringList({"", " blue", "NI", "ü", "bab", "y\t", "a", "x y", "7", "é",
                               QStringLiteral("\0"), "long title ends here", "title ends here!"}))});
        view.sortOrder.clear(); // none, one or two comparators
        for (int n = random.bounded(3); n > 0; --n)
            view.sortOrder.append({SortKey(random.bounded(6)), random.bounded(2) == 1});

        // The plain rules.
        const std::optional<QString> want = wantedTier(view.tierFilter, q);
        const QString needle = trimmedSpacesAndTabs(view.search).toLower();
        QList<int> expected;
        for (int i = 0; i < rows.size(); ++i) {
            const Row &r = rows[i];
            const bool kindOk = view.kindFilter == KindFilter::all ||
                                (view.kindFilter == KindFilter::pinned && r.pinned) ||
                                (view.kindFilter == KindFilter::learned && !r.pinned && r.source != "file") ||
                                (view.kindFilter == KindFilter::files && r.source == "file");
            auto has = [&](const std::optional<QString> &text) {
                return text.value_or("").toLower().contains(needle);
            };
            if (kindOk && (!want || r.isSettingIndependent() || r.tier == *want) &&
                (view.rateFilter == 0 || std::round(r.rate) == std::round(view.rateFilter)) &&
                (needle.isEmpty() || has(r.title) || has(r.artist) || has(r.album)))
                expected.append(i);
        }
        auto compare = [](SortKey key, const Row &x, const Row &y) -> int {
            switch (key) {
            case SortKey::track:
                return compareCodePoints(trackSortKey(x), trackSortKey(y));
            case SortKey::album:
                return compareCodePoints(albumSortKey(x), albumSortKey(y));
            case SortKey::setting:
                return settingSortKey(x).compare(settingSortKey(y));
            case SortKey::source:
                return sourceSortKey(x).compare(sourceSortKey(y));
            case SortKey::rate:
                return (x.rate > y.rate) - (x.rate < y.rate);
            case SortKey::confirmed:
                return (x.confirmedAt > y.confirmedAt) - (x.confirmedAt < y.confirmedAt);
            }
            return 0;
        };
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            for (const SortComparator &c : view.sortOrder) {
                const int r = compare(c.key, rows[a], rows[b]);
                if (r != 0)
                    return c.reverse ? r > 0 : r < 0;
            }
            return false;
        });

        LearnedRates rates;
        rates.rows = rows;
        // The first comparator's order made along with the index, as for the window.
        const auto index = std::make_shared<const RateLibraryIndex>(
            rates, earlier.get(),
            view.sortOrder.isEmpty() ? std::nullopt : std::optional(view.sortOrder.first().key));
        const std::vector<int> got = visibleRowIndices({index, q, std::nullopt}, view);
        EXPECT_EQ(QList<int>(got.begin(), got.end()), expected) << "round " << round;
        // Every text of every row is found where it now stands, whatever was taken over.
        for (int i = 0; i < rows.size(); ++i) {
            for (const std::optional<QString> *text : {&rows[i].title, &rows[i].artist, &rows[i].album}) {
                if (!*text || (*text)->isEmpty())
                    continue;
                std::vector<std::uint8_t> hits;
                index->markSearchHits((*text)->toLower(), hits);
                EXPECT_TRUE(hits[std::size_t(i)]) << "round " << round << ", row " << i;
            }
        }
        QSet<QString> tracks;
        for (const Row &r : rows)
            tracks.insert(r.id);
        EXPECT_EQ(index->trackCount(), tracks.size()) << "round " << round;
        earlier = index;
    }
}

TEST(RateLibraryOutputs, attachedDeviceComesFirstOnceThenTheCompanionsOrder)
{
    OutputDevice device;
    device.uid = QStringLiteral("dac");
    device.name = QStringLiteral("  My DAC\t");
    LearnedRates rates;
    const QString usb = QStringLiteral("AppleUSBAudioEngine:Maker: Model X :SN1:1");
    rates.outputs = {{"hdmi", {}, {}}, {"dac", true, {}}, {usb, {}, false}, {"hdmi", {}, {}}};
    LibraryInputs in{std::make_shared<const RateLibraryIndex>(rates), std::nullopt, device};
    EXPECT_EQ(outputChoices(in).toList(),
              (QList<std::pair<QString, QString>>{{"dac", "My DAC"}, {"hdmi", "hdmi"}, {usb, "Model X"}}));
    EXPECT_EQ(outputName("other", device), "other"); // the device's name only for its own uid
    EXPECT_EQ(outputName("AppleUSBAudioEngine:Maker:Model", device), "AppleUSBAudioEngine:Maker:Model");
    EXPECT_EQ(outputName("usbEngine:a:b:c", device), "usbEngine:a:b:c"); // "USB" in exact case
    EXPECT_EQ(outputName("USB::a::b:c:d", std::nullopt), "b");           // empty fields dropped

    // The chosen output: the user's choice, else the attached device, else the first the companion knows.
    LearnedRatesWindowView view;
    EXPECT_EQ(chosenOutput(in, view), (LearnedRates::Output{"dac", true, {}}));
    view.deviceUID = QStringLiteral("gone");
    EXPECT_EQ(chosenOutput(in, view), std::nullopt);
    in.device.reset();
    view.deviceUID.reset();
    EXPECT_EQ(chosenOutputUID(in, view), "hdmi");
    EXPECT_EQ(chosenOutputUID(LibraryInputs{}, view), std::nullopt);
}

// The window's test walks through every region; here, that any narrowing filter turns an empty
// library's "empty" into "no matches".
TEST(RateLibraryRegions, emptyStatesTellNoLibraryFromFilteredOut)
{
    const auto empty = inputs({});
    EXPECT_EQ(middleRegion(true, empty, viewWith({TierFilter::all()}), 0), MiddleRegion::empty);
    for (const Filters &narrowing : {Filters{TierFilter::current(), KindFilter::all, 0, "  "},
                                     Filters{.kind = KindFilter::pinned}, Filters{.rate = 44100}})
        EXPECT_EQ(middleRegion(true, empty, viewWith(narrowing), 0), MiddleRegion::noMatches);
}

TEST(RateLibraryView, aLibraryIsPreparedOnceAndReusedUntilTheCompanionSendsAnother)
{
    LearnedRates rates;
    rates.rows = {row("a", "lossless", 44100)};
    const auto first = RateLibraryIndex::forLibrary(rates, nullptr);
    LearnedRates copy = rates; // the model's copy shares the rows
    EXPECT_EQ(RateLibraryIndex::forLibrary(copy, first), first);
    copy.nowPlayingID = QStringLiteral("a");
    const auto retitled = RateLibraryIndex::forLibrary(copy, first);
    EXPECT_NE(retitled, first);
    EXPECT_EQ(retitled->rates().nowPlayingID, copy.nowPlayingID);
}
