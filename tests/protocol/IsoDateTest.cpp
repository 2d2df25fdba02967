#include "ProtocolFixtures.h"

using namespace ProtocolFixtures;

TEST(IsoDate, agreesWithQDateTimeWhereBothAcceptAndWritesUtcWithMilliseconds)
{
    for (const char *text :
         {"2026-03-01T12:00:00.000Z",  "2026-03-01T12:00:00Z",          "2026-03-01T12:00:00.5Z",
          "2026-03-01T12:00:00.1234Z", // extra digits round to the millisecond
          "2026-03-01T12:00:00.9996Z", // and can carry into the next second
          "2026-12-31T23:59:59.9999Z", // or the next year
          "2026-03-01T12:00:00+01:30", "2026-03-01T12:00:00.250-05:00", "2026-03-01T00:30:00+14:00",
          "2026-03-01T12:00:00-00:00", "2026-03-01T12:00:00+0130",      "2026-03-01t12:00:00z",
          "2026-03-01T12:00:00,5Z",    "2024-02-29T23:59:59.999Z",      "2000-02-29T00:00:00Z",
          "1970-01-01T00:00:00.000Z",  "1969-12-31T23:59:59.999Z",      "0001-01-01T00:00:00Z",
          "9999-12-31T23:59:59.999Z",  "1600-03-01T00:00:00Z"}) {
        const QDateTime qt = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
        const std::optional<QDateTime> fast = parseIsoDate(text);
        ASSERT_TRUE(qt.isValid() && fast.has_value()) << text;
        EXPECT_EQ(fast->toMSecsSinceEpoch(), qt.toMSecsSinceEpoch()) << text;
        EXPECT_EQ(fast->timeSpec(), Qt::UTC) << text;
    }
    const QDateTime berlin = QDateTime::fromString("2026-03-01T13:00:00.250+01:00", Qt::ISODateWithMs);
    EXPECT_EQ(isoDate(berlin), "2026-03-01T12:00:00.250Z");
    EXPECT_EQ(parseIsoDate(isoDate(berlin).toStdString()), berlin);
    EXPECT_EQ(isoDate(QDateTime()), QString());
}

TEST(IsoDate, refusesGarbageImpossibleDatesAndTimesWithoutAZone)
{
    // QDateTime would read a time without a zone as this Mac's local time; the protocol always
    // carries one, so such a text is refused.
    for (const char *text :
         {// Garbage, the wrong shape, no zone, anything around the date.
          "", "Z", "yesterday", "2026-03-01", "2026-03-01T12:00Z", "2026-03-01 12:00:00Z",
          "2026-3-01T12:00:00Z", "2026-03-01T12:00:00.Z", "2026-03-01T12:00:00.123", "2026-03-01T12:00:00",
          "2026-03-01T12:00:00.123ZZ", "2026-03-01T12:00:00Z ", " 2026-03-01T12:00:00Z",
          // Days, times and offsets that do not exist.
          "2026-02-29T00:00:00Z", "1900-02-29T00:00:00Z", "2026-04-31T00:00:00Z", "2026-13-01T00:00:00Z",
          "2026-00-10T00:00:00Z", "2026-01-00T00:00:00Z", "2026-03-01T24:00:00Z", "2026-03-01T12:60:00Z",
          "2026-03-01T12:00:60Z", "2026-03-01T12:00:00+24:00", "2026-03-01T12:00:00+01:60",
          "2026-03-01T12:00:00+1", "2026-03-01T12:00:00+01:3", "2026-03-01T12:00:00+01:300",
          "+2026-03-01T12:00:00Z", "2026-03-01T12:00:00.1-2Z", "２０２６-03-01T12:00:00Z"})
        EXPECT_FALSE(parseIsoDate(text).has_value()) << text;
}
