#include "ui/orders/QueryRow.h"

#include "core/CoreDb.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

QueryRow::QueryRow(std::shared_ptr<const Columns> columns, std::vector<std::string> values)
    : columns_(std::move(columns)), values_(std::move(values)) {}

std::vector<std::shared_ptr<const QueryRow>> QueryRow::readAll(const std::string& path, const std::string& sql) {
    std::vector<std::shared_ptr<const QueryRow>> rows;
    auto db = coredb::openDatabase(path);
    if (!db) return rows;
    std::optional<SqlError> error;
    auto rs = db->executeQuery(sql, {}, &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return rows;
    }
    const int count = rs->columnCount();
    auto columns = std::make_shared<Columns>();
    for (int i = 0; i < count; ++i) columns->push_back(coredb::upper(rs->columnNameForIndex(i)));
    while (rs->next()) {
        std::vector<std::string> values;
        values.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) values.push_back(rs->stringForColumnIndex(i).value_or(""));
        rows.push_back(std::make_shared<const QueryRow>(columns, std::move(values)));
    }
    rs->close();
    db->close();
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
