#pragma once

class QCoreApplication;

// Loads the translation for the user's languages, when one is built in, and makes it the main
// bundle; English, the base language, needs none.
namespace Translations {

void install(QCoreApplication &app);

} // namespace Translations
