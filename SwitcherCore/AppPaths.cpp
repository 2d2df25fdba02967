#include "AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString dataDirectory()
{
    const QString overridden = qEnvironmentVariable("CORVANE_SWITCHER_DATA_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath(QStringLiteral("Corvane Zuvaradi"));
}

QString ensureDataDirectory()
{
    const QString dir = dataDirectory();
    if (!QDir().mkpath(dir))
        return {};
    return dir;
}

} // namespace AppPaths
