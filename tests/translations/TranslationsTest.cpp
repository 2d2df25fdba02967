// Runs lupdate over the sources as a translator's tools would and checks what they would see: no
// note for translators is lost on the way, every count carries one and has its English forms, and
// a language made of the extracted texts reaches every text the windows show and every count
// through its own plural forms.
#include "../ratelibrary/WindowTestSupport.h"
#include "CompanionAnswers.h"
#include "CountTexts.h"
#include "HistoryFixtures.h"
#include "WindowFactories.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Message {
    QString context;
    QString source;
    QString comment;
    QString disambiguation;
    bool numerus = false;
    QStringList forms; // the translation's, numerus forms one by one
    bool finished = true;
};

QString key(const QString &context, const QString &source, const QString &disambiguation)
{
    return context + u'|' + source + u'|' + disambiguation;
}

struct Extraction {
    QList<Message> messages;
    QString diagnostics;
};

QList<Message> readCatalogue(QIODevice &file)
{
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"message") {
            messages.append(current);
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == u"name") {
            context = xml.readElementText();
        } else if (name == u"message") {
            current = Message{context, {}, {}, {}, xml.attributes().value("numerus") == u"yes", {}, true};
        } else if (name == u"source") {
            current.source = xml.readElementText();
        } else if (name == u"comment") {
            current.disambiguation = xml.readElementText();
        } else if (name == u"extracomment") {
            current.comment = xml.readElementText();
        } else if (name == u"translation") {
            current.finished = xml.attributes().value("type").isEmpty();
            if (!current.numerus)
                current.forms = {xml.readElementText()};
        } else if (name == u"numerusform") {
            current.forms.append(xml.readElementText());
        }
    }
    return messages;
}

Extraction extract()
{
    Extraction result;
    QTemporaryDir dir;
    const QString ts = dir.filePath(QStringLiteral("all.ts"));
    const QString root = QStringLiteral(CORVANE_SOURCE_DIR);
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(CORVANE_LUPDATE_BIN),
                  {QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-no-obsolete"),
                   root + QStringLiteral("/SwitcherCore"), root + QStringLiteral("/Corvane_Switcher"),
                   QStringLiteral("-ts"), ts});
    if (!lupdate.waitForFinished(120000)) {
        result.diagnostics = QStringLiteral("lupdate did not finish");
        return result;
    }
    result.diagnostics = QString::fromUtf8(lupdate.readAll());

    QFile file(ts);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.messages = readCatalogue(file);
    return result;
}

const Extraction &extraction()
{
    static const Extraction e = extract();
    return e;
}

} // namespace

TEST(Translations, lupdateFindsTheTextsAndLosesNoTranslatorComment)
{
    const Extraction &e = extraction();
    ASSERT_FALSE(e.messages.isEmpty()) << e.diagnostics.toStdString();
    // A "//:" comment that is not directly above a tr() call is dropped with this warning.
    EXPECT_FALSE(e.diagnostics.contains(QStringLiteral("unconsumed"))) << e.diagnostics.toStdString();
    EXPECT_FALSE(e.diagnostics.contains(QStringLiteral("Cannot invoke tr()"))) << e.diagnostics.toStdString();
    for (const Message &m : e.messages)
        EXPECT_FALSE(m.source.trimmed().isEmpty())
            << "empty source text in context " << m.context.toStdString();
}

// Every count carries a note for translators (what is counted), and reads in English as the app
// loads it: the catalogue's singular for 1, the source's plural for 0, 2 and many.
TEST(Translations, everyCountHasANoteAndItsEnglishSingularAndPlural)
{
    QFile file(QStringLiteral(CORVANE_SOURCE_DIR "/translations/corvane_en.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QHash<QString, Message> english;
    for (const Message &m : readCatalogue(file)) {
        EXPECT_TRUE(m.numerus) << "only counts need English: " << m.source.toStdString();
        english.insert(key(m.context, m.source, m.disambiguation), m);
    }
    int counts = 0;
    for (const Message &m : extraction().messages) {
        if (!m.numerus)
            continue;
        ++counts;
        EXPECT_FALSE(m.comment.isEmpty()) << "no note for translators: " << m.source.toStdString();
        const Message found = english.value(key(m.context, m.source, m.disambiguation));
        if (!found.finished || found.forms.size() != 2 || !found.forms[0].contains(u"%n"_s) ||
            found.forms[1] != m.source) {
            ADD_FAILURE() << "no English forms for " << m.source.toStdString()
                          << " (./dev translations, then fill them in)";
            continue;
        }
        for (const int n : CountTexts::counts) {
            EXPECT_EQ(QCoreApplication::translate(m.context.toUtf8(), m.source.toUtf8(),
                                                  m.disambiguation.toUtf8(), n),
                      QString(n == 1 ? found.forms[0] : m.source).replace(u"%n"_s, QString::number(n)));
        }
    }
    EXPECT_EQ(counts, english.size()) << "the English catalogue holds a count the sources no longer have";
}

namespace {

const QChar open(0x27E6);  // ⟦
const QChar close(0x27E7); // ⟧
const QChar one(0x00B9);   // ¹, the mark of a count's singular

// A language made of the extracted texts: each translated as itself between ⟦ and ⟧, a count's
// singular (English's rule) marked ¹. A text lupdate did not extract is left as it is.
class PseudoLanguage final : public QTranslator {
public:
    explicit PseudoLanguage(const QList<Message> &messages)
    {
        for (const Message &m : messages)
            m_extracted.insert(key(m.context, m.source, m.disambiguation));
    }
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *disambiguation,
                      int n) const override
    {
        const QString text = QString::fromUtf8(source);
        if (!m_extracted.contains(key(QString::fromUtf8(context), text, QString::fromUtf8(disambiguation))))
            return {};
        return open + (n == 1 ? QString(one) : QString()) + text + close;
    }

private:
    QSet<QString> m_extracted;
};

// Whether every word of `text` came through the catalogue: outside ⟦…⟧ only numbers, units
// (symbols in every language: "44.1 kHz", "400 ms", "-55 dBFS") and the names in `names`.
bool translated(const QString &text, const QSet<QString> &names = {})
{
    QString rest;
    int depth = 0;
    for (const QChar c : text) {
        if (c == open)
            ++depth;
        else if (c == close)
            depth = std::max(0, depth - 1);
        else if (depth == 0)
            rest += c;
    }
    static const QRegularExpression measures(QStringLiteral("^[-0-9.,:·\\s]*(kHz|ms|dBFS|s)?$"));
    return names.contains(rest.trimmed()) || measures.match(rest).hasMatch();
}

// Whether a count of 1 reaches `text` through the singular of a count text of its own.
bool holdsOneInTheSingular(const QString &text)
{
    const QString inside = QStringLiteral("[^%1%2]*").arg(open, close);
    return QRegularExpression(QString(open) + one + inside + QStringLiteral("\\b1\\b") + inside + close)
        .match(text)
        .hasMatch();
}

// The texts a user reads in `root` and its visible children: labels, buttons, choices, field
// prompts and hover help; each with a word outside ⟦…⟧ is listed.
QStringList untranslatedTexts(QWidget &root, const QSet<QString> &names)
{
    QStringList texts;
    QList<QWidget *> widgets = root.findChildren<QWidget *>();
    widgets.prepend(&root);
    for (QWidget *widget : widgets) {
        if (!widget->isVisibleTo(&root) && widget != &root)
            continue;
        texts << widget->toolTip();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
        else if (auto *field = qobject_cast<QLineEdit *>(widget))
            texts << field->placeholderText();
        else if (auto *box = qobject_cast<QComboBox *>(widget)) {
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        } else if (auto *table = qobject_cast<QTableView *>(widget)) {
            for (int c = 0; table->model() && c < table->model()->columnCount(); ++c)
                texts << table->model()->headerData(c, Qt::Horizontal).toString();
        }
    }
    QStringList untranslated;
    for (const QString &text : texts) {
        if (!translated(text, names))
            untranslated << text;
    }
    return untranslated;
}

} // namespace

TEST(Translations, aLanguageMadeOfTheExtractedTextsReachesEveryTextTheWindowsShow)
{
    PseudoLanguage pseudo(extraction().messages);
    QCoreApplication::installTranslator(&pseudo);

    for (const CountTexts::CountText &t : CountTexts::all()) {
        for (const int n : CountTexts::counts)
            EXPECT_TRUE(translated(t.text(n))) << t.name << " with " << n << ": " << t.text(n).toStdString();
        EXPECT_TRUE(holdsOneInTheSingular(t.text(1))) << t.name << ": " << t.text(1).toStdString();
    }

    // The three windows over the companion's Rate Library and an evening of plays, with a finished
    // scan and an import's preview. Names from the companion and the output are not texts.
    RateLibraryWindowTest::OpenWindow o;
    o.h.platform.musicApp.running = true;
    ASSERT_TRUE(o.open());
    o.h.model->dismissRateLibraryNotice(); // the companion's words, and the scan's stand under it
    for (const PlaybackHistory::Entry &play : HistoryFixtures::evening())
        o.h.switcher().history().append(play);
    o.h.platform.musicApp.scanResult = QList<SwitcherProtocol::LocalFileRow>{{"A", "One", {}, {}, 96000}};
    o.h.model->scanLocalFiles();
    o.peer.send(u"localFilesResult"_s, SwitcherProtocol::LocalFilesResult{250, 240, 10, 238}.toJson());
    ASSERT_TRUE(eventually(
        [&] { return std::holds_alternative<SwitcherModel::LocalScanDone>(o.h.model->localScan()); }));
    SwitcherProtocol::RateLibraryImported dryRun = importAnswer(u"dryRun"_s, true, {1, 0, 0, 2, 1, 0});
    dryRun.fileTracks = 1;
    dryRun.storefront = u"au"_s;
    ASSERT_TRUE(o.previewImport(u"Friends.corvanerates"_s, dryRun));
    QWidget *learned = o.window.get();
    std::unique_ptr<QWidget> history(makePlaybackHistoryWindow(*o.h.model));
    history->show();
    std::unique_ptr<QWidget> timing(makeSwitchTimingWindow(*o.h.model));
    timing->show();

    const QSet<QString> names = {u"Test DAC"_s};
    for (QWidget *window : {learned, history.get(), timing.get()}) {
        const QStringList untranslated = untranslatedTexts(*window, names);
        EXPECT_TRUE(untranslated.isEmpty()) << window->metaObject()->className() << ":\n"
                                            << untranslated.join(u'\n').toStdString();
    }

    QCoreApplication::removeTranslator(&pseudo);
}
