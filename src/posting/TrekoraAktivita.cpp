// Samples issued under an activity: checks, gift quantities and the posting
// of the samples document, all in one exclusive transaction.
#include "core/Amounts.h"
#include "core/CoreDb.h"
#include "core/SqlFailure.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "platform/Numbers.h"
#include "records/DatumSpotrebyItem.h"
#include "records/MenuItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

#include <cmath>
#include <limits>

using platform::Console;

namespace {

std::vector<RowDictionary> allRows(SqlDatabase& db, const std::string& sql, const SqlDatabase::Values& values) {
    std::vector<RowDictionary> rows;
    auto rs = SqlRows::query(db, sql, values);
    while (rs->next()) rows.push_back(coredb::row(*rs, false));
    rs->close();
    return rows;
}

std::string get(const RowDictionary& row, const char* key) {
    auto it = row.find(key);
    return it == row.end() ? std::string() : it->second;
}

// Gift quantity of one set times the number of sets, kept within 64 bits.
std::int64_t multiply(std::int64_t koef, std::int64_t mnozstvo) {
    std::int64_t product = 0;
    if (__builtin_mul_overflow(koef, mnozstvo, &product))
        return (koef < 0) != (mnozstvo < 0) ? std::numeric_limits<std::int64_t>::min()
                                            : std::numeric_limits<std::int64_t>::max();
    return product;
}

}  // namespace

std::string Trekora::zapisDokladPreAktivitu(const std::string& aktivitaId, const std::string& parCdok) {
    Console::print("start zapisDokladPreAktivitu(aktivitaId:parCdok:) ...");
    auto db = SqlRows::connection(*this);
    if (!db->open()) return "chyba!,," + db->lastErrorMessage();

    std::string result;
    const std::string printingBefore = printingId;
    try {
        if (!db->beginTransaction()) throw SqlFailure(db->lastErrorMessage());
        Console::print("db.beginTransaction");

        if (aktivitaId.empty()) throw TrekoraError::ziadnaVybranaAktivita();
        if (parCdok.empty()) throw TrekoraError::ziadnyVybranyDoklad();

        {
            std::string stav = "-1";
            auto rs = SqlRows::query(*db, getQueryOrThrow("aktivita_check_datum", *db), {aktivitaId});
            if (rs->next()) {
                if (auto value = rs->stringForColumn("STAVNUM")) stav = *value;
            }
            rs->close();
            if (stav != "0") throw TrekoraError::neprebiehajucaAktivita();
        }
        {
            std::string applied;
            auto rs = SqlRows::query(
                *db, "select cdok,parcdok,info from vety where pohyb=60 and parcdok=? and tvety_id=?",
                {parCdok, aktivitaId});
            if (rs->next()) applied = SqlRows::text(*rs, "INFO");
            rs->close();
            if (!applied.empty()) throw TrekoraError::aplikovanaAktivita(applied);
        }

        const auto darceky =
            allRows(*db, "select ZLAVA_ID,IDTOV,MNOZSTVO from zlava_darcek where zlava_id=@zlava_id", {aktivitaId});
        if (darceky.empty()) throw TextError("aktivita neobsahuje ziadne darčeky!");

        readTovarArrayDB(*db, selectedOdberatelItem->IDOSC, selectedTypDokladuItem->select_query_name);
        readDatumSpotrebyArrayDB(*db);
        if (tovarArray.empty()) throw TextError("cenník vzoriek neobsahuje žiadne položky!");

        double minSuma = 0;
        {
            auto rs = SqlRows::query(*db, "select coalesce(dodatpla,0) DODATPLA from zlava where id=?", {aktivitaId});
            if (rs->next()) minSuma = rs->doubleForColumn("DODATPLA");
            rs->close();
        }
        Console::print("minSuma= " + platform::format("%g", minSuma));

        std::int64_t koef = 0;
        if (minSuma != 0) {
            std::int64_t pocet = 0;
            {
                auto rs = SqlRows::query(*db, "select count(idtov) pocet from zlava_tovar where zlava_id=?",
                                         {aktivitaId});
                if (rs->next()) pocet = rs->longLongIntForColumn("POCET");
                rs->close();
            }
            Console::print("pocet= " + std::to_string(pocet));
            double suma = 0;
            if (pocet == 0) {
                auto rs = SqlRows::query(*db, "select sumdokz from vety where cdok=?", {parCdok});
                if (rs->next()) suma = rs->doubleForColumn("SUMDOKZ");
                rs->close();
            } else {
                auto rs = SqlRows::query(*db,
                                         "select sum(ccsum) suma from polo where cdok=? and idtov in "
                                         "(select idtov from zlava_tovar where zlava_id=?)",
                                         {parCdok, aktivitaId});
                if (rs->next()) suma = rs->doubleForColumn("SUMA");
                rs->close();
            }
            Console::print("suma= " + platform::format("%g", suma));
            const double quotient = suma / minSuma;
            const double floored = std::floor(quotient);
            Console::print("koef= " + platform::format("%g", quotient));
            Console::print("floor(koef)= " + platform::format("%g", floored));
            if (!(floored > -9.2e18 && floored < 9.2e18))
                throw TextError("doklad " + parCdok + "\nnespľňa podmienky pre vybranú aktivitu.");
            koef = static_cast<std::int64_t>(floored);
        } else {
            koef = 100000;
            for (const auto& row : allRows(*db, getQueryOrThrow("aktivita_check_doklad", *db), {parCdok, aktivitaId})) {
                auto it = row.find("KOEF");
                // A row without the coefficient earns nothing.
                const std::int64_t value = it == row.end() ? 0 : Amounts::integerOf(it->second);
                if (value < koef) koef = value;
            }
        }
        if (koef == 0) throw TextError("doklad " + parCdok + "\nnespľňa podmienky pre vybranú aktivitu.");

        bool available = false;
        for (const auto& tovar : tovarArray) {
            for (const auto& darcek : darceky) {
                if (get(darcek, "IDTOV") != tovar->IDTOV) continue;
                const auto batches = getDatumSpotrebyArray(tovar->IDTOV);
                // A gift good without any batch has no stock to give.
                if (batches.empty()) {
                    tovar->VYBRANE = "0";
                    continue;
                }
                const auto& batch = batches.front();
                std::int64_t quantity = multiply(koef, Amounts::integerOf(get(darcek, "MNOZSTVO")));
                const std::int64_t stock = Amounts::integerOf(batch->SARZA_STAV);
                if (stock < quantity) quantity = stock;
                batch->VYBRANE = std::to_string(quantity);
                tovar->VYBRANE = std::to_string(quantity);
                if (quantity > 0) available = true;
            }
        }
        if (!available) throw TextError("k vybranej aktivite nie sú k dispozícií žiadne vzorky.");

        // The header's total is that of these samples, not of whatever the
        // lines editor recomputed last.
        prepocitajDoklad(getPolozkyArray());
        result = zapisDokladDB(*db);
        if (ResultString::isSuccess(result)) {
            SqlRows::update(*db,
                            "update vety set parcdok=?,info=(select nazov from zlava where id=?),tvety_id=? where cdok=?",
                            {parCdok, aktivitaId, aktivitaId, ResultString::number(result)});
        }
        if (!db->commit()) throw SqlFailure(db->lastErrorMessage());
        Console::print("db.commit");
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba!,,") + "zapisDokladPreAktivitu(aktivitaId:parCdok:)" + "\n" + e.what();
        if (db->inTransaction()) db->rollback();
        Console::print("db.rollback");
        // The posted header went with the rollback: nothing is left to print.
        if (printingId != printingBefore) printingId.clear();
    }
    db->close();
    Console::print("db.close");
    return result;
}
