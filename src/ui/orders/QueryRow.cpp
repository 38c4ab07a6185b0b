#include "ui/orders/QueryRow.h"

std::optional<std::string_view> QueryRow::find(std::string_view key) const {
    const auto column = store_->column(key);
    if (!column) return std::nullopt;
    return store_->value(row_, *column);
}

std::string QueryRow::value(std::string_view key) const { return std::string(find(key).value_or(std::string_view())); }

RowDictionary QueryRow::dictionary() const {
    RowDictionary row;
    const auto& columns = store_->columns();
    for (std::size_t i = 0; i < columns.size(); ++i) row[columns[i]] = std::string(store_->value(row_, i));
    return row;
}
