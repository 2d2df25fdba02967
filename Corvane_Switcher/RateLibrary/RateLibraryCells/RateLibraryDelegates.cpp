#include "RateLibraryDelegates.h"

#include "Common/ShownText.h"
#include "Common/TitleOverArtist.h"

#include "Platform/FontStyles.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"
#include "RateLibrary/LearnedRatesTableModel.h"
#include "RateLibrary/RateLibraryRowText.h"
#include "RateLibrary/RateLibraryTr.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {

constexpr int cellPadding = 6;
constexpr int noteSize = 14;
constexpr int chevronSize = 9;

// Draws the row's background, selection and focus, without any text.
void drawBackground(QPainter *painter, const QStyleOptionViewItem &option)
{
    QStyleOptionViewItem opt = option;
    opt.text.clear();
    opt.icon = QIcon();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

bool isSelected(const QStyleOptionViewItem &option)
{
    return option.state & QStyle::State_Selected;
}

QColor textColor(const QStyleOptionViewItem &option)
{
    return isSelected(option) ? option.palette.color(QPalette::HighlightedText) : SystemColors::label();
}

QColor secondaryColor(const QStyleOptionViewItem &option)
{
    return isSelected(option) ? option.palette.color(QPalette::HighlightedText)
                              : SystemColors::secondaryLabel();
}

} // namespace

QRect TrackCellDelegate::noteRect(const QRect &cell)
{
    return QRect(cell.left() + cellPadding, cell.center().y() - noteSize / 2 + 1, noteSize, noteSize);
}

void TrackCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    drawBackground(painter, option);
    painter->save();
    QRect area = option.rect.adjusted(cellPadding, 0, -cellPadding, 0);
    if (index.data(LearnedRatesTableModel::NowPlayingRole).toBool()) {
        const QColor accent = isSelected(option) ? textColor(option) : SystemColors::accent();
        Symbols::paint(*painter, noteRect(option.rect), QStringLiteral("music.note"), accent);
        area.setLeft(noteRect(option.rect).right() + 1 + 6);
    }
    TitleOverArtist::paint(*painter, area, index.data().toString(), textColor(option),
                           index.data(LearnedRatesTableModel::ArtistRole).toString(), secondaryColor(option));
    painter->restore();
}

QSize TrackCellDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(index);
    return QSize(option.rect.width(), TitleOverArtist::height() + 10);
}

bool TrackCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                  const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip && index.data(LearnedRatesTableModel::NowPlayingRole).toBool() &&
        noteRect(option.rect).contains(event->pos())) {
        QToolTip::showText(event->globalPos(), RateLibraryText::Tr::tr("Now playing"), view);
        return true;
    }
    QToolTip::hideText();
    return true;
}

QRect RateCellDelegate::pullDownRect(const QStyleOptionViewItem &option, const QString &text)
{
    const QFontMetrics metrics(FontStyles::body());
    const int width = metrics.horizontalAdvance(text) + 4 + chevronSize;
    const int left = option.direction == Qt::RightToLeft ? option.rect.right() + 1 - cellPadding - width
                                                         : option.rect.left() + cellPadding;
    return QRect(left, option.rect.top(), width, option.rect.height());
}

void RateCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    drawBackground(painter, option);
    painter->save();
    const QString text = index.data().toString();
    painter->setFont(FontStyles::body());
    painter->setPen(textColor(option));
    const QRect area = option.rect.adjusted(cellPadding, 0, -cellPadding, 0);
    // A rate reads "48 kHz" in every language: the number and its unit keep their order, and
    // only the cell's leading edge follows the layout.
    const bool rightToLeft = option.direction == Qt::RightToLeft;
    painter->setLayoutDirection(Qt::LeftToRight);
    painter->drawText(area, (rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
    if (index.data(LearnedRatesTableModel::PinMenuRole).toBool()) {
        const QRect pull = pullDownRect(option, text);
        const qreal chevronLeft = rightToLeft ? pull.left() : pull.right() - chevronSize + 1;
        const QRectF chevron(chevronLeft, pull.center().y() - chevronSize / 2.0 + 1, chevronSize,
                             chevronSize);
        Symbols::paint(*painter, chevron, QStringLiteral("chevron.down"), secondaryColor(option));
    }
    painter->restore();
}

bool RateCellDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                   const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::MouseButtonRelease && m_openMenu &&
        index.data(LearnedRatesTableModel::PinMenuRole).toBool()) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QRect pull = pullDownRect(option, index.data().toString());
        if (mouse->button() == Qt::LeftButton && pull.contains(mouse->position().toPoint())) {
            const QWidget *widget = option.widget;
            const QPoint below(pull.left(), option.rect.bottom());
            m_openMenu(index, widget ? widget->mapToGlobal(below) : below);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

void SourceBadgeDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    drawBackground(painter, option);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const auto tint =
        RateLibrary::SourceBadge::Tint(index.data(LearnedRatesTableModel::BadgeTintRole).toInt());
    const bool accent = tint == RateLibrary::SourceBadge::Tint::accent;
    const QColor colour = accent ? SystemColors::accent() : SystemColors::secondaryLabel();

    const QFont font = FontStyles::systemFont(FontStyles::points(FontStyles::caption()), QFont::Medium);
    const QFontMetrics metrics(font);
    const QString text = index.data().toString();
    const int available = option.rect.width() - 2 * cellPadding - 14;
    const QString shown = ShownText::elided(metrics, text, std::max(0, available));
    const QSize size(metrics.horizontalAdvance(shown) + 14, metrics.height() + 4);
    const QRectF capsule(option.rect.left() + cellPadding,
                         option.rect.center().y() - size.height() / 2.0 + 0.5, size.width(), size.height());
    QPainterPath path;
    path.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    painter->fillPath(path, SystemColors::withOpacity(colour, accent ? 0.18 : 0.12));
    painter->setFont(font);
    painter->setPen(isSelected(option) && !accent ? textColor(option) : colour);
    painter->drawText(capsule, Qt::AlignCenter, shown);
    painter->restore();
}
