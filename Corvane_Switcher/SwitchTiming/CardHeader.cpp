#include "CardHeader.h"

#include "Platform/FontStyles.h"
#include "Platform/Symbols.h"
#include "SwitchToggle.h"
#include "SwitcherModel.h"
#include "ToneLabel.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

constexpr double titlePoints = 13.5;
constexpr double symbolGap = 8;
} // namespace

GroupBadge::GroupBadge(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void GroupBadge::setGroup(SwitchTimingView::Group group, const QString &title, double textScale)
{
    const QFont font = FontStyles::systemFont(9.5 * textScale, QFont::DemiBold);
    if (group == m_group && title == m_text && font == m_font)
        return;
    const bool resized = title != m_text || font != m_font;
    m_group = group;
    m_text = title;
    m_font = font;
    setAccessibleName(title);
    if (resized)
        updateGeometry();
    update();
}

QSize GroupBadge::sizeHint() const
{
    const QFontMetricsF fm(m_font);
    return QSize(int(std::ceil(fm.horizontalAdvance(m_text) + 16)), int(std::ceil(fm.height() + 6)));
}

void GroupBadge::paintEvent(QPaintEvent *)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    const std::optional<QColor> color = SwitchTimingView::groupColor(m_group, appearance);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath capsule;
    capsule.addRoundedRect(frame, frame.height() / 2, frame.height() / 2);
    if (color) {
        painter.fillPath(capsule, SystemColors::withOpacity(*color, 0.18));
        painter.setPen(QPen(SystemColors::withOpacity(*color, 0.5), 1));
        painter.drawPath(capsule);
    }
    painter.setFont(m_font);
    painter.setPen(SystemColors::label(appearance));
    painter.drawText(QRectF(rect()), Qt::AlignCenter, m_text);
}

RadioTitle::RadioTitle(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void RadioTitle::setTitle(const QString &title, bool selected, double textScale)
{
    const QFont font = FontStyles::systemFont(titlePoints * textScale, QFont::DemiBold);
    if (title == text() && selected == m_selected && font == m_font)
        return;
    const bool resized = title != text() || font != m_font;
    m_selected = selected;
    m_font = font;
    setText(title);
    setAccessibleName(title);
    if (resized)
        updateGeometry();
    update();
}

QSize RadioTitle::sizeHint() const
{
    const QFontMetricsF fm(m_font);
    // The symbol at the large image scale: a little taller than the title's capitals.
    const double symbol = std::ceil(fm.height() * 1.05);
    return QSize(int(std::ceil(symbol + symbolGap + fm.horizontalAdvance(text()))),
                 int(std::ceil(fm.height() + 4)));
}

void RadioTitle::paintEvent(QPaintEvent *)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF fm(m_font);
    const double symbol = std::ceil(fm.height() * 1.05);
    const QRectF symbolRect(0, (height() - symbol) / 2, symbol, symbol);
    if (m_selected)
        Symbols::paint(painter, symbolRect, QStringLiteral("largecircle.fill.circle"),
                       SystemColors::accent(appearance));
    else
        Symbols::paint(painter, symbolRect, QStringLiteral("circle"),
                       SystemColors::secondaryLabel(appearance));
    painter.setFont(m_font);
    painter.setPen(SystemColors::label(appearance));
    painter.drawText(QRectF(symbol + symbolGap, 0, width() - symbol - symbolGap, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
    if (hasFocus()) {
        painter.setPen(QPen(SystemColors::withOpacity(SystemColors::accent(appearance), 0.7), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}

CardHeader::CardHeader(const SwitchTimingView::Card &card, SwitcherModel &model, QWidget *parent)
    : QWidget(parent), m_model(model)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    using Kind = SwitchTimingView::CardControl::Kind;
    switch (card.control.kind) {
    case Kind::radio: {
        m_radio = new RadioTitle(this);
        const QString mode = card.control.mode;
        connect(m_radio, &QAbstractButton::clicked, this, [this, mode] { m_model.setBoundaryMode(mode); });
        row->addWidget(m_radio);
        break;
    }
    case Kind::fadeToggle: {
        m_title = new ToneLabel(ToneLabel::Tone::primary, this);
        m_toggle = new SwitchToggle(this);
        connect(m_toggle, &QAbstractButton::clicked, this, [this](bool on) { m_model.setAudioTap(on); });
        m_note = new ToneLabel(ToneLabel::Tone::secondary, this);
        m_note->setWordWrap(true);
        auto *control = new QHBoxLayout;
        control->setSpacing(8);
        control->addWidget(m_title);
        control->addWidget(m_toggle);
        row->addLayout(control);
        row->addWidget(m_note, 10);
        break;
    }
    case Kind::none:
        m_title = new ToneLabel(ToneLabel::Tone::primary, this);
        row->addWidget(m_title);
        break;
    }
    m_badge = new GroupBadge(this);
    row->addWidget(m_badge);
    row->addStretch(1);
}

void CardHeader::refresh(const SwitchTimingView::Card &card, SwitchTimingView::Group now,
                         const TimingInputs &in, double textScale)
{
    const QFont title = FontStyles::systemFont(titlePoints * textScale, QFont::DemiBold);
    if (m_radio)
        m_radio->setTitle(card.title, card.control.mode == in.boundaryMode, textScale);
    if (m_title) {
        m_title->setFontIfChanged(title);
        if (m_title->text() != card.title)
            m_title->setText(card.title);
    }
    if (m_toggle) {
        const QFont toggleFont = FontStyles::systemFont(11 * textScale);
        if (m_toggle->font() != toggleFont)
            m_toggle->setFont(toggleFont);
        m_toggle->setChecked(in.audioTap);
        m_toggle->setEnabled(in.tapSupported);
        m_toggle->setAccessibleName(card.title);
        m_title->setEnabled(in.tapSupported);
        m_note->setFontIfChanged(FontStyles::systemFont(10.5 * textScale));
        QString note;
        if (!in.tapSupported) {
            //: Beside the fade-out switching toggle on a system where it cannot run.
            note = Tr::tr("needs macOS 14.4 or later");
            m_note->setTone(ToneLabel::Tone::secondary);
        } else if (const std::optional<QString> tip = m_model.fadeSwitchPermissionTip()) {
            note = *tip;
            m_note->setTone(ToneLabel::Tone::orange);
        }
        if (m_note->text() != note)
            m_note->setText(note);
        m_note->setVisible(!note.isEmpty());
    }
    const bool badge = now != SwitchTimingView::Group::always;
    if (badge)
        m_badge->setGroup(now, SwitchTimingView::groupTitle(now, in), textScale);
    m_badge->setVisible(badge);
}
