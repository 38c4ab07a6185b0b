#pragma once

// Small helpers shared by the database operations of the application core.

#include "core/Trekora.h"

#include <functional>
#include <memory>
#include <cstddef>
#include <string>
#include <vector>

class SqlDatabase;
class SqlResultSet;

namespace coredb {

// The console trace "start <name> ...".
void traceStart(const std::string& operation);
// A console line.
void trace(const std::string& line);

// A new connection on the file at `path`, opened; nullptr after the console
// line "Unable to open database" when it does not open.
std::shared_ptr<SqlDatabase> openDatabase(const std::string& path);

// Opens a connection on `path`, runs the query and hands each row to
// `onRow`, then closes. A query that cannot run leaves the console line
// "failed: " with the error and no rows. False only when the file does not
// open.
bool eachRow(const std::string& path, const std::string& sql, const std::function<void(SqlResultSet&)>& onRow);

// Text of a column by name, "" for NULL or a missing column.
std::string text(SqlResultSet& rs, const std::string& column);
// Text of a column by index, "" for NULL.
std::string textAt(SqlResultSet& rs, int index);

// The current row as a dictionary: upper-cased column names; of two columns
// with the same upper-cased name the first (firstWins) or the last counts.
RowDictionary row(SqlResultSet& rs, bool firstWins);

// A stored text cut at every ";" (quotes and comments are not looked at).
struct Statements {
    std::size_t pieces = 0;               // pieces of the cut, blank ones included
    std::vector<std::string> statements;  // the pieces that are not blank, untrimmed
};
Statements cutStatements(const std::string& text);
// The console lines "queryArray:  " and "filteredArray:  " with the two counts.
void traceCounts(const Statements& statements);

// Upper-cases ASCII letters.
std::string upper(std::string text);

} // namespace coredb
