#include "GroupStyle.h"

#include "Platform/BrandColors.h"

#include <QCoreApplication>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

// `top` at `opacity` over the opaque `bottom`.
QColor over(const QColor &bottom, const QColor &top, double opacity)
{
    const double a = top.alphaF() * opacity;
    return QColor::fromRgbF(float(bottom.redF() * (1 - a) + top.redF() * a),
                            float(bottom.greenF() * (1 - a) + top.greenF() * a),
                            float(bottom.blueF() * (1 - a) + top.blueF() * a));
}
} // namespace

namespace GroupStyle {

TabStyle tabStyle(Group section, Group now, bool selected, Appearance appearance)
{
    const bool also = section == Group::also;
    TabStyle style;
    if (const std::optional<QColor> color = SwitchTimingView::groupColor(now, appearance))
        style.dot = selected ? QColor(Qt::white) : *color;
    style.weight = selected || !also ? QFont::DemiBold : QFont::Medium;
    if (selected)
        style.text = QColor(Qt::white);
    else
        style.text = also ? SystemColors::secondaryLabel(appearance) : SystemColors::label(appearance);
    style.inset = QMarginsF(also ? 9 : 12, 5, also ? 9 : 12, 5);
    if (selected)
        style.fill = TabStyle::Fill::brandGradient;
    else
        style.fill = also ? TabStyle::Fill::none : TabStyle::Fill::controlBackground;
    if (!selected && !also) {
        style.outline = section == Group::first
                            ? SystemColors::withOpacity(BrandColors::brandRedStart(), 0.45)
                            : SystemColors::withOpacity(SystemColors::label(appearance), 0.12);
    }
    return style;
}

QString caption(Group section)
{
    switch (section) {
    case Group::first:
        //: Caption over the tab of the method used first (fade-out switching).
        return Tr::tr("First choice");
    case Group::fallback:
        //: Caption over the tabs of the methods used when no fade is found.
        return Tr::tr("When there's no fade");
    case Group::also:
        //: Caption over the tabs of the other methods one can choose instead.
        return Tr::tr("If you'd rather");
    case Group::always:
        break;
    }
    //: Caption over the tab of what always applies (a picked track).
    return Tr::tr("Always on");
}

QColor captionColor(Group section, Appearance appearance)
{
    return section == Group::first ? BrandColors::brandRedStart() : SystemColors::secondaryLabel(appearance);
}

PanelStyle panelStyle(Group now, Appearance appearance)
{
    const std::optional<QColor> color = SwitchTimingView::groupColor(now, appearance);
    if (!color)
        return {QColor(Qt::transparent), SystemColors::separator(appearance), 1.0};
    return {SystemColors::withOpacity(*color, 0.08), SystemColors::withOpacity(*color, 0.55), 1.5};
}

QColor panelBackground(Group now, Appearance appearance)
{
    const QColor base =
        over(SystemColors::windowBackground(appearance), SystemColors::controlBackground(appearance), 0.6);
    const std::optional<QColor> color = SwitchTimingView::groupColor(now, appearance);
    return color ? over(base, *color, 0.08) : base;
}

} // namespace GroupStyle
