#include "SwitchTimingView.h"

#include "Settings/SettingsTextScale.h"
#include "SwitcherModel.h"
#include "Units.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

// Whole numbers beyond this cannot be written from a double without overflow.
constexpr double wholeNumberLimit = 9.0e18;
} // namespace

const QList<SwitchTimingView::Group> &SwitchTimingView::allGroups()
{
    static const QList<Group> groups = {Group::first, Group::fallback, Group::also, Group::always};
    return groups;
}

QString SwitchTimingView::endLabel()
{
    return Tr::tr("the end of the outgoing track");
}

SwitchTimingView::SwitchTimingView(SwitcherModel *model) : model(model) {}

int SwitchTimingView::textSizeIndex() const
{
    return SettingsTextScale::storedIndex();
}

double SwitchTimingView::textScale() const
{
    return SettingsTextScale::scale(textSizeIndex());
}

double SwitchTimingView::listeningLead(const TimingInputs &in)
{
    return std::max(in.leadMs / 1000.0 + 1.0, in.quietWindowSec);
}

double SwitchTimingView::tailSpan(const TimingInputs &in)
{
    return std::max({delaySec(in) + loadSec(in) + 1.0, in.leadMs / 1000.0 + 1.0, 2.6});
}

double SwitchTimingView::railStart(const TimingInputs &in)
{
    return -std::max(listeningLead(in), handOverPoint) - 0.6;
}

double SwitchTimingView::delaySec(const TimingInputs &in)
{
    return in.delayMs / 1000.0;
}

double SwitchTimingView::loadSec(const TimingInputs &in)
{
    return in.loadStats ? in.loadStats->typical / 1000.0 : 0.9;
}

QString SwitchTimingView::msText(double seconds)
{
    const double ms = std::round(seconds * 1000.0); // halves away from zero
    if (!std::isfinite(ms) || std::fabs(ms) > wholeNumberLimit)
        return QStringLiteral("—");
    return Units::ms(static_cast<qint64>(ms));
}

QString SwitchTimingView::thresholdText(double db)
{
    const double whole = std::trunc(db);
    if (!std::isfinite(whole) || std::fabs(whole) > wholeNumberLimit)
        return QStringLiteral("—");
    return QString::number(static_cast<qint64>(whole));
}

SwitchTimingView::Group SwitchTimingView::group(const Card &card, const TimingInputs &in)
{
    switch (card.control.kind) {
    case CardControl::Kind::fadeToggle:
        return in.fadeSwitching() ? Group::first : Group::always;
    case CardControl::Kind::radio:
        if (card.control.mode != in.boundaryMode)
            return Group::always;
        // With fade-out switching in use this method only takes the boundaries it passes over.
        return in.fadeSwitching() ? Group::fallback : Group::first;
    case CardControl::Kind::none:
        return card.id == u"pick" ? Group::also : Group::always;
    }
    return Group::always;
}

QString SwitchTimingView::groupTitle(Group group, const TimingInputs &in)
{
    switch (group) {
    case Group::first:
        return in.fadeSwitching() ? Tr::tr("Primary Switch Method") : Tr::tr("Switch Method");
    case Group::fallback:
        return Tr::tr("Fallback Switch Method");
    case Group::also:
    case Group::always:
        break;
    }
    return Tr::tr("Always On");
}

std::optional<QColor> SwitchTimingView::groupColor(Group group, SystemColors::Appearance appearance)
{
    switch (group) {
    case Group::first:
        return SystemColors::blue(appearance);
    case Group::fallback:
        return SystemColors::red(appearance);
    case Group::also:
        return SystemColors::green(appearance);
    case Group::always:
        break;
    }
    return std::nullopt;
}

void SwitchTimingView::loadBands(QList<RailBand> &lane, const QString &label, const TimingInputs &in)
{
    const double d = delaySec(in);
    const double l = loadSec(in);
    if (in.delayMs > 0)
        lane.append(RailBand{QUuid::createUuid(), 0, d, RailFill::silence, Tr::tr("delay"), std::nullopt});
    lane.append(RailBand{QUuid::createUuid(), d, d + l, RailFill::loading, Tr::tr("loading"), std::nullopt});
    lane.append(RailBand{QUuid::createUuid(), d + l, tailSpan(in), RailFill::next, label, std::nullopt});
}

RailSpan SwitchTimingView::loadSpan(const TimingInputs &in)
{
    const double d = delaySec(in);
    const double l = loadSec(in);
    const QString seconds = Units::seconds(Bundle::main(), l);
    QString label;
    if (loadAssumed(in)) {
        //: Under Music.app's loading band when nothing was measured; the placeholder is seconds ("0.9 s").
        label = Tr::tr("typical load %1 (assumed)").arg(seconds);
    } else {
        //: Under Music.app's loading band; the placeholder is the measured median in seconds ("0.9 s").
        label = Tr::tr("typical load %1").arg(seconds);
    }
    return RailSpan{QUuid::createUuid(), d, d + l, label, RailColor::primary, std::nullopt};
}

qsizetype SwitchTimingView::shownCardIndex(const QList<Card> &cards, const std::optional<QString> &shownID,
                                           const TimingInputs &in)
{
    const auto indexOf = [&](const QString &id) -> qsizetype {
        for (qsizetype i = 0; i < cards.size(); ++i) {
            if (cards[i].id == id)
                return i;
        }
        return -1;
    };
    if (shownID) {
        if (const qsizetype asked = indexOf(*shownID); asked >= 0)
            return asked;
    }
    const qsizetype wanted = indexOf(in.fadeSwitching() ? QStringLiteral("fade") : in.boundaryMode);
    return wanted >= 0 ? wanted : 0;
}

qsizetype SwitchTimingView::shownCaseIndex(const Card &card, const QString &fadeCase)
{
    for (qsizetype i = 0; i < card.cases.size(); ++i) {
        if (card.cases[i].id == fadeCase)
            return i;
    }
    return 0;
}

bool SwitchTimingView::adoptRequestedTab()
{
    if (!model || !model->visualizerTab())
        return false;
    shownID = *model->visualizerTab();
    model->setVisualizerTab(std::nullopt);
    return true;
}
