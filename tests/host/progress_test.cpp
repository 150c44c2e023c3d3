// tests/host/progress_test.cpp: the layout of the progress line: its
// figures, and a width that never makes a terminal wrap it.
#include "Progress.h"

#include <gtest/gtest.h>

TEST(FormatProgress, ShowsRowsRateAndTime)
{
    const struct {
        const char* label;
        int64_t done;
        int64_t total;
        double seconds;
        const char* expected;
    } cases[] = {
        {"start", 0, 1000, 0.0, "orders [------------------------------] 0%  0/1,000 rows  0/s  -:-- left"},
        {"half way", 500000, 1000000, 2.0,
         "orders [###############---------------] 50%  500,000/1,000,000 rows  250,000/s  0:02 left"},
        {"an hour to go", 1, 3726, 1.0,
         "orders [------------------------------] 0%  1/3,726 rows  1/s  1:02:05 left"},
        {"done", 1000, 1000, 4.4,
         "orders [##############################] 100%  1,000/1,000 rows  227/s  done in 0:04"},
        {"an empty table", 0, 0, 0.0,
         "orders [##############################] 100%  0/0 rows  0/s  done in 0:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, FormatProgress("orders", c.done, c.total, c.seconds, 120));
    }
}

TEST(FormatProgress, FitsTheTerminal)
{
    for (int columns = 2; columns <= 130; ++columns) {
        SCOPED_TRACE(columns);
        std::string line = FormatProgress("customers", 123456, 1000000, 3.5, columns);
        EXPECT_LE(line.size(), static_cast<size_t>(columns - 1));
    }
    EXPECT_EQ("customers 12%  123,456/1,000,000 rows  35,273/s  0:25 left",
              FormatProgress("customers", 123456, 1000000, 3.5, 76))
        << "too narrow for the bar";
}

TEST(FormatProgress, KeepsTheBarWidthThroughATable)
{
    // The figures grow as the table goes on; the bar must not shrink.
    const struct {
        int64_t done;
        double seconds;
    } steps[] = {{0, 0.0}, {17408, 0.1}, {123456, 1.0}, {999999, 8.0}, {1000000, 8.0}};
    for (int columns : {80, 100, 120}) {
        SCOPED_TRACE(columns);
        size_t first = FormatProgress("sales", 0, 1000000, 0.0, columns).find(']');
        ASSERT_NE(std::string::npos, first) << "the bar is drawn at this width";
        for (const auto& step : steps)
            EXPECT_EQ(first, FormatProgress("sales", step.done, 1000000, step.seconds, columns).find(']'))
                << step.done << " rows";
    }
}

TEST(FormatProgress, CutsANameBetweenCharacters)
{
    // "Заказы" takes two bytes per letter; cut to 9 columns, 4 letters fit.
    std::string line = FormatProgress("Заказы", 1, 2, 1.0, 10);
    EXPECT_EQ("Зака", line);
}
