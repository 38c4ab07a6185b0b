// Received orders for delivery: listing them with their lines (delivered so
// far, stock, outstanding), and preparing a receipt or a sale from one.

#include "core/CoreDb.h"
#include "core/StringValue.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlValue.h"
#include "platform/Console.h"
#include "platform/Numbers.h"
#include "records/DatumSpotrebyItem.h"
#include "records/MenuItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

#include <algorithm>
#include <optional>

using platform::Console;

namespace {

std::string rowText(const RowDictionary& row) {
    std::string text = "[";
    for (const auto& [key, value] : row) text += (text.size() > 1 ? ", " : "") + key + ": " + value;
    return text + "]";
}

SqlValue valueOf(const RowDictionary& row, const std::string& key) {
    auto it = row.find(key);
    return it == row.end() ? SqlValue(std::nullopt) : SqlValue(it->second);
}

std::string textOf(const RowDictionary& row, const std::string& key) {
    auto it = row.find(key);
    return it == row.end() ? std::string() : it->second;
}

// Sets `key` from the column of every row of the query (the last row counts);
// a NULL removes the key. False when the query fails.
bool takeColumn(SqlDatabase& db, const std::string& sql, const SqlDatabase::Values& values,
                const std::string& column, const std::string& key, RowDictionary& row) {
    std::optional<SqlError> error;
    auto rs = db.executeQuery(sql, values, &error);
    if (!rs) {
        Console::print("failed: " + (error ? error->description : db.lastErrorMessage()));
        return false;
    }
    while (rs->next()) {
        auto value = rs->stringForColumn(column);
        if (value) row[key] = *value;
        else row.erase(key);
    }
    rs->close();
    return true;
}

std::shared_ptr<MenuItem> documentType(std::int64_t pohyb, std::int64_t ctlac) {
    auto typ = std::make_shared<MenuItem>();
    typ->pohyb = pohyb;
    typ->ctlac = ctlac;
    typ->sklad_typ = 10;
    typ->select_query_name = "lookup_cennik";
    if (pohyb == 19) {
        typ->image = "tray.and.arrow.down.fill";
        typ->caption = "tovar";
        typ->popis = "príjem tovaru";
        typ->min = -10000;
        typ->max = 10000;
        typ->segue = "prijem_items_segue";
        return typ;
    }
    typ->image = "tray.and.arrow.up.fill";
    typ->koeficient = 1;
    typ->max = 10000;
    if (pohyb == 10) {
        typ->caption = "hotovosť";
        typ->popis = "predaj tovaru na hotovosť";
        typ->segue = "predaj_items_segue";
    } else if (ctlac == 0) {
        typ->caption = "faktúra";
        typ->popis = "predaj tovaru na faktúru";
        typ->segue = "faktura_parameters_segue";
        typ->name = "FAKTURA";
    } else {
        typ->caption = "faktúra na hotovosť";
        typ->popis = "predaj tovaru na faktúru v hotovosti";
        typ->segue = "faktura_na_hotovost_parameters_segue";
        typ->name = "FAKTURA_NA_HOTOVOST";
    }
    return typ;
}

}  // namespace

std::vector<RowDictionary> Trekora::readObjednavky() {
    const std::string sql = getQuery("obj_doklady");
    Console::print(sql);
    std::vector<RowDictionary> result;
    auto db = coredb::openDatabase(dbURL);
    if (!db) return result;
    std::optional<SqlError> error;
    auto rs = db->executeQuery(sql, {}, &error);
    if (!rs) {
        Console::print("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return result;
    }
    while (rs->next()) {
        RowDictionary row = coredb::row(*rs, false);
        Console::print(std::string(32, '-'));
        Console::print(rowText(row));
        result.push_back(std::move(row));
    }
    rs->close();
    db->close();
    Console::print(std::to_string(result.size()));
    return result;
}

std::vector<RowDictionary> Trekora::readObjednavkaPolozky(const std::string& cdok) {
    const std::string skladSql = getQuery("obj_sklad");
    const std::string predajSql = getQuery("obj_predaj");
    const std::string polozkySql = getQuery("obj_polozky");
    Console::print(polozkySql);
    std::vector<RowDictionary> result;
    auto db = coredb::openDatabase(dbURL);
    if (!db) return result;

    std::vector<RowDictionary> rows;
    std::optional<SqlError> error;
    auto rs = db->executeQuery(polozkySql, {SqlValue(cdok)}, &error);
    if (!rs) {
        Console::print("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return result;
    }
    while (rs->next()) rows.push_back(coredb::row(*rs, false));
    rs->close();

    for (auto& row : rows) {
        if (!takeColumn(*db, predajSql, {valueOf(row, "CDOK"), valueOf(row, "IDTOV")}, "MNOZ", "DODANE", row)) break;
        if (!takeColumn(*db, skladSql, {valueOf(row, "IDTOV")}, "STAV", "SKLAD", row)) break;
        const std::int64_t rozdiel = integerValue(textOf(row, "MNOZ")) - integerValue(textOf(row, "DODANE"));
        row["ROZDIEL"] = platform::format("%lld", static_cast<long long>(rozdiel));
        Console::print(rowText(row));
        result.push_back(row);
    }
    db->close();
    Console::print(std::to_string(rows.size()));
    return result;
}

void Trekora::getObjednavkaPrijemMenu(const RowDictionary& objednavka, const std::vector<RowDictionary>& polozky) {
    auto typ = documentType(19, 0);
    selectedOdberatelItem = std::make_shared<OdberatelItem>();
    selectedTypDokladuItem = typ;
    selectedObj = objednavka;
    selectedObjData = polozky;
    objcdok = textOf(objednavka, "CDOK");
    parcdok = "";
}

void Trekora::getObjednavkaPredajMenu(const RowDictionary& objednavka, const std::vector<RowDictionary>& polozky,
                                      const std::string& pohyb, const std::string& ctlac) {
    selectedOdberatelItem = std::make_shared<OdberatelItem>();
    const auto customers = readOdberatelArray();
    auto idosc = objednavka.find("IDOSC");
    if (idosc != objednavka.end()) {
        for (const auto& customer : customers) {
            if (customer->IDOSC == idosc->second) {
                selectedOdberatelItem = customer;
                break;
            }
        }
    }
    if (selectedOdberatelItem->IDOSC.empty()) {
        for (const auto& customer : customers) {
            if (customer->IDOSC == "9999") {
                selectedOdberatelItem = customer;
                break;
            }
        }
    }
    if (pohyb == "10") selectedTypDokladuItem = documentType(10, 0);
    else if (pohyb == "20") selectedTypDokladuItem = documentType(20, ctlac == "0" ? 0 : 1);
    selectedObj = objednavka;
    selectedObjData = polozky;
    objcdok = textOf(objednavka, "CDOK");
    parcdok = "";
}

void Trekora::naplnDokladZObjednavky() {
    if (!selectedObj) return;
    Console::print("--doklad--");
    Console::print(rowText(*selectedObj));
    Console::print("--polozky--");
    if (!selectedObjData) return;
    for (const auto& line : *selectedObjData) Console::print(rowText(line));
    const bool prijem = selectedTypDokladuItem->pohyb == 19;

    // The document writes its batches' quantities, so a good shows exactly
    // what was placed on its batches, and only what is still to deliver.
    for (const auto& line : *selectedObjData) {
        auto rozdiel = line.find("ROZDIEL");
        // A line without its outstanding quantity is not applied.
        if (rozdiel == line.end()) continue;
        const std::int64_t r = integerValue(rozdiel->second);
        if (r <= 0) continue;
        // A sale takes the order's prices; a line without them is not applied.
        if (!prijem && !(line.count("CENA") && line.count("ZLAVA1") && line.count("ZLAVA2") && line.count("ZLAVA3")))
            continue;
        const std::string idtov = textOf(line, "IDTOV");
        for (const auto& good : tovarArray) {
            if (good->IDTOV != idtov) continue;
            const auto batches = getDatumSpotrebyArray(good->IDTOV);
            // What an earlier fill left on the good's batches would be written too.
            for (const auto& batch : batches)
                if (integerValue(batch->VYBRANE) != 0) batch->VYBRANE = "0";
            if (prijem) {
                // The whole quantity goes into one batch of the good, the one
                // dated 1900-01-01; the posting makes it in stock when missing.
                std::shared_ptr<DatumSpotrebyItem> target;
                for (const auto& batch : batches)
                    if (batch->DATUMSPOTREBY == "1900-01-01") {
                        target = batch;
                        break;
                    }
                if (!target) {
                    target = std::make_shared<DatumSpotrebyItem>();
                    target->IDTOV = good->IDTOV;
                    target->DATUMSPOTREBY = "1900-01-01";
                    target->SARZA_STAV = "0";
                    target->FDATSPOT = "01.01.1900 (0)";
                    datumSpotrebyArray.push_back(target);
                }
                target->VYBRANE = platform::format("%lld", static_cast<long long>(r));
                good->VYBRANE = target->VYBRANE;
                continue;
            }
            std::int64_t q = std::min(r, integerValue(good->SKLAD_STAV));
            std::int64_t placed = 0;
            for (const auto& batch : batches) {
                if (q <= 0) break;
                const std::int64_t take = std::min(q, integerValue(batch->SARZA_STAV));
                if (take <= 0) continue;
                batch->VYBRANE = platform::format("%lld", static_cast<long long>(take));
                placed += take;
                q -= take;
            }
            good->VYBRANE = platform::format("%lld", static_cast<long long>(placed));
            good->CENA = textOf(line, "CENA");
            good->ZLAVA1 = textOf(line, "ZLAVA1");
            good->ZLAVA2 = textOf(line, "ZLAVA2");
            good->ZLAVA3 = textOf(line, "ZLAVA3");
        }
    }
}
