// The dispatcher of the menu screen: a tapped row runs the action of its key.

#include "ui/shell/SimpleMenu.h"

#include <algorithm>
#include <cctype>

#include "core/ServicePinPrompt.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/NavigationController.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "ui/orders/Sklad.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

void SimpleMenu::dispatchRow(const platform::IndexPath& indexPath) {
    Console::print("didSelectRow");
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= data.size()) return;
    const std::size_t row = static_cast<std::size_t>(indexPath.row);
    const auto selected = data[row];
    const std::string key = selected->segue;
    const bool animated = animovat();

    auto& trekora = sharedTrekora();
    trekora.selectedObj.reset();
    trekora.selectedObjData.reset();

    Console::print("segue= " + key);
    if (key.empty()) return;

    if (key == "menu_prijem_segue") {
        openMenu("prijem", animated);
    } else if (key == "menu_predaj_segue") {
        openScreen("Odberatel", animated);
    } else if (key == "prijem_items_segue") {
        prijemItems(row, animated);
    } else if (key == "predaj_items_segue") {
        trekora.selectedTypDokladuItem = selected;
        openScreen("Polozky", animated);
    } else if (key == "predaj_dovod_segue") {
        openMenu("nepredaj", animated);
    } else if (key == "storno_hotovosti_parameters_segue" || key == "faktura_na_hotovost_parameters_segue" ||
               key == "dobropis_na_hotovost_parameters_segue" || key == "faktura_parameters_segue" ||
               key == "dobropis_parameters_segue" || key == "aktivita_parameters_segue") {
        dokladParametre(selected, animated);
    } else if (key == "vydaj_darcekov_items_segue") {
        korunkaDoklad(selected, "Polozky", animated);
    } else if (key == "prevod_bodov_parameters_segue") {
        korunkaDoklad(selected, "Parametre", animated);
    } else if (key == "zapis_dovod") {
        zapisDovod(selected);
    } else if (key == "menu_inventura_segue") {
        openMenu("inventura", animated);
    } else if (key == "menu_uzavierka_segue") {
        openMenu("uzavierka", animated);
    } else if (key == "menu_doklady_segue") {
        openScreen("Doklady", animated);
    } else if (key == "menu_objednavky_segue") {
        openScreen("Objednavky", animated);
    } else if (key == "menu_spojenie_segue") {
        openMenu("spojenie", animated);
    } else if (key == "menu_nastavenia_segue") {
        nastaveniaPrompt(animated);
    } else if (key == "menu_info_segue") {
        openMenu("info", animated);
    } else if (key == "menu_servis_segue") {
        openMenu("servis", animated);
    } else if (key == "menu_uzivatel_segue") {
        openScreen("Uzivatel", animated);
    } else if (key == "inventura_sklad_segue") {
        // The stock screen lists the stock type of the chosen row, handed
        // over in its menuItem before the push.
        openScreen("Sklad", animated, [selected](platform::ViewController& screen) {
            if (auto sklad = dynamic_cast<Sklad*>(&screen)) sklad->menuItem = selected;
        });
    } else if (key == "spojenie_synchronizacia_segue" || key == "spojenie_aktualizacia_segue" ||
               key == "spojenie_obnova_segue" || key == "spojenie_export_segue" ||
               key == "spojenie_import_segue") {
        spojenie(row, key, animated);
    } else if (key == "tlac_kopiu_posledneho_dokladu") {
        fiskalPrikaz(Fiskal::Command::tlacKopiuPoslednehoDokladu, "", animated);
    } else if (key == "fix_doklad") {
        fiskalPrikaz(Fiskal::Command::fixDoklad, "", animated);
    } else if (key == "tlac_vyber") {
        pokladnaPrompt(true);
    } else if (key == "tlac_vklad") {
        pokladnaPrompt(false);
    } else if (key == "tlac_dennu_uzavierku") {
        uzavierkaOtazka();
    } else if (key == "aktualizuj_polohu") {
        fiskalPrikaz(Fiskal::Command::aktualizujPolohu, trekora.spz, animated);
    } else if (key == "vymaz_objednavky") {
        vymazObjednavky(animated);
    } else if (key == "nastav_predajcu") {
        predajcaPrompt(animated);
    } else if (key == "menu_test_segue") {
        openScreen("Test", animated);
    }
}

// --- receipt of goods with the kilometre prompt ---------------------------------

void SimpleMenu::prijemItems(std::size_t row, bool animated) {
    auto& trekora = sharedTrekora();
    if (trekora.nastaveniaItem && trekora.nastaveniaItem->KILOMETRE == "N") {
        trekora.selectedOdberatelItem = std::make_shared<OdberatelItem>();
        trekora.selectedTypDokladuItem = data[row];
        openScreen("Polozky", animated);
        return;
    }
    kilometrePrompt(row, animated);
}

void SimpleMenu::kilometrePrompt(std::size_t row, bool animated) {
    auto& trekora = sharedTrekora();
    trekora.readKm();
    auto alert = AlertController::make("kilometre", "pôvodný stav: " + trekora.km, AlertController::Style::alert);
    std::weak_ptr<SimpleMenu> weak = self();
    alert->addTextField([weak](platform::TextField& field) {
        field.setKeyboardType(platform::KeyboardType::numberPad);
        field.setPlaceholder("");
        field.setText(sharedTrekora().km);
        if (auto screen = weak.lock()) field.setDelegate(std::shared_ptr<platform::TextFieldDelegate>(screen));
    });
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("You've pressed cancel");
    }));
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>(
        "ok", AlertAction::Style::defaultStyle, [weak, weakAlert, row, animated](AlertAction&) {
            auto screen = weak.lock();
            if (!screen) return;
            auto& t = sharedTrekora();
            std::string reading;
            if (auto prompt = weakAlert.lock(); prompt && !prompt->textFields().empty())
                reading = prompt->textFields().front()->textOrEmpty();
            // An emptied field keeps the reading held before. A text that is
            // no reading (pasted letters, say) is refused like a wrong amount:
            // nothing is stored and no document is opened.
            if (!reading.empty() && reading.find_first_not_of("0123456789") != std::string::npos) {
                Console::print("kilometre: not a reading: " + reading);
                return;
            }
            if (!reading.empty()) {
                t.km = reading;
                t.writeKm();
            }
            t.selectedOdberatelItem = std::make_shared<OdberatelItem>();
            if (row < screen->data.size()) t.selectedTypDokladuItem = screen->data[row];
            screen->openScreen("Polozky", animated);
        }));
    present(alert, animated);
}

// --- documents of the sales menu ------------------------------------------------

void SimpleMenu::dokladParametre(const std::shared_ptr<MenuItem>& row, bool animated) {
    Console::print(row->description());
    sharedTrekora().selectedTypDokladuItem = row;
    openScreen("Parametre", animated);
}

void SimpleMenu::korunkaDoklad(const std::shared_ptr<MenuItem>& row, const std::string& identifier,
                               bool animated) {
    auto& trekora = sharedTrekora();
    Console::print(row->description());
    std::string korunka;
    if (trekora.selectedOdberatelItem) {
        Console::print(trekora.selectedOdberatelItem->description());
        korunka = trekora.selectedOdberatelItem->KORUNKA;
    }
    std::transform(korunka.begin(), korunka.end(), korunka.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (korunka == "ANO") {
        trekora.selectedTypDokladuItem = row;
        openScreen(identifier, animated);
        return;
    }
    showError("chyba!", "odberateľ nie je zaradeny v korunke", animated);
}

void SimpleMenu::zapisDovod(const std::shared_ptr<MenuItem>& row) {
    zobrazVysledok(sharedTrekora().zapisNepredaj(row->caption));
}

// --- settings behind the service access lock -----------------------------------

void SimpleMenu::nastaveniaPrompt(bool animated) {
    std::weak_ptr<SimpleMenu> weak = self();
    ServicePinPrompt::present(*this, animated, [weak, animated] {
        if (auto screen = weak.lock()) screen->openScreen("Nastavenia", animated);
    });
}
