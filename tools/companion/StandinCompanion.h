#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <utility>

// The stand-in companion's Rate Library and its answers, without any socket: `handle` takes one
// received message and returns the messages to send back, in order.
class StandinCompanion final {
public:
    using Message = std::pair<QString, QJsonObject>; // type, payload

    explicit StandinCompanion(QJsonObject library);

    QList<Message> handle(const QString &type, const QJsonObject &payload);

    const QJsonObject &library() const { return m_library; }
    bool isSubscribed() const { return m_subscribed; }

private:
    // Answers a change of the library while the Rate Library window listens.
    QList<Message> changed() const;
    Message learnedRates() const;

    qsizetype findRow(const QString &id, const QString &tier) const;
    void pin(const QJsonObject &payload);
    // Returns a pinned row to its learned rate, or removes it when nothing was learned.
    void unpinAt(qsizetype index);
    void setDeviceAtmos(const QJsonObject &payload);
    void resetOutput(const QString &deviceUID);
    QList<Message> importChunk(const QJsonObject &payload);
    QJsonObject importFile(const QByteArray &bytes, const QString &mode);
    QList<Message> localFiles(const QJsonObject &payload);
    Message exportLibrary(const QString &flavour) const;

    QJsonArray rows() const { return m_library.value(QLatin1String("rows")).toArray(); }
    void setRows(const QJsonArray &rows) { m_library.insert(QLatin1String("rows"), rows); }

    QJsonObject m_library;
    bool m_subscribed = false;
    QByteArray m_importText; // the base64 text of the import under way, as received
    bool m_importing = false;
    qint64 m_scanned = 0; // local files seen in the scan under way
    qint64 m_matched = 0;
};
