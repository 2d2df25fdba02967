#pragma once

class QWidget;
class SwitcherModel;

// The root view of each window scene, made anew every time the window opens (view state starts
// afresh). Each is defined in its window's folder; the shell owns the top-level window around it.
QWidget *makeLearnedRatesWindow(SwitcherModel &model);    // "learned", RateLibrary/
QWidget *makePlaybackHistoryWindow(SwitcherModel &model); // "history", PlaybackHistory/
QWidget *makeSwitchTimingWindow(SwitcherModel &model);    // "timing", SwitchTiming/
