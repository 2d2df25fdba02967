#include "CardPanel.h"

#include "CardHeader.h"
#include "CasePicker.h"
#include "FlowLayout.h"
#include "GroupStyle.h"
#include "LoadFiguresCard.h"
#include "Platform/FontStyles.h"
#include "RailSteps.h"
#include "SettingRow.h"
#include "SwitcherModel.h"
#include "ToneLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {
constexpr double panelRadius = 10;
} // namespace

void paintPanel(QWidget &widget, SwitchTimingView::Group group)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(&widget);
    const GroupStyle::PanelStyle style = GroupStyle::panelStyle(group, appearance);
    QPainter painter(&widget);
    painter.setRenderHint(QPainter::Antialiasing);
    const double inset = style.borderWidth / 2;
    const QRectF frame = QRectF(widget.rect()).adjusted(inset, inset, -inset, -inset);
    QPainterPath shape;
    shape.addRoundedRect(frame, panelRadius, panelRadius);
    painter.fillPath(shape, GroupStyle::panelBackground(group, appearance));
    painter.setPen(QPen(style.border, style.borderWidth));
    painter.drawPath(shape);
}

Divider::Divider(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(1);
}

void Divider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), SystemColors::separator(SystemColors::appearanceOf(this)));
}

QString CardPanel::identity(const SwitchTimingView::Card &card, const SwitchTimingView::Case &shownCase)
{
    return card.id + shownCase.id;
}

CardPanel::CardPanel(const SwitchTimingView::Card &card, const SwitchTimingView::Case &shownCase,
                     SwitcherModel &model, QWidget *parent)
    : QWidget(parent), m_identity(identity(card, shownCase))
{
    setObjectName(QStringLiteral("cardPanel"));
    const int padding = int(SwitchTimingView::cardPadding);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(10);

    // The heading, with the case picker at its trailing edge, or on a line of its own below when
    // the card is too narrow for both.
    auto *heading = new QWidget(this);
    auto *headingFlow = new FlowLayout(18, 6, heading);
    m_header = new CardHeader(card, model, heading);
    headingFlow->addWidget(m_header);
    if (card.cases.size() >= 2) {
        m_picker = new CasePicker(heading);
        m_picker->onChoose = [this](const QString &id) {
            if (onChooseCase)
                onChooseCase(id);
        };
        headingFlow->addWidget(m_picker);
        headingFlow->setLastItemTrailing(true);
    }
    column->addWidget(heading);

    m_note = new ToneLabel(ToneLabel::Tone::secondary, this);
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    column->addWidget(m_note);

    const auto forward = [this](SettingKey key) {
        if (onSetting)
            onSetting(key);
    };
    m_rail = new TimelineRail(this);
    m_rail->onSetting = forward;
    column->addSpacing(2);
    column->addWidget(m_rail);
    m_steps = new RailSteps(this);
    m_steps->onSetting = forward;
    column->addSpacing(2);
    column->addWidget(m_steps);

    if (!shownCase.settings.isEmpty() || card.showsLoad) {
        column->addSpacing(2);
        column->addWidget(new Divider(this));
        m_settingsArea = new QWidget(this);
        auto *area = new QHBoxLayout(m_settingsArea);
        area->setContentsMargins(0, 0, 0, 0);
        area->setSpacing(14);
        auto *rows = new QWidget(m_settingsArea);
        auto *flow = new FlowLayout(6, 4, rows);
        for (SettingKey key : shownCase.settings) {
            auto *row = new SettingRow(key, model, rows);
            flow->addWidget(row);
            m_rows.append(row);
        }
        area->addWidget(rows, 1);
        if (card.showsLoad) {
            m_load = new LoadFiguresCard(m_settingsArea);
            area->addWidget(m_load, 0, Qt::AlignVCenter);
        }
        column->addWidget(m_settingsArea);
    }
}

void CardPanel::refresh(const SwitchTimingView::Card &card, const SwitchTimingView::Case &shownCase,
                        SwitchTimingView::Group now, const TimingInputs &in, const RailParams &rail,
                        double textScale)
{
    if (now != m_group) {
        m_group = now;
        update();
    }
    m_header->refresh(card, now, in, textScale);
    if (m_picker) {
        QList<CasePicker::Choice> choices;
        for (const SwitchTimingView::Case &c : card.cases)
            choices.append({c.id, c.label});
        m_picker->setChoices(choices, shownCase.id, textScale);
    }
    m_note->setFontIfChanged(FontStyles::systemFont(11 * textScale));
    if (m_note->text() != shownCase.note)
        m_note->setText(shownCase.note);

    const QColor knockout = GroupStyle::panelBackground(now, SystemColors::appearanceOf(this));
    m_rail->setSpec(shownCase.spec, rail);
    m_rail->setKnockout(knockout);
    m_steps->setMarks(shownCase.spec.marks, textScale, 2);
    m_steps->setKnockout(knockout);
    for (SettingRow *row : std::as_const(m_rows))
        row->refresh(textScale);
    if (m_load)
        m_load->setText(SwitcherModel::loadSummaryText(in.loadStats), textScale);
}

void CardPanel::paintEvent(QPaintEvent *)
{
    paintPanel(*this, m_group);
}
