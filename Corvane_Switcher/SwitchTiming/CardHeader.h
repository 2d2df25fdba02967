#pragma once

#include "SwitchTimingView.h"

#include <QAbstractButton>
#include <QWidget>

class SwitchToggle;
class SwitcherModel;
class ToneLabel;

// A group's title on a small capsule tinted with the group's colour.
class GroupBadge final : public QWidget {
    Q_OBJECT
public:
    explicit GroupBadge(QWidget *parent = nullptr);
    void setGroup(SwitchTimingView::Group group, const QString &title, double textScale);
    QString text() const { return m_text; }
    SwitchTimingView::Group group() const { return m_group; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SwitchTimingView::Group m_group = SwitchTimingView::Group::always;
    QString m_text;
    QFont m_font;
};

// A method card's title with the radio that chooses the method: a filled ring when it is the
// chosen one, an empty circle otherwise. The whole label is the click target.
class RadioTitle final : public QAbstractButton {
    Q_OBJECT
public:
    explicit RadioTitle(QWidget *parent = nullptr);
    void setTitle(const QString &title, bool selected, double textScale);
    bool isSelected() const { return m_selected; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_selected = false;
    QFont m_font;
};

// The card's heading: its control (the method's radio, the fade-out switching toggle with its
// note, or the title alone) and, unless the card is always on, the badge of its group now.
class CardHeader final : public QWidget {
    Q_OBJECT
public:
    CardHeader(const SwitchTimingView::Card &card, SwitcherModel &model, QWidget *parent = nullptr);

    void refresh(const SwitchTimingView::Card &card, SwitchTimingView::Group now, const TimingInputs &in,
                 double textScale);

    RadioTitle *radio() const { return m_radio; }
    SwitchToggle *fadeToggle() const { return m_toggle; }
    ToneLabel *note() const { return m_note; }
    GroupBadge *badge() const { return m_badge; }

private:
    SwitcherModel &m_model;
    RadioTitle *m_radio = nullptr;
    SwitchToggle *m_toggle = nullptr;
    ToneLabel *m_title = nullptr;
    ToneLabel *m_note = nullptr;
    GroupBadge *m_badge = nullptr;
};
