#pragma once

#include "Common/PlayCells.h"
#include "PlaybackHistory.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The history table over the visible plays. It holds a copy of the rows it shows and is reset
// once per change; its cells say what `PlayCells` says of a play, as the History window writes it.
class PlaybackHistoryTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using Entry = PlaybackHistory::Entry;

    enum Column { time, track, setting, predicted, from, played, load, outcome };
    static constexpr int columnTotal = 8;

    // Widths in points; maximum 0 means the column may grow without bound.
    struct ColumnSpec {
        const char *header;
        int minimum;
        int ideal;
        int maximum;
    };
    static const std::array<ColumnSpec, columnTotal> columns;

    using Tone = PlayCells::Tone;

    enum Role {
        artistRole = Qt::UserRole + 1, // the track cell's second line
        toneRole,                      // the cell's Tone as an int
        idRole,                        // the play's id
    };

    explicit PlaybackHistoryTableModel(QObject *parent = nullptr);

    // Replaces every row in one reset.
    void setEntries(QList<Entry> entries);
    const QList<Entry> &entries() const { return m_entries; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QString headerText(int column);
    static std::optional<QString> headerHelp(int column);
    // The columns are the shared cells' in the same order.
    static PlayCells::Column cellColumn(int column) { return PlayCells::Column(column); }
    // Hover text of a cell; none where a cell has no help of its own.
    static std::optional<QString> cellHelp(int column, const Entry &entry);

    // Texts as wide as any the column shows, for the fixed-form columns: for Time, a two-digit
    // day and hour in every month, morning and evening, in the current locale; for the rates,
    // the longest standard rates. None for the other columns.
    static QStringList widestTexts(int column);

    // What a column's texts ask for in the current fonts (0: nothing measured): its cells
    // `needed`, never less, even past its usual maximum, so that fixed-form texts are never cut;
    // its header `preferred`, while its bounds allow. Value-initialise ({}) for none.
    struct TextWidths {
        int needed;
        int preferred;
    };
    using MeasuredColumns = std::array<TextWidths, columnTotal>;
    static ColumnSpec boundsFor(int column, TextWidths measured);
    // Each column's width for a table `available` points wide, from the ideal widths: a narrower
    // table first shrinks the open-ended columns, a wider one first grows the bounded ones, each
    // evenly within its bounds (`boundsFor`). The sum exceeds `available` only below the minimums.
    static std::array<int, columnTotal> columnWidths(int available, const MeasuredColumns &measured = {});

private:
    QList<Entry> m_entries;
};
