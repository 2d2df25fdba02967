// The footer's journeys as a user takes them, against the stand-in companion over the real
// link: import (accepted, refused, unanswered), export, bad files, the local-file scan and
// revealing the companion's file.

#include "CompanionProcess.h"
#include "WindowTestSupport.h"

#include "Platform/LinuxMusicApp.h"
#include "RateLibrary/FooterBar.h"
#include "RateLibrary/ImportPreviewSheet.h"
#include "RateLibraryFile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <signal.h>

using namespace RateLibraryWindowTest;
using namespace Qt::StringLiterals;

namespace {

// A Rate Library file of `count` new tracks with a header; its JSON is well over one import chunk.
QByteArray backupJson(int count)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows.append(
            QStringLiteral(R"({"id":"9%1","kind":"catalog","tier":"lossless","title":"Imported track )"
                           R"(number %2 with a longer title","artist":"An Artist of Some Renown","album":)"
                           R"("An Album Title That Takes Room","rate":96000,"pinned":false,"source":)"
                           R"("learned","confirmations":2,"confirmedAt":"2026-11-30T20:00:00.000Z"})")
                .arg(i, 9, 10, QLatin1Char('0'))
                .arg(i));
    return R"({"rows":[)" + rows.join(u',').toUtf8() +
           R"(],"outputs":[],"storefront":"au","appVersion":"2.4","writtenAt":"2026-12-01T09:30:00.000Z"})";
}

// The window over a model whose companion is the stand-in process, showing its library.
struct WithStandin {
    // Music.app as this platform has it: the fixture file "MusicApp.json", read again when it changes.
    std::unique_ptr<LinuxMusicApp> music;
    ModelHarness h{{}, [this](PlatformServices &services) {
                       music = std::make_unique<LinuxMusicApp>(h.path(u"MusicApp.json"_s));
                       services.musicApp = music.get();
                   }};
    std::unique_ptr<CompanionProcess> companion;
    std::unique_ptr<LearnedRatesWindow> window;
    int markers = 0;

    QString musicPath() const { return h.path(u"MusicApp.json"_s); }

    bool start()
    {
        companion = std::make_unique<CompanionProcess>(h.port, true);
        if (!companion->start())
            return false;
        window = std::make_unique<LearnedRatesWindow>(*h.model);
        window->resize(1200, 760);
        window->show();
        return eventually([&] {
            return h.switcher().link().isPeer() && h.model->learnedRates() &&
                   window->shownRegion() == RateLibrary::MiddleRegion::table;
        });
    }

    FooterBar &footer() { return *window->footerBar(); }
    QString status() { return footer().statusText(); }

    // Chooses a gear menu item as the user would: the menu's own action.
    void choose(const QString &title)
    {
        ASSERT_TRUE(footer().gearButton()->isEnabled());
        for (QAction *action : footer().gearButton()->menu()->actions()) {
            if (action->text() == title) {
                action->trigger();
                return;
            }
        }
        FAIL() << "no menu item " << title.toStdString();
    }

    // How many messages of `type` the companion received, once everything sent so far arrived.
    int received(const QString &type)
    {
        h.switcher().dismissRateLibraryNotice();
        ++markers;
        const QString marker = u"received dismissRateLibraryNotice"_s;
        if (!eventually([&] { return companion->standardError().count(marker) >= markers; }))
            return -1;
        return int(companion->standardError().count(u"received "_s + type + u' '));
    }

    bool statusBecomes(const QString &text)
    {
        return eventually([&] { return status() == text; });
    }
};

} // namespace

TEST(RateLibraryJourney, ImportADryRunThenApply)
{
    WithStandin s;
    ASSERT_TRUE(s.start());
    const qsizetype before = s.h.model->learnedRates()->rows.size();
    const QByteArray json = backupJson(2500);
    ASSERT_GT(json.size(), 3 * RateSwitcher::importChunkBytes); // four chunks of the library's JSON
    ASSERT_LE(json.size(), 4 * RateSwitcher::importChunkBytes);
    const QString path = s.h.path(u"Studio Backup.corvanerates"_s);
    ASSERT_TRUE(writeFile(path, RateLibraryFile::encode(json)));

    s.h.platform.filePanels.importChoice = path;
    s.choose(u"Import…"_s);
    EXPECT_EQ(s.status(), u"Reading Studio Backup.corvanerates…"_s);
    ASSERT_TRUE(eventually([&] { return s.window->importPreviewSheet() != nullptr; }));
    ImportPreviewSheet &sheet = *s.window->importPreviewSheet();
    const QStringList values = sheet.gridValues();
    ASSERT_EQ(values.size(), 4);
    EXPECT_EQ(values[0],
              u"A Rate Library backup (everything: rates, pins, local files, Dolby Atmos answers)"_s);
    EXPECT_TRUE(values[1].startsWith(u"the AU storefront · Corvane 2.4 · written "_s))
        << values[1].toStdString();
    EXPECT_EQ(values[2], u"2500 tracks"_s);
    EXPECT_EQ(values[3], u"2500 new, 0 updated, 0 already known"_s);
    EXPECT_EQ(s.received(u"rateLibraryImport"_s), 4) << "one message per chunk";

    QTest::keyClick(&sheet, Qt::Key_Return);
    EXPECT_EQ(s.status(), u"Importing Studio Backup.corvanerates…"_s);
    EXPECT_TRUE(
        s.statusBecomes(u"Imported Studio Backup.corvanerates: 2500 new, 0 updated, 0 already known"_s));
    EXPECT_TRUE(eventually([&] { return s.h.model->learnedRates()->rows.size() == before + 2500; }));
}

TEST(RateLibraryJourney, ARefusedDryRunEndsInTheFooter)
{
    WithStandin s;
    ASSERT_TRUE(s.start());
    const QString path = s.h.path(u"notes.json"_s);
    ASSERT_TRUE(writeFile(path, R"({"notes": "a JSON object, but no Rate Library"})"));
    s.h.platform.filePanels.importChoice = path;
    s.choose(u"Import…"_s);
    EXPECT_TRUE(s.statusBecomes(u"This file holds no Rate Library rows."_s));
    EXPECT_FALSE(s.window->importPreviewSheet());
    EXPECT_FALSE(s.h.model->rateLibraryBusy());
}

TEST(RateLibraryJourney, NoAnswerInThirtySeconds)
{
    WithStandin s;
    ASSERT_TRUE(s.start());
    const QString path = s.h.path(u"backup.json"_s);
    ASSERT_TRUE(writeFile(path, backupJson(10)));
    const qint64 pid = s.companion->process().processId();
    ASSERT_EQ(::kill(pid_t(pid), SIGSTOP), 0); // hung, yet still connected
    s.h.platform.filePanels.importChoice = path;
    s.choose(u"Import…"_s);
    ASSERT_TRUE(eventually([&] { return s.h.model->rateLibraryBusy(); }));
    s.h.clock->advance(29'999);
    EXPECT_EQ(s.status(), u"Reading backup.json…"_s);
    s.h.clock->advance(1);
    EXPECT_EQ(s.status(), u"Corvane did not answer — is Corvane Mac Remote up to date and still paired?"_s);

    // The late answer changes nothing.
    ASSERT_EQ(::kill(pid_t(pid), SIGCONT), 0);
    EXPECT_EQ(s.received(u"rateLibraryImport"_s), 1);
    EXPECT_TRUE(
        eventually([&] { return s.companion->standardError().contains(u"sent rateLibraryImported"_s); }));
    QTest::qWait(50);
    EXPECT_FALSE(s.window->importPreviewSheet());
    EXPECT_EQ(s.status(), u"Corvane did not answer — is Corvane Mac Remote up to date and still paired?"_s);
}

TEST(RateLibraryJourney, ExportABackupOverAnOlderOne)
{
    WithStandin s;
    ASSERT_TRUE(s.start());
    QDir folder(s.h.path(u"exports"_s));
    ASSERT_TRUE(folder.mkpath(u"."_s));
    const QString path = folder.filePath(u"Corvane Rate Library.corvanerates"_s);
    ASSERT_TRUE(writeFile(path, "an older backup"));
    s.h.platform.filePanels.exportChoice = FilePanels::ExportChoice{path, false};
    s.choose(u"Export Backup…"_s);
    EXPECT_EQ(s.status(), u"Preparing the backup…"_s);
    EXPECT_TRUE(s.statusBecomes(u"Exported the backup to Corvane Rate Library.corvanerates."_s));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const RateLibraryFile::Decoded decoded = RateLibraryFile::decode(file.readAll());
    ASSERT_TRUE(decoded.ok());
    const QJsonObject library = QJsonDocument::fromJson(*decoded.json).object();
    EXPECT_EQ(library.value("rows").toArray().size(), s.h.model->learnedRates()->rows.size());
    EXPECT_FALSE(library.contains("notice"));
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden),
              QStringList{u"Corvane Rate Library.corvanerates"_s})
        << "written through a temporary file, nothing left beside it";
}

TEST(RateLibraryJourney, FilesThatAreNoRateLibraryNeverLeave)
{
    WithStandin s;
    ASSERT_TRUE(s.start());
    const QByteArray newer = RateLibraryFile::encode(R"({"rows":[]})").replace(12, 1, "\x02");
    QByteArray damaged = RateLibraryFile::encode(backupJson(20));
    damaged.chop(9);
    ASSERT_TRUE(writeFile(s.h.path(u"empty.corvanerates"_s), {}));
    ASSERT_TRUE(writeFile(s.h.path(u"damaged.corvanerates"_s), damaged));
    ASSERT_TRUE(writeFile(s.h.path(u"newer.corvanerates"_s), newer));
    QFile huge(s.h.path(u"huge.json"_s)); // sparse: large on paper only
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(SwitcherModel::maximumImportBytes + 1));
    huge.close();

    const std::pair<QString, QString> cases[] = {
        {u"empty.corvanerates"_s, u"This file is not a Rate Library file."_s},
        {u"damaged.corvanerates"_s, u"This Rate Library file is damaged and cannot be read."_s},
        {u"newer.corvanerates"_s,
         u"This Rate Library file was made by a newer version of Corvane Zuvaradi. Update the app to open it."_s},
    };
    for (const auto &[name, why] : cases) {
        SCOPED_TRACE(name.toStdString());
        s.h.platform.filePanels.importChoice = s.h.path(name);
        s.choose(u"Import…"_s);
        EXPECT_TRUE(s.statusBecomes(u"Couldn't import "_s + name + u": "_s + why))
            << s.status().toStdString();
    }
    s.h.platform.filePanels.importChoice = huge.fileName();
    s.choose(u"Import…"_s);
    EXPECT_TRUE(s.statusBecomes(u"huge.json is too large to be a Rate Library."_s));
    s.h.platform.filePanels.importChoice = s.h.path(u"missing.json"_s);
    s.choose(u"Import…"_s);
    EXPECT_TRUE(eventually([&] { return s.status().startsWith(u"Couldn't read missing.json: "_s); }));
    EXPECT_EQ(s.received(u"rateLibraryImport"_s), 0);
    EXPECT_FALSE(s.h.model->rateLibraryBusy());
}

TEST(RateLibraryJourney, ScanLocalFilesFromMusic)
{
    WithStandin s;
    // Two files the companion's library knows, one it doesn't.
    ASSERT_TRUE(writeFile(s.musicPath(), R"({"running": true, "scan": [
        {"id": "49E17A32A6A3AF3E", "title": "Avenue Signal Harbour", "rate": 96000},
        {"id": "FA4573292F91EEF1", "title": "Winter Bright Ember", "rate": 44100},
        {"id": "0000000000000001", "title": "Not in the library", "rate": 48000}]})"));
    ASSERT_TRUE(s.start());
    s.h.model->pollPlatform();
    QPushButton *scan = s.footer().scanButton();
    ASSERT_TRUE(scan->isEnabled());
    EXPECT_EQ(scan->text(), u"Scan Local Files"_s);

    QTest::mouseClick(scan, Qt::LeftButton);
    EXPECT_EQ(s.status(), u"Reading local files from Music…"_s);
    EXPECT_EQ(scan->text(), u"Scanning…"_s);
    EXPECT_FALSE(scan->isEnabled());
    EXPECT_TRUE(s.statusBecomes(
        u"Scanned 3 local files: 2 matched Corvane's library, 2 rates stored, 1 not in the library"_s));
    EXPECT_TRUE(scan->isEnabled());
    EXPECT_EQ(scan->text(), u"Scan Local Files"_s);
}

TEST(RateLibraryJourney, ShowFileInFinderRevealsTheCompanionsFile)
{
    WithStandin s;
    ASSERT_TRUE(s.start());
    s.choose(u"Show File in Finder"_s);
    EXPECT_EQ(s.h.platform.workspace.revealed,
              QStringList{QDir::homePath() + u"/Library/Containers/dulvarin.Corvane/Data/Library/"
                                             u"Application Support/SwitcherLearned.json"_s});
}
