#include "RateLibrary/RateLibraryRowText.h"
#include "RateLibraryFixtures.h"

#include <gtest/gtest.h>

using namespace RateLibrary;
using namespace RateLibraryFixtures;

namespace {

// Records what the row actions would send, in order.
struct Sent {
    QStringList log;
    RowCommands commands()
    {
        auto note = [this](const char *what) {
            return
                [this, what](const QString &id, const QString &tier) { log.append(what + id + '|' + tier); };
        };
        auto pinRate = [this](const Row &r, double rate) {
            log.append(QStringLiteral("pinRate %1|%2 %3").arg(r.id, r.tier).arg(rate));
        };
        auto pin = [this](const SwitcherProtocol::PinLearnedRate &p) {
            log.append(
                QStringLiteral("pin %1|%2 %3 %4").arg(p.id, p.tier).arg(p.rate).arg(p.title.value_or("-")));
        };
        return {pinRate, pin, note("unpin "), note("forget ")};
    }
};

const QList<double> standard = {44100, 48000, 96000};

} // namespace

TEST(RateLibraryCells, badgesAndTexts)
{
    auto badge = [](const char *source, qint64 confirmations, bool pin = false) {
        Row r = withSource(row("a", "lossless", 44100), source);
        r.confirmations = confirmations;
        r.pinned = pin;
        return sourceBadge(r);
    };
    const auto secondary = SourceBadge::Tint::secondary;
    EXPECT_EQ(badge("learned", 1), (SourceBadge{"Learned", secondary}));
    EXPECT_EQ(badge("learned", 3), (SourceBadge{"Learned ×3", secondary}));
    EXPECT_EQ(badge("imported", 1), (SourceBadge{"Imported", secondary}));
    EXPECT_EQ(badge("imported", 2), (SourceBadge{"Imported ×2", secondary}));
    EXPECT_EQ(badge("file", 2), (SourceBadge{"Local file", secondary}));
    // A pin beats everything.
    EXPECT_EQ(badge("file", 2, true), (SourceBadge{"Pinned", SourceBadge::Tint::accent}));

    Row r = row("123", "aac", 44100, std::nullopt);
    EXPECT_EQ(trackTitle(r), "Catalog track 123");
    r.kind = "Library"; // exactly "library" only
    EXPECT_EQ(trackTitle(r), "Catalog track 123");
    r.kind = "library";
    EXPECT_EQ(trackTitle(r), "Library track");
    EXPECT_EQ(settingCellHelp(r), "Heard with Music.app set to Lossless off (AAC)");
}

TEST(RateLibraryCells, relativeDatesUseTheLargestWholeUnitOfTheTimeElapsed)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    // Just after midnight and just after the start of a week (a Monday), local time.
    const QDateTime now(QDate(2026, 3, 9), QTime(0, 2), QTimeZone::systemTimeZone());
    auto ago = [&](qint64 seconds) { return relativeDateText(now.addSecs(-seconds), now, english); };
    const qint64 minute = 60, hour = 3600, day = 24 * hour;
    EXPECT_EQ(ago(0), "now");
    EXPECT_EQ(ago(4 * minute), "4 minutes ago"); // the day before by the calendar
    EXPECT_EQ(ago(23 * hour + 59 * minute), "23 hours ago");
    EXPECT_EQ(ago(day), "yesterday");
    EXPECT_EQ(ago(2 * day - 1), "yesterday");
    EXPECT_EQ(ago(3 * day + 5 * hour), "3 days ago");
    EXPECT_EQ(ago(7 * day - minute), "6 days ago"); // the week before by the calendar
    EXPECT_EQ(ago(7 * day), "last week");
    EXPECT_EQ(ago(14 * day - 1), "last week");
    EXPECT_EQ(ago(14 * day), "2 weeks ago");
    EXPECT_EQ(relativeDateText(QDateTime(QDate(2026, 2, 9), QTime(0, 2), QTimeZone::systemTimeZone()), now,
                               english),
              "last month");
    EXPECT_EQ(relativeDateText(now.addSecs(4 * minute), now, english), "in 4 minutes");
    EXPECT_EQ(relativeDateText(now.addDays(-2), now, QLocale(QLocale::German, QLocale::Germany)),
              "vorgestern");

    Row r = row("a", "lossless", 44100);
    r.confirmedAt = now.addSecs(-40 * minute);
    EXPECT_EQ(confirmedText(r, now, english), "40 minutes ago");
    r.confirmations = 0;
    EXPECT_EQ(confirmedText(r, now, english), "—");
}

// The window's tests cover a learned pin's menu through a real link; here, the other ways back
// and what each action carries.
TEST(RateLibraryMenus, rowPinMenuNamesTheWayBackAndPinsAnUnpinnedRowEvenAtItsOwnRate)
{
    const Row filePin = pinned(withSource(row("f", "file", 96000), "file"), 88200);
    const Row barePin = pinned(row("p", "aac", 48000));
    const Row unpinned = row("u", "hires", 44100);
    EXPECT_EQ(rowPinMenu(filePin, standard, {})[0].title, "Local file · 88.2 kHz");
    EXPECT_EQ(rowPinMenu(barePin, standard, {})[0].title, "Unpin (remove)");
    EXPECT_EQ(titles(rowPinMenu(unpinned, standard, {})), QStringList({"44.1 kHz", "48 kHz", "96 kHz"}));
    EXPECT_TRUE(rowPinMenu(unpinned, standard, {})[0].checked);
    Sent sent;
    for (const Row &r : {filePin, barePin, unpinned})
        rowPinMenu(r, standard, sent.commands())[0].action();
    EXPECT_EQ(sent.log, QStringList({"unpin f|file", "unpin p|aac", "pinRate u|hires 44100"}));
    // A rate the output lacks: nothing checked.
    const MenuItems odd = rowPinMenu(row("v", "hires", 352800), standard, {});
    EXPECT_TRUE(std::none_of(odd.begin(), odd.end(), [](const MenuItem &i) { return i.checked; }));
}

TEST(RateLibraryMenus, selectionMenuActsOnEachVisibleSelectedRowInTableOrder)
{
    Sent sent;
    const QList<Row> selected = {row("1", "lossless", 44100, QStringLiteral("One")),
                                 pinned(row("2", "hires", 96000, QStringLiteral("Two")), 48000),
                                 row("3", "aac", 44100, std::nullopt)};
    MenuItems menu = selectionMenu(selected, standard, sent.commands());
    EXPECT_EQ(titles(menu), QStringList({"Pin at", "Unpin", "Remove"}));
    EXPECT_TRUE(std::none_of(menu[0].children.begin(), menu[0].children.end(),
                             [](const MenuItem &i) { return i.checked; }));
    EXPECT_TRUE(menu[2].destructive);
    menu[1].action();
    menu[2].action();
    menu[0].children[2].action(); // also the row already pinned at 96 kHz
    EXPECT_EQ(sent.log,
              QStringList({"unpin 2|hires", "forget 1|lossless", "forget 2|hires", "forget 3|aac",
                           "pin 1|lossless 96000 One", "pin 2|hires 96000 Two", "pin 3|aac 96000 -"}));
    // No output and no pinned row: only "Remove"; nothing selected: no menu.
    EXPECT_EQ(titles(selectionMenu({selected[0]}, {}, sent.commands())), QStringList({"Remove"}));
    EXPECT_TRUE(selectionMenu({}, standard, sent.commands()).isEmpty());

    auto in = inputs({row("a", "lossless", 44100), row("b", "hires", 96000), row("c", "aac", 48000)});
    LearnedRatesWindowView view;
    view.sortOrder = {{SortKey::rate, true}};
    const QList<Row> rows =
        selectedRows(*in.library, visibleRowIndices(in, view), {"a|lossless", "b|hires", "zzz|aac"});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].id + rows[1].id, "ba");
}

TEST(RateLibraryMenus, showRatesForMenuTitlesItsFirstItemAfterMusicAppsSetting)
{
    EXPECT_EQ(currentSettingTitle(quality(true, std::nullopt, 7)),
              "Music.app's setting (tier 7, not recognised)");
    EXPECT_EQ(currentSettingTitle(quality(true, true)), "Music.app's setting (Hi-Res Lossless)");
    EXPECT_EQ(currentSettingTitle(quality(false, std::nullopt)), "Music.app's setting (Lossless off (AAC))");
}
