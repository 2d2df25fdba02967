#include "Symbols.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>
#include <functional>

namespace Symbols {
namespace {

// Every drawing works on a 24 × 24 grid; `paint` scales it into the target rectangle.
using Drawing = std::function<void(QPainter &, const QColor &)>;

QPen strokePen(const QColor &color, qreal width = 2.0)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void stroke(QPainter &p, const QColor &color, const QPainterPath &path, qreal width = 2.0)
{
    p.setPen(strokePen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void fill(QPainter &p, const QColor &color, const QPainterPath &path)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
}

QPainterPath polyline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF &point : points) {
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    return path;
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

void gearshape(QPainter &p, const QColor &c)
{
    QPainterPath gear = circle({12, 12}, 7.5);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(10.2, 1.6, 3.6, 5.0), 1.0, 1.0);
        QTransform turn;
        turn.translate(12, 12);
        turn.rotate(i * 45.0);
        turn.translate(-12, -12);
        gear = gear.united(turn.map(tooth));
    }
    fill(p, c, gear.subtracted(circle({12, 12}, 3.4)));
}

void infoCircle(QPainter &p, const QColor &c)
{
    stroke(p, c, circle({12, 12}, 9.5), 1.8);
    fill(p, c, circle({12, 7.6}, 1.4));
    stroke(p, c, polyline({{12, 11}, {12, 17}}), 2.2);
}

void musicNote(QPainter &p, const QColor &c)
{
    QPainterPath head;
    head.addEllipse(QRectF(4.5, 15.5, 7.5, 5.5));
    fill(p, c, head);
    stroke(p, c, polyline({{11.3, 18}, {11.3, 4}, {18.5, 2.5}, {18.5, 7}, {11.3, 8.5}}), 2.0);
}

void checkmark(QPainter &p, const QColor &c)
{
    stroke(p, c, polyline({{4.5, 12.5}, {9.5, 17.5}, {19.5, 6}}), 2.6);
}

void exclamationTriangleFill(QPainter &p, const QColor &c)
{
    QPainterPath triangle = polyline({{12, 2.5}, {22.5, 21}, {1.5, 21}});
    triangle.closeSubpath();
    QPainterPathStroker rounding;
    rounding.setWidth(2.0);
    rounding.setJoinStyle(Qt::RoundJoin);
    triangle = triangle.united(rounding.createStroke(triangle));
    QPainterPath mark;
    mark.addRoundedRect(QRectF(10.8, 8, 2.4, 7.2), 1.2, 1.2);
    mark.addEllipse(QPointF(12, 18), 1.4, 1.4);
    fill(p, c, triangle.subtracted(mark));
}

void clockArrowCirclepath(QPainter &p, const QColor &c)
{
    QPainterPath arc;
    arc.arcMoveTo(QRectF(3, 3, 18, 18), 200);
    arc.arcTo(QRectF(3, 3, 18, 18), 200, -320);
    stroke(p, c, arc, 1.8);
    QPainterPath head = polyline({{1.2, 10.5}, {3.6, 14.4}, {7, 11.4}});
    stroke(p, c, head, 1.8);
    stroke(p, c, polyline({{12, 7}, {12, 12.5}, {15.5, 14.5}}), 1.8);
}

void speakerWave2(QPainter &p, const QColor &c)
{
    QPainterPath speaker = polyline({{2.5, 9}, {6.5, 9}, {11.5, 4.5}, {11.5, 19.5}, {6.5, 15}, {2.5, 15}});
    speaker.closeSubpath();
    fill(p, c, speaker);
    QPainterPath inner;
    inner.arcMoveTo(QRectF(9, 7.5, 9, 9), 50);
    inner.arcTo(QRectF(9, 7.5, 9, 9), 50, -100);
    QPainterPath outer;
    outer.arcMoveTo(QRectF(8, 3.5, 15, 17), 55);
    outer.arcTo(QRectF(8, 3.5, 15, 17), 55, -110);
    stroke(p, c, inner, 1.9);
    stroke(p, c, outer, 1.9);
}

void chevronDown(QPainter &p, const QColor &c)
{
    stroke(p, c, polyline({{5, 9}, {12, 16}, {19, 9}}), 2.4);
}
void chevronUp(QPainter &p, const QColor &c)
{
    stroke(p, c, polyline({{5, 15}, {12, 8}, {19, 15}}), 2.4);
}
void chevronRight(QPainter &p, const QColor &c)
{
    stroke(p, c, polyline({{9, 5}, {16, 12}, {9, 19}}), 2.4);
}

void chevronUpChevronDown(QPainter &p, const QColor &c)
{
    stroke(p, c, polyline({{7, 9}, {12, 4}, {17, 9}}), 2.2);
    stroke(p, c, polyline({{7, 15}, {12, 20}, {17, 15}}), 2.2);
}

void arrowRight(QPainter &p, const QColor &c)
{
    stroke(p, c, polyline({{3.5, 12}, {20, 12}}), 2.2);
    stroke(p, c, polyline({{13.5, 5.5}, {20, 12}, {13.5, 18.5}}), 2.2);
}

void circleOutline(QPainter &p, const QColor &c)
{
    stroke(p, c, circle({12, 12}, 9.5), 1.8);
}

void largeCircleFillCircle(QPainter &p, const QColor &c)
{
    stroke(p, c, circle({12, 12}, 9.5), 1.8);
    fill(p, c, circle({12, 12}, 5.2));
}

void playFill(QPainter &p, const QColor &c)
{
    QPainterPath triangle = polyline({{6.5, 3.5}, {20.5, 12}, {6.5, 20.5}});
    triangle.closeSubpath();
    QPainterPathStroker rounding;
    rounding.setWidth(1.6);
    rounding.setJoinStyle(Qt::RoundJoin);
    fill(p, c, triangle.united(rounding.createStroke(triangle)));
}

void waveform(QPainter &p, const QColor &c)
{
    static const qreal heights[] = {4, 10, 16, 8, 18, 12, 6, 14, 4};
    for (int i = 0; i < 9; ++i) {
        const qreal x = 3.2 + i * 2.2;
        stroke(p, c, polyline({{x, 12 - heights[i] / 2}, {x, 12 + heights[i] / 2}}), 1.5);
    }
}

const QHash<QString, Drawing> &drawings()
{
    static const QHash<QString, Drawing> table = {
        {QStringLiteral("gearshape"), gearshape},
        {QStringLiteral("info.circle"), infoCircle},
        {QStringLiteral("music.note"), musicNote},
        {QStringLiteral("checkmark"), checkmark},
        {QStringLiteral("exclamationmark.triangle.fill"), exclamationTriangleFill},
        {QStringLiteral("clock.arrow.circlepath"), clockArrowCirclepath},
        {QStringLiteral("speaker.wave.2"), speakerWave2},
        {QStringLiteral("chevron.down"), chevronDown},
        {QStringLiteral("chevron.up"), chevronUp},
        {QStringLiteral("chevron.right"), chevronRight},
        {QStringLiteral("chevron.up.chevron.down"), chevronUpChevronDown},
        {QStringLiteral("arrow.right"), arrowRight},
        {QStringLiteral("circle"), circleOutline},
        {QStringLiteral("largecircle.fill.circle"), largeCircleFillCircle},
        {QStringLiteral("play.fill"), playFill},
        {QStringLiteral("waveform"), waveform},
    };
    return table;
}

} // namespace

QStringList names()
{
    QStringList list = drawings().keys();
    list.sort();
    return list;
}

bool has(const QString &name)
{
    return drawings().contains(name);
}

void paint(QPainter &painter, const QRectF &rect, const QString &name, const QColor &color)
{
    const auto it = drawings().constFind(name);
    if (it == drawings().cend() || rect.isEmpty())
        return;
    const qreal side = std::min(rect.width(), rect.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center().x() - side / 2, rect.center().y() - side / 2);
    painter.scale(side / 24.0, side / 24.0);
    (*it)(painter, color);
    painter.restore();
}

QPixmap pixmap(const QString &name, const QColor &color, qreal pointSize, qreal devicePixelRatio)
{
    if (devicePixelRatio <= 0)
        devicePixelRatio = qApp ? qApp->devicePixelRatio() : 1.0;
    // A symbol is a little taller than the cap height of text of the same size.
    const int side = std::max(1, qRound(pointSize * 1.2));
    QPixmap image(QSize(side, side) * devicePixelRatio);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter, QRectF(0, 0, side, side), name, color);
    return image;
}

QIcon icon(const QString &name, const QColor &color, qreal pointSize)
{
    QIcon result;
    result.addPixmap(pixmap(name, color, pointSize, 1.0));
    result.addPixmap(pixmap(name, color, pointSize, 2.0));
    return result;
}

} // namespace Symbols
