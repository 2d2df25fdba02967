// The CSV export, read back by Python's csv module as a spreadsheet would read it.
#include "PlaybackHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every row of `csv` as Python's csv reader parses it.
QList<QStringList> parsedByPython(const QString &csv)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(csv.toUtf8());
    file.close();

    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
                  path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        ADD_FAILURE() << python.readAllStandardError().toStdString();
        return {};
    }
    QList<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue &field : row.toArray())
            fields.append(field.toString());
        rows.append(fields);
    }
    return rows;
}

} // namespace

TEST(PlaybackHistoryCsv, RoundTripsThroughARealCsvParser)
{
    PlaybackHistory::Entry full;
    full.at = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0, 250), Qt::UTC);
    full.title = QStringLiteral(R"(Hello, "World")");
    full.artist = QStringLiteral("Line one\r\nline two");
    full.tier = QStringLiteral("hires");
    full.predictedRate = 96000;
    full.source = QStringLiteral("catalog/tags-guess");
    full.playedRate = 44100.5;
    full.codec = QStringLiteral("alac");
    full.outcome = QStringLiteral("rewritten");
    full.corrected = true;
    full.musicStartMs = 1830;

    PlaybackHistory::Entry bare;
    bare.at = QDateTime(QDate(2026, 3, 2), QTime(8, 30), Qt::UTC);
    bare.title = QStringLiteral("Ünïcode — “quotes”");
    bare.artist = QStringLiteral("\"");
    bare.source = QStringLiteral("mystery");

    const QString csv = PlaybackHistory::csvText({full, bare});
    EXPECT_TRUE(csv.startsWith(PlaybackHistory::csvHeader + QStringLiteral("\r\n")));
    EXPECT_TRUE(csv.endsWith(QStringLiteral("\r\n")));

    const QList<QStringList> rows = parsedByPython(csv);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(0), PlaybackHistory::csvHeader.split(QLatin1Char(',')));
    EXPECT_EQ(rows.at(1),
              (QStringList{"2026-03-01T12:00:00.250Z", R"(Hello, "World")", "Line one\r\nline two", "hires", "96000",
                           "5", "catalog/tags-guess", "44100.5", "alac", "rewritten", "true", "1830"}));
    EXPECT_EQ(rows.at(2), (QStringList{"2026-03-02T08:30:00.000Z", "Ünïcode — “quotes”", "\"", "", "", "", "mystery",
                                       "", "", "", "false", ""}));
}

TEST(PlaybackHistoryCsv, EmptyHistoryIsTheHeaderAlone)
{
    EXPECT_EQ(PlaybackHistory::csvText({}), PlaybackHistory::csvHeader + QStringLiteral("\r\n"));
}

TEST(PlaybackHistoryCsv, RatesAreShortestPlainNumbers)
{
    PlaybackHistory::Entry entry;
    entry.at = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
    entry.predictedRate = 1536000;
    entry.playedRate = 8000.125;
    const QStringList fields = PlaybackHistory::csvText({entry}).split(QStringLiteral("\r\n")).at(1).split(QLatin1Char(','));
    EXPECT_EQ(fields.at(4), QStringLiteral("1536000"));
    EXPECT_EQ(fields.at(7), QStringLiteral("8000.125"));
}
