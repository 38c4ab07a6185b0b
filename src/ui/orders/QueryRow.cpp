#include "ui/orders/QueryRow.h"

#include "core/CoreDb.h"
#include "db/SqlResultSet.h"

QueryRow::QueryRow(std::shared_ptr<const Columns> columns, std::vector<std::string> values)
    : columns_(std::move(columns)), values_(std::move(values)) {}

std::vector<std::shared_ptr<const QueryRow>> QueryRow::readAll(const std::string& path, const std::string& sql) {
    std::vector<std::shared_ptr<const QueryRow>> rows;
    std::shared_ptr<Columns> columns;
    coredb::eachRow(path, sql, [&](SqlResultSet& rs) {
        const int count = rs.columnCount();
        if (!columns) {
            columns = std::make_shared<Columns>();
            for (int i = 0; i < count; ++i) columns->push_back(coredb::upper(rs.columnNameForIndex(i)));
        }
        std::vector<std::string> values;
        values.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) values.push_back(coredb::textAt(rs, i));
        rows.push_back(std::make_shared<const QueryRow>(columns, std::move(values)));
    });
    return rows;
}

const std::string* QueryRow::find(const std::string& key) const {
    // The last column of the name counts, as in a dictionary filled in order.
    for (std::size_t i = columns_->size(); i-- > 0;)
        if ((*columns_)[i] == key) return &values_[i];
    return nullptr;
}

const std::string& QueryRow::value(const std::string& key) const {
    static const std::string empty;
    const std::string* found = find(key);
    return found ? *found : empty;
}

RowDictionary QueryRow::dictionary() const {
    RowDictionary row;
    for (std::size_t i = 0; i < columns_->size(); ++i) row[(*columns_)[i]] = values_[i];
    return row;
}
