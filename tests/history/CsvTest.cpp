// The CSV export, read back by Python's csv module as a spreadsheet would read it.
#include "CsvRows.h"
#include "HistoryTestSupport.h"

#include <gtest/gtest.h>

TEST(PlaybackHistoryCsv, RoundTripsThroughARealCsvParser)
{
    EXPECT_EQ(PlaybackHistory::csvText({}), PlaybackHistory::csvHeader + QStringLiteral("\r\n"));
    const QString csv = PlaybackHistory::csvText({fullSample(), sample(QStringLiteral("bare"))});
    EXPECT_TRUE(csv.endsWith(QStringLiteral("\r\n")));

    const QList<QStringList> rows = csvRows(csv.toUtf8());
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(0), PlaybackHistory::csvHeader.split(QLatin1Char(',')));
    EXPECT_EQ(rows.at(1), (QStringList{"2026-03-01T12:00:00.125Z", R"(Ünïcode, "World")",
                                       "Line one\r\nline two", "hires", "1536000", "5", "catalog/tags-guess",
                                       "44100.5", "alac", "rewritten", "true", "1830"}));
    EXPECT_EQ(rows.at(2), (QStringList{"2026-03-01T12:00:00.125Z", "bare", "Artist", "", "", "", "", "", "",
                                       "", "false", ""}));
}

TEST(PlaybackHistoryCsv, TextThatASpreadsheetWouldRunStaysText)
{
    PlaybackHistory::Entry crafted = sample(QStringLiteral("=HYPERLINK(\"http://example.com\",\"Play\")"));
    crafted.artist = QStringLiteral("+1 Artist");
    crafted.tier = QStringLiteral("-hires");
    crafted.source = QStringLiteral("@SUM(A1:A9)");
    crafted.codec = QStringLiteral("\talac");
    crafted.outcome = QStringLiteral("\rlearned");
    crafted.predictedRate = 44100;
    crafted.musicStartMs = -250; // numbers stay numbers, whatever their sign
    PlaybackHistory::Entry plain = sample(QStringLiteral("A title with = + - @ inside"));
    plain.artist = QStringLiteral("'Quoted' already");

    const QList<QStringList> rows = csvRows(PlaybackHistory::csvText({crafted, plain}).toUtf8());
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(
        rows.at(1),
        (QStringList{"2026-03-01T12:00:00.125Z", R"('=HYPERLINK("http://example.com","Play"))", "'+1 Artist",
                     "'-hires", "44100", "", "'@SUM(A1:A9)", "", "'\talac", "'\rlearned", "false", "-250"}));
    EXPECT_EQ(rows.at(2).mid(1, 2), (QStringList{"A title with = + - @ inside", "'Quoted' already"}));
}
