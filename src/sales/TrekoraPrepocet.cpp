// Recomputation of the document being written: picking the chosen goods,
// the take-back fill, pricing every line with its three discounts and VAT in
// single precision, and the cash limit of a cash sale.
//
// Every price and amount is rounded by writing it with a C format and reading
// the text back, exactly as the stored totals and the printed documents show
// it; the build forbids fused multiply-adds so each step rounds on its own.
#include "core/Trekora.h"
#include "core/CoreDb.h"
#include "platform/Console.h"
#include "posting/SqlRows.h"
#include "records/DatumSpotrebyItem.h"
#include "records/NastaveniaItem.h"
#include "records/TovarItem.h"
#include "sales/Amounts.h"

#include <cmath>

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
    float sum = 0.0f;
    float sumKorunka = 0.0f;
    for (const auto& tovar : items) {
        const Amounts::Line line = Amounts::computeLine(tovar->CENA, tovar->ZLAVA1, tovar->ZLAVA2, tovar->ZLAVA3,
                                                        tovar->DPH, tovar->VYBRANE);
        sum = sum + line.total;
        if (coredb::upper(tovar->KORUNKA) == "ANO") sumKorunka = sumKorunka + line.total;
        tovar->CENA3 = Amounts::format("%8.3f", line.cena3);
        tovar->CENA3SDPH = Amounts::format("%8.2f", line.cenaSDph);
        tovar->CCMNOZ = Amounts::format("%8.2f", line.amount);
        tovar->HDPHCC = Amounts::format("%8.2f", line.vat);
        tovar->CCSUM = Amounts::format("%8.2f", line.total);
    }
    selectedSumdokz = Amounts::format("%13.2f", sum);
    selectedSumdokzDoKorunky = Amounts::format("%13.2f", sumKorunka);
}

std::string Trekora::checkMaxSumaHotovosti() {
    const float limit = Amounts::floatOf(nastaveniaItem ? nastaveniaItem->MAXSUMAHOTOVOSTI : std::string());
    const float total = std::fabs(Amounts::floatOf(selectedSumdokz));
    platform::Console::print(Amounts::format("%g", limit));
    platform::Console::print(Amounts::format("%g", total));
    if (limit >= total) return "ok";
    return "chyba! ,,prekročená_max_suma_hotovosti";
}
