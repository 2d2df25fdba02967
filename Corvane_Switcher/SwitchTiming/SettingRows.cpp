#include "SettingRows.h"

#include "SwitchTimingView.h"
#include "SwitcherModel.h"
#include "Units.h"

#include <QCoreApplication>

#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

using Control = SettingRowValues::Control;

// A model value in seconds as the stepper counts it: whole milliseconds, halves away from zero.
double millis(double seconds)
{
    return Units::roundHalfAwayFromZero(seconds * 1000.0);
}

SettingRowValues stepper(SettingKey key, QString title, QString valueText, double value, double minimum,
                         double maximum, double step)
{
    return {key, Control::stepper, std::move(title), std::move(valueText), value, minimum, maximum, step,
            true};
}

} // namespace

SettingRowValues settingRowValues(SettingKey key, const SwitcherModel &model)
{
    switch (key) {
    case SettingKey::relock:
        return stepper(key, {}, Units::ms(model.leadMs()), model.leadMs(), SwitcherModel::leadMsMinimum,
                       SwitcherModel::leadMsMaximum, 100);
    case SettingKey::listeningWindow:
        return stepper(key, Tr::tr("Listening Window"), SwitchTimingView::msText(model.quietWindowSec()),
                       millis(model.quietWindowSec()), 3000, 15000, 500);
    case SettingKey::threshold:
        return stepper(key, Tr::tr("Silence Threshold"),
                       SwitchTimingView::thresholdText(model.quietThresholdDb()) + QStringLiteral(" dBFS"),
                       model.quietThresholdDb(), -80, -30, 5);
    case SettingKey::minimumQuiet:
        return stepper(key, Tr::tr("Minimum Quiet"), SwitchTimingView::msText(model.quietHoldSec()),
                       millis(model.quietHoldSec()), 300, 4000, 100);
    case SettingKey::fadeExtend: {
        const bool lead = model.boundaryMode() == u"lead";
        //: Beside "Extend a Late Fade with a Brief Pause" while Switch at the End is the method.
        const QString note = lead ? Tr::tr("not used with Switch at the End") : QString();
        return {key,
                Control::toggle,
                Tr::tr("Extend a Late Fade with a Brief Pause"),
                note,
                model.fadeExtendPause() ? 1.0 : 0.0,
                0,
                1,
                1,
                !lead};
    }
    case SettingKey::pausePoint:
        //: The Pause Point's value: milliseconds before the end of the track.
        return stepper(key, Tr::tr("Pause Point"),
                       Tr::tr("%1 before the end").arg(SwitchTimingView::msText(model.pausePointSec())),
                       millis(model.pausePointSec()), 100, 3000, 100);
    case SettingKey::delay: {
        const std::optional<int> set = model.handOverDelayMs();
        QString text;
        if (set) {
            text = Units::ms(*set);
        } else {
            //: Delay Added, figured automatically; the placeholder is milliseconds ("1500 ms").
            text = Tr::tr("%1 · automatic").arg(Units::ms(model.switcher().relockLeadMs()));
        }
        return stepper(key, Tr::tr("Delay Added"), text, model.handOverDelayBindingValue(), 0,
                       SwitcherModel::handOverDelayMaximum, 50);
    }
    case SettingKey::automatic:
        return {key,
                Control::button,
                Tr::tr("Set Automatically"),
                {},
                0,
                0,
                0,
                0,
                model.handOverDelayMs().has_value()};
    }
    return {};
}

void applySetting(SettingKey key, double value, SwitcherModel &model)
{
    switch (key) {
    case SettingKey::relock:
        model.setLeadMs(int(Units::roundHalfAwayFromZero(value)));
        break;
    case SettingKey::listeningWindow:
        model.setQuietWindowSec(value / 1000.0);
        break;
    case SettingKey::threshold:
        model.setQuietThresholdDb(value);
        break;
    case SettingKey::minimumQuiet:
        model.setQuietHoldSec(value / 1000.0);
        break;
    case SettingKey::fadeExtend:
        model.setFadeExtendPause(value != 0);
        break;
    case SettingKey::pausePoint:
        model.setPausePointSec(value / 1000.0);
        break;
    case SettingKey::delay:
        model.setHandOverDelayBindingValue(int(Units::roundHalfAwayFromZero(value)));
        break;
    case SettingKey::automatic:
        model.setHandOverDelayMs(std::nullopt);
        break;
    }
}
