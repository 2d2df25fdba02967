#pragma once

// The small presentation pieces the window's header uses.

#include <QFrame>

class QLabel;

namespace RateLibrary {

// `content` on a rounded card stretched to the full width, its content at the leading edge.
QFrame *card(QWidget *content, QWidget *parent = nullptr);
// A small upper-cased heading in the secondary colour.
QLabel *sectionLabel(const QString &text, QWidget *parent = nullptr);

} // namespace RateLibrary
