// SqlDatabase: single-value queries, schema questions, header numbers and
// the syntax check.
#include <sqlite3.h>

#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlText.h"

// Runs the query and leaves the cursor on its first row, or answers nullptr
// (no row, or the query failed).
std::shared_ptr<SqlResultSet> SqlDatabase::queryFirstRow(const std::string& sql, const Values& values) {
    auto rs = executeQuery(sql, values);
    if (!rs || !rs->next()) return nullptr;
    return rs;
}

namespace {

// Closes the cursor and detaches it from its connection once column 0 is read.
template <class F>
auto readFirst(const std::shared_ptr<SqlResultSet>& rs, F read) {
    auto value = read(*rs);
    rs->close();
    return value;
}

}  // namespace

std::optional<std::string> SqlDatabase::stringForQuery(const std::string& sql, const Values& values) {
    auto rs = queryFirstRow(sql, values);
    if (!rs) return std::nullopt;
    return readFirst(rs, [](SqlResultSet& r) { return r.stringForColumnIndex(0); });
}

int SqlDatabase::intForQuery(const std::string& sql, const Values& values) {
    auto rs = queryFirstRow(sql, values);
    if (!rs) return 0;
    return readFirst(rs, [](SqlResultSet& r) { return r.intForColumnIndex(0); });
}

long SqlDatabase::longForQuery(const std::string& sql, const Values& values) {
    auto rs = queryFirstRow(sql, values);
    if (!rs) return 0;
    return readFirst(rs, [](SqlResultSet& r) { return r.longForColumnIndex(0); });
}

bool SqlDatabase::boolForQuery(const std::string& sql, const Values& values) {
    auto rs = queryFirstRow(sql, values);
    if (!rs) return false;
    return readFirst(rs, [](SqlResultSet& r) { return r.boolForColumnIndex(0); });
}

double SqlDatabase::doubleForQuery(const std::string& sql, const Values& values) {
    auto rs = queryFirstRow(sql, values);
    if (!rs) return 0.0;
    return readFirst(rs, [](SqlResultSet& r) { return r.doubleForColumnIndex(0); });
}

std::optional<SqlValue::Blob> SqlDatabase::dataForQuery(const std::string& sql, const Values& values) {
    auto rs = queryFirstRow(sql, values);
    if (!rs) return std::nullopt;
    return readFirst(rs, [](SqlResultSet& r) { return r.dataForColumnIndex(0); });
}

std::optional<SqlValue::Date> SqlDatabase::dateForQuery(const std::string& sql, const Values& values) {
    auto rs = queryFirstRow(sql, values);
    if (!rs) return std::nullopt;
    return readFirst(rs, [](SqlResultSet& r) { return r.dateForColumnIndex(0); });
}

bool SqlDatabase::tableExists(const std::string& tableName) {
    auto rs = executeQuery("select [sql] from sqlite_master where [type] = 'table' and lower(name) = ?",
                           {SqlText::lowercase(tableName)});
    if (!rs) return false;
    bool found = rs->next();
    rs->close();
    return found;
}

std::shared_ptr<SqlResultSet> SqlDatabase::getSchema() {
    return executeQuery(
        "SELECT type, name, tbl_name, rootpage, sql FROM (SELECT * FROM sqlite_master UNION ALL SELECT * FROM "
        "sqlite_temp_master) WHERE type != 'meta' AND name NOT LIKE 'sqlite_%' ORDER BY tbl_name, type DESC, name");
}

std::shared_ptr<SqlResultSet> SqlDatabase::getTableSchema(const std::string& tableName) {
    // The name is spliced into a quoted literal: its quotes are doubled.
    return executeQuery("pragma table_info('" + SqlText::quoteEscaped(tableName) + "')");
}

bool SqlDatabase::columnExists(const std::string& columnName, const std::string& tableName) {
    std::string table = SqlText::lowercase(tableName);
    std::string column = SqlText::lowercase(columnName);
    auto rs = getTableSchema(table);
    if (!rs) return false;
    bool found = false;
    while (rs->next()) {
        auto name = rs->stringForColumn("name");
        if (name && SqlText::lowercase(*name) == column) {
            found = true;
            break;
        }
    }
    rs->close();
    return found;
}

bool SqlDatabase::columnExistsInTable(const std::string& tableName, const std::string& columnName) {
    return columnExists(columnName, tableName);
}

std::uint32_t SqlDatabase::applicationID() {
    std::uint32_t r = 0;
    auto rs = executeQuery("pragma application_id");
    if (rs) {
        if (rs->next()) r = static_cast<std::uint32_t>(rs->longLongIntForColumnIndex(0));
        rs->close();
    }
    return r;
}

void SqlDatabase::setApplicationID(std::uint32_t appID) {
    auto rs = executeQuery("pragma application_id=" + std::to_string(static_cast<std::int32_t>(appID)));
    if (rs) {
        rs->next();
        rs->close();
    }
}

std::uint32_t SqlDatabase::userVersion() {
    std::uint32_t r = 0;
    auto rs = executeQuery("pragma user_version");
    if (rs) {
        if (rs->next()) r = static_cast<std::uint32_t>(rs->longLongIntForColumnIndex(0));
        rs->close();
    }
    return r;
}

void SqlDatabase::setUserVersion(std::uint32_t version) {
    auto rs = executeQuery("pragma user_version = " + std::to_string(static_cast<std::int32_t>(version)));
    if (rs) {
        rs->next();
        rs->close();
    }
}

bool SqlDatabase::validateSQL(const std::string& sql, ErrorOut error) {
    clearOwnError();
    sqlite3_stmt* pStmt = nullptr;
    bool ok = true;
    int rc = requireHandle() ? sqlite3_prepare_v2(_db, sql.c_str(), -1, &pStmt, nullptr) : SQLITE_MISUSE;
    if (rc != SQLITE_OK) {
        ok = false;
        if (error) *error = SqlError{"general", lastErrorCode(), lastErrorMessage()};
    }
    sqlite3_finalize(pStmt);
    return ok;
}
