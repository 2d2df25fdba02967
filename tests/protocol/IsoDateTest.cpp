#include "SwitcherProtocol.h"

#include <gtest/gtest.h>

using SwitcherProtocol::parseIsoDate;

namespace {

QDateTime qtParse(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
}

} // namespace

TEST(IsoDate, agreesWithQDateTimeWhereBothAccept)
{
    for (const char *text : {
             "2026-03-01T12:00:00.000Z", "2026-03-01T12:00:00Z", "2026-03-01T12:00:00.5Z",
             "2026-03-01T12:00:00.1234Z",  // extra digits round to the millisecond
             "2026-03-01T12:00:00.9996Z",  // and can carry into the next second
             "2026-12-31T23:59:59.9999Z",  // or the next year
             "2026-03-01T12:00:00+01:30", "2026-03-01T12:00:00.250-05:00", "2026-03-01T00:30:00+14:00",
             "2026-03-01T12:00:00-00:00", "2026-03-01T12:00:00+0130", "2026-03-01t12:00:00z",
             "2026-03-01T12:00:00,5Z", "2024-02-29T23:59:59.999Z", "2000-02-29T00:00:00Z",
             "1970-01-01T00:00:00.000Z", "1969-12-31T23:59:59.999Z", "0001-01-01T00:00:00Z",
             "9999-12-31T23:59:59.999Z", "1600-03-01T00:00:00Z"}) {
        const std::optional<QDateTime> fast = parseIsoDate(text);
        const QDateTime qt = qtParse(text);
        ASSERT_TRUE(qt.isValid()) << text;
        ASSERT_TRUE(fast.has_value()) << text;
        EXPECT_EQ(fast->toMSecsSinceEpoch(), qt.toMSecsSinceEpoch()) << text;
        EXPECT_EQ(fast->timeSpec(), Qt::UTC) << text;
    }
}

TEST(IsoDate, refusesGarbageAndImpossibleDates)
{
    for (const char *text : {
             "", "Z", "yesterday", "2026-03-01", "2026-03-01T12:00Z", "2026-03-01 12:00:00Z",
             "2026-3-01T12:00:00Z", "2026-03-01T12:00:00.Z", "2026-03-01T12:00:00.123", "2026-03-01T12:00:00",
             "2026-03-01T12:00:00.123ZZ", "2026-03-01T12:00:00Z ", " 2026-03-01T12:00:00Z",
             "2026-02-29T00:00:00Z", "1900-02-29T00:00:00Z", "2026-04-31T00:00:00Z", "2026-13-01T00:00:00Z",
             "2026-00-10T00:00:00Z", "2026-01-00T00:00:00Z", "2026-03-01T24:00:00Z", "2026-03-01T12:60:00Z",
             "2026-03-01T12:00:60Z", "2026-03-01T12:00:00+24:00", "2026-03-01T12:00:00+01:60",
             "2026-03-01T12:00:00+1", "2026-03-01T12:00:00+01:3", "2026-03-01T12:00:00+01:300",
             "+2026-03-01T12:00:00Z", "2026-03-01T12:00:00.1-2Z", "２０２６-03-01T12:00:00Z"}) {
        EXPECT_FALSE(parseIsoDate(text).has_value()) << text;
    }
    // QDateTime reads a time without a zone as local time; the protocol always carries one,
    // so such a text is refused rather than read in this Mac's zone.
    EXPECT_TRUE(qtParse("2026-03-01T12:00:00").isValid());
}

TEST(IsoDate, writesWhatItReads)
{
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1772366400123, Qt::UTC);
    EXPECT_EQ(SwitcherProtocol::isoDate(date), "2026-03-01T12:00:00.123Z");
    const QString text = SwitcherProtocol::isoDate(date);
    EXPECT_EQ(parseIsoDate(text.toStdString()), date);
}
