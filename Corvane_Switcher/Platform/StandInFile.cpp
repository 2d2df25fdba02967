#include "StandInFile.h"

#include "Logging.h"
#include "RegularFile.h"

#include <QDir>
#include <QJsonDocument>

StandInFile::StandInFile(QString path, QString fallback)
    : m_path(std::move(path)), m_fallback(std::move(fallback))
{
}

std::optional<QJsonObject> StandInFile::read(const Check &check)
{
    const RegularFile::Contents file = RegularFile::read(m_path, maximumBytes);
    switch (file.status) {
    case RegularFile::Status::missing:
        m_lastRejection.clear();
        return std::nullopt;
    case RegularFile::Status::notRegular:
        reject(QStringLiteral("is not a regular file"));
        return std::nullopt;
    case RegularFile::Status::tooLarge:
        reject(QStringLiteral("is larger than %1 MB").arg(maximumBytes / (1024 * 1024)));
        return std::nullopt;
    case RegularFile::Status::unreadable:
        reject(QStringLiteral("could not be read (%1)").arg(file.error));
        return std::nullopt;
    case RegularFile::Status::read:
        break;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.bytes, &error);
    if (!document.isObject()) {
        reject(QStringLiteral("is not a JSON object (%1)").arg(error.errorString()));
        return std::nullopt;
    }
    QJsonObject object = document.object();
    if (check) {
        const QString why = check(object);
        if (!why.isEmpty()) {
            reject(why);
            return std::nullopt;
        }
    }
    m_lastRejection.clear();
    return object;
}

void StandInFile::reject(const QString &why)
{
    if (why == m_lastRejection)
        return;
    m_lastRejection = why;
    qCWarning(lcUi, "%s %s; %s", qUtf8Printable(QDir::toNativeSeparators(m_path)), qUtf8Printable(why),
              qUtf8Printable(m_fallback));
}
