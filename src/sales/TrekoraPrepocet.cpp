// Recomputation of the document being written: picking the chosen goods,
// the take-back fill, pricing every line with its three discounts and VAT,
// and the cash limit of a cash sale.
//
// Prices and amounts are exact decimals (Amounts): each rounding step rounds
// halves away from zero, and the document total is the sum of the line
// totals as they are written.
#include "core/Amounts.h"
#include "core/CoreDb.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "records/DatumSpotrebyItem.h"
#include "records/NastaveniaItem.h"
#include "records/TovarItem.h"

std::vector<std::shared_ptr<TovarItem>> Trekora::getPolozkyArray() {
    platform::Console::print("start getPolozkyArray() ...");
    std::vector<std::shared_ptr<TovarItem>> result;
    for (const auto& tovar : tovarArray)
        if (Amounts::integerOf(tovar->VYBRANE) != 0) result.push_back(tovar);
    platform::Console::print(std::to_string(result.size()));
    return result;
}

void Trekora::odprijmovatVsetko() {
    for (const auto& tovar : tovarArray) {
        tovar->VYBRANE = Amounts::formatInt(0 - Amounts::integerOf(tovar->SKLAD_STAV));
        for (const auto& sarza : getDatumSpotrebyArray(tovar->IDTOV))
            sarza->VYBRANE = Amounts::formatInt(0 - Amounts::integerOf(sarza->SARZA_STAV));
    }
}

void Trekora::prepocitajDoklad(const std::vector<std::shared_ptr<TovarItem>>& items) {
    platform::Console::print("start prepocitajDoklad(items:) ...");
    std::int64_t sum = 0;
    std::int64_t sumKorunka = 0;
    for (const auto& tovar : items) {
        const Amounts::Line line = Amounts::computeLine(tovar->CENA, tovar->ZLAVA1, tovar->ZLAVA2, tovar->ZLAVA3,
                                                        tovar->DPH, tovar->VYBRANE);
        sum += line.total;
        if (coredb::upper(tovar->KORUNKA) == "ANO") sumKorunka += line.total;
        tovar->CENA3 = Amounts::formatUnits(line.cena3, 3, 8);
        tovar->CENA3SDPH = Amounts::formatUnits(line.cenaSDph, 2, 8);
        tovar->CCMNOZ = Amounts::formatUnits(line.amount, 2, 8);
        tovar->HDPHCC = Amounts::formatUnits(line.vat, 2, 8);
        tovar->CCSUM = Amounts::formatUnits(line.total, 2, 8);
    }
    selectedSumdokz = Amounts::formatUnits(sum, 2, 13);
    selectedSumdokzDoKorunky = Amounts::formatUnits(sumKorunka, 2, 13);
}

std::string Trekora::checkMaxSumaHotovosti() {
    // Compared to the cent: a single-precision reading would let a total a
    // few cents above a large limit pass.
    const std::int64_t limit = Amounts::unitsOf(nastaveniaItem ? nastaveniaItem->MAXSUMAHOTOVOSTI : std::string(), 2);
    const std::int64_t signedTotal = Amounts::unitsOf(selectedSumdokz, 2);
    const std::int64_t total = signedTotal < 0 ? -signedTotal : signedTotal;
    platform::Console::print(Amounts::formatUnits(limit, 2, 0));
    platform::Console::print(Amounts::formatUnits(total, 2, 0));
    if (limit >= total) return "ok";
    return "chyba! ,,prekročená_max_suma_hotovosti";
}
