#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QueryRow;

// The rows of a long list read from one query, held compactly: the
// upper-cased column names once, the texts of all values back to back in
// large blocks, and where each value ends; no object a row or a value. A list
// filtered from another shares its rows and holds only their positions, so
// that lists of a million documents open quickly and fit in memory.
class QueryRows {
public:
    using Columns = std::vector<std::string>;

    // The values themselves, shared by a list and the lists filtered from it.
    class Store {
    public:
        explicit Store(Columns columns) : columns_(std::move(columns)) {}
        const Columns& columns() const { return columns_; }
        std::size_t size() const { return rows_.size(); }
        // The column of a name (of two columns of one name, the last); none
        // when there is no such column.
        std::optional<std::size_t> column(std::string_view name) const;
        std::string_view value(std::size_t row, std::size_t column) const;
        // Adds a row of values in column order (missing ones are empty).
        void add(const std::vector<std::string_view>& values);

    private:
        // Blocks of texts of about a megabyte: the list grows without moving
        // what it holds.
        static constexpr std::size_t kBlock = std::size_t{1} << 20;
        struct Where {
            std::uint32_t block;
            std::uint32_t start;
        };
        Columns columns_;
        std::vector<std::string> blocks_;
        // For each value of each row, where it ends within its row's text.
        std::deque<std::uint32_t> ends_;
        std::deque<Where> rows_;
    };

    class Iterator {
    public:
        Iterator(const QueryRows& rows, std::size_t position) : rows_(&rows), position_(position) {}
        QueryRow operator*() const;
        Iterator& operator++() {
            ++position_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return position_ == other.position_; }

    private:
        const QueryRows* rows_;
        std::size_t position_;
    };

    // An empty list without columns.
    QueryRows();
    // An empty list of these (upper-cased) columns, to add rows to.
    explicit QueryRows(Columns columns);

    // Every row of `sql` on the database at `path`, in the query's order;
    // an empty list (with a trace line) when the database cannot be opened
    // or the query fails.
    static QueryRows read(const std::string& path, const std::string& sql);

    // Adds a row of values in column order.
    void add(const std::vector<std::string>& values);

    std::size_t size() const { return picked_ ? picked_->size() : store_->size(); }
    bool empty() const { return size() == 0; }
    QueryRow operator[](std::size_t position) const;
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, size()}; }

    // The column of a name, as Store::column.
    std::optional<std::size_t> column(std::string_view name) const { return store_->column(name); }
    // The value of a column of the row at `position` of this list.
    std::string_view value(std::size_t position, std::size_t column) const {
        return store_->value(row(position), column);
    }
    // The rows at these positions of this list, in the order given.
    QueryRows subset(const std::vector<std::uint32_t>& positions) const;

private:
    std::size_t row(std::size_t position) const { return picked_ ? (*picked_)[position] : position; }

    std::shared_ptr<Store> store_;
    // The rows of the store in this list; none: all of them.
    std::optional<std::vector<std::uint32_t>> picked_;
};
