#include "TitleOverArtist.h"

#include "Common/ShownText.h"
#include "Platform/FontStyles.h"

#include <QFontMetrics>
#include <QPainter>

namespace TitleOverArtist {

namespace {
constexpr int lineSpacing = 1;
}

int height()
{
    return QFontMetrics(FontStyles::body()).height() + lineSpacing +
           QFontMetrics(FontStyles::caption()).height();
}

void paint(QPainter &painter, const QRect &area, const QString &title, const QColor &titleColor,
           const QString &artist, const QColor &artistColor)
{
    const QFont titleFont = FontStyles::body();
    const QFont artistFont = FontStyles::caption();
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics artistMetrics(artistFont);
    const int top = area.top() + (area.height() - height()) / 2;

    painter.save();
    painter.setFont(titleFont);
    painter.setPen(titleColor);
    const QRect titleRect(area.left(), top, area.width(), titleMetrics.height());
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                     ShownText::elided(titleMetrics, title, area.width()));
    painter.setFont(artistFont);
    painter.setPen(artistColor);
    const QRect artistRect(area.left(), titleRect.bottom() + 1 + lineSpacing, area.width(),
                           artistMetrics.height());
    painter.drawText(artistRect, Qt::AlignLeft | Qt::AlignVCenter,
                     ShownText::elided(artistMetrics, artist, area.width()));
    painter.restore();
}

} // namespace TitleOverArtist
