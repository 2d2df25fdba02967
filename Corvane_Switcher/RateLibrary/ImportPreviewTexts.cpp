#include "ImportPreviewTexts.h"

#include "Common/DateTimeText.h"
#include "RateLibraryTr.h"

#include <QFileInfo>
#include <QStringList>

namespace RateLibrary {

using RateLibraryText::Tr;

QString importTitle(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return Tr::tr("Import “%1”?").arg(name.isEmpty() ? path : name);
}

bool isSharedFile(const ImportResult &result)
{
    return result.flavour == QLatin1String("share");
}

QString flavourText(const ImportResult &result)
{
    if (isSharedFile(result))
        return Tr::tr("A shared Rate Library (another user's confirmed rates)");
    return Tr::tr("A Rate Library backup (everything: rates, pins, local files, Dolby Atmos answers)");
}

QString originLine(const ImportResult &result)
{
    QStringList parts;
    if (result.storefront)
        //: An Apple Music storefront by its country code, such as "the AU storefront".
        parts << Tr::tr("the %1 storefront").arg(result.storefront->toUpper());
    if (result.appVersion)
        parts << QStringLiteral("Corvane ") + *result.appVersion;
    if (result.writtenAt && result.writtenAt->isValid())
        //: When the file was written: a date and time.
        parts << Tr::tr("written %1").arg(DateTimeText::mediumDateShortTime(*result.writtenAt));
    // A file version means something to the reader only beside the note that explains it.
    if (result.fileVersion && result.note)
        parts << Tr::tr("file version %1").arg(*result.fileVersion);
    if (parts.isEmpty())
        return Tr::tr("unknown (no header — an older file)");
    return parts.join(QStringLiteral(" · "));
}

QString containsText(const ImportResult &result)
{
    //: Tracks in the file being imported.
    return Tr::tr("%n tracks", "in the file being imported", int(result.fileTracks.value_or(0)));
}

QString mergeRule(const ImportResult &result)
{
    if (isSharedFile(result))
        return Tr::tr(
            "Nothing is replaced: a shared row never displaces a rate learned here, and the first "
            "play here makes it first-hand. Pins, local files and outputs are not in a shared file.");
    return Tr::tr("Nothing is replaced: the more recent confirmation wins a row, your pins always stand, and "
                  "nothing is removed.");
}

} // namespace RateLibrary
