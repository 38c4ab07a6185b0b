#pragma once

#include "db/SqlDatabase.h"
#include "records/RowDictionary.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class SqlResultSet;
class Trekora;

// The small pieces of statement handling that the readers and writers of
// documents share: a connection with the posting's busy wait, reading rows
// into row dictionaries, and running statements that signal their failure.
class SqlRows {
public:
    // A new, unopened connection to the shared object's database file.
    static std::shared_ptr<SqlDatabase> connection(const Trekora& trekora);

    // Text of a column named without regard to case; "" for NULL or missing.
    static std::string text(SqlResultSet& rs, const std::string& column);

    // Reads every row of one query on a connection of its own, for the
    // pick lists and detail pages. Absent, after the console line "Unable to
    // open database" or "failed: " and the error, when the file does not open
    // or the query cannot run; a stepping error ends the rows read so far.
    static std::optional<std::vector<RowDictionary>> readAll(const Trekora& trekora, const std::string& sql,
                                                             const SqlDatabase::Values& values);

    // Runs one statement; throws SqlFailure with the database's message.
    static void update(SqlDatabase& db, const std::string& sql, const SqlDatabase::Values& values);
    // Runs one query; throws SqlFailure with the database's message.
    static std::shared_ptr<SqlResultSet> query(SqlDatabase& db, const std::string& sql,
                                               const SqlDatabase::Values& values);
};
