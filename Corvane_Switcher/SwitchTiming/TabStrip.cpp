#include "TabStrip.h"

#include "FlowLayout.h"
#include "Platform/BrandColors.h"
#include "Platform/FontStyles.h"
#include "ToneLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr double dotSize = 6;
constexpr double dotGap = 6;
} // namespace

TabButton::TabButton(const QString &cardId, QWidget *parent) : QAbstractButton(parent), m_cardId(cardId)
{
    setObjectName(QStringLiteral("tab-") + cardId);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TabButton::setLooks(const GroupStyle::TabStyle &unselected, const GroupStyle::TabStyle &selected,
                         bool isSelected, double textScale)
{
    const QFont unselectedFont = FontStyles::systemFont(11 * textScale, unselected.weight);
    const QFont selectedFont = FontStyles::systemFont(11 * textScale, selected.weight);
    if (unselected == m_unselectedLook && selected == m_selectedLook && isSelected == m_selected &&
        unselectedFont == m_unselectedFont && selectedFont == m_selectedFont)
        return;
    const QSize before = sizeHint();
    m_unselectedLook = unselected;
    m_selectedLook = selected;
    m_selected = isSelected;
    m_unselectedFont = unselectedFont;
    m_selectedFont = selectedFont;
    if (sizeHint() != before)
        updateGeometry();
    update();
}

void TabButton::setShownSelection(double shown)
{
    if (shown == m_shown)
        return;
    const QSize before = sizeHint();
    m_shown = shown;
    // Only a width that changes by a whole point asks the row to be laid out again.
    if (sizeHint() != before)
        updateGeometry();
    update();
}

void TabButton::showAtOnce()
{
    m_from = m_selected ? 1 : 0;
    setShownSelection(m_from);
}

void TabButton::setChangeProgress(double progress)
{
    setShownSelection(m_from + ((m_selected ? 1 : 0) - m_from) * progress);
}

double TabButton::widthOf(const GroupStyle::TabStyle &look, const QFont &font) const
{
    double width = QFontMetricsF(font).horizontalAdvance(text()) + look.inset.left() + look.inset.right();
    if (look.dot)
        width += dotSize + dotGap;
    return width;
}

QSize TabButton::sizeHint() const
{
    const double unselected = widthOf(m_unselectedLook, m_unselectedFont);
    const double selected = widthOf(m_selectedLook, m_selectedFont);
    const double height = std::max(QFontMetricsF(m_unselectedFont).height() + m_unselectedLook.inset.top() +
                                       m_unselectedLook.inset.bottom(),
                                   QFontMetricsF(m_selectedFont).height() + m_selectedLook.inset.top() +
                                       m_selectedLook.inset.bottom());
    return QSize(int(std::ceil(unselected + (selected - unselected) * m_shown)), int(std::ceil(height)));
}

void TabButton::paintLook(QPainter &painter, const GroupStyle::TabStyle &look, const QFont &font)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath capsule;
    capsule.addRoundedRect(frame, frame.height() / 2, frame.height() / 2);
    switch (look.fill) {
    case GroupStyle::TabStyle::Fill::brandGradient:
        painter.fillPath(capsule, BrandColors::brandGradient(frame, layoutDirection()));
        break;
    case GroupStyle::TabStyle::Fill::controlBackground:
        painter.fillPath(capsule,
                         SystemColors::withOpacity(SystemColors::controlBackground(appearance), 0.6));
        break;
    case GroupStyle::TabStyle::Fill::none:
        break;
    }
    if (look.outline) {
        painter.setPen(QPen(*look.outline, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capsule);
    }
    if (look.dot) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(*look.dot);
        painter.drawEllipse(dotRect(look));
    }
    painter.setFont(font);
    painter.setPen(look.text);
    // Mid-way the tab is as wide as neither look: the bolder text may reach into the inset.
    painter.drawText(textRect(look), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, text());
}

QRectF TabButton::dotRect(const GroupStyle::TabStyle &look) const
{
    if (!look.dot)
        return {};
    const QRectF content = QRectF(rect()).marginsRemoved(look.inset);
    const double left = layoutDirection() == Qt::RightToLeft ? content.right() - dotSize : content.left();
    return QRectF(left, content.center().y() - dotSize / 2, dotSize, dotSize);
}

QRectF TabButton::textRect(const GroupStyle::TabStyle &look) const
{
    // After the dot, from the leading edge; aligned left, which the painter mirrors.
    QRectF content = QRectF(rect()).marginsRemoved(look.inset);
    if (look.dot) {
        if (layoutDirection() == Qt::RightToLeft)
            content.setRight(content.right() - dotSize - dotGap);
        else
            content.setLeft(content.left() + dotSize + dotGap);
    }
    return content;
}

void TabButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LayoutDirectionChange)
        update();
    QAbstractButton::changeEvent(event);
}

void TabButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The selected look fills the whole capsule, so drawing it over the other at the opacity of
    // how selected the tab is shown blends the two looks in that proportion.
    if (m_shown < 1)
        paintLook(painter, m_unselectedLook, m_unselectedFont);
    if (m_shown > 0) {
        painter.setOpacity(m_shown);
        paintLook(painter, m_selectedLook, m_selectedFont);
        painter.setOpacity(1);
    }
    if (hasFocus()) {
        const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath capsule;
        capsule.addRoundedRect(frame, frame.height() / 2, frame.height() / 2);
        painter.setPen(
            QPen(SystemColors::withOpacity(SystemColors::accent(SystemColors::appearanceOf(this)), 0.7), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capsule);
    }
}

TabStrip::TabStrip(QWidget *parent) : QWidget(parent)
{
    new FlowLayout(22, 12, this);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void TabStrip::build(const QList<SwitchTimingView::Card> &cards)
{
    QLayout *flow = layout();
    while (QLayoutItem *item = flow->takeAt(0)) {
        if (item->widget())
            item->widget()->deleteLater();
        delete item;
    }
    m_tabs.clear();
    m_captions.clear();
    m_captionTexts.clear();
    m_cardIds.clear();
    for (const SwitchTimingView::Card &card : cards)
        m_cardIds.append(card.id);

    for (SwitchTimingView::Group group : SwitchTimingView::allGroups()) {
        QList<const SwitchTimingView::Card *> members;
        for (const SwitchTimingView::Card &card : cards) {
            if (card.group == group)
                members.append(&card);
        }
        if (members.isEmpty())
            continue;
        auto *section = new QWidget(this);
        auto *column = new QVBoxLayout(section);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(6);
        auto *caption = new ToneLabel(QLocale().toUpper(GroupStyle::caption(group)),
                                      group == SwitchTimingView::Group::first ? ToneLabel::Tone::brand
                                                                              : ToneLabel::Tone::secondary,
                                      section);
        column->addWidget(caption);
        m_captions.append(caption);
        m_captionTexts.append(caption->text());
        auto *row = new QHBoxLayout;
        row->setSpacing(6);
        for (const SwitchTimingView::Card *card : members) {
            auto *tab = new TabButton(card->id, section);
            tab->setText(card->tab);
            const QString id = card->id;
            connect(tab, &QAbstractButton::clicked, this, [this, id] {
                if (onSelect)
                    onSelect(id);
            });
            row->addWidget(tab);
            m_tabs.insert(card->id, tab);
        }
        row->addStretch(1);
        column->addLayout(row);
        flow->addWidget(section);
    }
    m_scale = 0;
}

void TabStrip::setCards(const QList<SwitchTimingView::Card> &cards, const QString &shownId,
                        const TimingInputs &in, double textScale, bool change)
{
    QStringList ids;
    for (const SwitchTimingView::Card &card : cards)
        ids.append(card.id);
    const bool rebuilt = ids != m_cardIds;
    if (rebuilt)
        build(cards);
    if (textScale != m_scale) {
        m_scale = textScale;
        QFont font = FontStyles::systemFont(9 * textScale, QFont::DemiBold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
        for (ToneLabel *caption : std::as_const(m_captions))
            caption->setFontIfChanged(font);
    }
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    const bool moves = shownId != m_selectedId;
    m_selectedId = shownId;
    for (const SwitchTimingView::Card &card : cards) {
        TabButton *tab = m_tabs.value(card.id);
        if (!tab)
            continue;
        if (tab->text() != card.tab)
            tab->setText(card.tab);
        const SwitchTimingView::Group now = SwitchTimingView::group(card, in);
        tab->setLooks(GroupStyle::tabStyle(card.group, now, false, appearance),
                      GroupStyle::tabStyle(card.group, now, true, appearance), card.id == shownId, textScale);
        // A change starts every tab from what it shows, also one that stays as it is while the
        // change is the panel's alone (a case chip).
        if (rebuilt || (moves && !change))
            tab->showAtOnce();
        else if (change)
            tab->beginChange();
    }
}

void TabStrip::setChangeProgress(double progress)
{
    for (TabButton *tab : std::as_const(m_tabs))
        tab->setChangeProgress(progress);
}

QStringList TabStrip::captions() const
{
    return m_captionTexts;
}
