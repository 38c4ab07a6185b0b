// Recomputation of the document being written: picking the chosen goods,
// the take-back fill, pricing every line with its three discounts and VAT,
// the cash limit of a cash sale, and the range a document is computed in.
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
#include "sales/DokladRiadky.h"

namespace {

// One line of a good, of quantity `mnoz`, priced with the good's discounts and VAT.
Amounts::Line lineOf(const TovarItem& tovar, const std::string& mnoz) {
    return Amounts::computeLine(tovar.CENA, tovar.ZLAVA1, tovar.ZLAVA2, tovar.ZLAVA3, tovar.DPH, mnoz);
}

}  // namespace

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
        // The good is priced on the lines it is written with, each rounded on
        // its own, so that what the editor, the confirmation and the cash
        // limit see is what the document holds.
        Amounts::Line good = lineOf(*tovar, tovar->VYBRANE);
        good.amount = good.vat = good.total = 0;
        for (const auto& riadok : DokladRiadky::riadky(*this, *tovar)) {
            const Amounts::Line each = lineOf(*tovar, riadok.mnoz);
            good.amount += each.amount;
            good.vat += each.vat;
            good.total += each.total;
        }
        sum += good.total;
        if (coredb::upper(tovar->KORUNKA) == "ANO") sumKorunka += good.total;
        tovar->CENA3 = Amounts::formatUnits(good.cena3, 3, 8);
        tovar->CENA3SDPH = Amounts::formatUnits(good.cenaSDph, 2, 8);
        tovar->CCMNOZ = Amounts::formatUnits(good.amount, 2, 8);
        tovar->HDPHCC = Amounts::formatUnits(good.vat, 2, 8);
        tovar->CCSUM = Amounts::formatUnits(good.total, 2, 8);
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

std::string Trekora::checkRozsahDokladu() {
    // Beyond the range a reading would be held at its largest value, and the
    // stored statements would work a line out in floating point: what the
    // editor shows would not be what the document holds.
    std::int64_t sum = 0;
    for (const auto& tovar : getPolozkyArray()) {
        if (!Amounts::exact(Amounts::unitsOf(tovar->VYBRANE, 3), 3)) return "chyba!,,množstvo mimo povoleného rozsahu";
        for (const auto& riadok : DokladRiadky::riadky(*this, *tovar)) {
            if (!Amounts::exact(Amounts::unitsOf(riadok.mnoz, 3), 3)) return "chyba!,,množstvo mimo povoleného rozsahu";
            const Amounts::Line line = lineOf(*tovar, riadok.mnoz);
            sum += line.total;
            if (!Amounts::exact(line.amount, 2) || !Amounts::exact(line.vat, 2) || !Amounts::exact(line.total, 2) ||
                !Amounts::exact(sum, 2))
                return "chyba!,,suma dokladu mimo povoleného rozsahu";
        }
    }
    return "ok";
}
