// Counts read as English reads them: "1 row", "2 rows", through the English catalogue of plural
// forms that the app loads.
#include "CountTexts.h"

#include <gtest/gtest.h>

TEST(CountTexts, EachIsSingularForOneAndPluralForNoneTwoAndMany)
{
    for (const CountTexts::CountText &t : CountTexts::all()) {
        for (const int n : CountTexts::counts) {
            const QString expected = n == 1 ? t.one : n == 0 && t.zero ? *t.zero : QString(t.many).arg(n);
            EXPECT_EQ(t.text(n), expected) << t.name << " with " << n;
        }
    }
}
