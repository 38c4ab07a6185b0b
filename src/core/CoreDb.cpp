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

std::string upper(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace coredb
