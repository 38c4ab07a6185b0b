#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/Trekora.h"
#include "ui/orders/QueryRows.h"

// One row of a list read from a query (QueryRows), seen by the columns' names.
// It answers like a row dictionary: the keys are the upper-cased column names
// and a NULL column is the empty text.
class QueryRow {
public:
    QueryRow(std::shared_ptr<const QueryRows::Store> store, std::size_t row) : store_(std::move(store)), row_(row) {}

    // The value of a column, none when the row has no such column.
    std::optional<std::string_view> find(std::string_view key) const;
    // The value of a column, the empty text when the row has no such column.
    std::string value(std::string_view key) const;
    // The row as a row dictionary (of two columns of one name, the last).
    RowDictionary dictionary() const;

private:
    std::shared_ptr<const QueryRows::Store> store_;
    std::size_t row_;
};
