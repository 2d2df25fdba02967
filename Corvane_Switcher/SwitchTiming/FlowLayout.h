#pragma once

#include <QLayout>
#include <QList>

#include <optional>

// Places its widgets from the leading edge (the left, or the right in a right-to-left layout)
// and wraps them into rows, each row's widgets centred on the row's height. One pass
// (`doLayout`) serves both the height for a width and the geometry, so they never disagree;
// hidden widgets take no room.
class FlowLayout final : public QLayout {
public:
    FlowLayout(int spacing, int rowSpacing, QWidget *parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;
    void invalidate() override;

    int rowSpacing() const { return m_rowSpacing; }
    // Whether the last item goes to the trailing edge of its row (a control at the end of a
    // heading), wherever the row breaks.
    void setLastItemTrailing(bool trailing);
    // How many rows the items took at the last geometry (for tests).
    int rowCount() const { return m_rows; }

private:
    // Lays the items out in `rect`; moves them only when `apply`. Returns the height used.
    int doLayout(const QRect &rect, bool apply) const;

    QList<QLayoutItem *> m_items;
    int m_rowSpacing = 0;
    bool m_lastItemTrailing = false;
    mutable int m_rows = 0;
    mutable std::optional<std::pair<int, int>> m_cachedHeight; // width -> height
};
