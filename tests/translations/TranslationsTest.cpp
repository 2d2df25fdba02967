// Runs lupdate over the sources as a translator's tools would and checks what they would see:
// every text that needs a note for translators carries it, and no note is lost on the way; the
// English catalogue gives every count its two forms; and a language made of the extracted texts
// reaches every text the windows show.
#include "CompanionAnswers.h"
#include "CountTexts.h"
#include "HistoryFixtures.h"
#include "LoopbackPeer.h"
#include "ModelHarness.h"
#include "RateLibrary/FooterBar.h"
#include "RateLibrary/ImportPreviewSheet.h"
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
#include <QXmlStreamWriter>

#include <gtest/gtest.h>

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

struct Extraction {
    QList<Message> messages;
    QString diagnostics;
    QByteArray ts; // what lupdate wrote
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
    result.ts = file.readAll();
    file.seek(0);
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

TEST(Translations, textsThatNeedANoteForTranslatorsCarryIt)
{
    const QStringList required = {
        // Setting words of the Rate Library.
        QStringLiteral("Rate Library column: the row was heard with Music.app set to Hi-Res Lossless. Keep "
                       "Music.app's own short word."),
        QStringLiteral("Music.app's Lossless audio quality, in Music.app's own word."),
        QStringLiteral("Rate Library column: Music.app's setting could not be read."),
        QStringLiteral("Rate Library column: a local file's own rate."),
        QStringLiteral("Rate Library column: plays the same under every Music.app setting."),
        QStringLiteral("Music.app's audio-quality setting with Lossless turned off."),
        // Prediction steps.
        QStringLiteral("Prediction step 1: a rate pinned by the user or read from a local file."),
        QStringLiteral("Prediction step 2: the rate an earlier play confirmed."),
        QStringLiteral("Prediction step 3: the rate learned from another track on the album."),
        QStringLiteral("Prediction step 4: the rate Apple's catalog lists."),
        QStringLiteral("Prediction step 5: a guess."),
        // The model's status texts.
        QStringLiteral("A file name, then what the import did (\"40 new, 12 updated, 260 already known\")."),
        QStringLiteral("The placeholder is a file name."),
        QStringLiteral("Music.app's load times: fastest, typical, slowest, each in seconds."),
        QStringLiteral("Import result: tracks added."),
        QStringLiteral("Import result: tracks or outputs updated."),
        QStringLiteral("Import result: tracks already in the library."),
        QStringLiteral("Import result: tracks skipped."),
        QStringLiteral("Import result: output devices added."),
        // The Rate Library window.
        QStringLiteral("The placeholder is Music.app's own tier number."),
        QStringLiteral("The placeholder is the setting's name, such as \"Hi-Res Lossless\"."),
        QStringLiteral("A track with no title; the placeholder is its catalog id."),
        QStringLiteral("Source badge: imported, confirmed this many times."),
        QStringLiteral("Source badge: learned, confirmed this many times."),
        QStringLiteral("Unpin to the local file's own rate (placeholder)."),
        QStringLiteral("Unpin to the learned rate (placeholder)."),
        // The Playback History window.
        QStringLiteral("Playback History: how many plays."),
        QStringLiteral("Playback History: plays shown, of all plays."),
        QStringLiteral("Playback History: plays whose rate was not the predicted one."),
        QStringLiteral("Playback History: plays the Rate Library learned from."),
        // The visualizer.
        QStringLiteral("Two durations in milliseconds: the Pause Point, then the Relock Time."),
        QStringLiteral("The placeholder is a duration in milliseconds."),
        QStringLiteral("The Pause Point's value: milliseconds before the end of the track."),
        QStringLiteral("Delay Added, figured automatically; the placeholder is milliseconds (\"1500 ms\")."),
        // The Rate Library's explainer.
        QStringLiteral("Music.app's audio-quality setting could not be read."),
        QStringLiteral("Music.app's Lossless setting with an unrecognised tier number."),
        QStringLiteral("The latest play: the predicted rate, the prediction step's number and name."),
        QStringLiteral("The latest play: the predicted rate, the prediction step's number and name, and "
                       "Music.app's setting (\"Hi-Res Lossless\")."),
        QStringLiteral("The latest play streamed at another rate than predicted."),
        QStringLiteral("The latest play's stream rate, when nothing was predicted."),
        QStringLiteral("The placeholder is Corvane's reason."),
        QStringLiteral("How long Music.app took to start the track; the placeholder is seconds (\"1.5 s\")."),
        // The Rate Library footer and the import preview sheet.
        QStringLiteral("The placeholder is the reason, as macOS or Music.app gave it."),
        QStringLiteral("Local file scan result: files scanned, files matched, rates stored, files not in "
                       "Corvane's library."),
        QStringLiteral("Local file scan result: files scanned, files matched, rates stored."),
        QStringLiteral("Rate Library row count."),
        QStringLiteral("Rate Library rows shown, of all rows."),
        QStringLiteral("Rate Library track count."),
        QStringLiteral("Rate Library: rows pinned."),
        QStringLiteral("Tracks in the file being imported."),
        QStringLiteral("An Apple Music storefront by its country code, such as \"the AU storefront\"."),
        QStringLiteral("When the file was written: a date and time."),
    };
    QSet<QString> present;
    for (const Message &m : extraction().messages)
        present.insert(m.comment);
    for (const QString &comment : required)
        EXPECT_TRUE(present.contains(comment))
            << "no text carries the translator comment: " << comment.toStdString();
}

TEST(Translations, theEnglishCatalogueGivesEveryCountItsSingularAndPlural)
{
    QFile file(QStringLiteral(CORVANE_SOURCE_DIR "/translations/corvane_en.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QHash<QString, Message> english;
    for (const Message &m : readCatalogue(file)) {
        EXPECT_TRUE(m.numerus) << "only counts need English: " << m.source.toStdString();
        english.insert(m.context + u'|' + m.source + u'|' + m.disambiguation, m);
    }
    int counts = 0;
    for (const Message &m : extraction().messages) {
        if (!m.numerus)
            continue;
        ++counts;
        const Message found = english.value(m.context + u'|' + m.source + u'|' + m.disambiguation);
        EXPECT_TRUE(found.finished && found.forms.size() == 2 && !found.forms[0].isEmpty() &&
                    found.forms[1] == m.source)
            << "no English forms for " << m.source.toStdString()
            << " (./dev translations, then fill them in)";
    }
    EXPECT_EQ(counts, english.size()) << "the English catalogue holds a count the sources no longer have";
}

namespace {

const QChar open(0x27E6);  // ⟦
const QChar close(0x27E7); // ⟧

// The extracted texts, each translated as itself between ⟦ and ⟧ (both forms of a count), in a
// language with English's plural rules.
QByteArray pseudoCatalogue(const QByteArray &ts)
{
    QXmlStreamReader in(ts);
    QByteArray out;
    QXmlStreamWriter writer(&out);
    bool numerus = false;
    QString source;
    while (!in.atEnd()) {
        in.readNext();
        if (in.isStartElement() && in.name() == u"TS") {
            writer.writeStartElement(QStringLiteral("TS"));
            writer.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
            writer.writeAttribute(QStringLiteral("language"), QStringLiteral("en"));
        } else if (in.isStartElement() && in.name() == u"source") {
            source = in.readElementText();
            writer.writeTextElement(QStringLiteral("source"), source);
        } else if (in.isStartElement() && in.name() == u"translation") {
            in.skipCurrentElement();
            const QString pseudo = open + source + close;
            writer.writeStartElement(QStringLiteral("translation"));
            if (numerus) {
                writer.writeTextElement(QStringLiteral("numerusform"), pseudo);
                writer.writeTextElement(QStringLiteral("numerusform"), pseudo);
            } else {
                writer.writeCharacters(pseudo);
            }
            writer.writeEndElement();
        } else {
            if (in.isStartElement() && in.name() == u"message")
                numerus = in.attributes().value("numerus") == u"yes";
            writer.writeCurrentToken(in);
        }
    }
    return out;
}

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
    const Extraction &e = extraction();
    QTemporaryDir dir;
    const QString ts = dir.filePath(QStringLiteral("pseudo.ts"));
    const QString qm = dir.filePath(QStringLiteral("pseudo.qm"));
    ASSERT_TRUE(writeFile(ts, pseudoCatalogue(e.ts)));
    QProcess lrelease;
    lrelease.start(QStringLiteral(CORVANE_LRELEASE_BIN), {ts, QStringLiteral("-qm"), qm});
    ASSERT_TRUE(lrelease.waitForFinished(60000) && lrelease.exitCode() == 0)
        << lrelease.readAll().toStdString();
    QTranslator pseudo;
    ASSERT_TRUE(pseudo.load(qm));
    QCoreApplication::installTranslator(&pseudo);

    for (const CountTexts::CountText &t : CountTexts::all()) {
        for (const int n : CountTexts::counts)
            EXPECT_TRUE(translated(t.text(n))) << t.name << " with " << n << ": " << t.text(n).toStdString();
    }

    // The three windows over a companion's Rate Library and a few plays, with a finished scan and
    // an import's preview. Names from the companion and the output are not texts.
    ModelHarness h;
    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    h.platform.outputDevices.device = FakePlatform::device(QStringLiteral("dac"), {44100, 48000});
    h.platform.musicApp.running = true;
    h.model->pollPlatform();
    for (const PlaybackHistory::Entry &play : HistoryFixtures::evening())
        h.switcher().history().append(play);
    std::unique_ptr<QWidget> learned(makeLearnedRatesWindow(*h.model));
    learned->show();
    SwitcherProtocol::LearnedRates library;
    library.rows = {{}};
    library.rows[0].id = QStringLiteral("1");
    library.rows[0].tier = QStringLiteral("lossless");
    library.rows[0].rate = 44100;
    library.rows[0].pinned = true;
    library.rows[0].confirmedAt = HistoryFixtures::minutesAfterNoon(0);
    peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return h.model->learnedRates().has_value(); }));
    h.platform.musicApp.scanResult = QList<SwitcherProtocol::LocalFileRow>{{"A", "One", {}, {}, 96000}};
    h.model->scanLocalFiles();
    peer.send(QStringLiteral("localFilesResult"),
              SwitcherProtocol::LocalFilesResult{250, 240, 10, 238}.toJson());
    ASSERT_TRUE(eventually(
        [&] { return std::holds_alternative<SwitcherModel::LocalScanDone>(h.model->localScan()); }));
    ASSERT_TRUE(writeFile(h.path(QStringLiteral("Friends.corvanerates")), R"({"rows":[]})"));
    h.model->previewImport(h.path(QStringLiteral("Friends.corvanerates")));
    ASSERT_TRUE(peer.waitForType(QStringLiteral("rateLibraryImport")));
    SwitcherProtocol::RateLibraryImported dryRun =
        importAnswer(QStringLiteral("dryRun"), true, {1, 0, 0, 2, 1, 0});
    dryRun.fileTracks = 1;
    dryRun.storefront = QStringLiteral("au");
    peer.send(QStringLiteral("rateLibraryImported"), dryRun.toJson());
    ASSERT_TRUE(eventually([&] { return learned->findChild<ImportPreviewSheet *>() != nullptr; }));
    std::unique_ptr<QWidget> history(makePlaybackHistoryWindow(*h.model));
    history->show();
    std::unique_ptr<QWidget> timing(makeSwitchTimingWindow(*h.model));
    timing->show();

    const QSet<QString> names = {QStringLiteral("Test DAC")};
    for (QWidget *window : {learned.get(), history.get(), timing.get()}) {
        const QStringList untranslated = untranslatedTexts(*window, names);
        EXPECT_TRUE(untranslated.isEmpty()) << window->metaObject()->className() << ":\n"
                                            << untranslated.join(u'\n').toStdString();
    }

    QCoreApplication::removeTranslator(&pseudo);
}
