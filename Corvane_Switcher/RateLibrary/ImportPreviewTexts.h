#pragma once

// The texts of the import preview sheet, as plain functions of the dry run's result.

#include "SwitcherProtocol.h"

#include <QString>

namespace RateLibrary {

using ImportResult = SwitcherProtocol::RateLibraryImported;

// "Import “name”?" with the file's last path component.
QString importTitle(const QString &path);
// Whether the file is a shared Rate Library ("share") rather than a backup.
bool isSharedFile(const ImportResult &result);
// What the file is: a shared library or a backup.
QString flavourText(const ImportResult &result);
// Where the file came from: storefront, app version, date written (and the file version when
// a note explains it), or that it has no header.
QString originLine(const ImportResult &result);
// "N tracks" in the file.
QString containsText(const ImportResult &result);
// How the import merges, for a shared file or a backup.
QString mergeRule(const ImportResult &result);

} // namespace RateLibrary
