#include "RateLibrary/RateLibraryCard.h"
#include "RateLibrary/RateLibraryMenus.h"
#include "RateLibrary/RateLibraryRowText.h"
#include "RateLibraryFixtures.h"

#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

using namespace RateLibrary;
using namespace RateLibraryFixtures;

namespace {

// Records what the row actions would send, in order.
struct Sent {
    QStringList log;
    RowCommands commands()
    {
        return {
            [this](const Row &r, double rate) {
                log.append(QStringLiteral("pinRate %1|%2 %3").arg(r.id, r.tier).arg(rate));
            },
            [this](const SwitcherProtocol::PinLearnedRate &p) {
                log.append(QStringLiteral("pin %1|%2 %3 %4")
                               .arg(p.id, p.tier)
                               .arg(p.rate)
                               .arg(p.title.value_or("-")));
            },
            [this](const QString &id, const QString &tier) {
                log.append(QStringLiteral("unpin %1|%2").arg(id, tier));
            },
            [this](const QString &id, const QString &tier) {
                log.append(QStringLiteral("forget %1|%2").arg(id, tier));
            },
        };
    }
};

const QList<double> standard = {44100, 48000, 96000};

QStringList titles(const MenuItems &items)
{
    QStringList out;
    for (const MenuItem &item : items)
        out.append(item.kind == MenuItem::Kind::separator ? QStringLiteral("---") : item.title);
    return out;
}

const MenuItem &itemTitled(const MenuItems &items, const QString &title)
{
    for (const MenuItem &item : items) {
        if (item.title == title)
            return item;
    }
    static const MenuItem none;
    ADD_FAILURE() << "no item " << title.toStdString();
    return none;
}

} // namespace

TEST(RateLibraryCells, sourceBadgeLetsPinsWinAndCountsRepeatedConfirmations)
{
    Row r = row("a", "lossless", 44100);
    EXPECT_EQ(sourceBadge(r), (SourceBadge{"Learned", SourceBadge::Tint::secondary}));
    r.confirmations = 3;
    EXPECT_EQ(sourceBadge(r).text, "Learned ×3");
    r.source = "imported";
    r.confirmations = 1;
    EXPECT_EQ(sourceBadge(r).text, "Imported");
    r.confirmations = 2;
    EXPECT_EQ(sourceBadge(r).text, "Imported ×2");
    r.source = "file";
    EXPECT_EQ(sourceBadge(r), (SourceBadge{"Local file", SourceBadge::Tint::secondary}));
    r.pinned = true;
    EXPECT_EQ(sourceBadge(r), (SourceBadge{"Pinned", SourceBadge::Tint::accent}));
}

TEST(RateLibraryCells, trackSettingAndRateTexts)
{
    Row r = row("123", "aac", 44100, std::nullopt);
    EXPECT_EQ(trackTitle(r), "Catalog track 123");
    r.kind = "library";
    EXPECT_EQ(trackTitle(r), "Library track");
    r.kind = "Library"; // exactly "library" only
    EXPECT_EQ(trackTitle(r), "Catalog track 123");

    EXPECT_EQ(settingCellText(r), "AAC");
    EXPECT_EQ(settingCellHelp(r), "Heard with Music.app set to Lossless off (AAC)");
    r.tier = "file";
    EXPECT_EQ(settingCellText(r), "Local file");
    EXPECT_EQ(settingCellHelp(r), "Plays the same under every Music.app setting");
    r.tier = "unknown";
    EXPECT_EQ(settingCellText(r), "Unknown");

    EXPECT_EQ(rateText(44100), "44.1 kHz");
    EXPECT_EQ(rateText(48000), "48 kHz");

    QStringList columns;
    for (const TableColumn &c : tableColumns())
        columns.append(columnTitle(c));
    EXPECT_EQ(columns, QStringList({"Track", "Album", "Setting", "Rate", "Source", "Confirmed"}));
}

TEST(RateLibraryCells, confirmedColumnSpeaksInCalendarDaysRelativeToNow)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QDateTime now(QDate(2026, 3, 10), QTime(0, 30), QTimeZone::utc());
    Row r = row("a", "lossless", 44100);
    r.confirmations = 0;
    r.confirmedAt = now.addDays(-1);
    EXPECT_EQ(confirmedText(r, now, english), "—");
    r.confirmations = 1;
    // 40 minutes earlier is yesterday by the calendar.
    r.confirmedAt = now.addSecs(-40 * 60);
    EXPECT_EQ(confirmedText(r, now, english), "yesterday");
    r.confirmedAt = now.addDays(-3);
    EXPECT_EQ(confirmedText(r, now, english), "3 days ago");
    EXPECT_EQ(relativeDateText(now.addSecs(-20 * 60), now, english), "20 minutes ago");
    EXPECT_EQ(relativeDateText(now, now, english), "now");
    EXPECT_EQ(relativeDateText(now.addDays(-8), now, english), "last week");
    EXPECT_EQ(relativeDateText(now.addDays(-40), now, english), "last month");
    EXPECT_EQ(relativeDateText(now.addDays(-800), now, english), "2 years ago");
    EXPECT_EQ(relativeDateText(now.addDays(1), now, english), "tomorrow");
    EXPECT_EQ(relativeDateText(now.addDays(-2), now, QLocale(QLocale::German, QLocale::Germany)),
              "vorgestern");
}

TEST(RateLibraryMenus, pinnedRowOffersItsWayBackThenEveryRateWithTheStandingOneChecked)
{
    Sent sent;
    const Row learnedPin = pinned(row("a", "lossless", 96000), 44100);
    MenuItems menu = rowPinMenu(learnedPin, standard, sent.commands());
    EXPECT_EQ(titles(menu), QStringList({"Learned · 44.1 kHz", "---", "44.1 kHz", "48 kHz", "96 kHz"}));
    EXPECT_FALSE(menu[2].checked);
    EXPECT_TRUE(menu[4].checked);
    menu[4].action(); // the pin that already stands
    EXPECT_TRUE(sent.log.isEmpty());
    menu[3].action();
    menu[0].action();
    EXPECT_EQ(sent.log, QStringList({"pinRate a|lossless 48000", "unpin a|lossless"}));

    sent.log.clear();
    menu = rowPinMenu(pinned(withSource(row("f", "file", 96000), "file"), 88200), standard, sent.commands());
    EXPECT_EQ(menu[0].title, "Local file · 88.2 kHz");
    menu[0].action();
    menu = rowPinMenu(pinned(row("p", "aac", 48000)), standard, sent.commands());
    EXPECT_EQ(menu[0].title, "Unpin (remove)");
    menu[0].action();
    EXPECT_EQ(sent.log, QStringList({"unpin f|file", "unpin p|aac"}));
}

TEST(RateLibraryMenus, unpinnedRowPinsEvenAtTheRateItAlreadyHas)
{
    Sent sent;
    MenuItems menu = rowPinMenu(row("u", "hires", 44100), standard, sent.commands());
    EXPECT_EQ(titles(menu), QStringList({"44.1 kHz", "48 kHz", "96 kHz"}));
    EXPECT_TRUE(menu[0].checked);
    menu[0].action();
    EXPECT_EQ(sent.log, QStringList({"pinRate u|hires 44100"}));
    // A rate the output lacks: nothing checked.
    menu = rowPinMenu(row("v", "hires", 352800), standard, sent.commands());
    EXPECT_TRUE(std::none_of(menu.begin(), menu.end(), [](const MenuItem &i) { return i.checked; }));
}

TEST(RateLibraryMenus, selectionMenuActsOnEachSelectedRowInTableOrder)
{
    Sent sent;
    const QList<Row> selected = {row("1", "lossless", 44100, QStringLiteral("One")),
                                 pinned(row("2", "hires", 96000, QStringLiteral("Two")), 48000),
                                 row("3", "aac", 44100, std::nullopt)};
    MenuItems menu = selectionMenu(selected, standard, sent.commands());
    EXPECT_EQ(titles(menu), QStringList({"Pin at", "Unpin", "Remove"}));
    EXPECT_EQ(titles(menu[0].children), QStringList({"44.1 kHz", "48 kHz", "96 kHz"}));
    EXPECT_TRUE(std::none_of(menu[0].children.begin(), menu[0].children.end(),
                             [](const MenuItem &i) { return i.checked; }));
    EXPECT_TRUE(itemTitled(menu, "Remove").destructive);

    itemTitled(menu, "Unpin").action();
    EXPECT_EQ(sent.log, QStringList({"unpin 2|hires"}));
    sent.log.clear();
    itemTitled(menu, "Remove").action();
    EXPECT_EQ(sent.log, QStringList({"forget 1|lossless", "forget 2|hires", "forget 3|aac"}));
    sent.log.clear();
    menu[0].children[2].action(); // also the row already pinned at 96 kHz
    EXPECT_EQ(sent.log,
              QStringList({"pin 1|lossless 96000 One", "pin 2|hires 96000 Two", "pin 3|aac 96000 -"}));

    // No output: no "Pin at"; no pinned row: no "Unpin"; nothing selected: no menu.
    EXPECT_EQ(titles(selectionMenu(selected, {}, sent.commands())), QStringList({"Unpin", "Remove"}));
    EXPECT_EQ(titles(selectionMenu({selected[0]}, {}, sent.commands())), QStringList({"Remove"}));
    EXPECT_TRUE(selectionMenu({}, standard, sent.commands()).isEmpty());
}

TEST(RateLibraryMenus, selectedRowsAreTheVisibleOnesInTableOrder)
{
    auto in = inputs({row("a", "lossless", 44100), row("b", "hires", 96000), row("c", "aac", 48000)});
    LearnedRatesWindowView view;
    view.tierFilter = TierFilter::all();
    view.sortOrder = {{SortKey::rate, true}};
    view.rateFilter = 0;
    std::vector<int> visible = visibleRowIndices(in, view);
    QList<Row> rows = selectedRows(*in.library, visible, {"a|lossless", "b|hires", "zzz|aac"});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].id, "b");
    EXPECT_EQ(rows[1].id, "a");
    view.kindFilter = KindFilter::pinned; // hides all three
    EXPECT_TRUE(selectedRows(*in.library, visibleRowIndices(in, view), {"a|lossless"}).isEmpty());
}

TEST(RateLibraryMenus, showRatesForMenuTitlesItsFirstItemAfterMusicAppsSetting)
{
    EXPECT_EQ(currentSettingTitle(std::nullopt), "Music.app's setting (can't be read)");
    EXPECT_EQ(currentSettingTitle(quality(true, std::nullopt, 7)),
              "Music.app's setting (tier 7, not recognised)");
    EXPECT_EQ(currentSettingTitle(quality(true, false)), "Music.app's setting (Lossless)");
    EXPECT_EQ(currentSettingTitle(quality(true, true)), "Music.app's setting (Hi-Res Lossless)");
    EXPECT_EQ(currentSettingTitle(quality(false, std::nullopt)), "Music.app's setting (Lossless off (AAC))");

    const auto items = tierMenuItems(quality(true, true));
    QStringList seen;
    for (const TierMenuItem &item : items)
        seen.append(item.separator ? QStringLiteral("---") : item.title);
    EXPECT_EQ(seen, QStringList({"Music.app's setting (Hi-Res Lossless)", "---", "Hi-Res Lossless",
                                 "Lossless", "Lossless off (AAC)", "---", "All settings"}));
    EXPECT_EQ(items[0].selects, TierFilter::current());
    EXPECT_EQ(items[3].selects, TierFilter::tier("lossless"));
    EXPECT_EQ(items[6].selects, TierFilter::all());
}

TEST(RateLibraryCards, sectionLabelIsUpperCasedAndACardHoldsItsContentAtTheLeadingEdge)
{
    std::unique_ptr<QLabel> heading(sectionLabel(QStringLiteral("Prediction order")));
    EXPECT_EQ(heading->text(), "PREDICTION ORDER");
    EXPECT_NEAR(heading->font().letterSpacing(), 0.4, 0.02); // fixed point inside QFont

    auto *content = new QLabel(QStringLiteral("Lossless"));
    std::unique_ptr<QFrame> frame(card(content));
    frame->resize(400, 60);
    frame->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(content->parentWidget(), frame.get());
    EXPECT_EQ(content->x(), 12);
    EXPECT_EQ(frame->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
}
