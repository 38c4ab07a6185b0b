#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/SqlError.h"
#include "db/SqlStatement.h"
#include "db/SqlValue.h"

class SqlDatabase;
class SqlStatement;

// Forward-only cursor over the rows of one query. Made by the query
// operations of SqlDatabase; read in a loop over next(), then closed (it
// also closes itself after the last row, on a stepping error and when it is
// destroyed). Column names are matched without regard to case.
class SqlResultSet {
public:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    using NameMap = std::unordered_map<std::string, int, NameHash, std::equal_to<>>;
    using RowMap = std::map<std::string, SqlValue>;

    static std::shared_ptr<SqlResultSet> resultSetWithStatement(std::shared_ptr<SqlStatement> statement,
                                                                SqlDatabase* parentDB);
    ~SqlResultSet();
    SqlResultSet(const SqlResultSet&) = delete;
    SqlResultSet& operator=(const SqlResultSet&) = delete;

    bool next();
    bool nextWithError(std::optional<SqlError>* error);
    bool hasAnotherRow() const;
    void close();

    int columnCount() const;
    std::string columnNameForIndex(int columnIdx) const;
    int columnIndexForName(std::string_view columnName) {
        // A row is usually read in the same order every time: the name asked
        // after the previous hit comes first, compared in line.
        if (_lookupHint < _lookups.size()) {
            const Lookup& e = _lookups[_lookupHint];
            if (sameName(e.name, columnName)) {
                _lookupHint = _lookupHint + 1 == _lookups.size() ? 0 : _lookupHint + 1;
                return e.index;
            }
        }
        return searchColumnIndex(columnName);
    }
    const NameMap& columnNameToIndexMap();

    int intForColumn(std::string_view columnName) { return intForColumnIndex(columnIndexForName(columnName)); }
    int intForColumnIndex(int columnIdx) const {
        return validIndex(columnIdx) ? sqlite3_column_int(handle(), columnIdx) : 0;
    }
    long longForColumn(std::string_view columnName) { return longForColumnIndex(columnIndexForName(columnName)); }
    long longForColumnIndex(int columnIdx) const {
        return validIndex(columnIdx) ? static_cast<long>(sqlite3_column_int64(handle(), columnIdx)) : 0;
    }
    long long longLongIntForColumn(std::string_view columnName);
    long long longLongIntForColumnIndex(int columnIdx) const;
    unsigned long long unsignedLongLongIntForColumn(std::string_view columnName);
    unsigned long long unsignedLongLongIntForColumnIndex(int columnIdx) const;
    bool boolForColumn(std::string_view columnName);
    bool boolForColumnIndex(int columnIdx) const;
    double doubleForColumn(std::string_view columnName) { return doubleForColumnIndex(columnIndexForName(columnName)); }
    double doubleForColumnIndex(int columnIdx) const {
        return validIndex(columnIdx) ? sqlite3_column_double(handle(), columnIdx) : 0.0;
    }
    std::optional<std::string> stringForColumn(std::string_view columnName) { return stringForColumnIndex(columnIndexForName(columnName)); }
    std::optional<std::string> stringForColumnIndex(int columnIdx) const;
    // As stringForColumnIndex, but SQLite's own text, valid only until the
    // cursor steps, resets or closes.
    std::optional<std::string_view> stringViewForColumnIndex(int columnIdx) const;
    std::optional<SqlValue::Date> dateForColumn(std::string_view columnName);
    std::optional<SqlValue::Date> dateForColumnIndex(int columnIdx) const;
    std::optional<SqlValue::Blob> dataForColumn(std::string_view columnName);
    std::optional<SqlValue::Blob> dataForColumnIndex(int columnIdx) const;
    // Valid only until the cursor steps, resets or closes.
    std::optional<std::span<const std::uint8_t>> dataNoCopyForColumn(std::string_view columnName);
    std::optional<std::span<const std::uint8_t>> dataNoCopyForColumnIndex(int columnIdx) const;
    // SQLite's own text, valid only until the cursor steps, resets or closes.
    const char* UTF8StringForColumn(std::string_view columnName);
    const char* UTF8StringForColumnName(std::string_view columnName);
    const char* UTF8StringForColumnIndex(int columnIdx) const;
    bool columnIsNull(std::string_view columnName);
    bool columnIndexIsNull(int columnIdx) const;
    // nullopt for "nothing"; SqlValue::null() for SQL NULL.
    std::optional<SqlValue> objectForColumn(std::string_view columnName);
    std::optional<SqlValue> objectForColumnName(std::string_view columnName);
    std::optional<SqlValue> objectForColumnIndex(int columnIdx) const;
    std::optional<SqlValue> operator[](int columnIdx) const { return objectForColumnIndex(columnIdx); }
    std::optional<SqlValue> operator[](std::string_view columnName) { return objectForColumn(columnName); }

    std::optional<RowMap> resultDictionary() const;
    std::optional<RowMap> resultDict();
    // Hands every non-NULL column's text to the setter under the column's name.
    void kvcMagic(const std::function<void(const std::string& name, const std::string& value)>& setter);

    SqlDatabase* parentDB() const { return _parentDB; }
    void setParentDB(SqlDatabase* db);
    const std::string& query() const { return _query; }
    void setQuery(std::string query) { _query = std::move(query); }
    const std::shared_ptr<SqlStatement>& statement() const { return _statement; }
    void setStatement(std::shared_ptr<SqlStatement> statement);

private:
    SqlResultSet() = default;
    // The count is fixed once the statement is prepared; should SQLite
    // re-prepare it after a schema change, it checks the index itself too.
    bool validIndex(int columnIdx) const { return handle() && columnIdx >= 0 && columnIdx < _columnCount; }
    int searchColumnIndex(std::string_view columnName);
    // Column names are short: compared in line, a word at a time.
    static bool sameName(const std::string& a, std::string_view b) {
        const std::size_t n = a.size();
        if (n != b.size()) return false;
        const char* p = a.data();
        const char* q = b.data();
        if (n >= 8) {
            std::uint64_t x, y;
            std::size_t i = 0;
            for (; i + 8 <= n; i += 8) {
                __builtin_memcpy(&x, p + i, 8);
                __builtin_memcpy(&y, q + i, 8);
                if (x != y) return false;
            }
            if (i == n) return true;
            __builtin_memcpy(&x, p + n - 8, 8);
            __builtin_memcpy(&y, q + n - 8, 8);
            return x == y;
        }
        if (n >= 4) {
            std::uint32_t x, y, u, v;
            __builtin_memcpy(&x, p, 4);
            __builtin_memcpy(&y, q, 4);
            __builtin_memcpy(&u, p + n - 4, 4);
            __builtin_memcpy(&v, q + n - 4, 4);
            return x == y && u == v;
        }
        for (std::size_t i = 0; i < n; ++i)
            if (p[i] != q[i]) return false;
        return true;
    }
    sqlite3_stmt* handle() const { return _statement ? _statement->statement() : nullptr; }

    std::optional<NameMap> _columnNameToIndexMap;
    // Names already asked for, spelled as the caller spelled them. A row is
    // usually read in the same order every time, so the search starts after
    // the previous hit.
    struct Lookup {
        std::string name;
        int index;
    };
    std::vector<Lookup> _lookups;
    std::size_t _lookupHint = 0;
    SqlDatabase* _parentDB = nullptr;
    std::shared_ptr<SqlDatabase> _parentOwner;  // keeps the connection alive
    std::string _query;
    std::shared_ptr<SqlStatement> _statement;
    int _columnCount = 0;
};
