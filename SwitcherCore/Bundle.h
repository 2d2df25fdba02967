#pragma once

#include <QLocale>
#include <QString>

// Which translation the interface is using. Texts are looked up through Qt's translation
// system; the bundle only decides how numbers inside them are written: the English bundle
// writes them as the POSIX locale does, any other bundle as the user's locale does.
class Bundle final {
public:
    explicit Bundle(QString language = QStringLiteral("en")) : m_language(std::move(language)) {}

    // The translation the application loaded at start (English unless another was installed).
    static Bundle main();
    static void setMain(const Bundle &bundle);
    static Bundle english() { return Bundle(QStringLiteral("en")); }

    const QString &language() const { return m_language; }
    bool isEnglish() const;
    // The locale numbers are formatted in: "C" (POSIX) for English, the current one otherwise.
    QLocale numberLocale() const;

    bool operator==(const Bundle &) const = default;

private:
    QString m_language;
};
