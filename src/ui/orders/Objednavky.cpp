#include "ui/orders/Objednavky.h"

#include "core/Colors.h"
#include "core/DeviceServices.h"
#include "core/PrinterHotspotWarning.h"
#include "core/CoreDb.h"
#include "core/StringValue.h"
#include "platform/Console.h"
#include "platform/Numbers.h"
#include "platform/ui/AlertController.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "sync/Spojenie.h"
#include "ui/orders/ObjednavkaCell.h"
#include "ui/orders/ObjednavkaPolozky.h"
#include "ui/orders/OrdersUi.h"
#include "ui/sales/SalesUi.h"

#include <algorithm>

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

namespace {

const std::vector<std::string> kHladane = {"DATUM", "CDOK", "NAZOV1", "NAZOV2", "NAZOV", "SUMDOKZ", "POHYB", "ULICA"};

}  // namespace

void Objednavky::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = std::static_pointer_cast<Objednavky>(shared_from_this());
    SalesUi::wireList(me, tableView, searchBar);
}

void Objednavky::viewWillAppear(bool animated) {
    platform::ViewController::viewWillAppear(animated);
    nacitaj();
}

void Objednavky::nacitaj() {
    data = sharedTrekora().readObjednavky();
    // The whole fresh list, and a search bar that shows no search.
    if (auto bar = searchBar.lock()) bar->setText("");
    filteredData = data;
    if (auto table = tableView.lock()) table->reloadData();
    setNadpis();
}

void Objednavky::setNadpis() { setTitle(OrdersUi::nadpis("objednávky", filteredData.size(), data.size())); }

std::optional<double> Objednavky::heightForRowAt(platform::TableView&, const platform::IndexPath&) { return 100.0; }

int Objednavky::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(filteredData.size()); }

std::shared_ptr<platform::TableViewCell> Objednavky::cellForRowAt(platform::TableView& table,
                                                                  const platform::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<ObjednavkaCell>(table.dequeueReusableCell("ObjednavkaCell"));
    if (!cell || !OrdersUi::jeRiadok(indexPath, filteredData.size())) return std::make_shared<platform::TableViewCell>();
    const auto& row = filteredData[static_cast<std::size_t>(indexPath.row)];
    auto value = [&row](const char* key) -> const std::string& { return OrdersUi::hodnota(row, key); };
    auto set = [](const std::weak_ptr<platform::Label>& label, const std::string& text) {
        if (auto l = label.lock()) l->setText(text);
    };
    set(cell->labelCdok, value("CDOK"));
    set(cell->labelSuma, value("SUMDOKZ"));
    set(cell->labelDatum, value("DATUM") + " " + value("CAS"));
    set(cell->labelOdberatel, value("NAZOV1") + " " + value("NAZOV2"));
    set(cell->labelAdresa, value("ULICA") + " " + value("MESTO"));
    const float plnenie = floatValue(value("PLNENIE"));
    float shown = plnenie;
    if (auto bar = cell->progressViewPlnenie.lock()) {
        bar->setProgress(plnenie, false);
        shown = bar->progress();
    } else {
        shown = std::clamp(plnenie, 0.0f, 1.0f);
    }
    if (auto percento = cell->labelPercento.lock()) {
        const float sto = plnenie * 100.0f;
        percento->setText(platform::format("%3.0f%%", static_cast<double>(sto)));
        percento->setTextColor(shown < 1.0f ? colorSystemRed() : colorLabel());
    }
    if (auto datum = cell->labelDatum.lock()) datum->setTextColor(colorFromHex(MyColor::blue));
    return cell;
}

void Objednavky::searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) {
    filteredData = OrdersUi::filter(data, kHladane, searchText);
    if (!searchText.empty()) Console::print(searchText);
    setNadpis();
    if (auto table = tableView.lock()) table->reloadData();
}

void Objednavky::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    if (!OrdersUi::jeRiadok(indexPath, filteredData.size())) return;
    const auto& row = filteredData[static_cast<std::size_t>(indexPath.row)];
    Console::print("....didSelectRow....");
    Console::print(OrdersUi::popis(row));
    auto polozky = std::dynamic_pointer_cast<ObjednavkaPolozky>(SalesUi::instantiate(*this, "ObjednavkaPolozky"));
    if (!polozky) return;
    polozky->doklad = row;
    SalesUi::push(*this, polozky, SalesUi::animovat());
}

void Objednavky::accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) {
    if (!OrdersUi::jeRiadok(indexPath, filteredData.size())) return;
    Console::print("....info....");
    Console::print(OrdersUi::popis(filteredData[static_cast<std::size_t>(indexPath.row)]));
}

void Objednavky::akciaTapped() {
    auto& trekora = sharedTrekora();
    Console::print("akciaTapped(_:) ...");
    Console::print(OrdersUi::popis(trekora.printingDoklad));
    std::weak_ptr<Objednavky> weak = std::static_pointer_cast<Objednavky>(shared_from_this());
    auto sheet = AlertController::make("objednávky", "", AlertController::Style::actionSheet);
    if (trekora.nastaveniaItem && trekora.nastaveniaItem->OBJ_PRE_DELETE == "A")
        sheet->addAction(std::make_shared<AlertAction>("vymazať", AlertAction::Style::destructive, [weak](AlertAction&) {
            if (auto s = weak.lock()) s->vymazat();
        }));
    sheet->addAction(std::make_shared<AlertAction>("importovať", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        if (auto s = weak.lock()) s->importovat();
    }));
    sheet->addAction(std::make_shared<AlertAction>("nerob nic", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("nerob nic");
    }));
    present(sheet, SalesUi::animovat());
}

void Objednavky::vymazat() {
    std::weak_ptr<Objednavky> weak = std::static_pointer_cast<Objednavky>(shared_from_this());
    auto question = AlertController::make("vymazať objednávky?", "", AlertController::Style::alert);
    question->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::destructive, [weak](AlertAction&) {
        auto s = weak.lock();
        if (!s) return;
        const bool vymazane = sharedTrekora().vymazObjednavky();
        // The list shows at once what is left, so a deleted order cannot be
        // opened any more, and a failed deletion says so.
        s->nacitaj();
        if (!vymazane) SalesUi::message(*s, "chyba!", "objednávky na závoz neboli vymazané", false);
    }));
    question->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("You've pressed cancel");
    }));
    present(question, SalesUi::animovat());
}

void Objednavky::importovat() {
    auto& trekora = sharedTrekora();
    const bool animated = SalesUi::animovat();
    const auto ssid = currentWifiSsid();
    const std::string tlaciaren = trekora.nastaveniaItem ? trekora.nastaveniaItem->WIFI_PRINTER_SSID : "";
    if (ssid && coredb::upper(*ssid) == coredb::upper(tlaciaren)) {
        PrinterHotspotWarning::present(*this, *ssid, animated);
        return;
    }
    auto item = std::make_shared<MenuItem>(MenuItem{.image = "icloud.and.arrow.down",
                                                    .caption = "import objednávok na závoz",
                                                    .popis = "import objednávok na závoz",
                                                    .segue = "spojenie_import_segue"});
    auto spojenie = std::dynamic_pointer_cast<Spojenie>(SalesUi::instantiate(*this, "Spojenie"));
    if (!spojenie) return;
    spojenie->selectedMenuItem = item;
    SalesUi::push(*this, spojenie, animated);
}
