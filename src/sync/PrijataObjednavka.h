#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

class SqlDatabase;

// Storing received orders in obj_vety, obj_polo and obj_odbe. An order is a
// JSON object: its members "POLOZKY" (lines) and "ODBERATELIA" (customer
// records) are arrays of objects, every other member is a header column.
// The keys name columns only when the table has them (case aside): they are
// never pasted into SQL as sent. Values are bound, never pasted.
class PrijataObjednavka {
public:
    // Stores the orders in one exclusive transaction on the database file:
    // all of them or none. An order whose number is stored already replaces
    // the stored one (header, lines and customers). "ok!,," or
    // "chyba!,,<reason>".
    static std::string storeAll(const std::string& dbPath, const std::vector<nlohmann::json>& orders);

private:
    // Column names of the three tables as they declare them.
    struct Columns {
        std::vector<std::string> header, lines, customers;
    };
    static Columns columnsOf(SqlDatabase& db);
    // Column names of a table as the table declares them.
    static std::vector<std::string> columnNames(SqlDatabase& db, const std::string& table);
    // "" when every key of the order names a column of its table and every
    // value is a plain value; otherwise the reason.
    static std::string check(const Columns& columns, const nlohmann::json& order);
    static std::string checkRecord(const nlohmann::json& record, const std::string& table,
                                   const std::vector<std::string>& columns);
    // "" or SQLite's message.
    static std::string insert(SqlDatabase& db, const std::string& table, const nlohmann::json& record,
                              const std::vector<std::string>& columns);
    static std::string store(SqlDatabase& db, const Columns& columns, const nlohmann::json& order);
};
