#include "TimelineRail.h"

#include "Platform/FontStyles.h"
#include "RailFills.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

using Appearance = SystemColors::Appearance;

constexpr double laneGap = 4;      // between the two lanes
constexpr double laneLabelGap = 8; // between a lane's label and the lane
constexpr double discGap = 3;      // between rows of discs, and between discs in a row
constexpr double spanTick = 4;     // how far a bracket's ends rise
constexpr double labelPadding = 3; // knocked-out room around a label
constexpr double bandTextPadding = 4;

// Intervals taken on one row; a new one goes on the first row where it overlaps nothing.
class Rows {
public:
    int place(double from, double to)
    {
        for (qsizetype row = 0; row < m_rows.size(); ++row) {
            const auto &taken = m_rows[row];
            const bool free =
                std::none_of(taken.cbegin(), taken.cend(), [&](const std::pair<double, double> &t) {
                    return from < t.second && t.first < to;
                });
            if (free) {
                m_rows[row].append({from, to});
                return int(row);
            }
        }
        m_rows.append({{from, to}});
        return int(m_rows.size() - 1);
    }
    int count() const { return int(m_rows.size()); }

private:
    QList<QList<std::pair<double, double>>> m_rows;
};

// The text as it fits in `width`: whole, shortened with "…", or nothing when too little would show.
QString fitted(const QFontMetricsF &fm, const QString &text, double width)
{
    if (width <= 0)
        return {};
    if (fm.horizontalAdvance(text) <= width)
        return text;
    const QString elided = fm.elidedText(text, Qt::ElideRight, width);
    return elided.size() >= 4 ? elided : QString();
}

} // namespace

RailFonts RailFonts::make(const RailParams &params)
{
    RailFonts fonts;
    fonts.band = FontStyles::systemFont(params.bandFont * params.textScale);
    fonts.compactBand = FontStyles::systemFont(params.bandFont * params.textScale * 0.85);
    fonts.lane = FontStyles::systemFont(params.bandFont * params.textScale, QFont::DemiBold);
    fonts.disc = FontStyles::systemFont(params.markFont * params.textScale, QFont::DemiBold);
    fonts.label = FontStyles::systemFont(params.markFont * params.textScale);
    return fonts;
}

RailLayout TimelineRail::layout(const RailSpec &spec, const RailParams &params, const QRectF &rect,
                                const RailFonts &fonts)
{
    RailLayout out;
    const QFontMetricsF bandFm(fonts.band);
    const QFontMetricsF compactFm(fonts.compactBand);
    const QFontMetricsF laneFm(fonts.lane);
    const QFontMetricsF discFm(fonts.disc);
    const QFontMetricsF labelFm(fonts.label);

    //: The upper lane of a timeline: what Music.app plays.
    const QString music = Tr::tr("Music.app");
    //: The lower lane of a timeline: the output device's sample rate.
    const QString output = Tr::tr("Output rate");
    // The label column is as wide as asked, or as the labels need at this text size.
    const double labelColumn =
        std::max(params.laneLabelWidth,
                 std::ceil(std::max(laneFm.horizontalAdvance(music), laneFm.horizontalAdvance(output))) +
                     laneLabelGap);
    const double laneLeft = rect.left() + labelColumn;
    const double laneRight = std::max(laneLeft + 1, rect.right());
    const double laneWidth = laneRight - laneLeft;
    const double range = params.tMax > params.tMin ? params.tMax - params.tMin : 1.0;
    const auto xOf = [&](double t) {
        const double x = laneLeft + (t - params.tMin) / range * laneWidth;
        return std::isfinite(x) ? std::clamp(x, laneLeft, laneRight) : laneLeft;
    };
    double y = rect.top();

    // The zero line's caption, centred on the line where the rail allows.
    const bool zeroCaption = spec.zeroLine && spec.zeroLabel && !spec.zeroLabel->isEmpty();
    if (spec.zeroLine)
        out.zeroX = xOf(0);
    if (zeroCaption) {
        out.zeroText = fitted(labelFm, *spec.zeroLabel, laneWidth - 2 * labelPadding);
        const double width = labelFm.horizontalAdvance(out.zeroText) + 2 * labelPadding;
        const double left = std::clamp(*out.zeroX - width / 2, laneLeft, laneRight - width);
        out.zeroLabelRect = QRectF(left, y, width, labelFm.height());
        y += labelFm.height() + 2;
    }
    out.zeroTop = zeroCaption ? out.zeroLabelRect.bottom() : y;

    // Discs in step order, each on the first row where it overlaps no other.
    const double diameter = std::ceil(discFm.height() + 4);
    const QList<int> order = stepOrder(spec.marks);
    Rows discRows;
    QList<int> discRow;
    for (qsizetype i = 0; i < order.size(); ++i) {
        const RailMark &mark = spec.marks[order[i]];
        RailLayout::Mark m;
        m.index = order[i];
        m.number = int(i) + 1;
        m.x = xOf(mark.t);
        m.strong = mark.strong;
        m.setting = mark.setting;
        m.color = mark.color;
        m.label = mark.label;
        const double cx = std::clamp(m.x, laneLeft + diameter / 2, laneRight - diameter / 2);
        discRow.append(discRows.place(cx - diameter / 2 - discGap / 2, cx + diameter / 2 + discGap / 2));
        m.disc = QRectF(cx - diameter / 2, 0, diameter, diameter);
        out.marks.append(m);
    }
    for (qsizetype i = 0; i < out.marks.size(); ++i)
        out.marks[i].disc.moveTop(y + discRow[i] * (diameter + discGap));
    if (discRows.count() > 0)
        y += discRows.count() * (diameter + discGap) + 1;

    // The two lanes and their labels.
    out.musicLane = QRectF(laneLeft, y, laneWidth, params.laneHeight);
    y += params.laneHeight + laneGap;
    out.outputLane = QRectF(laneLeft, y, laneWidth, params.laneHeight);
    y += params.laneHeight;
    const double labelWidth = labelColumn - laneLabelGap;
    out.musicLabel = laneFm.elidedText(music, Qt::ElideRight, labelWidth);
    out.outputLabel = laneFm.elidedText(output, Qt::ElideRight, labelWidth);
    out.musicLabelRect = QRectF(rect.left(), out.musicLane.top(), labelWidth, params.laneHeight);
    out.outputLabelRect = QRectF(rect.left(), out.outputLane.top(), labelWidth, params.laneHeight);

    const auto addBands = [&](const QList<RailBand> &bands, const QRectF &lane) {
        for (const RailBand &band : bands) {
            RailLayout::Band b;
            const double x0 = xOf(std::min(band.from, band.to));
            const double x1 = xOf(std::max(band.from, band.to));
            b.rect = QRectF(x0, lane.top(), x1 - x0, lane.height());
            b.fill = band.fill;
            b.label = band.label;
            if (band.fadeAt)
                b.fadeX = xOf(*band.fadeAt);
            // A fading band's label goes where the music is still loud, when it fits there.
            QRectF area = b.rect;
            const double wanted = bandFm.horizontalAdvance(band.label) + 2 * bandTextPadding;
            if (b.fadeX && *b.fadeX - x0 >= wanted)
                area.setRight(*b.fadeX);
            const double room = area.width() - 2 * bandTextPadding;
            b.compact = bandFm.horizontalAdvance(band.label) > room &&
                        compactFm.horizontalAdvance(band.label) <= room;
            b.text = b.compact ? band.label : fitted(bandFm, band.label, room);
            if (!b.text.isEmpty()) {
                const double width = (b.compact ? compactFm : bandFm).horizontalAdvance(b.text);
                b.textRect = QRectF(area.center().x() - width / 2, lane.top(), width, lane.height());
            }
            out.bands.append(b);
        }
    };
    addBands(spec.music, out.musicLane);
    addBands(spec.output, out.outputLane);

    // Brackets under the lanes, their labels centred under them; rows as for the discs.
    y += 6;
    const double spanRowHeight = spanTick + 2 + labelFm.height() + 4;
    Rows spanRows;
    QList<int> spanRow;
    for (qsizetype i = 0; i < spec.spans.size(); ++i) {
        const RailSpan &span = spec.spans[i];
        RailLayout::Span s;
        s.index = int(i);
        s.x0 = xOf(std::min(span.from, span.to));
        s.x1 = xOf(std::max(span.from, span.to));
        s.label = span.label;
        s.text = fitted(labelFm, span.label, laneWidth - 2 * labelPadding);
        s.color = span.color;
        s.setting = span.setting;
        const double width = labelFm.horizontalAdvance(s.text) + 2 * labelPadding;
        const double left = std::clamp((s.x0 + s.x1) / 2 - width / 2, laneLeft, laneRight - width);
        s.labelRect = QRectF(left, 0, width, labelFm.height());
        spanRow.append(spanRows.place(std::min(s.x0, left) - 6, std::max(s.x1, left + width) + 6));
        out.spans.append(s);
    }
    for (qsizetype i = 0; i < out.spans.size(); ++i) {
        RailLayout::Span &s = out.spans[i];
        s.y = std::floor(y + spanRow[i] * spanRowHeight) + 0.5;
        s.labelRect.moveTop(s.y + spanTick - 2);
    }
    y += spanRows.count() * spanRowHeight;
    out.height = std::ceil(y - rect.top() + 2);
    return out;
}

std::optional<RailLayout::Hit> RailLayout::hitAt(const QPointF &point) const
{
    for (qsizetype i = 0; i < marks.size(); ++i) {
        // A little slack around a small disc.
        const QRectF area = marks[i].disc.adjusted(-2, -2, 2, 2);
        if (area.contains(point))
            return Hit{Hit::Kind::mark, int(i), marks[i].disc, marks[i].setting};
    }
    for (qsizetype i = 0; i < spans.size(); ++i) {
        if (spans[i].labelRect.contains(point))
            return Hit{Hit::Kind::span, int(i), spans[i].labelRect, spans[i].setting};
    }
    for (qsizetype i = bands.size() - 1; i >= 0; --i) {
        if (bands[i].rect.contains(point))
            return Hit{Hit::Kind::band, int(i), bands[i].rect, std::nullopt};
    }
    return std::nullopt;
}

QList<RailLayout::Hit> RailLayout::keyedTargets() const
{
    QList<Hit> targets;
    for (qsizetype i = 0; i < marks.size(); ++i) {
        if (marks[i].setting)
            targets.append(Hit{Hit::Kind::mark, int(i), marks[i].disc, marks[i].setting});
    }
    QList<Hit> spanTargets;
    for (qsizetype i = 0; i < spans.size(); ++i) {
        if (spans[i].setting)
            spanTargets.append(Hit{Hit::Kind::span, int(i), spans[i].labelRect, spans[i].setting});
    }
    std::stable_sort(spanTargets.begin(), spanTargets.end(),
                     [](const Hit &a, const Hit &b) { return a.area.left() < b.area.left(); });
    return targets + spanTargets;
}

QString RailLayout::toolTipAt(const QPointF &point, QRectF *area) const
{
    const std::optional<Hit> hit = hitAt(point);
    if (!hit)
        return {};
    if (area)
        *area = hit->area;
    switch (hit->kind) {
    case Hit::Kind::mark: {
        const Mark &mark = marks[hit->item];
        //: A step of a timeline: its number, then what happens.
        return Tr::tr("%1. %2").arg(mark.number).arg(mark.label);
    }
    case Hit::Kind::span:
        return spans[hit->item].text == spans[hit->item].label ? QString() : spans[hit->item].label;
    case Hit::Kind::band:
        return bands[hit->item].text == bands[hit->item].label ? QString() : bands[hit->item].label;
    }
    return {};
}

TimelineRail::TimelineRail(QWidget *parent) : SettingLinksWidget(parent), m_fonts(RailFonts::make(m_params))
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    //: Accessible name of a timeline.
    setAccessibleName(Tr::tr("Timeline"));
    // Time runs left to right in every language.
    setLayoutDirection(Qt::LeftToRight);
}

void TimelineRail::setSpec(const RailSpec &spec, const RailParams &params)
{
    const int before = heightForWidth(width());
    m_spec = spec;
    if (!(params == m_params)) {
        m_params = params;
        m_fonts = RailFonts::make(params);
    }
    dropLayout();
    linksChanged();
    // Most changes of a setting move things along the rail; only a new height needs a new layout.
    if (heightForWidth(width()) != before)
        updateGeometry();
    update();
}

void TimelineRail::setKnockout(const QColor &color)
{
    if (m_knockout == color)
        return;
    m_knockout = color;
    update();
}

const RailLayout &TimelineRail::currentLayout() const
{
    if (!m_layout)
        m_layout = layout(m_spec, m_params, QRectF(rect()), m_fonts);
    return *m_layout;
}

void TimelineRail::dropLayout()
{
    m_layout.reset();
}

int TimelineRail::heightForWidth(int width) const
{
    if (width == this->width())
        return int(currentLayout().height);
    return int(layout(m_spec, m_params, QRectF(0, 0, width, 0), m_fonts).height);
}

QSize TimelineRail::sizeHint() const
{
    const int width = int(m_params.laneLabelWidth) + 480;
    return QSize(width, heightForWidth(width));
}

QSize TimelineRail::minimumSizeHint() const
{
    const int width = int(m_params.laneLabelWidth) + 200;
    return QSize(width, heightForWidth(width));
}

void TimelineRail::paintDisc(QPainter &painter, const QRectF &disc, int number, bool strong, bool linked,
                             bool hovered, const QFont &font, const QColor &background, Appearance appearance,
                             const std::optional<QColor> &color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = color.value_or(SystemColors::label(appearance));
    const QRectF shape = disc.adjusted(0.75, 0.75, -0.75, -0.75);
    if (strong) {
        // The decisive step: a solid disc.
        painter.setPen(QPen(linked ? SystemColors::accent(appearance) : ink, hovered ? 2.5 : 1.5));
        painter.setBrush(ink);
    } else {
        painter.setPen(
            QPen(linked ? SystemColors::accent(appearance) : SystemColors::secondaryLabel(appearance),
                 hovered ? 2.0 : 1.0));
        painter.setBrush(background);
    }
    painter.drawEllipse(shape);
    painter.setFont(font);
    QColor numberColor = strong ? background : ink;
    numberColor.setAlpha(255);
    painter.setPen(numberColor);
    painter.drawText(disc, Qt::AlignCenter, QString::number(number));
    painter.restore();
}

void TimelineRail::paintEvent(QPaintEvent *)
{
    const RailLayout &l = currentLayout();
    const Appearance appearance = SystemColors::appearanceOf(this);
    const QColor knockout = m_knockout.isValid() ? m_knockout : SystemColors::windowBackground(appearance);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // Lane labels, and a faint track under each lane so that an empty stretch still reads as lane.
    painter.setFont(m_fonts.lane);
    painter.setPen(SystemColors::secondaryLabel(appearance));
    painter.drawText(l.musicLabelRect, Qt::AlignLeft | Qt::AlignVCenter, l.musicLabel);
    painter.drawText(l.outputLabelRect, Qt::AlignLeft | Qt::AlignVCenter, l.outputLabel);
    const QColor track = SystemColors::withOpacity(SystemColors::separator(appearance), 0.6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(track);
    painter.drawRoundedRect(l.musicLane, 4, 4);
    painter.drawRoundedRect(l.outputLane, 4, 4);

    // Bands and their labels.
    for (const RailLayout::Band &band : l.bands) {
        RailFills::paint(painter, band.rect, band.fill, appearance, band.fadeX);
        if (!band.text.isEmpty()) {
            painter.setFont(band.compact ? m_fonts.compactBand : m_fonts.band);
            painter.setPen(RailFills::textColor(band.fill, appearance));
            painter.drawText(band.textRect, Qt::AlignCenter, band.text);
        }
    }

    // The zero line and the marks' lines, kept off every label they cross.
    QRegion lineClip(rect());
    for (const RailLayout::Band &band : l.bands) {
        if (!band.text.isEmpty())
            lineClip -= band.textRect.adjusted(-2, 3, 2, -3).toAlignedRect();
    }
    for (const RailLayout::Span &span : l.spans)
        lineClip -= span.labelRect.toAlignedRect();
    if (!l.zeroText.isEmpty())
        lineClip -= l.zeroLabelRect.toAlignedRect();
    painter.save();
    painter.setClipRegion(lineClip);
    if (l.zeroX) {
        QPen pen(SystemColors::label(appearance), 1.5, Qt::DashLine);
        painter.setPen(pen);
        const double x = std::round(*l.zeroX);
        painter.drawLine(QPointF(x, l.zeroTop), QPointF(x, l.height - 1));
    }
    for (const RailLayout::Mark &mark : l.marks) {
        const QColor ink =
            mark.strong ? SystemColors::label(appearance) : SystemColors::secondaryLabel(appearance);
        painter.setPen(QPen(mark.color ? railColor(*mark.color, appearance) : ink, mark.strong ? 1.5 : 1.0));
        const double x = std::round(mark.x) + (mark.strong ? 0 : 0.5);
        painter.drawLine(QPointF(x, mark.disc.bottom()), QPointF(x, l.outputLane.bottom()));
        // Where the line leaves the disc row for a nudged disc, a short leader joins them.
        if (std::abs(mark.disc.center().x() - mark.x) > 0.5)
            painter.drawLine(QPointF(mark.disc.center().x(), mark.disc.bottom()),
                             QPointF(x, mark.disc.bottom() + 3));
    }
    painter.restore();

    // Brackets and their labels, each label on the card's background.
    const std::optional<Link> hovered = hoveredLink();
    painter.setFont(m_fonts.label);
    for (qsizetype i = 0; i < l.spans.size(); ++i) {
        const RailLayout::Span &span = l.spans[i];
        const QColor color = railColor(span.color, appearance);
        painter.setPen(QPen(color, 1.25));
        QPainterPath bracket;
        bracket.moveTo(span.x0, span.y - spanTick);
        bracket.lineTo(span.x0, span.y);
        bracket.lineTo(span.x1, span.y);
        bracket.lineTo(span.x1, span.y - spanTick);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(bracket);
        painter.fillRect(span.labelRect, knockout);
        QFont font = m_fonts.label;
        font.setUnderline(hovered && hovered->item == spanItem(int(i)));
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(span.labelRect, Qt::AlignCenter, span.text);
    }
    if (!l.zeroText.isEmpty()) {
        painter.setFont(m_fonts.label);
        painter.fillRect(l.zeroLabelRect, knockout);
        painter.setPen(SystemColors::label(appearance));
        painter.drawText(l.zeroLabelRect, Qt::AlignCenter, l.zeroText);
    }

    // The numbered discs on top.
    for (qsizetype i = 0; i < l.marks.size(); ++i) {
        const RailLayout::Mark &mark = l.marks[i];
        std::optional<QColor> color;
        if (mark.color)
            color = railColor(*mark.color, appearance);
        paintDisc(painter, mark.disc, mark.number, mark.strong, mark.setting.has_value(),
                  hovered && hovered->item == int(i), m_fonts.disc, knockout, appearance, color);
    }
    paintFocus(painter);
}

QList<SettingLinksWidget::Link> TimelineRail::links() const
{
    QList<Link> out;
    for (const RailLayout::Hit &target : currentLayout().keyedTargets()) {
        const int item = target.kind == RailLayout::Hit::Kind::mark ? target.item : spanItem(target.item);
        out.append(Link{target.area, *target.setting, item});
    }
    return out;
}

bool TimelineRail::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        QRectF area;
        const QString text = currentLayout().toolTipAt(help->pos(), &area);
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this, area.toAlignedRect());
        return true;
    }
    return SettingLinksWidget::event(event);
}

void TimelineRail::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        dropLayout();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

void TimelineRail::resizeEvent(QResizeEvent *event)
{
    dropLayout();
    QWidget::resizeEvent(event);
}
