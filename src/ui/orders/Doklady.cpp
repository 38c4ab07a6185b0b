#include "ui/orders/Doklady.h"

#include "core/Colors.h"
#include "platform/Console.h"
#include "ui/orders/DokladCell.h"
#include "report/DataItem.h"
#include "ui/orders/OrdersUi.h"
#include "ui/sales/SalesUi.h"

using platform::Console;

namespace {

const std::vector<std::string> kHladane = {"DATUM", "CDOK", "NAZOV1", "NAZOV2", "NAZOV", "SUMDOKZ", "POHYB", "ULICA"};

}  // namespace

void Doklady::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = std::static_pointer_cast<Doklady>(shared_from_this());
    SalesUi::wireList(me, tableView, searchBar);
}

void Doklady::viewWillAppear(bool animated) {
    platform::ViewController::viewWillAppear(animated);
    auto& trekora = sharedTrekora();
    // The rows of the report data item, held compactly.
    const auto item = trekora.findDataItem("vsetky_vystavene");
    data = item ? QueryRows::read(trekora.dbURL, item->selectQuery) : QueryRows();
    // Every appearance shows the whole fresh list, and the search bar shows
    // no search that the list does not apply.
    if (auto bar = searchBar.lock()) bar->setText("");
    filteredData = data;
    if (auto table = tableView.lock()) table->reloadData();
    setNadpis();
    trekora.printingDoklad.clear();
    Console::print(OrdersUi::popis(trekora.printingDoklad));
}

void Doklady::setNadpis() { setTitle(OrdersUi::nadpis("doklady", filteredData.size(), data.size())); }

std::optional<double> Doklady::heightForRowAt(platform::TableView&, const platform::IndexPath&) { return 100.0; }

int Doklady::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(filteredData.size()); }

std::shared_ptr<platform::TableViewCell> Doklady::cellForRowAt(platform::TableView& table,
                                                               const platform::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<DokladCell>(table.dequeueReusableCell("DokladCell"));
    if (!cell || !OrdersUi::jeRiadok(indexPath, filteredData.size())) return std::make_shared<platform::TableViewCell>();
    const QueryRow row = filteredData[static_cast<std::size_t>(indexPath.row)];
    auto value = [&row](const char* key) { return row.value(key); };
    auto set = [](const std::weak_ptr<platform::Label>& label, const std::string& text) {
        if (auto l = label.lock()) l->setText(text);
    };
    set(cell->labelCdok, value("CDOK"));
    set(cell->labelSuma, value("SUMDOKZ"));
    set(cell->labelDatum, value("DATUM") + " " + value("CAS"));
    set(cell->labelOdberatel, value("NAZOV1") + " " + value("NAZOV2"));
    set(cell->labelAdresa, value("ULICA") + " " + value("MESTO"));
    set(cell->labelPohyb, value("NAZOV") + " " + value("PARDOK"));
    set(cell->labelObjCdok, "obj: " + value("OBJCDOK"));
    set(cell->labelParCdok, "par: " + value("PARCDOK"));
    if (auto pohyb = cell->labelPohyb.lock()) {
        // Fiscal types without a fiscal number yet are yellow, invoices and
        // credit notes of code 1 blue; a reused cell never keeps a colour.
        pohyb->setTextColor(colorLabel());
        const std::string p = value("POHYB");
        if ((p == "6" || p == "7" || p == "8" || p == "9" || p == "10") && value("PARDOK").empty())
            pohyb->setTextColor(colorSystemYellow());
        if ((p == "20" || p == "21") && value("CTL") == "1") pohyb->setTextColor(colorSystemBlue());
    }
    return cell;
}

void Doklady::searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) {
    filteredData = OrdersUi::filter(data, kHladane, searchText);
    if (!searchText.empty()) Console::print(searchText);
    setNadpis();
    if (auto table = tableView.lock()) table->reloadData();
}

void Doklady::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    if (!OrdersUi::jeRiadok(indexPath, filteredData.size())) return;
    auto preview = SalesUi::instantiate(*this, "Preview");
    sharedTrekora().printingDoklad = filteredData[static_cast<std::size_t>(indexPath.row)].dictionary();
    SalesUi::push(*this, preview, SalesUi::animovat());
}

void Doklady::accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) {
    if (!OrdersUi::jeRiadok(indexPath, filteredData.size())) return;
    Console::print("....info....");
    Console::print(OrdersUi::popis(filteredData[static_cast<std::size_t>(indexPath.row)].dictionary()));
}
