#include "Translations.h"

#include "Bundle.h"
#include "Logging.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace Translations {

void install(QCoreApplication &app)
{
    // The first of the user's languages that has a catalogue wins.
    auto *translator = new QTranslator(&app);
    const QString folder = QStringLiteral(":/i18n");
    if (translator->load(QLocale(), QStringLiteral("corvane"), QStringLiteral("_"), folder) &&
        !translator->isEmpty()) {
        QCoreApplication::installTranslator(translator);
        Bundle::setMain(Bundle(translator->language()));
        qCInfo(lcUi) << "interface language" << translator->language();
        return;
    }
    // English, the fallback: its texts are the sources, its catalogue holds only the singular
    // forms of the counts ("1 row").
    if (translator->load(QStringLiteral("corvane_en"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    Bundle::setMain(Bundle::english());
}

} // namespace Translations
