// tests/host/row_pipe_test.cpp: reading a table's rows ahead on a thread of
// their own. Every row arrives once, in order, with its values whole, over
// many batches; long values end a batch early; and a pipe given up in the
// middle of a table stops its thread.
#include "Database.h"
#include "RowPipe.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <stdio.h>

#include <string>

namespace
{

// A database file made for one test and removed after it.
class TestDatabase
{
public:
    explicit TestDatabase(const char* sql)
    {
        m_path = ::testing::TempDir() + "row_pipe_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db";
        remove(m_path.c_str());
        sqlite3* pDb = nullptr;
        EXPECT_EQ(SQLITE_OK, sqlite3_open(m_path.c_str(), &pDb));
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(pDb, sql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(pDb);
        sqlite3_close(pDb);
    }
    ~TestDatabase() { remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// The table t of the test's database, open for reading.
struct OpenTable {
    Database db;
    TableReader reader;
    explicit OpenTable(const TestDatabase& file)
    {
        std::string error;
        EXPECT_TRUE(db.Open(file.Path(), &error)) << error;
        EXPECT_TRUE(reader.Open(db, "t", &error)) << error;
    }
};

std::string TextAt(const RowBatch& batch, int row, int field)
{
    const FieldText& value = batch.Value(row, field);
    return Narrow(WString(value.Text(), value.Length()));
}

// 20,000 rows of an integer, a text that grows with the row, NULL and a
// real: many batches, each value checked where it lands.
TEST(RowPipe, EveryRowArrivesOnceInOrder)
{
    TestDatabase file("CREATE TABLE t (n INTEGER, s TEXT, e TEXT, r REAL);"
                      "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 20000)"
                      "INSERT INTO t SELECT i - 5, 'Stra\xC3\x9F"
                      "e ' || substr(hex(zeroblob(i % 50)), 1, i % 97),"
                      " NULL, i / 4.0 FROM k;");
    OpenTable table(file);
    RowPipe rows(table.reader);
    int64_t n = 0;
    int batches = 0;
    while (const RowBatch* pBatch = rows.Next()) {
        ++batches;
        for (int r = 0; r < pBatch->Rows(); ++r) {
            ++n;
            ASSERT_EQ(std::to_string(n - 5), TextAt(*pBatch, r, 0)) << "row " << n;
            std::string zeros(std::min<int64_t>(2 * (n % 50), n % 97), '0');
            ASSERT_EQ("Stra\xC3\x9F"
                      "e " +
                          zeros,
                      TextAt(*pBatch, r, 1))
                << "row " << n;
            ASSERT_EQ(0u, pBatch->Value(r, 2).Length()) << "row " << n;
            char real[32];
            snprintf(real, sizeof real, "%.15g", n / 4.0);
            std::string expected = real;
            if (expected.find_first_of(".e") == std::string::npos)
                expected += ".0";
            ASSERT_EQ(expected, TextAt(*pBatch, r, 3)) << "row " << n;
        }
    }
    EXPECT_EQ(20000, n);
    EXPECT_GT(batches, 2) << "the rows came in several batches";
    EXPECT_EQ(RowPipe::kTableEnd, rows.Ending());
    EXPECT_EQ(nullptr, rows.Next()) << "the end stays the end";
}

// Values of 100,000 units each: a batch ends as soon as it holds enough
// units, so it never holds many of them; each arrives whole.
TEST(RowPipe, LongValuesEndABatchEarly)
{
    TestDatabase file("CREATE TABLE t (s TEXT);"
                      "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 40)"
                      "INSERT INTO t SELECT printf('%d', i) || hex(zeroblob(50000)) FROM k;");
    OpenTable table(file);
    RowPipe rows(table.reader);
    int n = 0;
    while (const RowBatch* pBatch = rows.Next()) {
        EXPECT_LE(pBatch->Rows(), 1) << "a long value ends its batch";
        for (int r = 0; r < pBatch->Rows(); ++r) {
            ++n;
            std::string expected = std::to_string(n) + std::string(100000, '0');
            ASSERT_EQ(expected, TextAt(*pBatch, r, 0)) << "row " << n;
        }
    }
    EXPECT_EQ(40, n);
}

// The export stops at a failed record and destroys the pipe while its
// thread may still be reading ahead: that must neither hang nor touch the
// reader after it is gone.
TEST(RowPipe, GivenUpInTheMiddleStopsReading)
{
    TestDatabase file("CREATE TABLE t (n INTEGER);"
                      "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 200000)"
                      "INSERT INTO t SELECT i FROM k;");
    Database db;
    std::string error;
    ASSERT_TRUE(db.Open(file.Path(), &error)) << error;
    for (int taken = 0; taken < 3; ++taken) {
        SCOPED_TRACE(taken);
        TableReader reader;
        ASSERT_TRUE(reader.Open(db, "t", &error)) << error;
        RowPipe rows(reader);
        for (int i = 0; i < taken; ++i)
            ASSERT_NE(nullptr, rows.Next());
    }
}

} // namespace
