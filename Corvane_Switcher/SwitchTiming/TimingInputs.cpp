#include "SwitchTimingView.h"

#include "SwitcherModel.h"

TimingInputs TimingInputs::fromModel(const SwitcherModel &model)
{
    TimingInputs in;
    in.leadMs = model.leadMs();
    in.quietWindowSec = model.quietWindowSec();
    in.quietThresholdDb = model.quietThresholdDb();
    in.quietHoldSec = model.quietHoldSec();
    in.pausePointSec = model.pausePointSec();
    in.fadeExtendPause = model.fadeExtendPause();
    in.audioTap = model.audioTap();
    in.tapSupported = model.platform().musicApp && model.platform().musicApp->processTapSupported();
    in.boundaryMode = model.boundaryMode();
    const RateSwitcher &engine = model.switcher();
    in.delayMs = engine.handOverDelayMs().value_or(engine.relockLeadMs());
    in.loadStats = engine.history().musicStartStats();
    return in;
}

TimingInputs SwitchTimingView::inputs() const
{
    return model ? TimingInputs::fromModel(*model) : TimingInputs{};
}
