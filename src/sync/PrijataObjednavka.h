#pragma once

#include "db/SqlDatabase.h"

#include <nlohmann/json.hpp>

#include <array>
#include <string>
#include <vector>

// Storing received orders in obj_vety, obj_polo and obj_odbe. An order is a
// JSON object: its members "POLOZKY" (lines) and "ODBERATELIA" (customer
// records) are arrays of objects, every other member is a header column.
// The keys name columns only when the table has them (case aside): they are
// never pasted into SQL as sent. Values are bound, never pasted.
class PrijataObjednavka {
public:
    // Stores the orders in one exclusive transaction on the database file:
    // all of them or none. A stored order is never deleted or replaced: an
    // order whose number is stored already is taken as stored when it is
    // the same order (nothing is written), and refused otherwise. "ok!,," or
    // "chyba!,,<reason>".
    static std::string storeAll(const std::string& dbPath, const std::vector<nlohmann::json>& orders);

    // Sets `same` when the orders would all store the same rows, by the rule
    // that tells a stored order from another one. "" or the reason they
    // cannot be compared (an order that could not be stored among them).
    static std::string sameOrders(const std::string& dbPath, const std::vector<nlohmann::json>& orders, bool& same);

    // Whether two order numbers in their text forms are one number: 7001
    // and "0007001" are.
    static bool sameNumber(const std::string& a, const std::string& b);

private:
    // The order as it is stored (`out`): every line and customer record
    // carries the order's number, one without a number (or with null) takes
    // the header's. "" or the reason the order cannot be stored so: no
    // number in the header, or a record that names another order.
    static std::string numbered(const nlohmann::json& order, nlohmann::json& out);

    // Column names of the three tables as they declare them.
    struct Columns {
        std::vector<std::string> header, lines, customers;
    };
    // The rows of an order in the three tables (header, lines, customers),
    // each over every column but the row's own key, as type and bytes,
    // sorted: two orders are the same when these are equal.
    using Rows = std::vector<std::vector<std::string>>;
    using OrderRows = std::array<Rows, 3>;

    static Columns columnsOf(SqlDatabase& db);
    // Column names of a table as the table declares them.
    static std::vector<std::string> columnNames(SqlDatabase& db, const std::string& table);
    // "" when every key of the order names a column of its table and every
    // value is a plain value without a zero character; otherwise the reason.
    static std::string check(const Columns& columns, const nlohmann::json& order);
    static std::string checkRecord(const nlohmann::json& record, const std::string& table,
                                   const std::vector<std::string>& columns);
    // "" or SQLite's message.
    static std::string insert(SqlDatabase& db, const std::string& table, const nlohmann::json& record,
                              const std::vector<std::string>& columns);
    static std::string store(SqlDatabase& db, const Columns& columns, const nlohmann::json& order);
    // The rows the order would store, as the tables' columns give its
    // values their types; "" or SQLite's message.
    static std::string offeredRows(SqlDatabase& db, const Columns& columns, const nlohmann::json& order,
                                   OrderRows& rows);
    // The rows stored for the order `cdok`: every row of the three tables
    // that carries its number.
    static OrderRows storedRows(SqlDatabase& db, const std::string& cdok);
    // The rows of `from` (a table and its condition) over the columns of
    // `table` but its key, sorted.
    static Rows rowsOf(SqlDatabase& db, const std::string& table, const std::string& from,
                       const SqlDatabase::Values& values);
};
