#include "RateLibraryMenus.h"

#include "Bundle.h"
#include "Common/ShownText.h"
#include "RateLibraryIndex.h"
#include "RateLibraryRowText.h"
#include "RateLibraryTr.h"

#include <QMenu>

namespace RateLibrary {

using RateLibraryText::Tr;
using Tier = SwitcherProtocol::LearnedRates::Tier;

namespace {

MenuItem actionItem(QString title, std::function<void()> action, bool checked = false)
{
    MenuItem item;
    item.title = std::move(title);
    item.checked = checked;
    item.action = std::move(action);
    return item;
}

SwitcherProtocol::PinLearnedRate pinFor(const Row &row, double rate)
{
    return {row.id, row.tier, rate, row.title, row.artist, row.album};
}

} // namespace

MenuItems rowPinMenu(const Row &row, const QList<double> &rates, const RowCommands &commands)
{
    MenuItems items;
    if (row.pinned) {
        QString title;
        if (!row.learnedRate) {
            title = Tr::tr("Unpin (remove)");
        } else if (row.tier == Tier::file) {
            //: Unpin to the local file's own rate (placeholder).
            title = Tr::tr("Local file · %1").arg(rateText(*row.learnedRate));
        } else {
            //: Unpin to the learned rate (placeholder).
            title = Tr::tr("Learned · %1").arg(rateText(*row.learnedRate));
        }
        items.append(
            actionItem(title, [row, unpin = commands.unpinLearnedRate] { unpin(row.id, row.tier); }));
        items.append(MenuItem::separator());
    }
    for (double rate : rates) {
        const bool standing = row.pinned && rate == row.rate;
        items.append(actionItem(
            rateText(rate),
            [row, rate, standing, pinRate = commands.pinRate] {
                if (!standing) // a pin that already stands: nothing to send
                    pinRate(row, rate);
            },
            rate == row.rate));
    }
    return items;
}

QList<Row> selectedRows(const RateLibraryIndex &library, const std::vector<int> &visible,
                        const QSet<QString> &ids)
{
    QList<Row> rows;
    if (ids.isEmpty())
        return rows;
    for (int i : visible) {
        if (ids.contains(library.keyedId(i)))
            rows.append(library.row(i));
    }
    return rows;
}

MenuItems selectionMenu(const QList<Row> &selected, const QList<double> &rates, const RowCommands &commands)
{
    MenuItems items;
    if (selected.isEmpty())
        return items;
    if (!rates.isEmpty()) {
        MenuItem pinAt;
        pinAt.kind = MenuItem::Kind::submenu;
        pinAt.title = Tr::tr("Pin at");
        for (double rate : rates) {
            pinAt.children.append(actionItem(rateText(rate), [selected, rate, pin = commands.pinLearnedRate] {
                for (const Row &row : selected)
                    pin(pinFor(row, rate));
            }));
        }
        items.append(pinAt);
    }
    const bool anyPinned =
        std::any_of(selected.begin(), selected.end(), [](const Row &row) { return row.pinned; });
    if (anyPinned) {
        items.append(actionItem(Tr::tr("Unpin"), [selected, unpin = commands.unpinLearnedRate] {
            for (const Row &row : selected) {
                if (row.pinned)
                    unpin(row.id, row.tier);
            }
        }));
    }
    MenuItem remove = actionItem(Tr::tr("Remove"), [selected, forget = commands.forgetLearnedRate] {
        for (const Row &row : selected)
            forget(row.id, row.tier);
    });
    remove.destructive = true;
    items.append(remove);
    return items;
}

QString currentSettingTitle(const std::optional<SwitcherProtocol::MusicQuality> &quality)
{
    if (!quality)
        return Tr::tr("Music.app's setting (can't be read)");
    const QString word = Tier::forQuality(quality);
    if (word == Tier::unknown) {
        //: The placeholder is Music.app's own tier number.
        return Tr::tr("Music.app's setting (tier %1, not recognised)").arg(quality->tier);
    }
    //: The placeholder is the setting's name, such as "Hi-Res Lossless".
    return Tr::tr("Music.app's setting (%1)").arg(Tier::sentencePhrase(word, Bundle::main()));
}

QList<TierMenuItem> tierMenuItems(const std::optional<SwitcherProtocol::MusicQuality> &quality)
{
    const TierMenuItem separator{true, {}, {}};
    return {
        {false, currentSettingTitle(quality), TierFilter::current()},
        separator,
        {false, Tr::tr("Hi-Res Lossless"), TierFilter::tier(Tier::hires)},
        {false, Tr::tr("Lossless"), TierFilter::tier(Tier::lossless)},
        {false, Tr::tr("Lossless off (AAC)"), TierFilter::tier(Tier::aac)},
        separator,
        {false, Tr::tr("All settings"), TierFilter::all()},
    };
}

QMenu *makeMenu(const MenuItems &items, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    fillMenu(menu, items);
    return menu;
}

void fillMenu(QMenu *menu, const MenuItems &items)
{
    menu->clear();
    for (const MenuItem &item : items) {
        switch (item.kind) {
        case MenuItem::Kind::separator:
            menu->addSeparator();
            break;
        case MenuItem::Kind::submenu: {
            QMenu *sub = makeMenu(item.children, menu);
            sub->setTitle(ShownText::actionText(item.title));
            menu->addMenu(sub);
            break;
        }
        case MenuItem::Kind::action: {
            QAction *action = menu->addAction(ShownText::actionText(item.title));
            if (item.checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            action->setProperty("destructive", item.destructive);
            QObject::connect(action, &QAction::triggered, menu, [run = item.action] {
                if (run)
                    run();
            });
            break;
        }
        }
    }
}

} // namespace RateLibrary
