#include "RailFills.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

using SystemColors::Appearance;

constexpr double cornerRadius = 4.0;

// The music as it was: a slate that white text reads on in both appearances.
QColor slate(Appearance a)
{
    return SystemColors::forAppearance(a, QColor(0x5f, 0x72, 0x8c), QColor(0x5a, 0x6b, 0x82));
}

// The next track at its own rate.
QColor teal(Appearance a)
{
    return SystemColors::forAppearance(a, QColor(0x1f, 0x80, 0x74), QColor(0x2a, 0x8f, 0x82));
}

QColor amber(Appearance a)
{
    return SystemColors::forAppearance(a, QColor(0xe0, 0x9a, 0x1c), QColor(0xd8, 0x9c, 0x2e));
}

QPainterPath rounded(const QRectF &rect)
{
    QPainterPath path;
    const double radius = std::min({cornerRadius, rect.width() / 2, rect.height() / 2});
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A fill that fades out from `fromX` to the right end of `rect`.
QBrush fading(const QRectF &rect, const QColor &color, double fromX, double endOpacity)
{
    QLinearGradient gradient(QPointF(rect.left(), 0), QPointF(rect.right(), 0));
    const double width = std::max(rect.width(), 1.0);
    const double start = std::clamp((fromX - rect.left()) / width, 0.0, 1.0);
    gradient.setColorAt(0, color);
    gradient.setColorAt(start, color);
    gradient.setColorAt(1, SystemColors::withOpacity(color, endOpacity));
    return gradient;
}

void hatch(QPainter &painter, const QPainterPath &path, const QColor &color, Qt::BrushStyle style)
{
    painter.fillPath(path, QBrush(color, style));
}

} // namespace

namespace RailFills {

const QList<RailFill> &shownFills()
{
    static const QList<RailFill> fills = {RailFill::old,     RailFill::oldFading, RailFill::relock,
                                          RailFill::next,    RailFill::lost,      RailFill::silence,
                                          RailFill::loading, RailFill::stubFading};
    return fills;
}

QString name(RailFill fill)
{
    switch (fill) {
    case RailFill::old:
        //: Rail legend: the outgoing track, and the output at its current rate.
        return Tr::tr("current rate");
    case RailFill::oldFading:
        //: Rail legend: the outgoing track fading out.
        return Tr::tr("fading out");
    case RailFill::relock:
        //: Rail legend: the DAC relocking to the new rate, muted.
        return Tr::tr("relock (muted)");
    case RailFill::next:
        //: Rail legend: the next track, and the output at its new rate.
        return Tr::tr("new rate");
    case RailFill::lost:
        //: Rail legend: music that plays under the DAC's mute and is not heard.
        return Tr::tr("lost under the mute");
    case RailFill::silence:
        //: Rail legend: a pause, a delay, or the fallback method's switch.
        return Tr::tr("pause or delay");
    case RailFill::loading:
        //: Rail legend: Music.app loading the next track.
        return Tr::tr("Music.app loading");
    case RailFill::stubFading:
        //: Rail legend: the outgoing track's last moment, played after a brief pause.
        return Tr::tr("last moment after a pause");
    case RailFill::stub:
        //: Rail legend: the outgoing track's last moment.
        return Tr::tr("last moment");
    case RailFill::none:
        break;
    }
    return {};
}

QColor textColor(RailFill fill, Appearance a)
{
    switch (fill) {
    case RailFill::old:
    case RailFill::oldFading:
    case RailFill::next:
        return QColor(Qt::white);
    case RailFill::silence:
        return SystemColors::secondaryLabel(a);
    default:
        break;
    }
    return SystemColors::label(a);
}

void paint(QPainter &painter, const QRectF &rect, RailFill fill, Appearance a, std::optional<double> fadeX)
{
    if (fill == RailFill::none || rect.width() <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPainterPath path = rounded(rect);
    switch (fill) {
    case RailFill::old:
        painter.fillPath(path, slate(a));
        break;
    case RailFill::oldFading:
        painter.fillPath(path, fading(rect, slate(a), fadeX.value_or(rect.left()), 0.12));
        break;
    case RailFill::stub:
        painter.fillPath(path, SystemColors::withOpacity(slate(a), 0.55));
        break;
    case RailFill::stubFading:
        painter.fillPath(path, fading(rect, SystemColors::withOpacity(slate(a), 0.6), rect.left(), 0.15));
        hatch(painter, path, SystemColors::withOpacity(slate(a), 0.5), Qt::VerPattern);
        break;
    case RailFill::relock: {
        const QColor relock = railRelockColor(a);
        painter.fillPath(path, SystemColors::withOpacity(relock, 0.28));
        hatch(painter, path, SystemColors::withOpacity(relock, 0.75), Qt::BDiagPattern);
        painter.setPen(QPen(relock, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(rounded(rect.adjusted(0.5, 0.5, -0.5, -0.5)));
        break;
    }
    case RailFill::next:
        painter.fillPath(path, teal(a));
        break;
    case RailFill::lost: {
        painter.fillPath(path, SystemColors::withOpacity(slate(a), 0.3));
        hatch(painter, path, SystemColors::withOpacity(SystemColors::red(a), 0.7), Qt::DiagCrossPattern);
        break;
    }
    case RailFill::silence: {
        QPen pen(SystemColors::secondaryLabel(a), 1, Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(rounded(rect.adjusted(0.5, 0.5, -0.5, -0.5)));
        break;
    }
    case RailFill::loading:
        painter.fillPath(path, SystemColors::withOpacity(amber(a), 0.35));
        hatch(painter, path, SystemColors::withOpacity(amber(a), 0.9), Qt::Dense6Pattern);
        break;
    case RailFill::none:
        break;
    }
    painter.restore();
}

} // namespace RailFills
