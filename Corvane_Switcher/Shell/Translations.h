#pragma once

class QCoreApplication;

// Loads the translation for the user's languages, when one is built in, and makes it the main
// bundle; otherwise English, the base language, whose catalogue gives only the singular forms of
// counts.
namespace Translations {

void install(QCoreApplication &app);

} // namespace Translations
