// host/Database.cpp: reading SQLite. Every value's text is SQLite's own,
// taken in the database's encoding, UTF-8 or UTF-16, so that SQLite never
// converts a text for us: its conversion allocates for every value.
// Integers alone are written out by the host.
#include "Database.h"

#include <sqlite3.h>
#include <string.h>

namespace
{

std::string QuoteIdentifier(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

bool EqualIgnoringAsciiCase(const std::string& a, const char* b)
{
    size_t n = strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x >= 'A' && x <= 'Z' && x + 32 == y) && !(y >= 'A' && y <= 'Z' && y + 32 == x))
            return false;
    }
    return true;
}

bool LittleEndian()
{
    const uint16_t one = 1;
    unsigned char first;
    memcpy(&first, &one, 1);
    return first == 1;
}

// Runs a query whose rows are one text each.
bool QueryTexts(sqlite3* pDb, const char* pszSql, const std::string* pParam, std::vector<std::string>* pRows)
{
    sqlite3_stmt* pStmt = nullptr;
    int rc = sqlite3_prepare_v2(pDb, pszSql, -1, &pStmt, nullptr);
    if (rc == SQLITE_OK && pParam)
        rc = sqlite3_bind_text(pStmt, 1, pParam->data(), static_cast<int>(pParam->size()), SQLITE_TRANSIENT);
    while (rc == SQLITE_OK && (rc = sqlite3_step(pStmt)) == SQLITE_ROW) {
        const unsigned char* pText = sqlite3_column_text(pStmt, 0);
        pRows->emplace_back(pText ? reinterpret_cast<const char*>(pText) : "");
        rc = SQLITE_OK;
    }
    sqlite3_finalize(pStmt);
    return rc == SQLITE_DONE;
}

} // namespace

Database::~Database()
{
    sqlite3_close(m_pDb);
}

bool Database::Open(const std::string& path, std::string* pError)
{
    // One thread at a time uses the connection: without its mutex, every
    // value read saves a lock and an unlock.
    int rc = sqlite3_open_v2(path.c_str(), &m_pDb, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK || !ReadEncoding()) {
        *pError = "cannot open the database " + path + ": " + LastError();
        return false;
    }
    return true;
}

// Reading the encoding reads the file's header, which tells a database from
// any other file.
bool Database::ReadEncoding()
{
    std::vector<std::string> rows;
    if (!QueryTexts(m_pDb, "PRAGMA encoding", nullptr, &rows) || rows.size() != 1)
        return false;
    m_bUtf16 = rows[0] == "UTF-16le" && LittleEndian();
    return true;
}

bool Database::UserTables(std::vector<std::string>* pNames, std::string* pError)
{
    static const char kSql[] = "SELECT name FROM sqlite_master WHERE type = 'table' "
                               "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid";
    if (QueryTexts(m_pDb, kSql, nullptr, pNames))
        return true;
    *pError = "cannot read the list of tables: " + LastError();
    return false;
}

bool Database::FindTable(const std::string& name, std::string* pFound, std::string* pError)
{
    static const char kSql[] = "SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                               "AND name = ?1 COLLATE NOCASE ORDER BY rowid LIMIT 1";
    std::vector<std::string> rows;
    if (!QueryTexts(m_pDb, kSql, &name, &rows)) {
        *pError = "cannot read the list of tables: " + LastError();
        return false;
    }
    pFound->assign(rows.empty() ? std::string() : rows[0]);
    return true;
}

std::string Database::LastError() const
{
    return m_pDb ? sqlite3_errmsg(m_pDb) : "out of memory";
}

TableReader::~TableReader()
{
    sqlite3_finalize(m_pStmt);
}

bool TableReader::Open(Database& db, const std::string& table, std::string* pError)
{
    m_pDb = &db;
    m_table = table;
    std::string sql = "SELECT * FROM " + QuoteIdentifier(table);
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &m_pStmt, nullptr) == SQLITE_OK)
        return true;
    *pError = "cannot read the table " + table + ": " + LastError();
    return false;
}

int TableReader::ColumnCount() const
{
    return sqlite3_column_count(m_pStmt);
}

std::string TableReader::ColumnName(int i) const
{
    const char* pszName = sqlite3_column_name(m_pStmt, i);
    return pszName ? pszName : "";
}

int TableReader::FindColumn(const std::string& name) const
{
    for (int i = 0; i < ColumnCount(); ++i) {
        const char* pszName = sqlite3_column_name(m_pStmt, i);
        if (pszName && EqualIgnoringAsciiCase(name, pszName))
            return i;
    }
    return -1;
}

bool TableReader::CountRows(int64_t* pCount, std::string* pError)
{
    std::vector<std::string> rows;
    std::string sql = "SELECT count(*) FROM " + QuoteIdentifier(m_table);
    if (!QueryTexts(m_pDb->Handle(), sql.c_str(), nullptr, &rows) || rows.size() != 1) {
        *pError = "cannot count the rows of " + m_table + ": " + LastError();
        return false;
    }
    *pCount = strtoll(rows[0].c_str(), nullptr, 10);
    return true;
}

TableReader::StepResult TableReader::Step()
{
    int rc = sqlite3_step(m_pStmt);
    if (rc == SQLITE_ROW)
        return kRow;
    return rc == SQLITE_DONE ? kDone : kError;
}

// The column's value object serves all questions about it: each of
// sqlite3_column_type, _text and _bytes would look the column up again.
// Its value is unprotected, which is safe while one thread at a time uses
// the connection, as the export does.
bool TableReader::Load(int i, FieldText& text) const
{
    sqlite3_value* pValue = sqlite3_column_value(m_pStmt, i);
    switch (sqlite3_value_type(pValue)) {
    case SQLITE_NULL:
        return text.SetEmpty();
    case SQLITE_INTEGER:
        return text.SetInteger(sqlite3_value_int64(pValue));
    default:
        break;
    }
    if (m_pDb->StoresUtf16()) {
        const void* pUnits = sqlite3_value_text16(pValue);
        size_t nUnits = static_cast<size_t>(sqlite3_value_bytes16(pValue)) / sizeof(WCHAR);
        return pUnits ? text.SetUtf16(static_cast<const WCHAR*>(pUnits), nUnits) : text.SetEmpty();
    }
    const unsigned char* pBytes = sqlite3_value_text(pValue);
    size_t nBytes = static_cast<size_t>(sqlite3_value_bytes(pValue));
    return pBytes ? text.SetUtf8(reinterpret_cast<const char*>(pBytes), nBytes) : text.SetEmpty();
}

std::string TableReader::LastError() const
{
    return m_pDb->LastError();
}
