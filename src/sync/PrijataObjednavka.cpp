#include "sync/PrijataObjednavka.h"

#include "core/CoreDb.h"
#include "core/PrevodObjednavok.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlValue.h"
#include "platform/Console.h"
#include "sync/JsonValueText.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

using platform::Console;

namespace {

const char* const kHeader = "obj_vety";
const char* const kLines = "obj_polo";
const char* const kCustomers = "obj_odbe";
const char* const kStoredOther = "už uložená s iným obsahom, nová neuložená";

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

// The member of a record whose key is `name` whatever its case.
nlohmann::json::iterator member(nlohmann::json& record, const std::string& name) {
    for (auto it = record.begin(); it != record.end(); ++it)
        if (coredb::upper(it.key()) == name) return it;
    return record.end();
}

bool isArrayOfObjects(const nlohmann::json& order, const char* key) {
    auto it = order.find(key);
    if (it == order.end() || !it->is_array()) return false;
    for (const auto& element : *it)
        if (!element.is_object()) return false;
    return true;
}

}  // namespace

bool PrijataObjednavka::sameNumber(const std::string& a, const std::string& b) {
    if (a == b) return true;
    errno = 0;
    char* endA = nullptr;
    char* endB = nullptr;
    const long long x = std::strtoll(a.c_str(), &endA, 10);
    const long long y = std::strtoll(b.c_str(), &endB, 10);
    return errno == 0 && !a.empty() && !b.empty() && *endA == '\0' && *endB == '\0' && x == y;
}

std::string PrijataObjednavka::numbered(const nlohmann::json& order, nlohmann::json& out) {
    out = order;
    if (!out.is_object()) return "";
    nlohmann::json header = headerOf(out);
    auto own = member(header, "CDOK");
    const auto number = own == header.end() ? std::nullopt : JsonValueText::orderNumber(*own);
    if (!number) return "objednávka bez čísla CDOK";
    const struct {
        const char* list;
        const char* row;
    } lists[] = {{"POLOZKY", "položka"}, {"ODBERATELIA", "odberateľ"}};
    for (const auto& [list, row] : lists) {
        auto rows = out.find(list);
        if (rows == out.end() || !rows->is_array()) continue;
        std::size_t place = 0;
        for (auto& record : *rows) {
            ++place;
            if (!record.is_object()) continue;
            auto it = member(record, "CDOK");
            bool refused = false;
            if (it == record.end() || !JsonValueText::column(*it, refused)) {
                // The row is the order's own: without a number of its own
                // it takes the order's, so the order is shown with it.
                if (refused) continue;
                if (it == record.end()) record["CDOK"] = *own;
                else *it = *own;
                continue;
            }
            const auto its = JsonValueText::orderNumber(*it);
            if (!its || !sameNumber(*its, *number))
                return std::string(row) + " " + std::to_string(place) + " nesie číslo inej objednávky (" +
                       JsonValueText::of(*it) + ")";
        }
    }
    return "";
}

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
    auto ofOrder = [](const char* table) { return std::string("main.") + table + " where cdok = ?1"; };
    const SqlDatabase::Values number = {SqlValue(cdok)};
    return {rowsOf(db, kHeader, ofOrder(kHeader), number), rowsOf(db, kLines, ofOrder(kLines), number),
            rowsOf(db, kCustomers, ofOrder(kCustomers), number)};
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
    for (const auto& line : order["POLOZKY"]) {
        if (!failure.empty()) break;
        failure = insert(db, kLines, line, columns.lines);
    }
    for (const auto& customer : order["ODBERATELIA"]) {
        if (!failure.empty()) break;
        failure = insert(db, kCustomers, customer, columns.customers);
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
        nlohmann::json order;
        failure = numbered(orders[i], order);
        if (failure.empty()) failure = check(columns, order);
        if (failure.empty()) failure = offeredRows(*db, columns, order, rows);
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
    std::vector<nlohmann::json> ready;
    for (const auto& offered : orders) {
        Console::print(offered.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
        nlohmann::json& order = ready.emplace_back();
        std::string reason = numbered(offered, order);
        if (reason.empty()) reason = check(columns, order);
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
    // Rows an earlier version stored without their number take it first,
    // so that an order offered again is known by the rows stored for it.
    std::string failure = PrevodObjednavok::prevedV(*db);
    if (!failure.empty()) failure = PrevodObjednavok::chyba + " (" + failure + ")";
    for (const auto& order : ready) {
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
