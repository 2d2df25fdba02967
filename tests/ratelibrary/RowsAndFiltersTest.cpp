#include "RateLibrary/RateLibraryRowText.h"
#include "RateLibraryFixtures.h"

#include <QRandomGenerator>
#include <QSettings>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace RateLibrary;
using namespace RateLibraryFixtures;

namespace {

LearnedRatesWindowView viewWith(TierFilter tier)
{
    LearnedRatesWindowView view;
    view.tierFilter = tier;
    return view;
}

QList<Row> oneRowPerTier()
{
    return {row("a", "hires", 96000),   row("b", "lossless", 44100), row("c", "aac", 44100),
            row("d", "unknown", 48000), row("e", "any", 48000),      row("f", "file", 88200)};
}

QStringList shown(const LibraryInputs &in, const LearnedRatesWindowView &view)
{
    QStringList out;
    for (const Keyed &k : visibleRows(in, view))
        out.append(k.row->id);
    out.sort();
    return out;
}

} // namespace

TEST(RateLibraryRows, tierFilterFollowsMusicAppsSettingAndAlwaysShowsSettingIndependentRows)
{
    const QList<Row> rows = oneRowPerTier();
    const auto view = viewWith(TierFilter::current());
    // No setting known, or a lossless setting whose hi-res answer is unknown: every row.
    EXPECT_EQ(shown(inputs(rows), view), QStringList({"a", "b", "c", "d", "e", "f"}));
    EXPECT_EQ(shown(inputs(rows, quality(true, std::nullopt, 7)), view),
              QStringList({"a", "b", "c", "d", "e", "f"}));
    EXPECT_EQ(shown(inputs(rows, quality(true, false)), view), QStringList({"b", "e", "f"}));
    EXPECT_EQ(shown(inputs(rows, quality(true, true)), view), QStringList({"a", "e", "f"}));
    // Lossless off is AAC whatever the hi-res answer says.
    EXPECT_EQ(shown(inputs(rows, quality(false, true)), view), QStringList({"c", "e", "f"}));

    EXPECT_EQ(shown(inputs(rows, quality(true, true)), viewWith(TierFilter::tier("aac"))),
              QStringList({"c", "e", "f"}));
    EXPECT_EQ(shown(inputs(rows, quality(true, true)), viewWith(TierFilter::all())).size(), 6);
    // A word outside the menu is compared exactly, like any other.
    QList<Row> odd = rows;
    odd.append(row("g", "dolby", 48000));
    EXPECT_EQ(shown(inputs(odd), viewWith(TierFilter::tier("dolby"))), QStringList({"e", "f", "g"}));
    EXPECT_EQ(shown(inputs(odd), viewWith(TierFilter::tier("Lossless"))), QStringList({"e", "f"}));
}

TEST(RateLibraryRows, kindFilterSeparatesPinsLearnedRowsAndLocalFiles)
{
    const QList<Row> rows = {row("learned", "lossless", 44100), pinned(row("pin", "lossless", 48000), 44100),
                             withSource(row("file", "file", 96000), "file"),
                             pinned(withSource(row("pinnedfile", "file", 88200), "file")),
                             withSource(row("imported", "lossless", 44100), "imported")};
    auto in = inputs(rows);
    LearnedRatesWindowView view;
    view.kindFilter = KindFilter::pinned;
    EXPECT_EQ(shown(in, view), QStringList({"pin", "pinnedfile"}));
    view.kindFilter = KindFilter::learned;
    EXPECT_EQ(shown(in, view), QStringList({"imported", "learned"}));
    view.kindFilter = KindFilter::files;
    EXPECT_EQ(shown(in, view), QStringList({"file", "pinnedfile"}));
    view.kindFilter = KindFilter::all;
    EXPECT_EQ(shown(in, view).size(), 5);

    EXPECT_EQ(kindFilterFromRaw("files"), KindFilter::files);
    EXPECT_EQ(kindFilterFromRaw("Files"), std::nullopt);
    QStringList labels;
    for (KindFilter kind : allKindFilters())
        labels.append(label(kind));
    EXPECT_EQ(labels, QStringList({"All", "Pinned", "Learned", "Local files"}));
}

TEST(RateLibraryRows, rateFilterComparesWholeHertzRoundingHalvesAwayFromZero)
{
    const QList<Row> rows = {row("exact", "lossless", 48000),    row("below4", "lossless", 47999.6),
                             row("below6", "lossless", 47999.4), row("half", "lossless", 47999.5),
                             row("cd", "lossless", 44100.4),     row("cdHalf", "lossless", 44100.5)};
    auto in = inputs(rows);
    LearnedRatesWindowView view;
    view.rateFilter = 48000;
    EXPECT_EQ(shown(in, view), QStringList({"below4", "exact", "half"}));
    view.rateFilter = 44100;
    EXPECT_EQ(shown(in, view), QStringList({"cd"}));
    view.rateFilter = 44100.5; // the menu offers exact rates; the filter still rounds
    EXPECT_EQ(shown(in, view), QStringList({"cdHalf"}));
    view.rateFilter = std::nan("");
    EXPECT_TRUE(shown(in, view).isEmpty());
}

TEST(RateLibraryRows, searchIsTrimmedOfSpacesAndTabsAndMatchesTitleArtistOrAlbum)
{
    Row night = row("night", "lossless", 44100, QStringLiteral("Dawn"));
    night.album = QStringLiteral("Night in blue");
    Row bare = row("bare", "lossless", 44100, std::nullopt);
    bare.artist.reset();
    bare.album.reset();
    Row accents = row("accents", "lossless", 44100, QStringLiteral("ÉTÉ"));
    Row split = row("split", "lossless", 44100, QStringLiteral("xxab"));
    split.artist = QStringLiteral("cdyy");
    split.album = QStringLiteral("zz");
    auto in = inputs({night, bare, accents, split});

    LearnedRatesWindowView view;
    view.search = QStringLiteral("  Blue ");
    EXPECT_EQ(shown(in, view), QStringList({"night"}));
    view.search = QStringLiteral("\tBLUE\t");
    EXPECT_EQ(shown(in, view), QStringList({"night"}));
    view.search = QStringLiteral("blue\n"); // line breaks are not trimmed
    EXPECT_TRUE(shown(in, view).isEmpty());
    view.search = QStringLiteral("   ");
    EXPECT_EQ(shown(in, view).size(), 4);
    view.search = QStringLiteral("été");
    EXPECT_EQ(shown(in, view), QStringList({"accents"}));
    view.search = QStringLiteral("artist"); // the fixture's artist, on every row but the bare one
    EXPECT_EQ(shown(in, view), QStringList({"accents", "night"}));
    // A match never runs from one field into the next.
    view.search = QStringLiteral("abcd");
    EXPECT_TRUE(shown(in, view).isEmpty());
    view.search = QStringLiteral("yyzz");
    EXPECT_TRUE(shown(in, view).isEmpty());
    view.search = QStringLiteral("cdyy");
    EXPECT_EQ(shown(in, view), QStringList({"split"}));
    view.search = QString(QChar(u'\0'));
    EXPECT_TRUE(shown(in, view).isEmpty());
    // Needles longer than one scanning step, matching at the very end of the last row.
    Row longTitle = row("long", "lossless", 44100, QStringLiteral("An Extraordinarily Long Title Indeed"));
    longTitle.artist.reset();
    longTitle.album = QStringLiteral("Its Album Ends Here With A Long Name");
    view.search = QStringLiteral("extraordinarily long title indeed");
    EXPECT_EQ(shown(inputs({night, longTitle}), view), QStringList({"long"}));
    view.search = QStringLiteral("ends here with a long name");
    EXPECT_EQ(shown(inputs({night, longTitle}), view), QStringList({"long"}));
    view.search = QStringLiteral("ends here with a long name!");
    EXPECT_TRUE(shown(inputs({night, longTitle}), view).isEmpty());
    view.search = QString(QChar(u'\0'));
    // Text holding the character that ends each field still matches inside the field.
    Row nul = row("nul", "lossless", 44100, QStringLiteral("x"));
    nul.artist = QStringLiteral("y") + QChar(u'\0') + QStringLiteral("z");
    EXPECT_EQ(shown(inputs({night, nul}), view), QStringList({"nul"}));
}

TEST(RateLibraryRows, oneTrackUnderTwoSettingsGivesTwoKeyedIds)
{
    auto in = inputs({row("abc", "lossless", 44100), row("abc", "hires", 96000)});
    const QStringList keyed = ids(visibleRows(in, viewWith(TierFilter::all())));
    EXPECT_EQ(QSet<QString>(keyed.begin(), keyed.end()), QSet<QString>({"abc|lossless", "abc|hires"}));
    EXPECT_EQ(in.library->rowForKeyedId("abc|hires"), 1);
    EXPECT_EQ(in.library->rowForKeyedId("abc|aac"), -1);
}

TEST(RateLibraryRows, rateChoicesAreNarrowedByTheTierFilterOnly)
{
    Row pin = pinned(row("p", "lossless", 96000));
    Row other = row("o", "hires", 192000);
    auto in = inputs({row("a", "lossless", 44100.5), row("b", "lossless", 44100), row("c", "file", 48000),
                      pin, row("d", "lossless", 44100), other},
                     quality(true, false));
    LearnedRatesWindowView view;
    view.kindFilter = KindFilter::files;
    view.search = QStringLiteral("nothing matches this");
    view.rateFilter = 48000;
    EXPECT_EQ(rateChoices(in, view), QList<double>({44100, 44100.5, 48000, 96000}));
    view.tierFilter = TierFilter::all();
    EXPECT_EQ(rateChoices(in, view), QList<double>({44100, 44100.5, 48000, 96000, 192000}));

    const QList<RateMenuItem> items = rateMenuItems(in, view);
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[0], (RateMenuItem{"Any rate", 0}));
    EXPECT_EQ(items[1], (RateMenuItem{"44.1 kHz", 44100}));
    EXPECT_EQ(items[2].value, 44100.5);
    EXPECT_EQ(items[3], (RateMenuItem{"48 kHz", 48000}));

    EXPECT_TRUE(rateChoices(LibraryInputs{}, view).isEmpty());
}

TEST(RateLibraryRows, sortKeysOrderTitlesSettingsAndSources)
{
    Row untitled = row("untitled", "lossless", 44100, std::nullopt);
    untitled.album.reset();
    Row emoji = row("emoji", "lossless", 44100, QStringLiteral("😀 smile"));
    Row privateUse = row("private", "lossless", 44100, QString(QChar(0xE000)));
    EXPECT_EQ(trackSortKey(untitled), QString(QChar(0xFFFF)));
    EXPECT_EQ(albumSortKey(untitled), QString(QChar(0xFFFF)));
    EXPECT_EQ(trackSortKey(row("x", "aac", 1, QStringLiteral("ÄBC"))), "äbc");
    // Code point order: private use (U+E000) < U+FFFF < anything above the BMP.
    EXPECT_LT(compareCodePoints(trackSortKey(privateUse), trackSortKey(untitled)), 0);
    EXPECT_GT(compareCodePoints(trackSortKey(emoji), trackSortKey(untitled)), 0);
    EXPECT_LT(compareCodePoints(u"ab", u"abc"), 0);

    auto in = inputs({untitled, row("z", "lossless", 44100, QStringLiteral("zebra")), emoji, privateUse,
                      row("a", "lossless", 44100, QStringLiteral("Apple"))});
    LearnedRatesWindowView view;
    view.sortOrder = {{SortKey::track, false}};
    QStringList order;
    for (const Keyed &k : visibleRows(in, view))
        order.append(k.row->id);
    EXPECT_EQ(order, QStringList({"a", "z", "private", "untitled", "emoji"}));

    auto settings =
        inputs({row("5", "unknown", 1), row("4", "any", 1), row("3", "file", 1), row("2", "aac", 1),
                row("1", "lossless", 1), row("0", "hires", 1), row("6", "dolby", 1)});
    view.sortOrder = {{SortKey::setting, false}};
    order.clear();
    for (const Keyed &k : visibleRows(settings, view))
        order.append(k.row->id);
    EXPECT_EQ(order, QStringList({"0", "1", "2", "3", "4", "5", "6"}));

    auto sources =
        inputs({row("learned", "lossless", 1), withSource(row("file", "file", 1), "file"),
                pinned(withSource(row("pinnedfile", "file", 1), "file")), pinned(row("pin", "aac", 1))});
    view.sortOrder = {{SortKey::source, false}};
    order.clear();
    for (const Keyed &k : visibleRows(sources, view))
        order.append(k.row->id);
    EXPECT_EQ(order, QStringList({"pinnedfile", "pin", "file", "learned"}));
}

TEST(RateLibraryRows, sortsByRateNumericallyAndKeepsTheCompanionsOrderForTies)
{
    Row a = row("a", "lossless", 192000);
    Row b = row("b", "lossless", 96000);
    Row c = row("c", "lossless", 96000);
    Row d = row("d", "lossless", 44100);
    a.confirmedAt = day(1);
    b.confirmedAt = day(3);
    c.confirmedAt = day(3);
    d.confirmedAt = day(2);
    auto in = inputs({a, b, c, d});
    LearnedRatesWindowView view; // newest confirmation first
    EXPECT_EQ(ids(visibleRows(in, view)),
              QStringList({"b|lossless", "c|lossless", "d|lossless", "a|lossless"}));
    view.sortOrder = {{SortKey::rate, false}};
    EXPECT_EQ(ids(visibleRows(in, view)),
              QStringList({"d|lossless", "b|lossless", "c|lossless", "a|lossless"}));
    view.sortOrder = {{SortKey::rate, true}};
    EXPECT_EQ(ids(visibleRows(in, view)),
              QStringList({"a|lossless", "b|lossless", "c|lossless", "d|lossless"}));
    // Ties on the first comparator fall to the next.
    view.sortOrder = {{SortKey::rate, true}, {SortKey::confirmed, false}};
    c.confirmedAt = day(0);
    in = inputs({a, b, c, d});
    EXPECT_EQ(ids(visibleRows(in, view)),
              QStringList({"a|lossless", "c|lossless", "b|lossless", "d|lossless"}));
    view.sortOrder.clear();
    EXPECT_EQ(ids(visibleRows(in, view)),
              QStringList({"a|lossless", "b|lossless", "c|lossless", "d|lossless"}));
}

// The prepared index must give exactly what the plain rules give, on libraries made to hit ties,
// missing fields, odd tiers and rates near the rounding edge.
TEST(RateLibraryRows, preparedIndexAgreesWithThePlainRules)
{
    QRandomGenerator random(42);
    const QStringList tiers = {"hires", "lossless", "aac", "unknown", "any", "file", "dolby"};
    const QStringList words = {"blue", "Night", "río", "Blü", "ab", "", "x y", "Été 7"};
    const QList<double> rates = {44100, 44100.4, 44100.5, 48000, 47999.5, 96000};
    auto pick = [&](const auto &list) { return list.at(random.bounded(int(list.size()))); };
    auto maybe = [&]() -> std::optional<QString> {
        if (random.bounded(5) == 0)
            return std::nullopt;
        return pick(words) + pick(words);
    };
    const QList<SortOrder> orders = {{},
                                     {{SortKey::confirmed, true}},
                                     {{SortKey::track, false}},
                                     {{SortKey::album, true}},
                                     {{SortKey::setting, true}},
                                     {{SortKey::source, false}},
                                     {{SortKey::rate, true}, {SortKey::track, false}}};

    for (int round = 0; round < 60; ++round) {
        QList<Row> rows;
        for (int i = 0; i < 60; ++i) {
            Row r = row(QString::number(random.bounded(20)), pick(tiers), pick(rates), maybe());
            r.artist = maybe();
            r.album = maybe();
            r.pinned = random.bounded(3) == 0;
            r.source = pick(QStringList({"file", "imported", "learned"}));
            r.confirmedAt = day(random.bounded(4));
            rows.append(r);
        }
        const std::optional<SwitcherProtocol::MusicQuality> q =
            random.bounded(3) == 0 ? std::nullopt : std::optional(quality(random.bounded(2), true));
        const auto in = inputs(rows, q);

        LearnedRatesWindowView view;
        view.tierFilter =
            pick(QList<TierFilter>({TierFilter::current(), TierFilter::all(), TierFilter::tier("aac")}));
        view.kindFilter = pick(allKindFilters());
        view.rateFilter = pick(QList<double>({0, 44100, 48000}));
        view.search = pick(QStringList({"", " blue", "NI", "ü", "bab", "y\t", "a", "x y", "7", "é"}));
        view.sortOrder = pick(orders);

        // The plain rules.
        const std::optional<QString> want = wantedTier(view.tierFilter, q);
        const QString needle = trimmedSpacesAndTabs(view.search).toLower();
        QList<int> expected;
        for (int i = 0; i < rows.size(); ++i) {
            const Row &r = rows[i];
            if (want && !r.isSettingIndependent() && r.tier != *want)
                continue;
            if (view.kindFilter == KindFilter::pinned && !r.pinned)
                continue;
            if (view.kindFilter == KindFilter::learned && (r.pinned || r.source == "file"))
                continue;
            if (view.kindFilter == KindFilter::files && r.source != "file")
                continue;
            if (view.rateFilter != 0 && std::round(r.rate) != std::round(view.rateFilter))
                continue;
            if (!needle.isEmpty() && !r.title.value_or("").toLower().contains(needle) &&
                !r.artist.value_or("").toLower().contains(needle) &&
                !r.album.value_or("").toLower().contains(needle))
                continue;
            expected.append(i);
        }
        auto compare = [&](SortKey key, const Row &x, const Row &y) -> int {
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
                return x.rate < y.rate ? -1 : (x.rate > y.rate ? 1 : 0);
            case SortKey::confirmed:
                return x.confirmedAt < y.confirmedAt ? -1 : (x.confirmedAt > y.confirmedAt ? 1 : 0);
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

        const std::vector<int> got = visibleRowIndices(in, view);
        EXPECT_EQ(QList<int>(got.begin(), got.end()), expected) << "round " << round;
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
    LibraryInputs in;
    in.library = std::make_shared<const RateLibraryIndex>(rates);
    in.device = device;

    const auto choices = outputChoices(in);
    ASSERT_EQ(choices.size(), 3);
    EXPECT_EQ(choices[0], std::make_pair(QString("dac"), QString("My DAC")));
    EXPECT_EQ(choices[1], std::make_pair(QString("hdmi"), QString("hdmi")));
    EXPECT_EQ(choices[2], std::make_pair(usb, QString("Model X")));

    EXPECT_EQ(outputName("other", device), "other"); // the device's name only for its own uid
    EXPECT_EQ(outputName("AppleUSBAudioEngine:Maker:Model", device), "AppleUSBAudioEngine:Maker:Model");
    EXPECT_EQ(outputName("AppleHDMIAudioEngine:Maker:Model:1", device), "AppleHDMIAudioEngine:Maker:Model:1");
    EXPECT_EQ(outputName("usbEngine:a:b:c", device), "usbEngine:a:b:c"); // "USB" in exact case
    EXPECT_EQ(outputName("USB::a::b:c:d", std::nullopt), "b");           // empty pieces dropped
    OutputDevice blank = device;
    blank.name = QStringLiteral(" \t ");
    EXPECT_EQ(outputName("dac", blank), "");

    LearnedRatesWindowView view;
    EXPECT_EQ(chosenOutputUID(in, view), "dac");
    EXPECT_EQ(chosenOutput(in, view)->atmos, true);
    view.deviceUID = usb;
    EXPECT_EQ(chosenOutput(in, view)->atmosOutput, false);
    view.deviceUID = QStringLiteral("gone");
    EXPECT_EQ(chosenOutputUID(in, view), "gone");
    EXPECT_EQ(chosenOutput(in, view), std::nullopt);

    in.device.reset();
    view.deviceUID.reset();
    EXPECT_EQ(chosenOutputUID(in, view), "hdmi");
    EXPECT_EQ(chosenOutputUID(LibraryInputs{}, view), std::nullopt);
    EXPECT_EQ(chosenOutput(LibraryInputs{}, view), std::nullopt);
    LibraryInputs deviceOnly;
    deviceOnly.device = device;
    EXPECT_EQ(outputChoices(deviceOnly).size(), 1);
    EXPECT_EQ(chosenOutput(deviceOnly, view), std::nullopt);
}

TEST(RateLibraryRegions, emptyStatesTellNoLibraryFromFilteredOut)
{
    LearnedRatesWindowView view;
    const auto none = LibraryInputs{};
    const auto empty = inputs({});
    const auto aacOnly = inputs({row("a", "aac", 44100)}, quality(true, true));
    EXPECT_EQ(middleRegion(false, aacOnly, view, 1), MiddleRegion::needsCompanion);
    EXPECT_EQ(middleRegion(true, none, view, 0), MiddleRegion::loading);
    EXPECT_EQ(middleRegion(true, aacOnly, view, 1), MiddleRegion::table);
    EXPECT_EQ(middleRegion(true, empty, view, 0), MiddleRegion::empty);
    EXPECT_EQ(visibleRows(aacOnly, view).size(), 0u);
    EXPECT_EQ(middleRegion(true, aacOnly, view, 0), MiddleRegion::noMatches);

    view.search = QStringLiteral("  "); // hides nothing, but narrows
    EXPECT_EQ(middleRegion(true, empty, view, 0), MiddleRegion::noMatches);
    view.search.clear();
    view.tierFilter = TierFilter::all();
    EXPECT_EQ(middleRegion(true, empty, view, 0), MiddleRegion::empty);
    view.kindFilter = KindFilter::pinned;
    EXPECT_EQ(middleRegion(true, empty, view, 0), MiddleRegion::noMatches);
    view.kindFilter = KindFilter::all;
    view.rateFilter = 44100;
    EXPECT_EQ(middleRegion(true, empty, view, 0), MiddleRegion::noMatches);
}

TEST(RateLibraryView, startsWithTheInitialStateAndKeepsOnlyHistoryExpanded)
{
    const LearnedRatesWindowView view;
    EXPECT_EQ(view.deviceUID, std::nullopt);
    EXPECT_TRUE(view.search.isEmpty());
    EXPECT_EQ(view.sortOrder, (SortOrder{{SortKey::confirmed, true}}));
    EXPECT_TRUE(view.selection.isEmpty());
    EXPECT_FALSE(view.confirmForgetAll || view.confirmReset || view.confirmRemovePins || view.showAtmosInfo);
    EXPECT_EQ(view.kindFilter, KindFilter::all);
    EXPECT_EQ(view.tierFilter, TierFilter::current());
    EXPECT_EQ(view.rateFilter, 0);
    EXPECT_EQ(view.hoveredRowID, std::nullopt);

    EXPECT_EQ(view.historyExpanded.key(), "rateLibrary.historyExpanded");
    QSettings().remove(view.historyExpanded.key());
    EXPECT_FALSE(view.historyExpanded.value());
    LearnedRatesWindowView first;
    first.historyExpanded.setValue(true);
    EXPECT_TRUE(LearnedRatesWindowView().historyExpanded.value()); // every window shares it
    QSettings().remove(view.historyExpanded.key());

    EXPECT_NE(TierFilter::tier("aac"), TierFilter::tier("hires"));
    EXPECT_EQ(TierFilter::all(), (TierFilter{TierFilter::Case::all, QStringLiteral("ignored")}));
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

    LearnedRates fresh;
    fresh.rows = {row("a", "lossless", 44100)}; // equal, but a new message
    const auto again = RateLibraryIndex::forLibrary(fresh, first);
    EXPECT_NE(again, first);
    EXPECT_EQ(again->row(0), first->row(0));
}
