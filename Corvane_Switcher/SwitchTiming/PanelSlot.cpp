#include "PanelSlot.h"

#include "CardPanel.h"
#include "Platform/SystemColors.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

// A picture of what the slot showed, on the window's background, fading out where it stood; below
// it, to the slot's bottom, the window's background fades out too, so that a taller new panel
// comes in as its top does. Clicks go through it to the new panel beneath.
class FadingPicture final : public QWidget {
public:
    FadingPicture(const QPixmap &shown, QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        m_background = SystemColors::windowBackground(SystemColors::appearanceOf(parent));
        m_picture = QPixmap(shown.size());
        m_picture.setDevicePixelRatio(shown.devicePixelRatio());
        m_picture.fill(m_background);
        QPainter painter(&m_picture);
        painter.drawPixmap(0, 0, shown);
    }
    QSize pictureSize() const { return m_picture.deviceIndependentSize().toSize(); }
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity)
    {
        if (opacity == m_opacity)
            return;
        m_opacity = opacity;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setOpacity(m_opacity);
        painter.drawPixmap(0, 0, m_picture);
        const int below = pictureSize().height();
        if (below < height())
            painter.fillRect(0, below, width(), height() - below, m_background);
    }

private:
    QPixmap m_picture;
    QColor m_background;
    double m_opacity = 1;
};

PanelSlot::PanelSlot(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void PanelSlot::setPanel(CardPanel *panel, bool change)
{
    if (change && m_panel && isVisible()) {
        // What is shown now, a change under way included, and the height it stands at: the new
        // change starts from there. Only what the slot holds: the background beneath is the
        // window's, not the palette's that grab() would paint.
        QPixmap shown(size() * devicePixelRatioF());
        shown.setDevicePixelRatio(devicePixelRatioF());
        shown.fill(Qt::transparent);
        render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
        const int shownHeight = height();
        endChange();
        m_picture = new FadingPicture(shown, this);
        m_picture->setGeometry(0, 0, width(), shownHeight);
        m_fromHeight = shownHeight;
        m_progress = 0;
        m_changing = true;
    } else {
        endChange();
    }
    if (m_panel) {
        // Hidden at once: only the new panel takes clicks and focus from here on. Deleted later,
        // as it may be the sender of the click that got us here.
        m_panel->hide();
        m_panel->deleteLater();
    }
    m_panel = panel;
    if (panel->parentWidget() != this)
        panel->setParent(this);
    place();
    panel->show();
    if (m_picture) {
        m_picture->show();
        m_picture->raise();
    }
    updateGeometry();
}

void PanelSlot::setProgress(double progress)
{
    if (!m_changing || progress == m_progress)
        return;
    m_progress = progress;
    m_picture->setOpacity(1 - progress);
    // Only the slot's own height changes: the panels keep theirs.
    updateGeometry();
}

void PanelSlot::endChange()
{
    if (m_picture) {
        m_picture->hide();
        m_picture->deleteLater();
        m_picture = nullptr;
    }
    if (m_changing) {
        m_changing = false;
        m_progress = 1;
        updateGeometry();
    }
}

QWidget *PanelSlot::fadingPicture() const
{
    return m_picture;
}

double PanelSlot::fadingOpacity() const
{
    return m_picture ? m_picture->opacity() : 0;
}

int PanelSlot::panelHeight(int width) const
{
    if (!m_panel)
        return 0;
    int height = m_panel->hasHeightForWidth() ? m_panel->heightForWidth(width) : -1;
    if (height < 0)
        height = m_panel->sizeHint().height();
    return std::clamp(height, m_panel->minimumHeight(), m_panel->maximumHeight());
}

int PanelSlot::heightForWidth(int width) const
{
    const int panel = panelHeight(width);
    if (!m_changing)
        return panel;
    return int(std::lround(m_fromHeight + (panel - m_fromHeight) * m_progress));
}

QSize PanelSlot::sizeHint() const
{
    const int width = m_panel ? m_panel->sizeHint().width() : 0;
    return QSize(width, heightForWidth(width));
}

QSize PanelSlot::minimumSizeHint() const
{
    // The height follows the width, which the layout asks through heightForWidth().
    return QSize(m_panel ? m_panel->minimumSizeHint().width() : 0, 0);
}

bool PanelSlot::event(QEvent *event)
{
    // The panel's own size changed (a new text size, a rail that grew): pass it on and give the
    // panel its new height. The slot has no layout that would do either.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place();
        return true;
    }
    return QWidget::event(event);
}

void PanelSlot::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

void PanelSlot::place()
{
    // The panel at its own height, clipped by the slot while the slot is the shorter; the picture
    // over all of the slot.
    if (m_panel)
        m_panel->setGeometry(0, 0, width(), panelHeight(width()));
    if (m_picture)
        m_picture->setGeometry(0, 0, std::max(width(), m_picture->pictureSize().width()), height());
}
