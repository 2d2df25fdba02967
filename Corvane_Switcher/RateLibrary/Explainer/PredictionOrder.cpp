#include "PredictionOrder.h"

#include "Common/ElidingLabel.h"
#include "ExplainerModel.h"
#include "ExplainerStyle.h"
#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"
#include "RateLibrary/RateLibraryCard.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>

using namespace RateLibrary;

namespace {

QFont numberFont()
{
    return FontStyles::systemFont(11, QFont::DemiBold);
}

QFont nameFont()
{
    QFont font = FontStyles::caption();
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont badgeFont()
{
    QFont font = FontStyles::systemFont(9, QFont::Medium);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.3);
    return font;
}

constexpr int summaryFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

} // namespace

StepsRow::StepsRow(QWidget *parent) : QWidget(parent)
{
    // Step 1 stays on the left in right-to-left languages too.
    setLayoutDirection(Qt::LeftToRight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setAccessibleName(predictionOrderHeading());
}

void StepsRow::setLitStep(std::optional<int> step)
{
    if (step == m_lit)
        return;
    // The track, and the two columns whose disc, name and badge change.
    const auto all = columns(width());
    QRect changed(0, 0, width(), int(stepDiscSize) + 1);
    for (const std::optional<int> &s : {m_lit, step}) {
        if (s)
            changed |= all[std::size_t(*s - 1)].area.toAlignedRect();
    }
    m_lit = step;
    update(changed);
}

std::array<StepsRow::Column, 5> StepsRow::columns(int width) const
{
    if (width == m_measuredWidth)
        return m_measured;
    const QFontMetricsF name(nameFont());
    const QFontMetricsF summary(FontStyles::caption2());
    const QFontMetricsF badge(badgeFont());
    const qreal columnWidth = width / 5.0;
    std::array<Column, 5> out;
    for (int i = 0; i < 5; ++i) {
        Column &c = out[std::size_t(i)];
        const qreal left = columnWidth * i;
        const qreal centre = stepDiscCentreX(width, i + 1);
        c.disc = QRectF(centre - stepDiscSize / 2, 0, stepDiscSize, stepDiscSize);
        qreal y = stepDiscSize + spacing;
        c.name = QRectF(left, y, columnWidth, name.height());
        y += name.height() + spacing;
        const qreal textWidth = std::max(1.0, columnWidth - 2 * summaryPadding);
        const QRectF wrapped =
            summary.boundingRect(QRectF(0, 0, textWidth, 1e6), summaryFlags, stepSummaries().at(i));
        c.summary = QRectF(left + summaryPadding, y, textWidth, std::ceil(wrapped.height()));
        c.summaryText.setText(stepSummaries().at(i));
        c.summaryText.setTextFormat(Qt::PlainText);
        c.summaryText.setTextWidth(textWidth);
        c.summaryText.setTextOption(ExplainerStyle::textOption(Qt::AlignHCenter | Qt::AlignTop, true));
        c.summaryText.prepare(QTransform(), FontStyles::caption2());
        y += c.summary.height() + spacing;
        c.badge = QRectF(left, y, columnWidth, badge.height());
        c.area = QRectF(left, 0, columnWidth, c.badge.bottom());
    }
    m_measuredWidth = width;
    m_measured = out;
    return out;
}

void StepsRow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LanguageChange ||
        event->type() == QEvent::StyleChange)
        m_measuredWidth = -1;
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        m_discs.clear();
    QWidget::changeEvent(event);
}

int StepsRow::heightForWidth(int width) const
{
    qreal bottom = 0;
    for (const Column &c : columns(width))
        bottom = std::max(bottom, c.area.bottom());
    return int(std::ceil(bottom));
}

QSize StepsRow::sizeHint() const
{
    const int w = width() > 0 ? width() : 700;
    return {700, heightForWidth(w)};
}

QSize StepsRow::minimumSizeHint() const
{
    // The height follows the width (heightForWidth); a narrow guess here would ask for far more.
    return {5 * 40, int(stepDiscSize)};
}

std::optional<int> StepsRow::stepAt(const QPoint &pos) const
{
    const auto all = columns(width());
    for (int i = 0; i < 5; ++i) {
        if (all[std::size_t(i)].area.contains(pos))
            return i + 1;
    }
    return std::nullopt;
}

bool StepsRow::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const std::optional<int> step = stepAt(help->pos())) {
            const QRect area = columns(width())[std::size_t(*step - 1)].area.toAlignedRect();
            QToolTip::showText(help->globalPos(), stepHelp().at(*step - 1), this, area);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

const QPixmap &StepsRow::discPicture(int step, bool lit) const
{
    const SystemColors::Appearance look = SystemColors::appearanceOf(this);
    const qreal ratio = devicePixelRatioF();
    if (look != m_discLook || (!m_discs.isEmpty() && m_discs.cbegin()->devicePixelRatio() != ratio)) {
        m_discs.clear();
        m_discLook = look;
    }
    const int key = step * 2 + (lit ? 1 : 0);
    auto it = m_discs.find(key);
    if (it != m_discs.end())
        return *it;
    const int side = int(stepDiscSize);
    QPixmap picture(QSize(side, side) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor accent = SystemColors::accent(look);
    // The outline sits inside the disc's 22 points.
    painter.setPen(QPen(lit ? accent : SystemColors::tertiaryLabel(look), 2));
    painter.setBrush(lit ? accent : SystemColors::windowBackground(look));
    painter.drawEllipse(QRectF(1, 1, side - 2, side - 2));
    painter.setFont(numberFont());
    painter.setPen(lit ? QColor(Qt::white) : SystemColors::secondaryLabel(look));
    painter.drawText(QRectF(0, 0, side, side), QString::number(step),
                     ExplainerStyle::textOption(Qt::AlignCenter));
    painter.end();
    return *m_discs.insert(key, picture);
}

void StepsRow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setLayoutDirection(layoutDirection());
    const SystemColors::Appearance look = SystemColors::appearanceOf(this);
    const QColor secondary = SystemColors::secondaryLabel(look);
    const QRect dirty = event->rect();

    const StepTrack track = stepTrack(width(), m_lit);
    QPen line(SystemColors::separator(look), 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(line);
    painter.drawLine(track.base);
    if (track.accent) {
        line.setColor(SystemColors::accent(look));
        painter.setPen(line);
        painter.drawLine(*track.accent);
    }

    // Only the parts that the repaint reaches: a new lit step repaints the track and two columns.
    const auto all = columns(width());
    for (int i = 0; i < 5; ++i) {
        const Column &c = all[std::size_t(i)];
        const int step = i + 1;
        const bool lit = m_lit == step;
        if (dirty.intersects(c.disc.toAlignedRect()))
            painter.drawPixmap(c.disc.topLeft(), discPicture(step, lit));
        if (dirty.intersects(c.name.toAlignedRect())) {
            painter.setFont(nameFont());
            painter.setPen(SystemColors::label(look));
            const QString name = PlaybackHistory::stepName(step, Bundle::main());
            painter.drawText(c.name,
                             QFontMetricsF(nameFont()).elidedText(name, Qt::ElideRight, c.name.width()),
                             ExplainerStyle::textOption(Qt::AlignHCenter | Qt::AlignTop));
        }
        if (dirty.intersects(c.summary.toAlignedRect())) {
            painter.setFont(FontStyles::caption2());
            painter.setPen(secondary);
            painter.drawStaticText(c.summary.topLeft(), c.summaryText);
        }
        if (dirty.intersects(c.badge.toAlignedRect())) {
            painter.setFont(badgeFont());
            painter.setPen(lit ? SystemColors::label(look) : secondary);
            painter.drawText(c.badge, stepBadge(step),
                             ExplainerStyle::textOption(Qt::AlignHCenter | Qt::AlignTop));
        }
    }
}

PredictionOrder::PredictionOrder(QWidget *parent) : QWidget(parent)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    auto *heading = new QHBoxLayout;
    heading->setContentsMargins(0, 0, 0, 0);
    heading->setSpacing(8);
    heading->addWidget(sectionLabel(predictionOrderHeading(), this), 0, Qt::AlignBottom);
    m_sentence = new ElidingLabel(this);
    m_sentence->setFont(FontStyles::caption());
    m_sentence->setAlignment(Qt::AlignTrailing | Qt::AlignBottom);
    ExplainerStyle::setSecondary(m_sentence);
    m_sentence->setFullText(predictionOrderSentence());
    heading->addWidget(m_sentence, 1, Qt::AlignBottom);
    stack->addLayout(heading);
    m_steps = new StepsRow(this);
    stack->addWidget(m_steps);
}
