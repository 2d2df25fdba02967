#include "LinuxMusicApp.h"

#include "AppPaths.h"
#include "Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitcherModel)
};
} // namespace

LinuxMusicApp::LinuxMusicApp(QString fixturePath) : m_path(std::move(fixturePath))
{
    if (m_path.isEmpty())
        m_path = QDir(AppPaths::dataDirectory()).filePath(QStringLiteral("MusicApp.json"));
}

const QJsonObject &LinuxMusicApp::fixture()
{
    const QFileInfo info(m_path);
    if (!info.exists()) {
        m_fixture = {};
        m_readSize = -1;
        return m_fixture;
    }
    if (info.lastModified() == m_readModified && info.size() == m_readSize)
        return m_fixture;
    m_readModified = info.lastModified();
    m_readSize = info.size();
    m_fixture = {};
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcUi, "MusicApp.json could not be read: %s", qUtf8Printable(file.errorString()));
        return m_fixture;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject()) {
        qCWarning(lcUi, "MusicApp.json is not a JSON object (%s); Music.app counts as not running",
                  qUtf8Printable(error.errorString()));
        return m_fixture;
    }
    m_fixture = document.object();
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
