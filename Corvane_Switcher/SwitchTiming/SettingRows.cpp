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
    case SettingKey::listeningWindow: {
        //: A setting's name, as Settings has it: how long before the end the fade is listened for.
        const QString title = Tr::tr("Listening Window");
        return stepper(key, title, SwitchTimingView::msText(model.quietWindowSec()),
                       millis(model.quietWindowSec()), 3000, 15000, 500);
    }
    case SettingKey::threshold: {
        //: A setting's name, as Settings has it: how quiet the music must get to count as quiet.
        const QString title = Tr::tr("Silence Threshold");
        const QString value =
            SwitchTimingView::thresholdText(model.quietThresholdDb()) + QStringLiteral(" dBFS");
        return stepper(key, title, value, model.quietThresholdDb(), -80, -30, 5);
    }
    case SettingKey::minimumQuiet: {
        //: A setting's name, as Settings has it: how long the quiet must hold.
        const QString title = Tr::tr("Minimum Quiet");
        return stepper(key, title, SwitchTimingView::msText(model.quietHoldSec()),
                       millis(model.quietHoldSec()), 300, 4000, 100);
    }
    case SettingKey::fadeExtend: {
        const bool lead = model.boundaryMode() == u"lead";
        //: Beside "Extend a Late Fade with a Brief Pause" while Switch at the End is the method.
        const QString note = lead ? Tr::tr("not used with Switch at the End") : QString();
        //: A setting's name, as Settings has it (a switch).
        const QString title = Tr::tr("Extend a Late Fade with a Brief Pause");
        return {key, Control::toggle, title, note, model.fadeExtendPause() ? 1.0 : 0.0, 0, 1, 1, !lead};
    }
    case SettingKey::pausePoint: {
        //: A setting's name, as Settings has it: where playback pauses before the end.
        const QString title = Tr::tr("Pause Point");
        //: The Pause Point's value: milliseconds before the end of the track.
        const QString value =
            Tr::tr("%1 before the end").arg(SwitchTimingView::msText(model.pausePointSec()));
        return stepper(key, title, value, millis(model.pausePointSec()), 100, 3000, 100);
    }
    case SettingKey::delay: {
        QString value;
        if (const std::optional<int> set = model.handOverDelayMs()) {
            value = Units::ms(*set);
        } else {
            //: Delay Added, figured automatically; the placeholder is milliseconds ("1500 ms").
            value = Tr::tr("%1 · automatic").arg(Units::ms(model.switcher().relockLeadMs()));
        }
        //: A setting's name, as Settings has it: the wait before a new track is asked for.
        const QString title = Tr::tr("Delay Added");
        return stepper(key, title, value, model.handOverDelayBindingValue(), 0,
                       SwitcherModel::handOverDelayMaximum, 50);
    }
    case SettingKey::automatic: {
        //: A button: Delay Added goes back to being figured automatically.
        const QString title = Tr::tr("Set Automatically");
        return {key, Control::button, title, {}, 0, 0, 0, 0, model.handOverDelayMs().has_value()};
    }
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
