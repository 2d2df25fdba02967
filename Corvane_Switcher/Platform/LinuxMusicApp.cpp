#include "LinuxMusicApp.h"

#include "AppPaths.h"
#include "Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTimer>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitcherModel)
};

QString fixturePathOr(QString path)
{
    return path.isEmpty() ? QDir(AppPaths::dataDirectory()).filePath(QStringLiteral("MusicApp.json")) : path;
}
} // namespace

LinuxMusicApp::LinuxMusicApp(QString fixturePath)
    : m_file(fixturePathOr(std::move(fixturePath)), QStringLiteral("Music.app counts as not running"))
{
}

const QJsonObject &LinuxMusicApp::fixture()
{
    // Read again only when the file changed: the model asks several times at each poll.
    const QFileInfo info(m_file.path());
    const qint64 size = info.exists() ? info.size() : -1;
    if (m_read && info.lastModified() == m_readModified && size == m_readSize)
        return m_fixture;
    m_read = true;
    m_readModified = info.lastModified();
    m_readSize = size;
    m_fixture = m_file.read().value_or(QJsonObject());
    return m_fixture;
}

bool LinuxMusicApp::isRunning()
{
    return fixture().value(QLatin1String("running")).toBool(false);
}

std::optional<SwitcherProtocol::MusicQuality> LinuxMusicApp::qualitySetting()
{
    const QJsonValue quality = fixture().value(QLatin1String("quality"));
    if (!quality.isObject())
        return std::nullopt;
    auto decoded = SwitcherProtocol::MusicQuality::fromJson(quality.toObject());
    if (!decoded) {
        qCWarning(lcUi, "MusicApp.json: quality %s", qUtf8Printable(decoded.error.text()));
        return std::nullopt;
    }
    return decoded.value;
}

bool LinuxMusicApp::processTapSupported()
{
    return fixture().value(QLatin1String("processTap")).toBool(false);
}

void LinuxMusicApp::scanLocalFiles(std::function<void(ScanResult)> completion)
{
    ScanResult result;
    const QJsonObject &data = fixture();
    if (!data.value(QLatin1String("running")).toBool(false)) {
        result = Tr::tr("Music.app isn't running");
    } else if (data.contains(QLatin1String("scanError"))) {
        result = data.value(QLatin1String("scanError")).toString();
    } else {
        QList<SwitcherProtocol::LocalFileRow> rows;
        const QJsonArray array = data.value(QLatin1String("scan")).toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            auto row = SwitcherProtocol::LocalFileRow::fromJson(array.at(i).toObject());
            if (row)
                rows.append(*row.value);
            else
                qCWarning(lcUi, "MusicApp.json: scan[%lld] skipped: %s", qint64(i),
                          qUtf8Printable(row.error.text()));
        }
        result = rows;
    }
    // Music.app answers later, never inside the call.
    QTimer::singleShot(
        0, qApp, [completion = std::move(completion), result = std::move(result)] { completion(result); });
}
