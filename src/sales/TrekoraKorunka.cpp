// Loyalty account of the selected customer and the points check of a gift
// issue.
#include "core/Amounts.h"
#include "core/CoreDb.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "records/KorunkaItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

using platform::Console;

void Trekora::readKorunka(const std::string& idosc) {
    (void)idosc;  // the statement binds the selected customer's IDOSC, as the callers pass
    Console::print("start readKorunka(idosc:) ...");
    selectedKorunkaItem = std::make_shared<KorunkaItem>();
    const std::string sql = getQuery("korunka_riadok");
    Console::print(sql);
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return;
    }
    try {
        auto rs = SqlRows::query(*db, sql, {selectedOdberatelItem->IDOSC});
        while (rs->next()) {
            const RowDictionary row = coredb::row(*rs, false);
            for (const auto& [name, value] : row) Console::print(name + " " + value);
            selectedKorunkaItem->fillFromRow(row);
            Console::print(selectedKorunkaItem->description());
            Console::print("--------------------------------");
        }
        rs->close();
    } catch (const std::exception& e) {
        Console::print(std::string("failed: ") + e.what());
    }
    db->close();
}

std::string Trekora::checkKorunkaBody() {
    if (coredb::upper(selectedKorunkaItem->KORUNKA) != "ANO") return "chyba!,,odberatel nie je zaradený v korunke!";
    std::int64_t needed = 0;
    for (const auto& tovar : getPolozkyArray()) needed += Amounts::unitsOf(tovar->CCMNOZ, 2);
    if (Amounts::unitsOf(selectedKorunkaItem->ZOSTATOK, 2) >= needed) return "ok";
    return "chyba! ,,nedostatok_bodov!";
}
