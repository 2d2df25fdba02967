#pragma once

// Fonts and text colours the explainer's parts share.

#include <QFont>
#include <QTextOption>

class QLabel;

namespace ExplainerStyle {

// The output's name and Music.app's setting: 14 points, semibold.
QFont valueFont();
// The caption font in the secondary colour, wrapping onto as many lines as it needs.
QLabel *sentenceLabel(QWidget *parent);
void setSecondary(QWidget *widget);
// Painted text takes its direction from its own letters, so figures and names read the right way
// round in a right-to-left window too.
QTextOption textOption(Qt::Alignment alignment, bool wrap = false);

} // namespace ExplainerStyle
