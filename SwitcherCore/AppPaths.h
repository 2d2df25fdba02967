#pragma once

#include <QString>

// Where the switcher keeps its own files: the folder "Corvane Zuvaradi" in the user's data
// location, or the folder named by CORVANE_SWITCHER_DATA_DIR when that is set (the demo and
// black-box tests use it so that the user's own data is never touched).
namespace AppPaths {

QString dataDirectory();
// dataDirectory() created when missing; empty when it cannot be created.
QString ensureDataDirectory();

} // namespace AppPaths
