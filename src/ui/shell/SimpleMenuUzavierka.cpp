// Daily closing, print commands, deletion of the received orders and the
// salesman file of the closing and service menus.

#include "ui/shell/SimpleMenu.h"

#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "records/NastaveniaItem.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

void SimpleMenu::fiskalPrikaz(Fiskal::Command command, const std::string& txt, bool animated) {
    auto tlac = instantiate("Tlac");
    auto& trekora = sharedTrekora();
    trekora.fiskalCommand = command;
    trekora.fiskalCommandParameters.clear();
    trekora.fiskalTxt = txt;
    // A job for printer 1 only: no text of an earlier preview may reach printer 2.
    trekora.fiskalTxt2.clear();
    push(tlac, animated);
}

void SimpleMenu::uzavierkaOtazka() {
    std::weak_ptr<SimpleMenu> weak = self();
    auto alert = question(
        "trekora uzávierka", "zapísať trekora uzávierku?", "nie", "áno",
        [] { Console::print("You've pressed cancel"); },
        [weak] {
            if (auto screen = weak.lock()) screen->uzavierkaZapis();
        });
    present(alert, animovat());
}

void SimpleMenu::uzavierkaZapis() {
    auto& trekora = sharedTrekora();
    const std::string closing = trekora.zapisUzavierku();
    if (!ResultString::isSuccess(closing)) {
        zobrazVysledok(closing);
        return;
    }
    const std::string cdok = ResultString::message(closing);
    if (cdok.empty()) {
        // Written, but without a number there is nothing to export or show.
        zobrazVysledok(closing);
        return;
    }
    const std::string exported = trekora.exportDU(cdok);
    if (!ResultString::isSuccess(exported)) {
        // The closing is written and its export stays owed: the next
        // synchronisation makes it. Said plainly, so that no second closing
        // is written in its place.
        zobrazVysledok("chyba!,,uzávierka " + cdok + " bola zapísaná, jej export sa urobí pri najbližšej synchronizácii (" +
                       ResultString::reason(exported) + ")");
        return;
    }
    zobrazDokladOtazka(cdok, cdok);
}

void SimpleMenu::vymazObjednavky(bool animated) {
    if (!sharedTrekora().vymazObjednavky()) {
        // Nothing was deleted: say so and stay in the service menu.
        showError("chyba!", "objednávky na závoz neboli vymazané", animated);
        return;
    }
    popSelf(animated);
}

void SimpleMenu::predajcaPrompt(bool animated) {
    auto& trekora = sharedTrekora();
    const std::string backup = trekora.nastaveniaItem ? trekora.nastaveniaItem->BACKUP_PC_DIR : "";
    auto alert = AlertController::make("predajca", "", AlertController::Style::alert);
    alert->addTextField([backup](platform::TextField& field) {
        field.setKeyboardType(platform::KeyboardType::defaultType);
        field.setPlaceholder("");
        field.setText(backup + "/merchant.json");
        field.setTextAlignment(platform::TextAlignment::right);
    });
    std::weak_ptr<SimpleMenu> weak = self();
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [weak](AlertAction&) {
        Console::print("You've pressed cancel");
        if (auto screen = weak.lock()) screen->popSelf(animovat());
    }));
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>(
        "ok", AlertAction::Style::defaultStyle, [weak, weakAlert, animated](AlertAction&) {
            Console::print("You've pressed ok");
            auto screen = weak.lock();
            if (!screen) return;
            std::string address;
            if (auto prompt = weakAlert.lock(); prompt && !prompt->textFields().empty())
                address = prompt->textFields().front()->textOrEmpty();
            Console::print(address);
            auto tlac = screen->instantiate("Tlac");
            auto& t = sharedTrekora();
            t.fiskalCommand = Fiskal::Command::nastavPredajcu;
            t.fiskalCommandParameters.clear();
            t.fiskalTxt = t.readPredajcaJson(address);
            t.fiskalTxt2.clear();
            Console::print(t.fiskalTxt);
            screen->push(tlac, animated);
        }));
    present(alert, animovat());
}
