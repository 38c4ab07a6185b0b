// Cash receipt numbering and the temporary document: the state of the
// document being written turned into one header and its lines.
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DateFormatter.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"
#include "records/TovarItem.h"
#include "sales/DokladRiadky.h"

using platform::Console;

namespace {

const char* const kNextParagon =
    "select 'DC:'||coalesce(max(substr(info,4)+1),1) from vety where pohyb=10 and info like 'DC:%';";

// The next receipt number read on `db`; throws when the query fails.
std::string nextParagon(SqlDatabase& db) {
    std::string result;
    auto rs = SqlRows::query(db, kNextParagon, {});
    if (rs->next()) result = rs->stringForColumnIndex(0).value_or("");
    rs->close();
    return result;
}

// The temporary document from the state of the document being written; the
// cash receipt number is read on `held` when the caller holds a connection.
bool fillTempDoklad(Trekora& t, SqlDatabase* held) {
    t.tempVetyArray.clear();
    t.tempPoloArray.clear();

    const auto& typ = *t.selectedTypDokladuItem;
    const std::string pohyb = std::to_string(typ.pohyb);

    auto vety = std::make_shared<TempVetyItem>();
    t.tempVetyArray.push_back(vety);
    vety->IDU = t.idu;
    vety->IDO = t.selectedOdberatelItem->IDO;
    vety->INFO = t.info;
    vety->KM = t.km;
    vety->FACVSET = t.facvset;
    vety->FACNAS = t.facnas;
    vety->TRASA = t.trasa;
    vety->POHYB = pohyb;
    vety->DATUM3 = t.datum3;
    vety->SUMDOKZ = t.selectedSumdokz;
    vety->PARCDOK = t.parcdok;
    vety->OBJCDOK = t.objcdok;

    if (typ.pohyb == 40 && typ.name == "ZAVOZ") {
        vety->INFO = "ZAVOZ:" + t.nastaveniaItem->OBJ_PRE_EXPORT_STR;
    }
    if (typ.pohyb == 20 || typ.pohyb == 21) {
        const platform::DateFormatter reader("dd.MM.yyyy");
        const platform::DateFormatter writer("yyyy-MM-dd");
        const auto delivery = reader.date(vety->INFO);
        vety->INFO = writer.string(delivery ? *delivery : platform::Clock::now());
        vety->FACVSET.assign(1, typ.ctlac == 1 ? '1' : '0');
    }
    if (typ.pohyb == 10 && t.nastaveniaItem->FISKAL_PRINT == "N") {
        vety->INFO = held ? t.getParagonNumberDB(*held) : t.getParagonNumber();
    }
    if (t.postingTrace) Console::print(vety->description());

    for (const auto& tovar : t.getPolozkyArray()) {
        for (const auto& riadok : DokladRiadky::riadky(t, *tovar)) {
            auto polo = std::make_shared<TempPoloItem>();
            polo->IDO = t.selectedOdberatelItem->IDO;
            polo->IDTOV = tovar->IDTOV;
            polo->MNOZ = riadok.mnoz;
            polo->DATUMSPOTREBY = riadok.datumSpotreby;
            polo->POHYB = pohyb;
            polo->ZLAVA1 = tovar->ZLAVA1;
            polo->ZLAVA2 = tovar->ZLAVA2;
            polo->ZLAVAC = tovar->ZLAVA3;
            t.tempPoloArray.push_back(polo);
            if (t.postingTrace) Console::print(polo->description());
        }
    }
    return true;
}

}  // namespace

std::string Trekora::getParagonNumber() {
    Console::print("start getParagonNumber() ...");
    std::string result;
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return result;
    }
    try {
        result = nextParagon(*db);
    } catch (const std::exception& e) {
        Console::print(std::string("failed: ") + e.what());
    }
    db->close();
    return result;
}

std::string Trekora::getParagonNumberDB(SqlDatabase& db) {
    // A writer that holds an exclusive transaction reads the number on its
    // own connection: a second one would wait for that transaction.
    Console::print("start getParagonNumberDB(db:) ...");
    return nextParagon(db);
}

bool Trekora::naplnTempDoklad() {
    return fillTempDoklad(*this, nullptr);
}

bool Trekora::naplnTempDokladDB(SqlDatabase& db) {
    return fillTempDoklad(*this, &db);
}
