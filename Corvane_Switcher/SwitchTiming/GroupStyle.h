#pragma once

// How a card's group colours the tab row and the card panel. The tab's caption, weight, text,
// inset, fill and outline follow the card's stored group (its section of the tab row, which never
// changes); its dot and the panel's tint and border follow the group the card is in now.

#include "SwitchTimingView.h"

#include <QColor>
#include <QFont>
#include <QMarginsF>

#include <optional>

namespace GroupStyle {

using Group = SwitchTimingView::Group;
using Appearance = SystemColors::Appearance;

struct TabStyle {
    enum class Fill { brandGradient, controlBackground, none };
    std::optional<QColor> dot; // none: no dot
    QFont::Weight weight = QFont::DemiBold;
    QColor text;
    QMarginsF inset;
    Fill fill = Fill::none;
    std::optional<QColor> outline; // a 1-point capsule stroke
    bool operator==(const TabStyle &) const = default;
};
// The style of a tab whose card sits in `section` of the tab row and is in group `now`.
TabStyle tabStyle(Group section, Group now, bool selected, Appearance appearance);

// A section's caption, before upper-casing, and its colour.
QString caption(Group section);
QColor captionColor(Group section, Appearance appearance);

struct PanelStyle {
    QColor tint; // transparent for `always`
    QColor border;
    double borderWidth = 1.0;
    bool operator==(const PanelStyle &) const = default;
};
PanelStyle panelStyle(Group now, Appearance appearance);
// The window background, the control background at 0.6 over it, the group's tint over that: one
// opaque colour, which is also what labels on the panel are knocked out with.
QColor panelBackground(Group now, Appearance appearance);

} // namespace GroupStyle
