// Cash receipt numbering and the temporary document: the state of the
// document being written turned into one header and its lines.
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DateFormatter.h"
#include "posting/SqlRows.h"
#include "records/DatumSpotrebyItem.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"
#include "records/TovarItem.h"
#include "sales/Amounts.h"

using platform::Console;

std::string Trekora::getParagonNumber() {
    Console::print("start getParagonNumber() ...");
    std::string result;
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return result;
    }
    try {
        auto rs = SqlRows::query(
            *db, "select 'DC:'||coalesce(max(substr(info,4)+1),1) from vety where pohyb=10 and info like 'DC:%';", {});
        if (rs->next()) result = rs->stringForColumnIndex(0).value_or("");
        rs->close();
    } catch (const std::exception& e) {
        Console::print(std::string("failed: ") + e.what());
    }
    db->close();
    return result;
}

bool Trekora::naplnTempDoklad() {
    tempVetyArray.clear();
    tempPoloArray.clear();

    const auto& typ = *selectedTypDokladuItem;
    const std::string pohyb = std::to_string(typ.pohyb);

    auto vety = std::make_shared<TempVetyItem>();
    tempVetyArray.push_back(vety);
    vety->IDU = idu;
    vety->IDO = selectedOdberatelItem->IDO;
    vety->INFO = info;
    vety->KM = km;
    vety->FACVSET = facvset;
    vety->FACNAS = facnas;
    vety->TRASA = trasa;
    vety->POHYB = pohyb;
    vety->DATUM3 = datum3;
    vety->SUMDOKZ = selectedSumdokz;
    vety->PARCDOK = parcdok;
    vety->OBJCDOK = objcdok;

    if (typ.pohyb == 40 && typ.name == "ZAVOZ") {
        vety->INFO = "ZAVOZ:" + nastaveniaItem->OBJ_PRE_EXPORT_STR;
    }
    if (typ.pohyb == 20 || typ.pohyb == 21) {
        const platform::DateFormatter reader("dd.MM.yyyy");
        const platform::DateFormatter writer("yyyy-MM-dd");
        const auto delivery = reader.date(vety->INFO);
        vety->INFO = writer.string(delivery ? *delivery : platform::Clock::now());
        vety->FACVSET.assign(1, typ.ctlac == 1 ? '1' : '0');
    }
    if (typ.pohyb == 10 && nastaveniaItem->FISKAL_PRINT == "N") {
        vety->INFO = getParagonNumber();
    }
    Console::print(vety->description());

    for (const auto& tovar : getPolozkyArray()) {
        for (const auto& sarza : getDatumSpotrebyArray(tovar->IDTOV)) {
            // A batch line carries a quantity only when it is not zero as a
            // number: "0", "00", "0.0" or an empty quantity make no line.
            if (Amounts::floatOf(sarza->VYBRANE) == 0.0f) continue;
            auto polo = std::make_shared<TempPoloItem>();
            polo->IDO = selectedOdberatelItem->IDO;
            polo->IDTOV = tovar->IDTOV;
            polo->MNOZ = sarza->VYBRANE;
            polo->DATUMSPOTREBY = sarza->DATUMSPOTREBY;
            polo->POHYB = pohyb;
            polo->ZLAVA1 = tovar->ZLAVA1;
            polo->ZLAVA2 = tovar->ZLAVA2;
            polo->ZLAVAC = tovar->ZLAVA3;
            tempPoloArray.push_back(polo);
            Console::print(polo->description());
        }
    }
    return true;
}
