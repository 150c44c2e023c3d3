// tests/host/progress_test.cpp: the progress line: its figures, and a width
// that never makes a terminal wrap it.
#include "Progress.h"

#include <gtest/gtest.h>

TEST(FormatProgress, ShowsRowsRateAndTime)
{
    const struct {
        int64_t done, total;
        double seconds;
        int columns;
        const char* expected;
    } cases[] = {
        {0, 1000, 0.0, 120, "orders [------------------------------] 0%  0/1,000 rows  0/s  -:-- left"},
        {500000, 1000000, 2.0, 120,
         "orders [###############---------------] 50%  500,000/1,000,000 rows  250,000/s  0:02 left"},
        {1, 3726, 1.0, 120, "orders [------------------------------] 0%  1/3,726 rows  1/s  1:02:05 left"},
        {1000, 1000, 4.4, 120,
         "orders [##############################] 100%  1,000/1,000 rows  227/s  done in 0:04"},
        {0, 0, 0.0, 120, "orders [##############################] 100%  0/0 rows  0/s  done in 0:00"},
        {123456, 1000000, 3.5, 66,
         "orders 12%  123,456/1,000,000 rows  35,273/s  0:25 left"}, // no room for the bar
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, FormatProgress("orders", c.done, c.total, c.seconds, c.columns));
    // A name is cut between characters: "Заказы" takes two bytes a letter.
    EXPECT_EQ("Зака", FormatProgress("Заказы", 1, 2, 1.0, 10));
}

TEST(FormatProgress, FitsTheTerminalWithABarOfOneWidth)
{
    for (int columns = 2; columns <= 130; ++columns) {
        SCOPED_TRACE(columns);
        EXPECT_LE(FormatProgress("customers", 123456, 1000000, 3.5, columns).size(), size_t(columns - 1));
        // The figures grow as the table goes on; the bar must not shrink.
        size_t bar = FormatProgress("sales", 0, 1000000, 0.0, columns).find(']');
        for (int64_t done : {17408, 123456, 999999, 1000000})
            EXPECT_EQ(bar, FormatProgress("sales", done, 1000000, done / 125000.0, columns).find(']'));
    }
}
