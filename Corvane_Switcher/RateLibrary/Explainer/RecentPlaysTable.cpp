#include "RecentPlaysTable.h"

#include "Common/ShownText.h"
#include "ExplainerStyle.h"
#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolTip>
#include <QVBoxLayout>

#include <utility>

using namespace RateLibrary;

namespace {

constexpr int artistGap = 4;

QFont headerFont()
{
    return FontStyles::systemFont(10, QFont::Medium);
}

} // namespace

RecentPlaysRows::RecentPlaysRows(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFont(FontStyles::caption());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void RecentPlaysRows::showPlays(QList<PlayEntry> plays, std::optional<QUuid> latestID,
                                std::optional<int> hoveredStep)
{
    const bool resized = plays.size() != m_plays.size();
    if (plays == m_plays && latestID == m_latestID && hoveredStep == m_hoveredStep)
        return;
    m_plays = std::move(plays);
    // Keep the pictures of the plays still shown, as they stand.
    m_pictures.erase(
        std::remove_if(m_pictures.begin(), m_pictures.end(),
                       [&](const RowPicture &picture) { return !m_plays.contains(picture.entry); }),
        m_pictures.end());
    m_latestID = latestID;
    m_hoveredStep = hoveredStep;
    if (resized)
        updateGeometry();
    update();
    followPointer();
}

void RecentPlaysRows::showHoveredStep(std::optional<int> hoveredStep)
{
    if (hoveredStep == m_hoveredStep)
        return;
    // Only the rows whose tint changes are painted again.
    QList<RowTint> before;
    for (int row = 0; row < m_plays.size(); ++row)
        before.append(tintOfRow(row));
    m_hoveredStep = hoveredStep;
    for (int row = 0; row < m_plays.size(); ++row) {
        if (tintOfRow(row) != before.at(row))
            update(rowRect(row));
    }
}

RowTint RecentPlaysRows::tintOfRow(int row) const
{
    if (row < 0 || row >= m_plays.size())
        return RowTint::none;
    return recentPlayRowTint(m_plays.at(row), m_latestID, m_hoveredStep);
}

QRect RecentPlaysRows::rowRect(int row) const
{
    return {0, headerHeight + 1 + row * rowHeight, width(), rowHeight};
}

int RecentPlaysRows::rowAt(const QPoint &pos) const
{
    if (!rect().contains(pos) || pos.y() < headerHeight + 1)
        return -1;
    const int row = (pos.y() - headerHeight - 1) / rowHeight;
    return row < m_plays.size() ? row : -1;
}

QSize RecentPlaysRows::sizeHint() const
{
    int width = 2 * padding;
    for (int w : recentPlayColumnWidths(0))
        width += w;
    return {width + 120, headerHeight + 1 + int(m_plays.size()) * rowHeight + 1};
}

QSize RecentPlaysRows::minimumSizeHint() const
{
    return {0, sizeHint().height()};
}

QList<QRect> RecentPlaysRows::cellRects(const QRect &line) const
{
    QList<QRect> cells;
    int x = line.left() + padding;
    for (int w : recentPlayColumnWidths(line.width() - 2 * padding)) {
        cells.append(QStyle::visualRect(layoutDirection(), line, QRect(x, line.top(), w, line.height())));
        x += w;
    }
    return cells;
}

void RecentPlaysRows::followPointer()
{
    const int row = m_pointer ? rowAt(*m_pointer) : -1;
    const std::optional<QUuid> play = row >= 0 ? std::optional(m_plays.at(row).id) : std::nullopt;
    if (play == m_pointerPlay)
        return;
    const std::optional<QUuid> left = std::exchange(m_pointerPlay, play);
    // Entering the next row comes first; leaving the previous one then leaves it hovered.
    if (play)
        emit rowEntered(*play);
    if (left)
        emit rowLeft(*left);
}

void RecentPlaysRows::mouseMoveEvent(QMouseEvent *event)
{
    m_pointer = event->position().toPoint();
    followPointer();
    QWidget::mouseMoveEvent(event);
}

void RecentPlaysRows::leaveEvent(QEvent *event)
{
    m_pointer.reset();
    followPointer();
    QWidget::leaveEvent(event);
}

bool RecentPlaysRows::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QList<QRect> cells = cellRects(QRect(0, 0, width(), headerHeight));
        for (int i = 0; i < cells.size(); ++i) {
            const std::optional<QString> text = recentPlayHeaderHelp(recentPlayColumns().at(i).column);
            if (text && cells.at(i).contains(help->pos())) {
                QToolTip::showText(help->globalPos(), *text, this, cells.at(i));
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void RecentPlaysRows::paintCells(QPainter &painter, const QRect &line, const PlayEntry &entry) const
{
    const SystemColors::Appearance look = SystemColors::appearanceOf(this);
    const QTextOption leading = ExplainerStyle::textOption(
        QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft) | Qt::AlignVCenter);
    const QFont caption = FontStyles::caption();
    static const QFont digits = FontStyles::equalWidthDigits(caption);
    const QList<QRect> cells = cellRects(line);
    for (int i = 0; i < cells.size(); ++i) {
        const RecentPlayColumn column = recentPlayColumns().at(i).column;
        const QRect cell = cells.at(i);
        const QColor color = PlayCells::toneColor(PlayCells::tone(column, entry), look);
        painter.setFont(column == RecentPlayColumn::load ? digits : caption);
        const QFontMetrics metrics = painter.fontMetrics();
        const QString text = PlayCells::text(column, entry, PlayCells::Writing::rateLibrary);
        if (column != RecentPlayColumn::track) {
            painter.setPen(color);
            painter.drawText(cell, ShownText::elided(metrics, text, cell.width() - artistGap), leading);
            continue;
        }
        // The title, then the artist 4 points after it, each on one line.
        const int room = cell.width() - artistGap;
        const QString title = ShownText::elided(metrics, text, room);
        const int titleWidth = std::min(room, metrics.horizontalAdvance(title));
        QRect titleRect(cell.left(), cell.top(), titleWidth, cell.height());
        QRect artistRect(cell.left() + titleWidth + artistGap, cell.top(),
                         std::max(0, room - titleWidth - artistGap), cell.height());
        titleRect = QStyle::visualRect(layoutDirection(), cell, titleRect);
        artistRect = QStyle::visualRect(layoutDirection(), cell, artistRect);
        painter.setPen(color);
        painter.drawText(titleRect, title, leading);
        painter.setPen(SystemColors::secondaryLabel(look));
        painter.drawText(artistRect, ShownText::elided(metrics, entry.artist, artistRect.width()), leading);
    }
}

const QPixmap &RecentPlaysRows::cellsPicture(int row) const
{
    const qreal ratio = devicePixelRatioF();
    const QSize size(width(), rowHeight);
    auto it = std::find_if(m_pictures.begin(), m_pictures.end(),
                           [&](const RowPicture &picture) { return picture.entry == m_plays.at(row); });
    if (it != m_pictures.end() && it->picture.size() == size * ratio)
        return it->picture;
    if (it == m_pictures.end())
        it = m_pictures.insert(m_pictures.end(), RowPicture{m_plays.at(row), {}});
    it->picture = QPixmap(size * ratio);
    it->picture.setDevicePixelRatio(ratio);
    it->picture.fill(Qt::transparent);
    QPainter painter(&it->picture);
    painter.setLayoutDirection(layoutDirection());
    paintCells(painter, QRect(QPoint(0, 0), size), it->entry);
    return it->picture;
}

void RecentPlaysRows::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::LayoutDirectionChange || event->type() == QEvent::LanguageChange ||
        event->type() == QEvent::StyleChange)
        m_pictures.clear();
    QWidget::changeEvent(event);
}

void RecentPlaysRows::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setLayoutDirection(layoutDirection());
    const SystemColors::Appearance look = SystemColors::appearanceOf(this);
    const QTextOption leading = ExplainerStyle::textOption(
        QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft) | Qt::AlignVCenter);

    painter.setFont(headerFont());
    painter.setPen(SystemColors::secondaryLabel(look));
    const QList<QRect> headerCells = cellRects(QRect(0, 0, width(), headerHeight));
    for (int i = 0; i < headerCells.size() && event->rect().top() < headerHeight; ++i)
        painter.drawText(headerCells.at(i),
                         painter.fontMetrics().elidedText(recentPlayHeader(recentPlayColumns().at(i)),
                                                          Qt::ElideRight, headerCells.at(i).width()),
                         leading);
    const QColor separator = SystemColors::separator(look);
    painter.fillRect(QRect(1, headerHeight, width() - 2, 1), separator);

    for (int row = 0; row < m_plays.size(); ++row) {
        const QRect line = rowRect(row);
        if (!event->rect().intersects(line))
            continue;
        switch (tintOfRow(row)) {
        case RowTint::latest:
            painter.fillRect(line.adjusted(1, 0, -1, 0),
                             SystemColors::withOpacity(SystemColors::accent(look), 0.12));
            break;
        case RowTint::sameStep:
            painter.fillRect(line.adjusted(1, 0, -1, 0),
                             SystemColors::withOpacity(SystemColors::controlBackground(look), 0.5));
            break;
        case RowTint::none:
            break;
        }
        // A play's cells are drawn once and kept while it stays among the recent plays: a new
        // play moves the others down a row without laying out their texts again.
        painter.drawPixmap(line.topLeft(), cellsPicture(row));
    }
    painter.fillRect(QRect(1, headerHeight + 1 + int(m_plays.size()) * rowHeight, width() - 2, 1), separator);
}

RecentPlaysTable::RecentPlaysTable(QWidget *parent) : QWidget(parent)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    m_rows = new RecentPlaysRows(this);
    stack->addWidget(m_rows);
    auto *footer = new QWidget(this);
    footer->setFixedHeight(footerHeight);
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(RecentPlaysRows::padding, 0, RecentPlaysRows::padding, 0);
    m_footer = new QLabel(footer);
    m_footer->setFont(FontStyles::caption());
    ExplainerStyle::setSecondary(m_footer);
    row->addWidget(m_footer, 0, Qt::AlignVCenter);
    row->addStretch(1);
    m_showAll = new QPushButton(showAllTitle(), footer);
    m_showAll->setFont(FontStyles::systemFont(11));
    connect(m_showAll, &QPushButton::clicked, this, &RecentPlaysTable::showAllPressed);
    row->addWidget(m_showAll, 0, Qt::AlignVCenter);
    stack->addWidget(footer);
}

QString RecentPlaysTable::footerText() const
{
    return m_footer->text();
}

void RecentPlaysTable::showPlays(QList<PlayEntry> plays, std::optional<QUuid> latestID,
                                 std::optional<int> hoveredStep)
{
    m_footer->setText(recentPlaysFooter(plays.size()));
    m_rows->showPlays(std::move(plays), latestID, hoveredStep);
}
