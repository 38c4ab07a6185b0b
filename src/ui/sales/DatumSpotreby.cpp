#include "ui/sales/DatumSpotreby.h"

#include "core/Amounts.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/Numbers.h"
#include "records/DatumSpotrebyItem.h"
#include "records/MenuItem.h"
#include "records/TovarItem.h"
#include "sales/DokladTyp.h"
#include "ui/sales/SalesUi.h"
#include "ui/sales/TypedNumber.h"

using platform::Console;

namespace {

// The greatest discount of a good: its MAXZLA as a number ("," read as "."),
// else the leading number of the text.
double maxZlava(const TovarItem& tovar) {
    if (auto max = TypedNumber::decimal(tovar.MAXZLA)) return *max;
    return Amounts::floatOf(tovar.MAXZLA);
}

}  // namespace

DatumSpotreby::DatumSpotreby()
    : tovarItem(std::make_shared<TovarItem>()), datumSpotrebyItem(std::make_shared<DatumSpotrebyItem>()) {}

void DatumSpotreby::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = std::static_pointer_cast<DatumSpotreby>(shared_from_this());
    SalesUi::wireList(me, tableView);
    data = sharedTrekora().getDatumSpotrebyArray(tovarItem->IDTOV);
    filteredData = data;
    setTitle(std::string("dátum spotreby"));
}

int DatumSpotreby::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(filteredData.size()); }

std::shared_ptr<platform::TableViewCell> DatumSpotreby::cellForRowAt(platform::TableView& table,
                                                                     const platform::IndexPath& indexPath) {
    auto cell = table.dequeueReusableCell("Cell", indexPath);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= filteredData.size()) return cell;
    const auto& sarza = *filteredData[static_cast<std::size_t>(indexPath.row)];
    cell->textLabel()->setText(sarza.FDATSPOT);
    if (auto detail = cell->detailTextLabel()) detail->setText("vybrane: " + sarza.VYBRANE);
    return cell;
}

void DatumSpotreby::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    auto me = std::static_pointer_cast<DatumSpotreby>(shared_from_this());
    const int row = indexPath.row;
    platform::DispatchQueue::main()->async([me, row] {
        if (row >= 0) me->vyber(static_cast<std::size_t>(row));
    });
}

void DatumSpotreby::vyber(std::size_t row) {
    if (row >= filteredData.size()) return;
    const bool animated = SalesUi::animovat();
    datumSpotrebyItem = filteredData[row];
    const auto& typ = *sharedTrekora().selectedTypDokladuItem;
    const bool kladne = typ.koeficient == 1 || typ.pohyb == 40;
    std::weak_ptr<DatumSpotreby> weak = std::static_pointer_cast<DatumSpotreby>(shared_from_this());
    present(SalesUi::prompt("zadajte množstvo",
                            datumSpotrebyItem->IDTOV + " " + tovarItem->NAZTOV1 + "\n" + datumSpotrebyItem->FDATSPOT,
                            kladne ? platform::KeyboardType::numberPad : platform::KeyboardType::numbersAndPunctuation,
                            [weak](const std::string& typed) {
                                if (auto s = weak.lock()) s->mnozstvoOk(typed);
                            }),
            animated);
}

void DatumSpotreby::chyba(const std::string& typed, bool whole) {
    // Quantities are whole pieces; a discount may have a fraction, so one
    // above the maximum is out of range whatever its places.
    const std::string outOfRange = "číslo je mimo dovolený rozsah";
    SalesUi::message(*this, "chyba",
                     whole ? TypedNumber::refusalOfWhole(typed, outOfRange) : TypedNumber::refusal(typed, outOfRange),
                     true);
}

bool DatumSpotreby::checkMnozstvo(const TovarItem&, const DatumSpotrebyItem& sarza,
                                  const std::string& mnozstvo) const {
    // An empty quantity takes nothing from the batch; any other text must be
    // one whole number.
    std::int64_t q = 0;
    if (!TypedNumber::isEmpty(mnozstvo)) {
        const auto whole = TypedNumber::whole(mnozstvo);
        if (!whole) return false;
        q = *whole;
    }
    const std::int64_t s = Amounts::integerOf(sarza.SARZA_STAV);
    const auto& typ = *sharedTrekora().selectedTypDokladuItem;
    switch (typ.pohyb) {
        case 19:
        case 59:
        case 69:
        case 43:
            return q >= 0 || s >= -q;
        case 10:
            if (typ.koeficient == 1) return q >= 0 && q <= s;
            return q >= -s && q <= 0;
        case 20:
        case 30:
        case 50:
        case 60:
        case 44:
            return q >= 0 && q <= s;
        case 21:
        case 31:
            return q >= -s && q <= 0;
        default:
            return true;
    }
}

void DatumSpotreby::setMnozstvo(const std::string& mnozstvo) {
    const std::int64_t q = TypedNumber::isEmpty(mnozstvo) ? 0 : TypedNumber::whole(mnozstvo).value_or(0);
    const std::int64_t old = Amounts::integerOf(datumSpotrebyItem->VYBRANE);
    const std::int64_t g = Amounts::integerOf(tovarItem->VYBRANE);
    datumSpotrebyItem->VYBRANE = std::to_string(q);
    tovarItem->VYBRANE = std::to_string(g - old + q);
}

void DatumSpotreby::mnozstvoOk(const std::string& typed) {
    if (!checkMnozstvo(*tovarItem, *datumSpotrebyItem, typed)) {
        chyba(typed, true);
        return;
    }
    // The document with this quantity must stay where it is computed and
    // written exactly; otherwise the batch and the good keep what they had.
    const std::string batchBefore = datumSpotrebyItem->VYBRANE, goodBefore = tovarItem->VYBRANE;
    setMnozstvo(typed);
    const std::string rozsah = sharedTrekora().checkRozsahDokladu();
    if (!ResultString::isSuccess(rozsah)) {
        datumSpotrebyItem->VYBRANE = batchBefore;
        tovarItem->VYBRANE = goodBefore;
        SalesUi::message(*this, "chyba", ResultString::message(rozsah), true);
        return;
    }
    const auto& typ = *sharedTrekora().selectedTypDokladuItem;
    const bool animated = SalesUi::animovat();
    if (DokladTyp::isReturn(typ.name)) {
        SalesUi::pop(*this, animated);
        return;
    }
    const std::int64_t p = typ.pohyb;
    if ((p == 10 || p == 20 || p == 21 || p == 30 || p == 31 || p == 40) &&
        TypedNumber::hundredths(maxZlava(*tovarItem)) != 0) {
        zlavaPrompt();
        return;
    }
    SalesUi::pop(*this, animated);
}

void DatumSpotreby::zlavaPrompt() {
    std::weak_ptr<DatumSpotreby> weak = std::static_pointer_cast<DatumSpotreby>(shared_from_this());
    present(SalesUi::prompt("zadajte zľavu",
                            datumSpotrebyItem->IDTOV + " " + tovarItem->NAZTOV1 + "\nmax. zľava:" + tovarItem->MAXZLA,
                            platform::KeyboardType::decimalPad,
                            [weak](const std::string& typed) {
                                if (auto s = weak.lock()) s->zlavaOk(typed);
                            }),
            SalesUi::animovat());
}

bool DatumSpotreby::checkZlava(const std::string& zlava) const {
    const auto value = TypedNumber::decimal(zlava);
    if (!value || *value < 0) return false;
    return TypedNumber::hundredths(*value) <= TypedNumber::hundredths(maxZlava(*tovarItem));
}

void DatumSpotreby::setZlava(const std::string& zlava) {
    // Adding 0 turns a typed "-0" into plain 0, which prints without a sign.
    tovarItem->ZLAVA1 = platform::format("%5.2f", TypedNumber::decimal(zlava).value_or(0.0) + 0.0);
}

void DatumSpotreby::zlavaOk(const std::string& typed) {
    // An empty discount keeps the discount the line had.
    if (!TypedNumber::isEmpty(typed)) {
        if (!checkZlava(typed)) {
            chyba(typed, false);
            return;
        }
        // The line is priced and stored in hundredths: a finer discount is
        // refused rather than rounded unsaid.
        if (TypedNumber::beyondHundredths(typed)) {
            SalesUi::message(*this, "chyba", TypedNumber::tooManyPlaces, true);
            return;
        }
        setZlava(typed);
    }
    SalesUi::pop(*this, SalesUi::animovat());
}
