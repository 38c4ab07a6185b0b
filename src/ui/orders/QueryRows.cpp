#include "ui/orders/QueryRows.h"

#include <algorithm>
#include <limits>

#include "core/CoreDb.h"
#include "db/SqlResultSet.h"
#include "ui/orders/QueryRow.h"

std::optional<std::size_t> QueryRows::Store::column(std::string_view name) const {
    // The last column of the name counts, as in a dictionary filled in order.
    for (std::size_t i = columns_.size(); i-- > 0;)
        if (columns_[i] == name) return i;
    return std::nullopt;
}

std::string_view QueryRows::Store::value(std::size_t row, std::size_t column) const {
    const Where& where = rows_[row];
    const std::size_t first = row * columns_.size();
    const std::uint32_t begin = column == 0 ? 0 : ends_[first + column - 1];
    const std::uint32_t end = ends_[first + column];
    return std::string_view(blocks_[where.block]).substr(where.start + begin, end - begin);
}

void QueryRows::Store::add(const std::vector<std::string_view>& values) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < columns_.size() && i < values.size(); ++i) length += values[i].size();
    // Within SQLite's length limits a row's text fits 32 bits; past them the
    // row's values would read empty rather than wrong.
    if (length > std::numeric_limits<std::uint32_t>::max()) length = 0;
    if (blocks_.empty() || blocks_.back().size() + length > blocks_.back().capacity()) {
        blocks_.emplace_back();
        blocks_.back().reserve(std::max(kBlock, length));
    }
    std::string& block = blocks_.back();
    rows_.push_back({static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(block.size())});
    const std::size_t start = block.size();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (i < values.size() && length > 0) block.append(values[i]);
        ends_.push_back(static_cast<std::uint32_t>(block.size() - start));
    }
}

QueryRow QueryRows::Iterator::operator*() const { return (*rows_)[position_]; }

QueryRows::QueryRows() : store_(std::make_shared<Store>(Columns{})) {}

QueryRows::QueryRows(Columns columns) : store_(std::make_shared<Store>(std::move(columns))) {}

QueryRows QueryRows::read(const std::string& path, const std::string& sql) {
    QueryRows rows;
    bool named = false;
    std::vector<std::string_view> values;
    coredb::eachRow(path, sql, [&](SqlResultSet& rs) {
        const int count = rs.columnCount();
        if (!named) {
            named = true;
            Columns columns;
            for (int i = 0; i < count; ++i) columns.push_back(coredb::upper(rs.columnNameForIndex(i)));
            rows.store_ = std::make_shared<Store>(std::move(columns));
        }
        values.clear();
        // The texts are SQLite's own until the next step: copied in by add.
        for (int i = 0; i < count; ++i) values.push_back(rs.stringViewForColumnIndex(i).value_or(std::string_view()));
        rows.store_->add(values);
    });
    return rows;
}

void QueryRows::add(const std::vector<std::string>& values) {
    if (picked_) picked_->push_back(static_cast<std::uint32_t>(store_->size()));
    store_->add(std::vector<std::string_view>(values.begin(), values.end()));
}

QueryRow QueryRows::operator[](std::size_t position) const { return QueryRow(store_, row(position)); }

QueryRows QueryRows::subset(const std::vector<std::uint32_t>& positions) const {
    QueryRows out = *this;
    std::vector<std::uint32_t> rows;
    rows.reserve(positions.size());
    for (auto position : positions) rows.push_back(static_cast<std::uint32_t>(row(position)));
    out.picked_ = std::move(rows);
    return out;
}
