#include "posting/DokladPosting.h"
#include "core/CoreDb.h"

#include "core/Establishment.h"
#include "core/OdoslaneCisla.h"
#include "core/SqlFailure.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "platform/Numbers.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"
#include "records/TovarItem.h"

#include <unordered_map>
#include <utility>
#include <vector>

using platform::Console;

DokladPosting::Statements DokladPosting::statementsFor(std::int64_t pohyb, std::int64_t koeficient) {
    Statements s;
    std::string suffix;
    if (pohyb == 43 || pohyb == 44) suffix = "_40";
    else if (pohyb == 50 || pohyb == 59) suffix = "_50";
    else if (pohyb == 60 || pohyb == 69) suffix = "_60";

    if (!suffix.empty()) s.columnFixes = "doklad_insert_03_update_columns" + suffix;
    else if (pohyb == 10 && koeficient == -1) s.columnFixes = "doklad_insert_03_update_columns_storno";
    else s.columnFixes = "doklad_insert_03_update_columns";

    s.batchInsert = "sklad_sarza_insert" + suffix;
    s.batchSelect = "sklad_sarza_polo_select" + suffix;
    s.stockSelect = "sklad_polo_select" + suffix;

    if (pohyb == 19 || pohyb == 59 || pohyb == 69 || pohyb == 43) {
        s.direction = Direction::Receipt;
        s.batchUpdate = "prijem_insert_05_sklad_sarza_update";
        s.stockUpdate = "prijem_insert_06_sklad_update";
    } else if (pohyb == 10 || pohyb == 20 || pohyb == 21 || pohyb == 30 || pohyb == 31 || pohyb == 50 ||
               pohyb == 60 || pohyb == 44) {
        s.direction = Direction::Issue;
        s.batchUpdate = "predaj_insert_05_sklad_sarza_update";
        s.stockUpdate = "predaj_insert_06_sklad_update";
    }
    return s;
}

std::optional<std::string> DokladPosting::prepare(SqlDatabase* held) {
    if (held) trekora_.naplnTempDokladDB(*held);
    else trekora_.naplnTempDoklad();
    // A document beyond the range its amounts are exact in is not written,
    // whichever way its quantities came.
    const std::string rozsah = trekora_.checkRozsahDokladu();
    if (!ResultString::isSuccess(rozsah)) return rozsah;
    if (trekora_.selectedTypDokladuItem->pohyb == 19 && trekora_.nastaveniaItem->PRESKLADNENIEPC == "A") {
        // The transfer is the synchronisation's request to the office; the
        // shared object holds it as a replaceable call.
        const std::string result = trekora_.preskladnenieZPCHandler ? trekora_.preskladnenieZPCHandler()
                                                                    : "chyba!,,preskladnenie z PC nie je dostupné";
        if (!ResultString::isSuccess(result)) return result;
    }
    // A document without a single line is no document: nothing is written.
    if (trekora_.tempPoloArray.empty()) return std::string("chyba!,,doklad neobsahuje žiadne položky!");
    return std::nullopt;
}

void DokladPosting::moveQuantities(SqlDatabase& db, const std::string& updateName, const std::string& selectName) {
    const std::string update = trekora_.getQueryOrThrow(updateName, db);
    const std::string select = trekora_.getQueryOrThrow(selectName, db);
    // The rows are read to the end before the first update, so the updates
    // never change what the open select is still reading.
    std::vector<SqlDatabase::Values> rows;
    auto rs = SqlRows::query(db, select, {});
    // The two columns are found by name once, not on every row; of two
    // columns of one name the last counts.
    int mnozAt = -1, idAt = -1;
    for (int i = 0; i < rs->columnCount(); ++i) {
        const std::string column = coredb::upper(rs->columnNameForIndex(i));
        if (column == "MNOZ") mnozAt = i;
        else if (column == "ID") idAt = i;
    }
    auto text = [&rs](int at) { return at < 0 ? std::nullopt : rs->stringForColumnIndex(at); };
    while (rs->next()) rows.push_back({SqlValue(text(mnozAt)), SqlValue(text(idAt))});
    rs->close();
    const bool trace = trekora_.postingTrace;
    for (const auto& values : rows) {
        if (trace) Console::print(update);
        SqlRows::update(db, update, values);
        if (trace) Console::print("x= true");
    }
}

void DokladPosting::fixColumns(SqlDatabase& db, std::int64_t headerId, const std::string& columnFixes) {
    // The header names the establishment the document is written for before
    // the stored column fixes run, as they key on it (the header's customer
    // data, the price list of a line without a price, the loyalty account a
    // gift issue debits). Naming it once does not suffice: the fixes come
    // with the office's data, and those of an older data set rewrite the
    // header with the customer's first establishment, so it is named again
    // after them.
    const auto& odberatel = trekora_.selectedOdberatelItem;
    const Establishment establishment(odberatel ? odberatel->IDOSC : std::string());
    establishment.name(db, Establishment::Header::Temporary, headerId);
    trekora_.executeQueryDB(db, columnFixes, {headerId});
    establishment.name(db, Establishment::Header::Temporary, headerId);
}

std::string DokladPosting::write(SqlDatabase& db) {
    const auto& typ = *trekora_.selectedTypDokladuItem;
    const Statements names = statementsFor(typ.pohyb, typ.koeficient);
    const auto& vety = *trekora_.tempVetyArray.front();
    const bool trace = trekora_.postingTrace;

    // Header.
    SqlRows::update(db, trekora_.getQueryOrThrow("doklad_insert_01_temp_vety", db),
                    {vety.IDU, vety.IDO, vety.INFO, vety.KM, vety.FACVSET, vety.FACNAS, vety.TRASA, vety.POHYB,
                     vety.DATUM3, vety.SUMDOKZ, vety.PARCDOK, vety.OBJCDOK});
    Console::print("doklad_insert_01_temp_vety ok");
    const std::int64_t headerId = db.lastInsertRowId();
    Console::print("id1= " + std::to_string(headerId));
    trekora_.printingId = platform::format("%lld", static_cast<long long>(headerId));

    // Lines, each with the unit price the document showed for its good (an
    // order's or a parent document's price); none leaves the price list's.
    // The price of each good is looked up once, not searched for per line;
    // of two entries of one good the first counts.
    std::unordered_map<std::string, std::string> prices;
    for (const auto& tovar : trekora_.tovarArray) prices.emplace(tovar->IDTOV, tovar->CENA);
    const std::string lineInsert = trekora_.getQueryOrThrow("doklad_insert_02_temp_polo", db);
    for (const auto& polo : trekora_.tempPoloArray) {
        const auto price = prices.find(polo->IDTOV);
        const std::string cena = price == prices.end() ? std::string() : price->second;
        SqlRows::update(db, lineInsert,
                        {headerId, polo->IDO, polo->IDTOV, polo->MNOZ, polo->DATUMSPOTREBY, polo->POHYB,
                         polo->ZLAVA1, polo->ZLAVA2, polo->ZLAVAC});
        if (!cena.empty())
            SqlRows::update(db, "update temp_polo set cena = cast(?1 as real) where id = ?2",
                            {cena, db.lastInsertRowId()});
        if (trace) Console::print("doklad_insert_02_temp_polo ok");
    }

    fixColumns(db, headerId, names.columnFixes);
    trekora_.executeQueryDB(db, "doklad_insert_04_copy_from_temp", {headerId});

    // Document id of the copy and its number. Row ids are 64-bit.
    std::int64_t vetyId = -1;
    {
        auto rs = SqlRows::query(db, "select max(id) from vety;", {});
        if (rs->next()) vetyId = rs->longLongIntForColumnIndex(0);
        rs->close();
    }
    Console::print("vety_id= " + std::to_string(vetyId));
    trekora_.executeQueryDB(db, "cdok_set", {vetyId, vetyId});

    // Console listing of the new document, for whoever reads the trace.
    if (trace) {
        for (const char* listing : {"select * from vety where id=@id", "select * from polo where vety_id=@vety_id"}) {
            auto rs = SqlRows::query(db, listing, {vetyId});
            while (rs->next()) {
                for (int i = 0; i < rs->columnCount(); ++i)
                    Console::print(rs->columnNameForIndex(i) + "=" + rs->stringForColumnIndex(i).value_or(""));
                Console::print("-----------------");
            }
            rs->close();
        }
    }

    trekora_.executeQueryDB(db, names.batchInsert, {});
    if (names.direction != Direction::None) {
        moveQuantities(db, names.batchUpdate, names.batchSelect);
        moveQuantities(db, names.stockUpdate, names.stockSelect);
    }

    std::string cdok;
    {
        auto rs = SqlRows::query(db, trekora_.getQueryOrThrow("last_insert_cdok", db), {});
        if (rs->next()) cdok = SqlRows::text(*rs, "CDOK");
        rs->close();
    }
    Console::print("cdok= " + cdok);
    if (auto refusal = OdoslaneCisla::chybaCisla(cdok)) throw SqlFailure("doklad nebol zapísaný: " + *refusal);
    return "ok! ,,cdok=" + cdok;
}
