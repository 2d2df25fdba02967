#include "TabStrip.h"

#include "FlowLayout.h"
#include "Platform/BrandColors.h"
#include "Platform/FontStyles.h"
#include "ToneLabel.h"

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

void TabButton::setStyleAndScale(const GroupStyle::TabStyle &style, bool selected, double textScale)
{
    QFont font = FontStyles::systemFont(11 * textScale, style.weight);
    if (style == m_style && selected == m_selected && font == m_font)
        return;
    const bool resized =
        font != m_font || style.inset != m_style.inset || style.dot.has_value() != m_style.dot.has_value();
    m_style = style;
    m_selected = selected;
    m_font = font;
    if (resized)
        updateGeometry();
    update();
}

QSize TabButton::sizeHint() const
{
    const QFontMetricsF fm(m_font);
    double width = fm.horizontalAdvance(text()) + m_style.inset.left() + m_style.inset.right();
    if (m_style.dot)
        width += dotSize + dotGap;
    return QSize(int(std::ceil(width)),
                 int(std::ceil(fm.height() + m_style.inset.top() + m_style.inset.bottom())));
}

void TabButton::paintEvent(QPaintEvent *)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath capsule;
    capsule.addRoundedRect(frame, frame.height() / 2, frame.height() / 2);
    switch (m_style.fill) {
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
    if (m_style.outline) {
        painter.setPen(QPen(*m_style.outline, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capsule);
    }
    const QRectF content = QRectF(rect()).marginsRemoved(m_style.inset);
    double x = content.left();
    if (m_style.dot) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(*m_style.dot);
        painter.drawEllipse(QRectF(x, content.center().y() - dotSize / 2, dotSize, dotSize));
        x += dotSize + dotGap;
    }
    painter.setFont(m_font);
    painter.setPen(m_style.text);
    painter.drawText(QRectF(x, content.top(), content.right() - x, content.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
    if (hasFocus()) {
        painter.setPen(QPen(SystemColors::withOpacity(SystemColors::accent(appearance), 0.7), 2));
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
                        const TimingInputs &in, double textScale)
{
    QStringList ids;
    for (const SwitchTimingView::Card &card : cards)
        ids.append(card.id);
    if (ids != m_cardIds)
        build(cards);
    if (textScale != m_scale) {
        m_scale = textScale;
        QFont font = FontStyles::systemFont(9 * textScale, QFont::DemiBold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
        for (ToneLabel *caption : std::as_const(m_captions))
            caption->setFontIfChanged(font);
    }
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    for (const SwitchTimingView::Card &card : cards) {
        TabButton *tab = m_tabs.value(card.id);
        if (!tab)
            continue;
        if (tab->text() != card.tab)
            tab->setText(card.tab);
        const bool selected = card.id == shownId;
        tab->setStyleAndScale(
            GroupStyle::tabStyle(card.group, SwitchTimingView::group(card, in), selected, appearance),
            selected, textScale);
    }
}

QStringList TabStrip::captions() const
{
    return m_captionTexts;
}
