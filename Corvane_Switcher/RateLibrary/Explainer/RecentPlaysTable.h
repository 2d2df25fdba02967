#pragma once

// The recent plays: the eight newest plays in a small table that hangs under the latest play
// line. A row under the pointer lights its step; "Show all" opens the Playback History window.

#include "ExplainerModel.h"

#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;

// The header, the rows and the dividers, painted by one widget.
class RecentPlaysRows final : public QWidget {
    Q_OBJECT
public:
    static constexpr int headerHeight = 22;
    static constexpr int rowHeight = 24;
    static constexpr int padding = 10;

    explicit RecentPlaysRows(QWidget *parent = nullptr);

    void showPlays(QList<RateLibrary::PlayEntry> plays, std::optional<QUuid> latestID,
                   std::optional<int> hoveredStep);
    void showHoveredStep(std::optional<int> hoveredStep);
    const QList<RateLibrary::PlayEntry> &plays() const { return m_plays; }
    RateLibrary::RowTint tintOfRow(int row) const;
    // The row's rectangle, in this widget's coordinates.
    QRect rowRect(int row) const;
    int rowAt(const QPoint &pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void rowEntered(const QUuid &id);
    void rowLeft(const QUuid &id);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct RowPicture {
        RateLibrary::PlayEntry entry;
        QPixmap picture;
    };
    // The cells' rectangles of a row spanning `line`, in reading order (mirrored when right to left).
    QList<QRect> cellRects(const QRect &line) const;
    void paintCells(QPainter &painter, const QRect &line, const RateLibrary::PlayEntry &entry) const;
    // The row's cells on a transparent picture, drawn when first needed.
    const QPixmap &cellsPicture(int row) const;
    // The play under the pointer now, reported as entered and the one before as left.
    void followPointer();

    mutable QList<RowPicture> m_pictures;

    QList<RateLibrary::PlayEntry> m_plays;
    std::optional<QUuid> m_latestID;
    std::optional<int> m_hoveredStep;
    // The pointer follows plays, not row positions: a play arriving under a resting pointer
    // moves the rows without a mouse move, and leaving must clear the play that was entered.
    std::optional<QPoint> m_pointer;
    std::optional<QUuid> m_pointerPlay;
};

class RecentPlaysTable final : public QWidget {
    Q_OBJECT
public:
    static constexpr int footerHeight = 28;

    explicit RecentPlaysTable(QWidget *parent = nullptr);

    RecentPlaysRows *rows() const { return m_rows; }
    QPushButton *showAllButton() const { return m_showAll; }
    QString footerText() const;
    void showPlays(QList<RateLibrary::PlayEntry> plays, std::optional<QUuid> latestID,
                   std::optional<int> hoveredStep);

signals:
    void showAllPressed();

private:
    RecentPlaysRows *m_rows = nullptr;
    QLabel *m_footer = nullptr;
    QPushButton *m_showAll = nullptr;
};
