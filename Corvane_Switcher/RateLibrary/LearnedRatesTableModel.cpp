#include "LearnedRatesTableModel.h"

#include "Platform/SystemColors.h"
#include "RateLibraryIndex.h"
#include "RateLibraryRowText.h"

using namespace RateLibrary;

namespace {
enum Column { trackColumn, albumColumn, settingColumn, rateColumn, sourceColumn, confirmedColumn };
}

LearnedRatesTableModel::LearnedRatesTableModel(QObject *parent) : QAbstractTableModel(parent) {}

bool LearnedRatesTableModel::setRows(std::shared_ptr<const RateLibraryIndex> library,
                                     std::vector<int> visible, QList<double> pinRates)
{
    if (library == m_library && visible == m_visible && pinRates == m_pinRates)
        return false;
    beginResetModel();
    m_library = std::move(library);
    m_visible = std::move(visible);
    m_pinRates = std::move(pinRates);
    endResetModel();
    return true;
}

const Row *LearnedRatesTableModel::rowAt(int tableRow) const
{
    if (!m_library || tableRow < 0 || std::size_t(tableRow) >= m_visible.size())
        return nullptr;
    return &m_library->row(m_visible[std::size_t(tableRow)]);
}

QString LearnedRatesTableModel::keyedIdAt(int tableRow) const
{
    if (!rowAt(tableRow))
        return {};
    return m_library->keyedId(m_visible[std::size_t(tableRow)]);
}

int LearnedRatesTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_visible.size());
}

int LearnedRatesTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(tableColumns().size());
}

QVariant LearnedRatesTableModel::data(const QModelIndex &index, int role) const
{
    const Row *row = index.isValid() ? rowAt(index.row()) : nullptr;
    if (!row)
        return {};
    const QColor secondary = SystemColors::secondaryLabel();
    switch (index.column()) {
    case trackColumn:
        if (role == Qt::DisplayRole)
            return trackTitle(*row);
        if (role == ArtistRole)
            return row->artist.value_or(QString());
        if (role == NowPlayingRole) {
            const auto &nowPlaying = m_library->rates().nowPlayingID;
            return nowPlaying && *nowPlaying == row->id;
        }
        break;
    case albumColumn:
        if (role == Qt::DisplayRole)
            return row->album.value_or(QString());
        if (role == Qt::ForegroundRole)
            return secondary;
        break;
    case settingColumn:
        if (role == Qt::DisplayRole)
            return settingCellText(*row);
        if (role == Qt::ToolTipRole)
            return settingCellHelp(*row);
        if (role == Qt::ForegroundRole && row->isSettingIndependent())
            return secondary;
        break;
    case rateColumn:
        if (role == Qt::DisplayRole)
            return rateText(row->rate);
        if (role == PinMenuRole)
            return !m_pinRates.isEmpty();
        if (role == Qt::ToolTipRole && m_pinRates.isEmpty())
            return noOutputsHelp();
        break;
    case sourceColumn:
        if (role == Qt::DisplayRole)
            return sourceBadge(*row).text;
        if (role == BadgeTintRole)
            return int(sourceBadge(*row).tint);
        break;
    case confirmedColumn:
        if (role == Qt::DisplayRole)
            return confirmedText(*row, m_now());
        if (role == Qt::ForegroundRole)
            return secondary;
        break;
    default:
        break;
    }
    return {};
}

QVariant LearnedRatesTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= tableColumns().size())
        return {};
    if (role == Qt::DisplayRole)
        return columnTitle(tableColumns().at(section));
    if (role == Qt::InitialSortOrderRole)
        return int(Qt::AscendingOrder); // a newly chosen column sorts ascending first
    return {};
}
