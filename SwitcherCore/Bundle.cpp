#include "Bundle.h"

namespace {
Bundle &mainBundle()
{
    static Bundle bundle = Bundle::english();
    return bundle;
}
} // namespace

Bundle Bundle::main()
{
    return mainBundle();
}

void Bundle::setMain(const Bundle &bundle)
{
    mainBundle() = bundle;
}

bool Bundle::isEnglish() const
{
    return m_language == u"en" || m_language.startsWith(u"en_") || m_language.startsWith(u"en-");
}

QLocale Bundle::numberLocale() const
{
    QLocale locale = isEnglish() ? QLocale::c() : QLocale();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}
