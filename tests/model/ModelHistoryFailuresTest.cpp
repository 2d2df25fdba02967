// What the user is told when the history file fails them: once per failure, in plain words,
// with where the file now is.

#include "ModelTestSupport.h"

#include <QDir>

namespace {

const QString loadTitle = u"The playback history could not be loaded"_s;
const QString saveTitle = u"The playback history could not be saved"_s;

PlaybackHistory::Entry sample(const QString &title)
{
    PlaybackHistory::Entry entry;
    entry.at = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    entry.title = title;
    return entry;
}

// Puts a folder where the history file is: a save cannot replace it, not even as root.
bool blockTheFile(ModelHarness &h)
{
    QFile::remove(h.path(u"PlaybackHistory.json"_s));
    return QDir(h.dir.path()).mkdir(u"PlaybackHistory.json"_s) &&
           writeFile(h.path(u"PlaybackHistory.json/inside"_s), "keep me");
}

} // namespace

TEST(ModelHistoryFailures, AFileSetAsideOrUnreadableAtStartIsToldOnce)
{
    struct Case {
        QByteArray bytes; // empty: a folder stands where the file should be
        QString where;    // what the message names
    };
    const std::vector<Case> cases{
        {"{damaged", u"PlaybackHistory.damaged-"_s},
        {R"({"v": 7, "entries": []})", u"PlaybackHistory.newer-v7.json"_s},
        {{}, u"PlaybackHistory.json could not be read"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where.toStdString());
        ModelHarness h([&c](QSettings &, const QString &dir) {
            const QString file = QDir(dir).filePath(u"PlaybackHistory.json"_s);
            EXPECT_TRUE(c.bytes.isEmpty() ? QDir(dir).mkdir(u"PlaybackHistory.json"_s)
                                          : writeFile(file, c.bytes));
        });
        const auto &shown = h.platform.notifications.shown;
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown.first().title, loadTitle);
        EXPECT_TRUE(shown.first().message.contains(c.where)) << shown.first().message.toStdString();
        EXPECT_TRUE(shown.first().message.contains(QDir::toNativeSeparators(h.dir.path())));
        h.model->sync();
        EXPECT_EQ(shown.size(), 1);
    }

    ModelHarness fine;
    EXPECT_TRUE(fine.platform.notifications.shown.isEmpty());
}

TEST(ModelHistoryFailures, AFailingSaveIsToldOnceUntilASaveWorksAgain)
{
    ModelHarness h;
    PlaybackHistory &history = h.switcher().history();
    const auto &shown = h.platform.notifications.shown;
    ASSERT_TRUE(blockTheFile(h));
    history.append(sample(u"first"_s));
    EXPECT_FALSE(history.saveNow());
    history.append(sample(u"second"_s));
    EXPECT_FALSE(history.saveNow()); // a retry that fails again is the same failure
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, saveTitle);
    EXPECT_EQ(shown.first().message, history.lastError());
    EXPECT_TRUE(shown.first().message.contains(QDir::toNativeSeparators(h.path(u"PlaybackHistory.json"_s))));

    ASSERT_TRUE(QDir(h.path(u"PlaybackHistory.json"_s)).removeRecursively());
    EXPECT_TRUE(history.saveNow());
    EXPECT_EQ(shown.size(), 1);
    ASSERT_TRUE(blockTheFile(h));
    history.append(sample(u"third"_s));
    EXPECT_FALSE(history.saveNow());
    EXPECT_EQ(shown.size(), 2); // a new failure after one that worked
    EXPECT_EQ(history.entries().size(), 3);
}
