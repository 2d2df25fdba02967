#include "OutputChoices.h"

#include "LearnedRatesView.h"

namespace RateLibrary {

LibraryOutputs::LibraryOutputs(QList<Output> outputs) : m_outputs(std::move(outputs))
{
    m_position.reserve(m_outputs.size());
    for (qsizetype i = 0; i < m_outputs.size(); ++i) {
        if (added(m_outputs.at(i).deviceUID))
            m_first.push_back(i);
    }
}

LibraryOutputs::LibraryOutputs(const QList<std::pair<QString, QString>> &named)
{
    m_outputs.reserve(named.size());
    m_position.reserve(named.size());
    for (const auto &[uid, name] : named) {
        if (!added(uid))
            continue;
        m_first.push_back(m_outputs.size());
        m_outputs.append({uid, std::nullopt, std::nullopt});
        m_names.append(name);
    }
}

bool LibraryOutputs::added(const QString &uid)
{
    // One lookup: a new uid is inserted with a placeholder, then given the next position.
    const qsizetype before = m_position.size();
    qsizetype &slot = m_position[uid];
    if (m_position.size() == before)
        return false;
    slot = qsizetype(m_first.size());
    return true;
}

QString LibraryOutputs::name(qsizetype i) const
{
    return m_names.isEmpty() ? outputName(uid(i), std::nullopt) : m_names.at(i);
}

const Output *LibraryOutputs::record(const QString &uid) const
{
    const qsizetype at = position(uid);
    return at < 0 ? nullptr : &m_outputs.at(m_first[std::size_t(at)]);
}

OutputChoices::OutputChoices(std::shared_ptr<const LibraryOutputs> library,
                             const std::optional<OutputDevice> &device)
    : m_library(std::move(library))
{
    if (device && device->uid) {
        m_device = device;
        if (m_library)
            m_deviceInLibrary = m_library->position(*device->uid);
    }
}

OutputChoices::OutputChoices(const QList<std::pair<QString, QString>> &list)
    : m_library(std::make_shared<const LibraryOutputs>(list))
{
}

qsizetype OutputChoices::size() const
{
    const qsizetype listed = m_library ? m_library->size() - (m_deviceInLibrary >= 0 ? 1 : 0) : 0;
    return (m_device ? 1 : 0) + listed;
}

qsizetype OutputChoices::libraryPosition(qsizetype i) const
{
    const qsizetype at = i - (m_device ? 1 : 0);
    return m_deviceInLibrary >= 0 && at >= m_deviceInLibrary ? at + 1 : at;
}

QString OutputChoices::uid(qsizetype i) const
{
    if (m_device && i == 0)
        return *m_device->uid;
    return m_library->uid(libraryPosition(i));
}

QString OutputChoices::name(qsizetype i) const
{
    if (m_device && i == 0)
        return outputName(*m_device->uid, m_device);
    return m_library->name(libraryPosition(i));
}

qsizetype OutputChoices::indexOf(const QString &uid) const
{
    if (m_device && *m_device->uid == uid)
        return 0;
    const qsizetype at = m_library ? m_library->position(uid) : -1;
    if (at < 0)
        return -1;
    return at + (m_device ? 1 : 0) - (m_deviceInLibrary >= 0 && at > m_deviceInLibrary ? 1 : 0);
}

QList<std::pair<QString, QString>> OutputChoices::toList() const
{
    QList<std::pair<QString, QString>> list;
    list.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        list.append({uid(i), name(i)});
    return list;
}

} // namespace RateLibrary
