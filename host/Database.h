// host/Database.h: the SQLite database that ferlo-export reads: its tables
// and, row by row, the text of every value.
#pragma once

#include "HostFields.h"

#include <stdint.h>

#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class Database
{
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens read-only, so a mistyped name is an error and never leaves a new,
    // empty database behind. A file that is not a database fails here too.
    bool Open(const std::string& path, std::string* pError);

    // The user tables, in the order in which they were created.
    bool UserTables(std::vector<std::string>* pNames, std::string* pError);

    // The table or view of that name as the schema spells it; names match
    // without regard to ASCII case, as in SQL. Empty when there is none.
    bool FindTable(const std::string& name, std::string* pFound, std::string* pError);

    sqlite3* Handle() const { return m_pDb; }
    bool StoresUtf16() const { return m_bUtf16; }
    std::string LastError() const;

private:
    bool ReadEncoding();

    sqlite3* m_pDb = nullptr;
    bool m_bUtf16 = false;
};

// The rows of one table, in the table's own order.
class TableReader
{
public:
    enum StepResult { kRow, kDone, kError };

    TableReader() = default;
    ~TableReader();
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    bool Open(Database& db, const std::string& table, std::string* pError);

    const std::string& Table() const { return m_table; }
    int ColumnCount() const;
    std::string ColumnName(int i) const;
    // The first column of that name (ASCII case ignored), or -1.
    int FindColumn(const std::string& name) const;

    bool CountRows(int64_t* pCount, std::string* pError);
    StepResult Step();

    // The text of column i of the current row, as SQLite gives it: NULL is
    // the empty text, a BLOB its bytes read as text. False when no memory
    // can be had.
    bool Load(int i, FieldText& text) const;

    std::string LastError() const;

private:
    Database* m_pDb = nullptr;
    sqlite3_stmt* m_pStmt = nullptr;
    std::string m_table;
};
