// Cash withdrawal ("odvod") and deposit ("vklad") of the closing menu.

#include "ui/shell/SimpleMenu.h"

#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "report/DataItem.h"
#include "ui/sales/SalesUi.h"
#include "ui/shell/CashAmount.h"

using platform::Console;

namespace {

std::string rowText(const RowDictionary& row) {
    std::string text = "[";
    bool first = true;
    for (const auto& [key, value] : row) {
        if (!first) text += ", ";
        first = false;
        text += "\"" + key + "\": \"" + value + "\"";
    }
    return text + "]";
}

}  // namespace

void SimpleMenu::pokladnaPrompt(bool vyber) {
    std::weak_ptr<SimpleMenu> weak = self();
    present(SalesUi::prompt(vyber ? "odvod (výber z pokladne)" : "vklad do pokladne", "zadajte sumu",
                            platform::KeyboardType::decimalPad,
                            [weak, vyber](const std::string& typed) {
                                if (auto screen = weak.lock()) screen->pokladnaZapis(typed, vyber);
                            }),
            animovat());
}

void SimpleMenu::pokladnaZapis(const std::string& typed, bool vyber) {
    std::string refusal;
    auto suma = CashAmount::amountText(typed, vyber, &refusal);
    if (!suma) {
        // Nothing typed: nothing to say. Anything else not taken is refused
        // in words.
        if (!refusal.empty()) zobrazVysledok("chyba!,," + refusal);
        return;
    }
    auto& trekora = sharedTrekora();
    const std::string result = vyber ? trekora.zapisVyber(*suma, "") : trekora.zapisVklad(*suma, "");
    if (!ResultString::isSuccess(result)) {
        zobrazVysledok(result);
        return;
    }
    // "ok!,,cdok=<number>": the message is "cdok=<number>", the number the
    // piece after "=".
    zobrazDokladOtazka(ResultString::message(result), ResultString::number(result));
}

void SimpleMenu::zobrazDokladOtazka(const std::string& message, const std::string& cdok) {
    std::weak_ptr<SimpleMenu> weak = self();
    auto alert = question(
        "zobraziť doklad?", message, "nie", "áno", [] { Console::print("You've pressed cancel"); },
        [weak, cdok] {
            if (auto screen = weak.lock()) screen->zobrazDoklad(cdok);
        });
    present(alert, animovat());
}

void SimpleMenu::zobrazDoklad(const std::string& cdok) {
    if (cdok.empty()) return;
    auto& trekora = sharedTrekora();
    // The document's row of the document list, found without reading the
    // whole list (which holds every document written).
    const auto list = trekora.findDataItem("vsetky_vystavene");
    const auto row = list ? list->findRow("CDOK", cdok) : std::nullopt;
    if (!row) return;
    auto preview = instantiate("Preview");
    trekora.printingDoklad = *row;
    Console::print(rowText(*row));
    push(preview, animovat());
}
