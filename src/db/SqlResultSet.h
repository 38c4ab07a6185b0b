#pragma once

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

struct sqlite3_stmt;
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
    int columnIndexForName(std::string_view columnName);
    const NameMap& columnNameToIndexMap();

    int intForColumn(std::string_view columnName);
    int intForColumnIndex(int columnIdx) const;
    long longForColumn(std::string_view columnName);
    long longForColumnIndex(int columnIdx) const;
    long long longLongIntForColumn(std::string_view columnName);
    long long longLongIntForColumnIndex(int columnIdx) const;
    unsigned long long unsignedLongLongIntForColumn(std::string_view columnName);
    unsigned long long unsignedLongLongIntForColumnIndex(int columnIdx) const;
    bool boolForColumn(std::string_view columnName);
    bool boolForColumnIndex(int columnIdx) const;
    double doubleForColumn(std::string_view columnName);
    double doubleForColumnIndex(int columnIdx) const;
    std::optional<std::string> stringForColumn(std::string_view columnName);
    std::optional<std::string> stringForColumnIndex(int columnIdx) const;
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
    bool validIndex(int columnIdx) const;
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
