#include "core/SqlRows.h"
#include "core/CoreDb.h"

#include "core/SqlFailure.h"
#include "core/Trekora.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"

#include <cctype>

std::shared_ptr<SqlDatabase> SqlRows::connection(const Trekora& trekora) {
    auto db = SqlDatabase::databaseWithPath(trekora.dbURL);
    db->setMaxBusyRetryTimeInterval(trekora.postingBusyTimeout);
    return db;
}

std::string SqlRows::text(SqlResultSet& rs, const std::string& column) {
    // Looked up by hand so that a missing column is quietly "".
    const int count = rs.columnCount();
    const std::string wanted = coredb::upper(column);
    for (int i = 0; i < count; ++i)
        if (coredb::upper(rs.columnNameForIndex(i)) == wanted) return rs.stringForColumnIndex(i).value_or("");
    return "";
}

std::optional<std::vector<RowDictionary>> SqlRows::readAll(const Trekora& trekora, const std::string& sql,
                                                           const SqlDatabase::Values& values) {
    auto db = connection(trekora);
    if (!db->open()) {
        platform::Console::print("Unable to open database");
        return std::nullopt;
    }
    std::optional<SqlError> error;
    auto rs = db->executeQuery(sql, values, &error);
    if (!rs) {
        platform::Console::print("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return std::nullopt;
    }
    platform::Console::print("colcount:  " + std::to_string(rs->columnCount()));
    std::vector<RowDictionary> rows;
    while (rs->next()) rows.push_back(coredb::row(*rs, false));
    rs->close();
    db->close();
    return rows;
}

void SqlRows::update(SqlDatabase& db, const std::string& sql, const SqlDatabase::Values& values) {
    std::optional<SqlError> error;
    if (!db.executeUpdate(sql, values, &error))
        throw SqlFailure(error ? error->description : db.lastErrorMessage());
}

std::shared_ptr<SqlResultSet> SqlRows::query(SqlDatabase& db, const std::string& sql,
                                             const SqlDatabase::Values& values) {
    std::optional<SqlError> error;
    auto rs = db.executeQuery(sql, values, &error);
    if (!rs) throw SqlFailure(error ? error->description : db.lastErrorMessage());
    return rs;
}
