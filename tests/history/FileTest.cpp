// The history file: delayed atomic saves, the previous copy, and every way a file on disk can
// stand in the way without a play being lost.
#include "HistoryTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Entry = PlaybackHistory::Entry;

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
};

} // namespace

TEST_F(HistoryFile, SavesOneSecondAfterTheLastChangeAndWhatIsPendingAtDestruction)
{
    const Entry bare = sample(QStringLiteral("bare"));
    const Entry full = fullSample();
    {
        PlaybackHistory history(path()); // a missing file is an empty store
        history.append(bare);
        QTimer &timer = history.saveTimerForTesting();
        EXPECT_TRUE(timer.isSingleShot());
        EXPECT_EQ(timer.interval(), 1000);
        EXPECT_FALSE(QFile::exists(path()));
        // Short-circuit the wait: the timer's own timeout does the save.
        QMetaObject::invokeMethod(&timer, "timeout");
        EXPECT_EQ(titlesIn(readFile(path())), QStringList{"bare"});
        history.append(full);
    }
    PlaybackHistory reloaded(path());
    EXPECT_EQ(reloaded.entries(), (QList<Entry>{bare, full}));
    EXPECT_TRUE(reloaded.lastError().isEmpty());
}

TEST_F(HistoryFile, ReplacesAtomicallyAndKeepsThePreviousFile)
{
    PlaybackHistory history(path());
    history.append(sample(QStringLiteral("first")));
    ASSERT_TRUE(history.saveNow());
    const QByteArray first = readFile(path());
    history.append(sample(QStringLiteral("second")));
    ASSERT_TRUE(history.saveNow());
    EXPECT_EQ(readFile(history.previousFilePath()), first);
    ASSERT_TRUE(history.saveNow()); // nothing changed: the previous copy keeps the older state
    EXPECT_EQ(readFile(history.previousFilePath()), first);
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
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"PlaybackHistory.json", "PlaybackHistory.previous.json"}));
    ASSERT_TRUE(history.saveNow()); // the retry writes what the failure kept
    EXPECT_EQ(titlesIn(readFile(path())).size(), 52);
}

TEST_F(HistoryFile, AnUnwritableFolderIsReportedAndNothingIsLost)
{
    // A plain file where the folder should be: no one, not even root, can create the folder.
    const QString blocker = dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(writeFile(blocker, "not a folder"));
    const QString target = dir.filePath(QStringLiteral("blocked/PlaybackHistory.json"));
    PlaybackHistory history(target);
    history.append(sample(QStringLiteral("safe")));
    EXPECT_FALSE(history.saveNow());
    EXPECT_TRUE(history.lastError().contains(QStringLiteral("could not be saved")));
    EXPECT_EQ(history.entries().size(), 1);

    ASSERT_TRUE(QFile::remove(blocker));
    ASSERT_TRUE(history.saveNow());
    EXPECT_TRUE(history.lastError().isEmpty());
    EXPECT_EQ(titlesIn(readFile(target)), QStringList{"safe"});
}

TEST_F(HistoryFile, ANewerVersionIsCopiedAsideAndTheCopyNeverOverwritten)
{
    const QByteArray newer = R"({"v": 2, "entries": [{"future": true}], "more": 1})";
    ASSERT_TRUE(writeFile(path(), newer));
    const QString copy = dir.filePath(QStringLiteral("PlaybackHistory.newer-v2.json"));
    {
        PlaybackHistory history(path());
        EXPECT_TRUE(history.entries().isEmpty());
        EXPECT_FALSE(history.lastError().isEmpty());
        EXPECT_EQ(readFile(copy), newer);
        history.append(sample(QStringLiteral("ours")));
    }
    EXPECT_EQ(titlesIn(readFile(path())), QStringList{"ours"});

    // The newer app ran again and wrote more: the first copy stays, the new content gets its own.
    const QByteArray newerStill = R"({"v": 2, "entries": [{"future": true}, {"future": 2}]})";
    ASSERT_TRUE(writeFile(path(), newerStill));
    {
        PlaybackHistory history(path());
    }
    {
        PlaybackHistory history(path());
    } // the same content again takes no third copy
    EXPECT_EQ(readFile(copy), newer);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("PlaybackHistory.newer-v2-2.json"))), newerStill);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("PlaybackHistory.newer-v2-3.json"))));
}

TEST_F(HistoryFile, ADamagedFileIsMovedAsideUnderATimestampedName)
{
    const std::vector<QByteArray> damaged{
        "{not json",
        "[]",
        R"({"v": 1})",
        R"({"v": 1.5, "entries": []})",
        R"({"v": 1, "entries": [{"id": "not a uuid", "at": "2026-03-01T12:00:00.000Z", "title": "t", "artist": "a"}]})",
        R"({"v": 1, "entries": [{"id": "00000000-0000-0000-0000-000000000001", "at": "2026-03-01T12:00:00.000Z",
            "title": "t", "artist": "a", "musicStartMs": 1e300}]})",
    };
    for (const QByteArray &bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("PlaybackHistory.json"));
        ASSERT_TRUE(writeFile(file, bytes));
        PlaybackHistory history(file);
        EXPECT_TRUE(history.entries().isEmpty());
        EXPECT_FALSE(history.lastError().isEmpty());
        const QStringList left = QDir(folder.path()).entryList(QDir::Files);
        ASSERT_EQ(left.size(), 1);
        EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^PlaybackHistory\.damaged-\d{8}-\d{6}\.json$)"))
                        .match(left.first())
                        .hasMatch());
        EXPECT_EQ(readFile(folder.filePath(left.first())), bytes);
    }
}

TEST_F(HistoryFile, AVersionBeyondAnyWholeNumberIsCopiedAsideUnderTheLargest)
{
    const QByteArray newer = R"({"v": 1e300, "entries": []})";
    ASSERT_TRUE(writeFile(path(), newer));
    PlaybackHistory history(path());
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("PlaybackHistory.newer-v9223372036854775807.json"))),
              newer);
}

// A file far larger than any the store writes is refused unread, as a damaged one is: moved
// aside whole, never deleted. One right at the bound is still read.
TEST_F(HistoryFile, AFileOverTheSizeBoundIsSetAsideUnread)
{
    QByteArray bytes = R"({"v": 1, "entries": []})";
    bytes.append(QByteArray(PlaybackHistory::maximumFileBytes - bytes.size(), ' '));
    ASSERT_TRUE(writeFile(path(), bytes));
    {
        PlaybackHistory history(path());
        EXPECT_TRUE(history.lastError().isEmpty());
    }
    bytes.append(' ');
    ASSERT_TRUE(writeFile(path(), bytes));
    PlaybackHistory history(path());
    EXPECT_TRUE(history.lastError().contains(QStringLiteral("was moved to")))
        << history.lastError().toStdString();
    const QStringList left = QDir(dir.path()).entryList(QDir::Files);
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left.first().startsWith(QStringLiteral("PlaybackHistory.damaged-")));
    EXPECT_EQ(QFileInfo(dir.filePath(left.first())).size(), bytes.size());
    history.append(sample(QStringLiteral("new")));
    EXPECT_TRUE(history.saveNow());
}

// A FIFO where the file should be: opening it to read would wait for a writer forever.
TEST_F(HistoryFile, AFifoIsNeitherWaitedForNorWrittenOver)
{
    const QByteArray fifo = QFile::encodeName(path());
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::atomic<bool> loaded = false;
    std::atomic<bool> released = false;
    std::thread watchdog([&] {
        for (int i = 0; i < 100 && !loaded; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (loaded)
            return;
        released = true; // a reader stuck in open() goes on once a writer comes and goes
        const int fd = ::open(fifo.constData(), O_WRONLY);
        if (fd >= 0)
            ::close(fd);
    });
    {
        PlaybackHistory history(path());
        loaded = true;
        watchdog.join();
        EXPECT_FALSE(released) << "loading waited for a writer";
        EXPECT_TRUE(history.entries().isEmpty());
        EXPECT_TRUE(history.lastError().contains(QStringLiteral("could not be read")));
        history.append(sample(QStringLiteral("in memory")));
        EXPECT_FALSE(history.saveNow());
    }
    struct stat info = {};
    ASSERT_EQ(::stat(fifo.constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(HistoryFile, AFileThatCannotBeReadIsNeverWrittenOver)
{
    // A folder where the file should be: it exists but cannot be read as a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("PlaybackHistory.json")));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("PlaybackHistory.json/inside")), "keep me"));
    PlaybackHistory history(path());
    EXPECT_FALSE(history.lastError().isEmpty());
    history.append(sample(QStringLiteral("in memory")));
    EXPECT_FALSE(history.saveNow());
    EXPECT_EQ(history.entries().size(), 1);
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("PlaybackHistory.json/inside"))), "keep me");
}
