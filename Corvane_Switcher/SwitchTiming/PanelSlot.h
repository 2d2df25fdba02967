#pragma once

#include <QWidget>

class CardPanel;
class FadingPicture;

// Where the shown card's panel stands. A picked tab or case changes the panel in two ways at once,
// driven by the window's progress from 0 to 1: a picture of what was shown fades out over the new
// panel, and the height goes from what was shown to the new panel's. The new panel takes clicks
// from the start; the picture takes none. Everything below the slot moves with its height, one
// layout pass a step, and nothing inside the panel is laid out again for it.
class PanelSlot final : public QWidget {
    Q_OBJECT
public:
    explicit PanelSlot(QWidget *parent = nullptr);

    CardPanel *panel() const { return m_panel; }
    // Puts `panel` in the place of the one shown, which is hidden at once and deleted later.
    // `change`: begins a change at progress 0 from what is shown now, a change under way included.
    void setPanel(CardPanel *panel, bool change);
    // 0 to 1, already eased; 1 ends the change.
    void setProgress(double progress);
    void endChange();
    bool isChanging() const { return m_changing; }

    // The picture of what was shown, while it fades out.
    QWidget *fadingPicture() const;
    double fadingOpacity() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int panelHeight(int width) const;
    void place();

    CardPanel *m_panel = nullptr;
    FadingPicture *m_picture = nullptr;
    bool m_changing = false;
    double m_progress = 1;
    int m_fromHeight = 0;
};
