// Runs lupdate over the sources as a translator's tools would and checks what they would see:
// every text that needs a note for translators carries it, and no note is lost on the way.
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

struct Message {
    QString context;
    QString source;
    QString comment;
    QString disambiguation;
};

struct Extraction {
    QList<Message> messages;
    QString diagnostics;
};

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
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == u"name")
            context = xml.readElementText();
        else if (name == u"message")
            current = Message{context, {}, {}, {}};
        else if (name == u"source")
            current.source = xml.readElementText();
        else if (name == u"comment")
            current.disambiguation = xml.readElementText();
        else if (name == u"extracomment")
            current.comment = xml.readElementText();
        else if (name == u"translation")
            result.messages.append(current);
    }
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
