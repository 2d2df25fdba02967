#pragma once

// The outputs the explainer offers. A companion may list any number of outputs, and the window
// reads them on every refresh: what depends on the list alone is worked out once per list, so a
// refresh looks up instead of walking it.

#include "OutputDevice.h"
#include "SwitcherProtocol.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace RateLibrary {

using Output = SwitcherProtocol::LearnedRates::Output;

// A companion's outputs: each uid once, in the companion's order, and each uid's first record.
class LibraryOutputs final {
public:
    explicit LibraryOutputs(QList<Output> outputs);
    // Uids with the names to show for them, in this order (a list made by hand).
    explicit LibraryOutputs(const QList<std::pair<QString, QString>> &named);

    // True when made for this very list (shared, not merely equal).
    bool isFor(const QList<Output> &outputs) const { return m_outputs.isSharedWith(outputs); }

    qsizetype size() const { return qsizetype(m_first.size()); }
    const QString &uid(qsizetype i) const { return m_outputs.at(m_first[std::size_t(i)]).deviceUID; }
    // The given name, else the one `outputName` reads from the uid.
    QString name(qsizetype i) const;
    // Where `uid` stands among the distinct uids; -1 when it is not listed.
    qsizetype position(const QString &uid) const { return m_position.value(uid, -1); }
    // The first record whose uid is `uid`; null when there is none.
    const Output *record(const QString &uid) const;

private:
    // Gives `uid` the next position unless it has one; true when it was new.
    bool added(const QString &uid);

    QList<Output> m_outputs;
    std::vector<qsizetype> m_first; // the record of each distinct uid
    QHash<QString, qsizetype> m_position;
    QStringList m_names; // empty unless made with names
};

// `outputChoices`: the attached device's uid first, then the companion's outputs without it, each
// with its readable name. A view over the prepared list, as cheap for 100,000 outputs as for two.
class OutputChoices final {
public:
    OutputChoices() = default;
    OutputChoices(std::shared_ptr<const LibraryOutputs> library, const std::optional<OutputDevice> &device);
    // A plain list of (uid, name), as given.
    OutputChoices(const QList<std::pair<QString, QString>> &list);

    qsizetype size() const;
    bool isEmpty() const { return size() == 0; }
    QString uid(qsizetype i) const;
    QString name(qsizetype i) const;
    // The first entry whose uid is `uid`; -1 when there is none.
    qsizetype indexOf(const QString &uid) const;
    QList<std::pair<QString, QString>> toList() const;

private:
    // The library's position of entry `i` past the device's.
    qsizetype libraryPosition(qsizetype i) const;

    std::shared_ptr<const LibraryOutputs> m_library;
    std::optional<OutputDevice> m_device; // leads when it has a uid
    qsizetype m_deviceInLibrary = -1;     // the device's own uid among the library's, left out there
};

} // namespace RateLibrary
