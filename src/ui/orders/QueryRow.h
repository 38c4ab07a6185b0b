#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Trekora.h"

// One row of a long list read from a query: its column texts under the
// upper-cased column names, which all rows of one reading share. It answers
// like a row dictionary (a NULL column is the empty text) but costs one
// vector per row, so that lists of many thousand documents open quickly.
class QueryRow {
public:
    using Columns = std::vector<std::string>;

    QueryRow(std::shared_ptr<const Columns> columns, std::vector<std::string> values);

    // Every row of `sql` on the database at `path`, in the query's order;
    // an empty list (with a trace line) when the database cannot be opened
    // or the query fails.
    static std::vector<std::shared_ptr<const QueryRow>> readAll(const std::string& path, const std::string& sql);

    // The value of a column, none when the row has no such column.
    const std::string* find(const std::string& key) const;
    // The value of a column, the empty text when the row has no such column.
    const std::string& value(const std::string& key) const;
    // The row as a row dictionary (of two columns of one name, the last).
    RowDictionary dictionary() const;

private:
    std::shared_ptr<const Columns> columns_;
    std::vector<std::string> values_;
};
