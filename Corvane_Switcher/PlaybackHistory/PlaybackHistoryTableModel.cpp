#include "PlaybackHistoryTableModel.h"

#include "PlaybackHistoryStyle.h"

#include "Common/DateTimeText.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(PlaybackHistoryWindow)
};

} // namespace

const std::array<PlaybackHistoryTableModel::ColumnSpec, PlaybackHistoryTableModel::columnTotal>
    PlaybackHistoryTableModel::columns = {{
        //: Playback History column: when the play happened.
        {QT_TRANSLATE_NOOP("PlaybackHistoryWindow", "Time"), 110, 130, 160},
        //: Playback History column: the track's title and artist.
        {QT_TRANSLATE_NOOP("PlaybackHistoryWindow", "Track"), 180, 260, 0},
        //: Playback History column: Music.app's audio-quality setting at the time.
        {QT_TRANSLATE_NOOP("PlaybackHistoryWindow", "Setting"), 60, 80, 100},
        //: Playback History column: the predicted sample rate.
        {QT_TRANSLATE_NOOP("PlaybackHistoryWindow", "Predicted"), 70, 80, 100},
        //: Playback History column: the prediction step the rate came from.
        {QT_TRANSLATE_NOOP("PlaybackHistoryWindow", "From"), 140, 200, 0},
        //: Playback History column: the sample rate that played.
        {QT_TRANSLATE_NOOP("PlaybackHistoryWindow", "Played"), 70, 80, 100},
        //: Playback History column: how long Music.app took to start the track.
        {QT_TRANSLATE_NOOP("PlaybackHistoryWindow", "Music.app Load"), 70, 90, 110},
        //: Playback History column: how the play ended.
        {QT_TRANSLATE_NOOP("PlaybackHistoryWindow", "Outcome"), 160, 260, 0},
    }};

static_assert(int(PlayCells::Column::time) == PlaybackHistoryTableModel::time &&
              int(PlayCells::Column::outcome) == PlaybackHistoryTableModel::outcome);

PlaybackHistoryTableModel::PlaybackHistoryTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void PlaybackHistoryTableModel::setEntries(QList<Entry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

int PlaybackHistoryTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int PlaybackHistoryTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnTotal;
}

QVariant PlaybackHistoryTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry &entry = m_entries.at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return PlayCells::text(cellColumn(column), entry, PlayCells::Writing::history);
    case Qt::ToolTipRole:
        if (const auto help = cellHelp(column, entry))
            return *help;
        return {};
    case Qt::ForegroundRole:
        return PlaybackHistoryStyle::toneColor(PlayCells::tone(cellColumn(column), entry));
    case Qt::FontRole:
        if (column == load)
            return PlaybackHistoryStyle::fixedDigitFont();
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case artistRole:
        return column == track ? QVariant(entry.artist) : QVariant();
    case toneRole:
        return int(PlayCells::tone(cellColumn(column), entry));
    case idRole:
        return entry.id;
    default:
        return {};
    }
}

QVariant PlaybackHistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnTotal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return headerText(section);
    if (role == Qt::ToolTipRole) {
        if (const auto help = headerHelp(section))
            return *help;
        return {};
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QString PlaybackHistoryTableModel::headerText(int column)
{
    return Tr::tr(columns.at(column).header);
}

std::optional<QString> PlaybackHistoryTableModel::headerHelp(int column)
{
    if (column != load)
        return std::nullopt;
    //: Hover help of the Music.app Load column.
    return Tr::tr(
        "How long Music.app took to start the track after Corvane asked for it — a pick, or the next "
        "track after a Stop to Switch change. Blank: a gapless advance, which Music.app had already "
        "loaded.");
}

std::optional<QString> PlaybackHistoryTableModel::cellHelp(int column, const Entry &entry)
{
    if (column == from && entry.note)
        return *entry.note;
    // Every Load cell explains itself, a blank one most of all.
    if (column == load)
        return headerHelp(load);
    return std::nullopt;
}

QStringList PlaybackHistoryTableModel::widestTexts(int column)
{
    QStringList texts;
    if (column == time) {
        for (int month = 1; month <= 12; ++month) {
            for (int hour : {10, 22})
                texts.append(
                    DateTimeText::mediumDateShortTime(QDateTime(QDate(2026, month, 26), QTime(hour, 44))));
        }
    } else if (column == predicted || column == played) {
        for (double hz : {88200.0, 176400.0, 352800.0, 705600.0})
            texts.append(PlaybackHistory::rateText(hz));
    }
    return texts;
}

PlaybackHistoryTableModel::ColumnSpec PlaybackHistoryTableModel::boundsFor(int column, TextWidths measured)
{
    ColumnSpec bounds = columns.at(column);
    bounds.minimum = std::max(bounds.minimum, measured.needed);
    if (bounds.maximum > 0)
        bounds.maximum = std::max(bounds.maximum, measured.needed);
    bounds.ideal = std::max({bounds.ideal, measured.preferred, measured.needed});
    if (bounds.maximum > 0)
        bounds.ideal = std::min(bounds.ideal, bounds.maximum);
    return bounds;
}

std::array<int, PlaybackHistoryTableModel::columnTotal>
PlaybackHistoryTableModel::columnWidths(int available, const MeasuredColumns &measured)
{
    std::array<ColumnSpec, columnTotal> bounds{};
    std::array<int, columnTotal> widths{};
    int total = 0;
    for (int i = 0; i < columnTotal; ++i) {
        bounds[i] = boundsFor(i, measured[i]);
        widths[i] = bounds[i].ideal;
        total += widths[i];
    }
    int difference = available - total;
    // Moves the difference a point at a time over the chosen columns still inside their bounds,
    // so that each gets an even share and the result never depends on rounding.
    const auto spread = [&](bool open) {
        bool moved = true;
        while (difference != 0 && moved) {
            moved = false;
            for (int i = 0; i < columnTotal && difference != 0; ++i) {
                const ColumnSpec &column = bounds[i];
                if ((column.maximum == 0) != open)
                    continue;
                if (difference > 0 && (open || widths[i] < column.maximum)) {
                    ++widths[i];
                    --difference;
                    moved = true;
                } else if (difference < 0 && widths[i] > column.minimum) {
                    --widths[i];
                    ++difference;
                    moved = true;
                }
            }
        }
    };
    // Short fixed-form texts (times, rates, loads) keep their room longest; the title, step
    // and outcome texts give way first and shorten with "…".
    if (difference > 0) {
        spread(false);
        spread(true);
    } else {
        spread(true);
        spread(false);
    }
    return widths;
}
