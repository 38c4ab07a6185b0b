#include "sync/PrijataObjednavka.h"

#include "core/CoreDb.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlValue.h"
#include "platform/Console.h"
#include "sync/JsonValueText.h"

#include <algorithm>
#include <optional>

using platform::Console;

namespace {

const char* const kHeader = "obj_vety";
const char* const kLines = "obj_polo";
const char* const kCustomers = "obj_odbe";
const char* const kStoredOther = "už uložená s iným obsahom, nová neuložená";

// The line and customer rows each import wrote, by row id, with the row id
// of their order's header: such rows need not carry the order's number.
const char* const kLinks = "obj_riadky";
const char* const kLinksMade[] = {
    "create table if not exists obj_riadky (tabulka TEXT NOT NULL, riadok INTEGER NOT NULL, "
    "vety_id INTEGER NOT NULL, PRIMARY KEY (tabulka, riadok))",
    "create index if not exists obj_riadky_vety on obj_riadky(vety_id)",
    // What is remembered of orders no longer stored goes.
    "delete from obj_riadky where vety_id not in (select rowid from obj_vety)"};

// The table's own spelling of a key, or "" when the table has no such column.
std::string columnFor(const std::string& key, const std::vector<std::string>& columns) {
    const std::string wanted = coredb::upper(key);
    for (const auto& column : columns)
        if (coredb::upper(column) == wanted) return column;
    return "";
}

std::string quoted(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

nlohmann::json headerOf(const nlohmann::json& order) {
    nlohmann::json header = order;
    header.erase("POLOZKY");
    header.erase("ODBERATELIA");
    return header;
}

bool isArrayOfObjects(const nlohmann::json& order, const char* key) {
    auto it = order.find(key);
    if (it == order.end() || !it->is_array()) return false;
    for (const auto& element : *it)
        if (!element.is_object()) return false;
    return true;
}

}  // namespace

std::vector<std::string> PrijataObjednavka::columnNames(SqlDatabase& db, const std::string& table) {
    std::vector<std::string> names;
    auto rs = db.executeQuery("select name from pragma_table_info(?)", {SqlValue(table)});
    if (!rs) return names;
    while (rs->next()) names.push_back(rs->stringForColumnIndex(0).value_or(""));
    rs->close();
    return names;
}

PrijataObjednavka::Columns PrijataObjednavka::columnsOf(SqlDatabase& db) {
    return Columns{columnNames(db, kHeader), columnNames(db, kLines), columnNames(db, kCustomers)};
}

std::string PrijataObjednavka::checkRecord(const nlohmann::json& record, const std::string& table,
                                           const std::vector<std::string>& columns) {
    for (const auto& [key, value] : record.items()) {
        if (columnFor(key, columns).empty())
            return "kľúč " + nlohmann::json(key).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) +
                   " nie je stĺpec tabuľky " + table;
        if (value.is_array() || value.is_object()) return "hodnota kľúča " + key + " nie je jednoduchá hodnota";
        // A text is bound up to its first zero character: it would be
        // stored cut.
        if (value.is_string() && value.get_ref<const std::string&>().find('\0') != std::string::npos)
            return "hodnota kľúča " + key + " obsahuje znak U+0000";
    }
    return "";
}

std::string PrijataObjednavka::check(const Columns& columns, const nlohmann::json& order) {
    if (!order.is_object()) return "objednávka nie je JSON objekt";
    if (!isArrayOfObjects(order, "POLOZKY")) return "objednávka bez zoznamu POLOZKY";
    if (!isArrayOfObjects(order, "ODBERATELIA")) return "objednávka bez zoznamu ODBERATELIA";
    std::string reason = checkRecord(headerOf(order), kHeader, columns.header);
    for (const auto& line : order["POLOZKY"]) {
        if (!reason.empty()) break;
        reason = checkRecord(line, kLines, columns.lines);
    }
    for (const auto& customer : order["ODBERATELIA"]) {
        if (!reason.empty()) break;
        reason = checkRecord(customer, kCustomers, columns.customers);
    }
    return reason;
}

std::string PrijataObjednavka::insert(SqlDatabase& db, const std::string& table, const nlohmann::json& record,
                                      const std::vector<std::string>& columns) {
    std::string names;
    std::string marks;
    SqlDatabase::Values values;
    for (const auto& [key, value] : record.items()) {
        names += (names.empty() ? "" : ",") + quoted(columnFor(key, columns));
        marks += marks.empty() ? "?" : ",?";
        bool refused = false;
        auto text = JsonValueText::column(value, refused);
        values.push_back(text ? SqlValue(*text) : SqlValue(std::nullopt));
    }
    const std::string sql = "INSERT INTO " + table + "(" + names + ") VALUES(" + marks + ");";
    Console::print(sql);
    std::optional<SqlError> error;
    if (db.executeUpdate(sql, values, &error)) return "";
    return error ? error->description : db.lastErrorMessage();
}

PrijataObjednavka::Rows PrijataObjednavka::rowsOf(SqlDatabase& db, const std::string& table, const std::string& from,
                                                  const SqlDatabase::Values& values) {
    // Every column but the row's own key, as type and bytes: 12, 12.0 and
    // '12' are three different values.
    Rows rows;
    std::string select;
    auto columns = db.executeQuery("select name from pragma_table_info(?) where pk = 0", {SqlValue(table)});
    while (columns && columns->next()) {
        const std::string column = quoted(columns->stringForColumnIndex(0).value_or(""));
        select += (select.empty() ? "" : ",") + ("typeof(" + column + ")||':'||hex(" + column + ")");
    }
    if (columns) columns->close();
    auto rs = db.executeQuery("select " + select + " from " + from, values);
    while (rs && rs->next()) {
        std::vector<std::string> row;
        for (int i = 0; i < rs->columnCount(); ++i) row.push_back(rs->stringForColumnIndex(i).value_or(""));
        rows.push_back(std::move(row));
    }
    if (rs) rs->close();
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string PrijataObjednavka::offeredRows(SqlDatabase& db, const Columns& columns, const nlohmann::json& order,
                                           OrderRows& rows) {
    // The order goes into empty copies of the three tables, where the
    // columns give its values the types the tables would give them.
    struct Table {
        const char* name;
        const std::vector<std::string>& columns;
        std::vector<nlohmann::json> records;
    };
    const Table tables[] = {{kHeader, columns.header, {headerOf(order)}},
                            {kLines, columns.lines, {order.at("POLOZKY").begin(), order.at("POLOZKY").end()}},
                            {kCustomers, columns.customers,
                             {order.at("ODBERATELIA").begin(), order.at("ODBERATELIA").end()}}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Table& table = tables[i];
        const std::string copy = std::string("temp.nova_") + table.name;
        std::optional<SqlError> error;
        if (!db.executeUpdate("create table if not exists " + copy + " as select * from main." + table.name +
                                  " where 0",
                              {}, &error) ||
            !db.executeUpdate("delete from " + copy, {}, &error))
            return error ? error->description : db.lastErrorMessage();
        for (const auto& record : table.records)
            if (std::string failure = insert(db, copy, record, table.columns); !failure.empty()) return failure;
        rows[i] = rowsOf(db, table.name, copy, {});
    }
    return "";
}

PrijataObjednavka::OrderRows PrijataObjednavka::storedRows(SqlDatabase& db, const std::string& cdok) {
    const std::string headers = std::string("main.") + kHeader + " where cdok = ?1";
    auto ofOrder = [&headers](const char* table) {
        return std::string("main.") + table + " where cdok = ?1 or rowid in (select riadok from main." + kLinks +
               " where tabulka = '" + table + "' and vety_id in (select rowid from " + headers + "))";
    };
    const SqlDatabase::Values number = {SqlValue(cdok)};
    return {rowsOf(db, kHeader, headers, number), rowsOf(db, kLines, ofOrder(kLines), number),
            rowsOf(db, kCustomers, ofOrder(kCustomers), number)};
}

std::string PrijataObjednavka::link(SqlDatabase& db, const char* table, std::int64_t row, std::int64_t header) {
    std::optional<SqlError> error;
    if (db.executeUpdate(std::string("insert or replace into ") + kLinks + " (tabulka, riadok, vety_id) values (?, ?, ?)",
                         {SqlValue(std::string(table)), SqlValue(row), SqlValue(header)}, &error))
        return "";
    return error ? error->description : db.lastErrorMessage();
}

std::string PrijataObjednavka::store(SqlDatabase& db, const Columns& columns, const nlohmann::json& order) {
    const nlohmann::json header = headerOf(order);

    // A stored order stays as it is: nothing is deleted or replaced. The
    // same order offered again is taken as stored; another order under a
    // stored number is not stored. The offer is compared with the rows
    // stored for its number, by their values as the tables hold them, in
    // any order.
    for (const auto& [key, value] : header.items()) {
        if (coredb::upper(key) != "CDOK") continue;
        bool refused = false;
        auto cdok = JsonValueText::column(value, refused);
        if (!cdok) break;
        auto rs = db.executeQuery(std::string("select exists(select 1 from ") + kHeader + " where cdok = ?1) or " +
                                      "exists(select 1 from " + kLines + " where cdok = ?1) or " +
                                      "exists(select 1 from " + kCustomers + " where cdok = ?1)",
                                  {SqlValue(*cdok)});
        if (!rs) return db.lastErrorMessage();
        const bool stored = rs->next() && rs->intForColumnIndex(0) != 0;
        rs->close();
        if (!stored) break;
        OrderRows offered;
        if (std::string failure = offeredRows(db, columns, order, offered); !failure.empty()) return failure;
        return offered == storedRows(db, *cdok) ? "" : kStoredOther;
    }
    std::string failure = insert(db, kHeader, header, columns.header);
    const std::int64_t headerRow = db.lastInsertRowId();
    for (const auto& line : order["POLOZKY"]) {
        if (!failure.empty()) break;
        failure = insert(db, kLines, line, columns.lines);
        if (failure.empty()) failure = link(db, kLines, db.lastInsertRowId(), headerRow);
    }
    for (const auto& customer : order["ODBERATELIA"]) {
        if (!failure.empty()) break;
        failure = insert(db, kCustomers, customer, columns.customers);
        if (failure.empty()) failure = link(db, kCustomers, db.lastInsertRowId(), headerRow);
    }
    return failure;
}

std::string PrijataObjednavka::sameOrders(const std::string& dbPath, const std::vector<nlohmann::json>& orders,
                                          bool& same) {
    same = true;
    auto db = coredb::openDatabase(dbPath);
    if (!db) return "nemôžem otvoriť databázu";
    const Columns columns = columnsOf(*db);
    std::string failure;
    OrderRows first;
    for (std::size_t i = 0; i < orders.size() && failure.empty(); ++i) {
        OrderRows rows;
        failure = check(columns, orders[i]);
        if (failure.empty()) failure = offeredRows(*db, columns, orders[i], rows);
        if (i == 0) first = std::move(rows);
        else if (rows != first) same = false;
    }
    db->close();
    return failure;
}

std::string PrijataObjednavka::storeAll(const std::string& dbPath, const std::vector<nlohmann::json>& orders) {
    auto db = coredb::openDatabase(dbPath);
    if (!db) return "chyba!,,nemôžem otvoriť databázu";
    const Columns columns = columnsOf(*db);
    for (const auto& order : orders) {
        Console::print(order.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
        const std::string reason = check(columns, order);
        if (!reason.empty()) {
            Console::print("objednávka odmietnutá: " + reason);
            db->close();
            return "chyba!,," + reason;
        }
        Console::print(std::to_string(order["POLOZKY"].size()));
        Console::print(std::to_string(order["ODBERATELIA"].size()));
    }
    if (!db->beginTransaction()) {
        const std::string message = db->lastErrorMessage();
        db->close();
        return "chyba!,," + message;
    }
    std::string failure;
    for (const char* sql : kLinksMade) {
        std::optional<SqlError> error;
        if (!db->executeUpdate(sql, {}, &error)) {
            failure = error ? error->description : db->lastErrorMessage();
            break;
        }
    }
    for (const auto& order : orders) {
        if (!failure.empty()) break;
        failure = store(*db, columns, order);
    }
    if (failure.empty() && !db->commit()) failure = db->lastErrorMessage();
    if (failure.empty()) {
        Console::print("commit");
    } else {
        Console::print(failure);
        if (db->inTransaction()) db->rollback();
        Console::print("rollback");
    }
    db->close();
    return failure.empty() ? "ok!,," : "chyba!,," + failure;
}
