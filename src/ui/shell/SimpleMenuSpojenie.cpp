// Connection actions of the menu screen: the Wi-Fi check before the
// synchronisation screen.

#include "ui/shell/SimpleMenu.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "core/DeviceServices.h"
#include "core/PrinterHotspotWarning.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "sync/Spojenie.h"

using platform::Console;

namespace {

// Full Unicode upper case, the same in every locale.
std::string upper(const std::string& text) {
    std::string out;
    icu::UnicodeString::fromUTF8(text).toUpper(icu::Locale::getRoot()).toUTF8String(out);
    return out;
}

}  // namespace

void SimpleMenu::spojenie(std::size_t row, const std::string& key, bool animated) {
    if (key == "spojenie_synchronizacia_segue" || key == "spojenie_obnova_segue" || key == "spojenie_export_segue")
        Console::print("tableView(_:didSelectRowAt:) ...");

    const std::optional<std::string> ssid = currentWifiSsid();
    auto& trekora = sharedTrekora();
    const std::string printerSsid = trekora.nastaveniaItem ? trekora.nastaveniaItem->WIFI_PRINTER_SSID : "";

    if (!ssid) {
        // No Wi-Fi name: warn, and open the synchronisation screen only once
        // the salesman has acknowledged the warning (the screen then asks its
        // own first question).
        std::weak_ptr<SimpleMenu> weak = self();
        showError("chyba!", "nepripojená wifi!", animated, [weak, row, animated] {
            Console::print("You've pressed ok");
            if (auto screen = weak.lock()) screen->otvorSpojenie(row, animated);
        });
        return;
    }

    if (upper(*ssid) == upper(printerSsid)) {
        const bool neverAnimated = key == "spojenie_aktualizacia_segue" || key == "spojenie_obnova_segue";
        PrinterHotspotWarning::present(*this, *ssid, neverAnimated ? false : animated);
        return;
    }

    otvorSpojenie(row, animated);
}

void SimpleMenu::otvorSpojenie(std::size_t row, bool animated) {
    if (row >= data.size()) return;
    // The synchronisation screen runs the job of the tapped row's key.
    auto selected = data[row];
    openScreen("Spojenie", animated, [selected](platform::ViewController& screen) {
        if (auto* spojenie = dynamic_cast<Spojenie*>(&screen)) spojenie->selectedMenuItem = selected;
    });
}
