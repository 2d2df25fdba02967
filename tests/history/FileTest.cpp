// The history file: delayed atomic saves, the previous copy, and every way a file on disk can
// stand in the way without a play being lost.
#include "PlaybackHistory.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

using Entry = PlaybackHistory::Entry;

Entry sample(const QString &title)
{
    Entry entry;
    entry.at = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0, 125), Qt::UTC);
    entry.title = title;
    entry.artist = QStringLiteral("Artist");
    return entry;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList titlesIn(const QByteArray &bytes)
{
    QStringList titles;
    for (const QJsonValue &entry : QJsonDocument::fromJson(bytes).object().value(u"entries").toArray())
        titles.append(entry.toObject().value(u"title").toString());
    return titles;
}

class HistoryFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("PlaybackHistory.json")); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

} // namespace

TEST_F(HistoryFile, SavesOneSecondAfterTheLastChange)
{
    PlaybackHistory history(path());
    EXPECT_TRUE(history.entries().isEmpty());
    EXPECT_TRUE(history.lastError().isEmpty());
    EXPECT_FALSE(history.savePending());

    history.append(sample(QStringLiteral("one")));
    QTimer &timer = history.saveTimerForTesting();
    EXPECT_TRUE(timer.isSingleShot());
    EXPECT_EQ(timer.interval(), 1000);
    EXPECT_TRUE(history.savePending());
    history.append(sample(QStringLiteral("two")));
    EXPECT_TRUE(history.savePending());
    EXPECT_FALSE(QFile::exists(path()));

    // Short-circuit the wait: the timer's own timeout does the save.
    QMetaObject::invokeMethod(&timer, "timeout");
    EXPECT_FALSE(history.savePending());
    const QJsonObject root = QJsonDocument::fromJson(readFile(path())).object();
    EXPECT_EQ(root.value(u"v").toInt(), 1);
    EXPECT_EQ(titlesIn(readFile(path())), (QStringList{"one", "two"}));
}

TEST_F(HistoryFile, RoundTripsEveryField)
{
    Entry full = sample(QStringLiteral("full"));
    full.album = QStringLiteral("Album");
    full.tier = QStringLiteral("lossless");
    full.predictedRate = 96000;
    full.source = QStringLiteral("catalog/album");
    full.note = QStringLiteral("a note");
    full.playedRate = 44100;
    full.playedAt = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 2, 999), Qt::UTC);
    full.codec = QStringLiteral("alac");
    full.outcome = QStringLiteral("rewritten");
    full.outcomeRate = 44100;
    full.corrected = true;
    full.musicStartMs = 1234;
    const Entry bare = sample(QStringLiteral("bare"));
    {
        PlaybackHistory history(path());
        history.append(full);
        history.append(bare);
        ASSERT_TRUE(history.saveNow());
    }
    PlaybackHistory reloaded(path());
    EXPECT_EQ(reloaded.entries(), (QList<Entry>{full, bare}));
    EXPECT_TRUE(reloaded.lastError().isEmpty());
}

TEST_F(HistoryFile, KeepsThePreviousFileAndLeavesNoTemporaryFiles)
{
    PlaybackHistory history(path());
    history.append(sample(QStringLiteral("first")));
    ASSERT_TRUE(history.saveNow());
    EXPECT_FALSE(QFile::exists(history.previousFilePath()));
    const QByteArray first = readFile(path());

    history.append(sample(QStringLiteral("second")));
    ASSERT_TRUE(history.saveNow());
    EXPECT_EQ(readFile(history.previousFilePath()), first);
    EXPECT_EQ(titlesIn(readFile(path())), (QStringList{"first", "second"}));
    EXPECT_EQ(files(), (QStringList{"PlaybackHistory.json", "PlaybackHistory.previous.json"}));

    // Nothing changed: nothing is written, so the previous copy still holds the older state.
    ASSERT_TRUE(history.saveNow());
    EXPECT_EQ(readFile(history.previousFilePath()), first);
}

TEST_F(HistoryFile, AFailedWriteLeavesTheFileWholeAndTheEntriesInMemory)
{
    PlaybackHistory history(path());
    history.append(sample(QStringLiteral("kept")));
    ASSERT_TRUE(history.saveNow());
    const QByteArray before = readFile(path());

    for (int i = 0; i < 50; ++i)
        history.append(sample(QStringLiteral("a longer title that makes the file grow %1").arg(i)));
    // Let no file grow past what is already on disk: the write fails half way.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit capped = old;
    capped.rlim_cur = rlim_t(before.size() + 16);
    setrlimit(RLIMIT_FSIZE, &capped);
    const bool saved = history.saveNow();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_FALSE(history.lastError().isEmpty());
    EXPECT_EQ(readFile(path()), before);
    EXPECT_EQ(history.entries().size(), 51);
    EXPECT_EQ(files(), (QStringList{"PlaybackHistory.json", "PlaybackHistory.previous.json"}));

    ASSERT_TRUE(history.saveNow()); // the retry writes what the failure kept
    EXPECT_TRUE(history.lastError().isEmpty());
    EXPECT_EQ(titlesIn(readFile(path())).size(), 51);
}

TEST_F(HistoryFile, AnUnwritableFolderIsReportedAndRetried)
{
    // A plain file where the folder should be: no one, not even root, can create the folder.
    const QString blocker = dir.filePath(QStringLiteral("blocked"));
    writeFile(blocker, "not a folder");
    const QString target = dir.filePath(QStringLiteral("blocked/PlaybackHistory.json"));
    PlaybackHistory history(target);
    history.append(sample(QStringLiteral("safe")));
    EXPECT_FALSE(history.saveNow());
    EXPECT_TRUE(history.lastError().contains(QStringLiteral("could not be saved")));
    EXPECT_EQ(history.entries().size(), 1);

    history.append(sample(QStringLiteral("also safe")));
    ASSERT_TRUE(QFile::remove(blocker));
    QMetaObject::invokeMethod(&history.saveTimerForTesting(), "timeout");
    EXPECT_TRUE(history.lastError().isEmpty());
    EXPECT_EQ(titlesIn(readFile(target)), (QStringList{"safe", "also safe"}));
}

TEST_F(HistoryFile, ANewerVersionIsCopiedAsideAndTheCopyNeverOverwritten)
{
    const QByteArray newer = R"({"v": 2, "entries": [{"future": true}], "more": 1})";
    writeFile(path(), newer);
    const QString copy = dir.filePath(QStringLiteral("PlaybackHistory.newer-v2.json"));
    {
        PlaybackHistory history(path());
        EXPECT_TRUE(history.entries().isEmpty());
        EXPECT_FALSE(history.lastError().isEmpty());
        EXPECT_EQ(readFile(copy), newer);
        EXPECT_EQ(readFile(path()), newer); // untouched until there is something to save
        history.append(sample(QStringLiteral("ours")));
        ASSERT_TRUE(history.saveNow());
    }
    EXPECT_EQ(titlesIn(readFile(path())), QStringList{"ours"});
    EXPECT_EQ(readFile(copy), newer);

    // The newer app ran again and wrote more: the first copy stays, the new content gets its own.
    const QByteArray newerStill = R"({"v": 2, "entries": [{"future": true}, {"future": 2}]})";
    writeFile(path(), newerStill);
    { PlaybackHistory history(path()); }
    EXPECT_EQ(readFile(copy), newer);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("PlaybackHistory.newer-v2-2.json"))), newerStill);

    // The same content again takes no third copy.
    { PlaybackHistory history(path()); }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("PlaybackHistory.newer-v2-3.json"))));
}

TEST_F(HistoryFile, ADamagedFileIsMovedAsideUnderATimestampedName)
{
    const std::vector<QByteArray> damaged{
        "{not json",
        "[]",
        R"({"entries": []})",
        R"({"v": 1})",
        R"({"v": 1.5, "entries": []})",
        R"({"v": 1, "entries": [{"id": "not a uuid", "at": "2026-03-01T12:00:00.000Z", "title": "t", "artist": "a"}]})",
        R"({"v": 1, "entries": [{"id": "6f1c0c52-4a55-4f7b-9b8e-5d1c0f9a7e21", "at": "2026-03-01T12:00:00.000Z", "title": "t", "artist": "a", "predictedRate": "fast"}]})",
    };
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("PlaybackHistory.json"));
        writeFile(file, bytes);
        PlaybackHistory history(file);
        EXPECT_TRUE(history.entries().isEmpty());
        EXPECT_FALSE(history.lastError().isEmpty());
        EXPECT_FALSE(QFile::exists(file));
        const QStringList aside = QDir(folder.path()).entryList({QStringLiteral("PlaybackHistory.damaged-*.json")});
        ASSERT_EQ(aside.size(), 1);
        EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^PlaybackHistory\.damaged-\d{8}-\d{6}\.json$)"))
                        .match(aside.first())
                        .hasMatch());
        EXPECT_EQ(readFile(folder.filePath(aside.first())), bytes);
    }
}

TEST_F(HistoryFile, AMissingFileIsAnEmptyStoreAndQuittingSavesWhatIsPending)
{
    {
        PlaybackHistory history(path());
        EXPECT_TRUE(history.entries().isEmpty());
        EXPECT_TRUE(history.lastError().isEmpty());
        EXPECT_TRUE(files().isEmpty());
        history.append(sample(QStringLiteral("last play before quitting")));
    }
    EXPECT_EQ(titlesIn(readFile(path())), QStringList{"last play before quitting"});
}

TEST_F(HistoryFile, AFileThatCannotBeReadIsNeverWrittenOver)
{
    // A folder where the file should be: it exists but cannot be read as a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("PlaybackHistory.json")));
    writeFile(dir.filePath(QStringLiteral("PlaybackHistory.json/inside")), "keep me");
    PlaybackHistory history(path());
    EXPECT_TRUE(history.entries().isEmpty());
    EXPECT_FALSE(history.lastError().isEmpty());
    history.append(sample(QStringLiteral("in memory")));
    EXPECT_FALSE(history.saveNow());
    EXPECT_EQ(history.entries().size(), 1);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("PlaybackHistory.json/inside"))), "keep me");
}
