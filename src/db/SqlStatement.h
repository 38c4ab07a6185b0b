#pragma once

#include <cstdint>
#include <string>

struct sqlite3_stmt;

// One prepared statement, shared by the statement cache of a connection and
// the result set reading from it. The handle is finalised on close() or when
// the last holder lets go.
class SqlStatement {
public:
    SqlStatement() = default;
    explicit SqlStatement(sqlite3_stmt* statement) : _statement(statement) {}
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Finalises the handle, forgets it and clears the in-use mark.
    void close();
    // Resets the handle (bindings are replaced at the next bind) and clears
    // the in-use mark.
    void reset();
    std::string description() const;

    sqlite3_stmt* statement() const { return _statement; }
    void setStatement(sqlite3_stmt* statement) { _statement = statement; }
    const std::string& query() const { return _query; }
    void setQuery(std::string query) { _query = std::move(query); }
    std::int64_t useCount() const { return _useCount; }
    void setUseCount(std::int64_t useCount) { _useCount = useCount; }
    bool inUse() const { return _inUse; }
    void setInUse(bool inUse) { _inUse = inUse; }

private:
    sqlite3_stmt* _statement = nullptr;
    std::string _query;
    std::int64_t _useCount = 0;
    bool _inUse = false;
};
