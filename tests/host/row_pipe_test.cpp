// tests/host/row_pipe_test.cpp: reading a table's rows ahead on a thread of
// their own: every row once, in order, whole; giving up; long values.
#include "Database.h"
#include "RowPipe.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <stdio.h>

// Table t, the rows the query selects from k(i) for i from 1 to n: a
// temporary table, which a database opened read-only still takes.
struct TestTable {
    Database db;
    TableReader reader;

    TestTable(int n, const std::string& query)
    {
        std::string error,
            sql = "CREATE TEMP TABLE t AS WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                  "FROM k WHERE i < " +
                  std::to_string(n) + ") " + query;
        EXPECT_TRUE(db.Open(":memory:", &error)) << error;
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(db.Handle(), sql.c_str(), nullptr, nullptr, nullptr))
            << db.LastError();
        EXPECT_TRUE(reader.Open(db, "t", &error)) << error;
    }
};

// The values of a row, each followed by '|'.
static std::string RowText(const RowBatch& batch, int row, int fields)
{
    std::string text;
    for (int i = 0; i < fields; ++i)
        text += Narrow(WString(batch.Value(row, i).Text(), batch.Value(row, i).Length())) + "|";
    return text;
}

// 20,000 rows of an integer, a text that grows with the row, NULL and a
// real: many batches, each value checked where it lands.
TEST(RowPipe, EveryRowArrivesOnceInOrderOrTheReadingStops)
{
    TestTable table(20000, "SELECT i - 5 AS n, 'Straße ' || substr(hex(zeroblob(i % 50)), 1, i % 97) AS s,"
                           " NULL AS e, i / 4.0 AS r FROM k");
    RowPipe rows(table.reader);
    int64_t n = 0;
    int batches = 0;
    for (const RowBatch* pBatch; (pBatch = rows.Next()) != nullptr; ++batches) {
        for (int r = 0; r < pBatch->Rows(); ++r) {
            ++n;
            char real[32];
            snprintf(real, sizeof real, n % 4 ? "%.15g" : "%.15g.0", n / 4.0);
            std::string zeros(std::min<int64_t>(2 * (n % 50), n % 97), '0');
            ASSERT_EQ(std::to_string(n - 5) + "|Straße " + zeros + "||" + real + "|", RowText(*pBatch, r, 4));
        }
    }
    EXPECT_EQ(20000, n);
    EXPECT_GT(batches, 2) << "the rows came in several batches";
    EXPECT_EQ(RowPipe::kTableEnd, rows.Ending());
    EXPECT_EQ(nullptr, rows.Next()) << "the end stays the end";

    // The export stops at a failed record and destroys the pipe while its
    // thread may still be reading ahead: that must neither hang nor touch
    // the reader after it is gone.
    for (int taken = 0; taken < 3; ++taken) {
        TableReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(table.db, "t", &error)) << error;
        RowPipe given(reader);
        for (int i = 0; i < taken; ++i)
            ASSERT_NE(nullptr, given.Next());
    }
}

// Values of 100,000 units each: a batch ends as soon as it holds enough
// units, so it never holds many of them; each arrives whole.
TEST(RowPipe, LongValuesEndABatchEarly)
{
    TestTable table(40, "SELECT printf('%d', i) || hex(zeroblob(50000)) FROM k");
    RowPipe rows(table.reader);
    int n = 0;
    while (const RowBatch* pBatch = rows.Next()) {
        ASSERT_LE(pBatch->Rows(), 1) << "a long value ends its batch";
        for (int r = 0; r < pBatch->Rows(); ++r)
            ASSERT_EQ(std::to_string(++n) + std::string(100000, '0') + "|", RowText(*pBatch, r, 1));
    }
    EXPECT_EQ(40, n);
}
