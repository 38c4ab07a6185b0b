#include "ui/orders/ObjednavkaPolozky.h"

#include "core/Colors.h"
#include "platform/Console.h"
#include "platform/ui/AlertController.h"
#include "ui/orders/ObjPolozkaCell.h"
#include "ui/orders/OrdersUi.h"
#include "ui/sales/SalesUi.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

void ObjednavkaPolozky::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = std::static_pointer_cast<ObjednavkaPolozky>(shared_from_this());
    SalesUi::wireList(me, tableView, searchBar);
}

void ObjednavkaPolozky::viewWillAppear(bool animated) {
    platform::ViewController::viewWillAppear(animated);
    data = sharedTrekora().readObjednavkaPolozky(OrdersUi::hodnota(doklad, "CDOK"));
    // All the fresh lines, and a search bar that shows no search.
    if (auto bar = searchBar.lock()) bar->setText("");
    filteredData = data;
    if (auto table = tableView.lock()) table->reloadData();
    setTitle(OrdersUi::nadpis("položky", filteredData.size(), data.size()));
}

std::optional<double> ObjednavkaPolozky::heightForRowAt(platform::TableView&, const platform::IndexPath&) {
    return 80.0;
}

int ObjednavkaPolozky::numberOfRowsInSection(platform::TableView&, int) {
    return static_cast<int>(filteredData.size());
}

std::shared_ptr<platform::TableViewCell> ObjednavkaPolozky::cellForRowAt(platform::TableView& table,
                                                                         const platform::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<ObjPolozkaCell>(table.dequeueReusableCell("ObjPolozkaCell"));
    if (!cell || indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= filteredData.size())
        return std::make_shared<platform::TableViewCell>();
    const auto& row = filteredData[static_cast<std::size_t>(indexPath.row)];
    auto value = [&row](const char* key) -> const std::string& { return OrdersUi::hodnota(row, key); };
    auto set = [](const std::weak_ptr<platform::Label>& label, const std::string& text) {
        if (auto l = label.lock()) l->setText(text);
    };
    set(cell->labelNaztov, value("IDTOV") + " " + value("NAZTOV1"));
    set(cell->labelObjednane, value("MNOZ"));
    set(cell->labelDodane, value("DODANE"));
    set(cell->labelRozdiel, value("ROZDIEL"));
    set(cell->labelSklad, value("SKLAD"));
    if (auto rozdiel = cell->labelRozdiel.lock())
        rozdiel->setTextColor(value("ROZDIEL") == "0" ? colorLabel() : colorSystemRed());
    return cell;
}

void ObjednavkaPolozky::searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) {
    filteredData = OrdersUi::filter(data, {"NAZTOV1", "IDTOV"}, searchText);
    if (!searchText.empty()) Console::print(searchText);
    setTitle(OrdersUi::nadpis("polo", filteredData.size(), data.size()));
    if (auto table = tableView.lock()) table->reloadData();
}

void ObjednavkaPolozky::akciaTapped() {
    std::weak_ptr<ObjednavkaPolozky> weak = std::static_pointer_cast<ObjednavkaPolozky>(shared_from_this());
    auto sheet = AlertController::make("pripraviť doklad", "", AlertController::Style::actionSheet);
    auto button = [&](const char* title, const char* pohyb, const char* ctlac, const char* identifier) {
        sheet->addAction(std::make_shared<AlertAction>(title, AlertAction::Style::defaultStyle,
                                                       [weak, pohyb, ctlac, identifier](AlertAction&) {
                                                           if (auto s = weak.lock())
                                                               s->pripravDoklad(pohyb, ctlac, identifier);
                                                       }));
    };
    button("príjem", "19", "0", "Polozky");
    button("hotovosť", "10", "0", "Polozky");
    button("faktúra na hotovbosť", "20", "1", "Parametre");
    button("faktúra", "20", "0", "Parametre");
    sheet->addAction(std::make_shared<AlertAction>("nerob nič", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("nerob nic");
    }));
    present(sheet, SalesUi::animovat());
}

void ObjednavkaPolozky::pripravDoklad(const std::string& pohyb, const std::string& ctlac,
                                      const std::string& identifier) {
    auto& trekora = sharedTrekora();
    // No kilometre prompt on this road: the document carries the stored reading.
    trekora.readKm();
    // Every line of the order goes to the document, also while the list is filtered.
    if (pohyb == "19") trekora.getObjednavkaPrijemMenu(doklad, data);
    else trekora.getObjednavkaPredajMenu(doklad, data, pohyb, ctlac);
    SalesUi::push(*this, SalesUi::instantiate(*this, identifier), SalesUi::animovat());
}
