#include "db/SqlResultSet.h"

#include <sqlite3.h>

#include <cstring>

#include "db/SqlDatabase.h"
#include "platform/DateFormatter.h"
#include "db/SqlLog.h"
#include "db/SqlStatement.h"
#include "db/SqlText.h"
#include "platform/TextEncoding.h"

std::shared_ptr<SqlResultSet> SqlResultSet::resultSetWithStatement(std::shared_ptr<SqlStatement> statement,
                                                                   SqlDatabase* parentDB) {
    std::shared_ptr<SqlResultSet> rs(new SqlResultSet());
    rs->_statement = std::move(statement);
    rs->_columnCount = rs->handle() ? sqlite3_column_count(rs->handle()) : 0;
    rs->setParentDB(parentDB);
    if (rs->_statement) rs->_statement->setInUse(true);
    return rs;
}

SqlResultSet::~SqlResultSet() { close(); }

void SqlResultSet::setStatement(std::shared_ptr<SqlStatement> statement) {
    _statement = std::move(statement);
    _columnCount = handle() ? sqlite3_column_count(handle()) : 0;
    _columnNameToIndexMap.reset();
    _lookups.clear();
    _lookupHint = 0;
}

void SqlResultSet::setParentDB(SqlDatabase* db) {
    _parentDB = db;
    // Hold the connection when it is shared-owned; a connection that is not
    // (one on the stack) detaches its cursors when it closes.
    _parentOwner = db ? db->weak_from_this().lock() : nullptr;
}

void SqlResultSet::close() {
    if (_statement) {
        _statement->reset();
        _statement.reset();
    }
    _columnCount = 0;
    if (_parentDB) _parentDB->resultSetDidClose(this);
    _parentDB = nullptr;
    // Last: this may let go of the connection.
    auto owner = std::move(_parentOwner);
    _parentOwner.reset();
}

bool SqlResultSet::next() { return nextWithError(nullptr); }

bool SqlResultSet::nextWithError(std::optional<SqlError>* error) {
    if (_statement && !handle()) {
        // An empty statement text: a result without rows.
        close();
        return false;
    }
    if (_parentDB) _parentDB->clearOwnError();
    int rc = sqlite3_step(handle());
    if (rc == SQLITE_ROW) {
        // SQLite may have prepared the statement again (after a change of the
        // schema) with other columns: the count and names follow it.
        const int count = sqlite3_column_count(handle());
        if (count != _columnCount) {
            _columnCount = count;
            _columnNameToIndexMap.reset();
            _lookups.clear();
            _lookupHint = 0;
        }
        return true;
    }
    sqlite3* db = _parentDB ? _parentDB->sqliteHandle() : nullptr;
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);

    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        SqlLog::write(std::string("SqlResultSet::nextWithError:") + std::to_string(__LINE__) + " Database busy (" +
                      (_parentDB ? _parentDB->databasePath().value_or("(null)") : std::string("(null)")) + ")");
        SqlLog::write("Database busy");
        if (error && _parentDB) *error = _parentDB->lastError();
    } else if (rc == SQLITE_DONE || rc == SQLITE_ROW) {
        // normal
    } else if (rc == SQLITE_ERROR) {
        SqlLog::write("Error calling sqlite3_step (" + std::to_string(rc) + ": " + message + ") rs");
        if (error && _parentDB) *error = _parentDB->lastError();
    } else if (rc == SQLITE_MISUSE) {
        SqlLog::write("Error calling sqlite3_step (" + std::to_string(rc) + ": " + message + ") rs");
        if (error) {
            if (_parentDB)
                *error = _parentDB->lastError();
            else
                *error = SqlError{"SqlDatabase", SQLITE_MISUSE, "parentDB does not exist"};
        }
    } else {
        SqlLog::write("Unknown error calling sqlite3_step (" + std::to_string(rc) + ": " + message + ") rs");
        if (error && _parentDB) *error = _parentDB->lastError();
    }

    if (rc != SQLITE_ROW) close();
    return rc == SQLITE_ROW;
}

bool SqlResultSet::hasAnotherRow() const {
    if (!_parentDB || !_parentDB->sqliteHandle()) return false;
    return sqlite3_errcode(_parentDB->sqliteHandle()) == SQLITE_ROW;
}

int SqlResultSet::columnCount() const { return handle() ? sqlite3_column_count(handle()) : 0; }

std::string SqlResultSet::columnNameForIndex(int columnIdx) const {
    if (!validIndex(columnIdx)) return std::string();
    const char* name = sqlite3_column_name(handle(), columnIdx);
    return name ? name : "";
}

const SqlResultSet::NameMap& SqlResultSet::columnNameToIndexMap() {
    if (!_columnNameToIndexMap) {
        _columnNameToIndexMap.emplace();
        int count = columnCount();
        for (int i = 0; i < count; ++i) {
            const char* name = sqlite3_column_name(handle(), i);
            (*_columnNameToIndexMap)[SqlText::lowercase(name ? name : "")] = i;
        }
    }
    return *_columnNameToIndexMap;
}

int SqlResultSet::searchColumnIndex(std::string_view columnName) {
    const std::size_t n = _lookups.size();
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t i = _lookupHint + k;
        if (i >= n) i -= n;
        const Lookup& e = _lookups[i];
        if (sameName(e.name, columnName)) {
            _lookupHint = i + 1 == n ? 0 : i + 1;
            return e.index;
        }
    }
    std::string lower = SqlText::lowercase(columnName);
    const NameMap& map = columnNameToIndexMap();
    auto it = map.find(lower);
    if (it != map.end()) {
        // Bounded, so that many spellings cannot make the search slow.
        if (n < 64) {
            _lookups.push_back({std::string(columnName), it->second});
            _lookupHint = 0;
        }
        return it->second;
    }
    SqlLog::write("Warning: I could not find the column named '" + lower + "'.");
    return -1;
}

// ------------------------------------------------------------- by index

// SQLite itself reads NULL as 0, 0.0 or no text: the number and text getters
// need no separate type check (each column call takes the connection's lock).

long long SqlResultSet::longLongIntForColumnIndex(int columnIdx) const {
    if (!validIndex(columnIdx)) return 0;
    return sqlite3_column_int64(handle(), columnIdx);
}

unsigned long long SqlResultSet::unsignedLongLongIntForColumnIndex(int columnIdx) const {
    return static_cast<unsigned long long>(longLongIntForColumnIndex(columnIdx));
}

bool SqlResultSet::boolForColumnIndex(int columnIdx) const { return intForColumnIndex(columnIdx) != 0; }

std::optional<std::string> SqlResultSet::stringForColumnIndex(int columnIdx) const {
    auto text = stringViewForColumnIndex(columnIdx);
    if (!text) return std::nullopt;
    return std::string(*text);
}

std::optional<std::string_view> SqlResultSet::stringViewForColumnIndex(int columnIdx) const {
    if (!validIndex(columnIdx)) return std::nullopt;
    const unsigned char* c = sqlite3_column_text(handle(), columnIdx);
    if (!c) return std::nullopt;
    int n = sqlite3_column_bytes(handle(), columnIdx);
    const std::string_view text(reinterpret_cast<const char*>(c), static_cast<std::size_t>(n));
    if (!platform::TextEncoding::isAscii(text) && !platform::TextEncoding::isValidUtf8(text)) return std::nullopt;
    return text;
}

std::optional<SqlValue::Date> SqlResultSet::dateForColumnIndex(int columnIdx) const {
    if (!validIndex(columnIdx) || sqlite3_column_type(handle(), columnIdx) == SQLITE_NULL) return std::nullopt;
    if (_parentDB && _parentDB->hasDateFormatter()) {
        auto text = stringForColumnIndex(columnIdx);
        if (!text) return std::nullopt;
        return _parentDB->dateFromString(*text);
    }
    double secs = doubleForColumnIndex(columnIdx);
    return SqlValue::Date(secs);
}

std::optional<SqlValue::Blob> SqlResultSet::dataForColumnIndex(int columnIdx) const {
    if (!validIndex(columnIdx) || sqlite3_column_type(handle(), columnIdx) == SQLITE_NULL) return std::nullopt;
    const void* bytes = sqlite3_column_blob(handle(), columnIdx);
    int n = sqlite3_column_bytes(handle(), columnIdx);
    if (!bytes) return std::nullopt;
    auto* p = static_cast<const std::uint8_t*>(bytes);
    return SqlValue::Blob(p, p + n);
}

std::optional<std::span<const std::uint8_t>> SqlResultSet::dataNoCopyForColumnIndex(int columnIdx) const {
    if (!validIndex(columnIdx) || sqlite3_column_type(handle(), columnIdx) == SQLITE_NULL) return std::nullopt;
    const void* bytes = sqlite3_column_blob(handle(), columnIdx);
    int n = sqlite3_column_bytes(handle(), columnIdx);
    if (!bytes) return std::span<const std::uint8_t>();
    return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(n));
}

const char* SqlResultSet::UTF8StringForColumnIndex(int columnIdx) const {
    if (!validIndex(columnIdx)) return nullptr;
    return reinterpret_cast<const char*>(sqlite3_column_text(handle(), columnIdx));
}

bool SqlResultSet::columnIndexIsNull(int columnIdx) const {
    if (!validIndex(columnIdx)) return true;
    return sqlite3_column_type(handle(), columnIdx) == SQLITE_NULL;
}

std::optional<SqlValue> SqlResultSet::objectForColumnIndex(int columnIdx) const {
    if (!validIndex(columnIdx)) return std::nullopt;
    std::optional<SqlValue> value;
    switch (sqlite3_column_type(handle(), columnIdx)) {
        case SQLITE_INTEGER:
            value = SqlValue(static_cast<std::int64_t>(sqlite3_column_int64(handle(), columnIdx)));
            break;
        case SQLITE_FLOAT:
            value = SqlValue(sqlite3_column_double(handle(), columnIdx));
            break;
        case SQLITE_BLOB:
            if (auto data = dataForColumnIndex(columnIdx)) value = SqlValue(std::move(*data));
            break;
        case SQLITE_TEXT:
            if (auto text = stringForColumnIndex(columnIdx)) value = SqlValue(std::move(*text));
            break;
        default:
            break;
    }
    if (!value) return SqlValue::null();
    return value;
}

// --------------------------------------------------------------- by name

long long SqlResultSet::longLongIntForColumn(std::string_view n) {
    return longLongIntForColumnIndex(columnIndexForName(n));
}
unsigned long long SqlResultSet::unsignedLongLongIntForColumn(std::string_view n) {
    return unsignedLongLongIntForColumnIndex(columnIndexForName(n));
}
bool SqlResultSet::boolForColumn(std::string_view n) { return boolForColumnIndex(columnIndexForName(n)); }
std::optional<SqlValue::Date> SqlResultSet::dateForColumn(std::string_view n) {
    return dateForColumnIndex(columnIndexForName(n));
}
std::optional<SqlValue::Blob> SqlResultSet::dataForColumn(std::string_view n) {
    return dataForColumnIndex(columnIndexForName(n));
}
std::optional<std::span<const std::uint8_t>> SqlResultSet::dataNoCopyForColumn(std::string_view n) {
    return dataNoCopyForColumnIndex(columnIndexForName(n));
}
const char* SqlResultSet::UTF8StringForColumn(std::string_view n) {
    return UTF8StringForColumnIndex(columnIndexForName(n));
}
const char* SqlResultSet::UTF8StringForColumnName(std::string_view n) { return UTF8StringForColumn(n); }
bool SqlResultSet::columnIsNull(std::string_view n) { return columnIndexIsNull(columnIndexForName(n)); }
std::optional<SqlValue> SqlResultSet::objectForColumn(std::string_view n) {
    return objectForColumnIndex(columnIndexForName(n));
}
std::optional<SqlValue> SqlResultSet::objectForColumnName(std::string_view n) { return objectForColumn(n); }

// ------------------------------------------------------------- whole row

std::optional<SqlResultSet::RowMap> SqlResultSet::resultDictionary() const {
    if (!handle() || sqlite3_data_count(handle()) == 0) {
        SqlLog::write("Warning: There seem to be no columns in this set.");
        return std::nullopt;
    }
    RowMap row;
    int count = columnCount();
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(handle(), i);
        row[name ? name : ""] = objectForColumnIndex(i).value_or(SqlValue::null());
    }
    return row;
}

std::optional<SqlResultSet::RowMap> SqlResultSet::resultDict() {
    if (!handle() || sqlite3_data_count(handle()) == 0) {
        SqlLog::write("Warning: There seem to be no columns in this set.");
        return std::nullopt;
    }
    RowMap row;
    for (const auto& [name, idx] : columnNameToIndexMap())
        row[name] = objectForColumnIndex(idx).value_or(SqlValue::null());
    return row;
}

void SqlResultSet::kvcMagic(const std::function<void(const std::string&, const std::string&)>& setter) {
    int count = columnCount();
    for (int i = 0; i < count; ++i) {
        const char* c = UTF8StringForColumnIndex(i);
        if (!c) continue;
        setter(columnNameForIndex(i), c);
    }
}
