#include "core/CoreDb.h"

#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"

#include <cctype>

namespace coredb {

void traceStart(const std::string& operation) { platform::Console::print("start " + operation + " ..."); }

void trace(const std::string& line) { platform::Console::print(line); }

std::shared_ptr<SqlDatabase> openDatabase(const std::string& path) {
    auto db = SqlDatabase::databaseWithPath(path);
    if (!db || !db->open()) {
        trace("Unable to open database");
        return nullptr;
    }
    return db;
}

bool eachRow(const std::string& path, const std::string& sql, const std::function<void(SqlResultSet&)>& onRow) {
    auto db = openDatabase(path);
    if (!db) return false;
    std::optional<SqlError> error;
    auto rs = db->executeQuery(sql, {}, &error);
    if (!rs) {
        trace("failed: " + (error ? error->description : db->lastErrorMessage()));
    } else {
        while (rs->next()) onRow(*rs);
        rs->close();
    }
    db->close();
    return true;
}

std::string text(SqlResultSet& rs, const std::string& column) { return rs.stringForColumn(column).value_or(""); }

std::string textAt(SqlResultSet& rs, int index) { return rs.stringForColumnIndex(index).value_or(""); }

RowDictionary row(SqlResultSet& rs, bool firstWins) {
    RowDictionary dict;
    const int count = rs.columnCount();
    for (int i = 0; i < count; ++i) {
        std::string key = upper(rs.columnNameForIndex(i));
        std::string value = textAt(rs, i);
        if (firstWins)
            dict.emplace(std::move(key), std::move(value));
        else
            dict[std::move(key)] = std::move(value);
    }
    return dict;
}

namespace {

bool isBlank(const std::string& piece) {
    for (char c : piece)
        if (!(c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v')) return false;
    return true;
}

} // namespace

Statements cutStatements(const std::string& text) {
    Statements out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(';', start);
        std::string piece = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        ++out.pieces;
        if (!isBlank(piece)) out.statements.push_back(std::move(piece));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

void traceCounts(const Statements& statements) {
    trace("queryArray:  " + std::to_string(statements.pieces));
    trace("filteredArray:  " + std::to_string(statements.statements.size()));
}

std::string upper(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace coredb
