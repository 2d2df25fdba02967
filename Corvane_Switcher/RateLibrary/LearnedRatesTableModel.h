#pragma once

#include "LearnedRatesView.h"

#include <QAbstractTableModel>
#include <QDateTime>

#include <functional>
#include <memory>
#include <vector>

class RateLibraryIndex;

// The table's rows: positions into one prepared Rate Library, in table order. A change of the
// rows is one model reset, never a burst of row signals.
class LearnedRatesTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        ArtistRole = Qt::UserRole + 1, // the track cell's second line
        NowPlayingRole,                // Bool: the row's track is playing
        BadgeTintRole,                 // int: SourceBadge::Tint
        PinMenuRole,                   // Bool: the rate cell opens the pin menu
    };

    explicit LearnedRatesTableModel(QObject *parent = nullptr);

    // Shows `visible` rows of `library`; resets only when something shown differs.
    // Returns whether it reset.
    bool setRows(std::shared_ptr<const RateLibraryIndex> library, std::vector<int> visible,
                 QList<double> pinRates);

    const std::shared_ptr<const RateLibraryIndex> &library() const { return m_library; }
    const std::vector<int> &visible() const { return m_visible; }
    const QList<double> &pinRates() const { return m_pinRates; }
    const RateLibrary::Row *rowAt(int tableRow) const;
    QString keyedIdAt(int tableRow) const;

    // The clock of the Confirmed column; tests give a fixed one.
    void setNow(std::function<QDateTime()> now) { m_now = std::move(now); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const RateLibraryIndex> m_library;
    std::vector<int> m_visible;
    QList<double> m_pinRates;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
};
