#include "Translations.h"

#include "Bundle.h"
#include "Logging.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace Translations {

void install(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    // The first of the user's languages that has a catalogue wins; English is the fallback.
    if (translator->load(QLocale(), QStringLiteral("corvane"), QStringLiteral("_"),
                         QStringLiteral(":/i18n")) &&
        !translator->isEmpty()) {
        QCoreApplication::installTranslator(translator);
        Bundle::setMain(Bundle(translator->language()));
        qCInfo(lcUi) << "interface language" << translator->language();
        return;
    }
    delete translator;
    Bundle::setMain(Bundle::english());
}

} // namespace Translations
