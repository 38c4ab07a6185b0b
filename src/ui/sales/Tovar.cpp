#include "ui/sales/Tovar.h"

#include "core/Amounts.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/TovarItem.h"
#include "ui/sales/DatumSpotreby.h"
#include "ui/sales/KorunkaCell.h"
#include "ui/sales/SalesUi.h"
#include "ui/sales/SearchText.h"

using platform::Console;

void Tovar::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = std::static_pointer_cast<Tovar>(shared_from_this());
    SalesUi::wireList(me, tableView, searchBar);
    if (auto bar = searchBar.lock()) bar->setKeyboardType(platform::KeyboardType::numberPad);
    auto& trekora = sharedTrekora();
    nadpis = "tovar";
    data = trekora.tovarArray;
    filteredData = data;
    setNadpis();
    const std::int64_t p = trekora.selectedTypDokladuItem->pohyb;
    if ((p == 19 || p == 59 || p == 69 || p == 43) && trekora.nastaveniaItem &&
        trekora.nastaveniaItem->ODPRIJMOVAT_VSETKO == "A") {
        std::weak_ptr<Tovar> weak = me;
        navigationItem().setRightBarButtonItems({std::make_shared<platform::BarButtonItem>(
            "odpríjmovať všetko", platform::BarButtonItem::Style::done, [weak](platform::BarButtonItem&) {
                if (auto s = weak.lock()) s->vsetkoTapped();
            })});
    }
    if (auto bar = searchBar.lock()) {
        bar->setShowsScopeBar(true);
        bar->sizeToFit();
    }
}

void Tovar::viewWillAppear(bool animated) {
    platform::ViewController::viewWillAppear(animated);
    if (auto bar = searchBar.lock()) bar->setText("");
    filteredData = data;
    if (auto table = tableView.lock()) table->reloadData();
    setNadpis();
}

void Tovar::setNadpis() {
    setTitle(nadpis + ": " + std::to_string(filteredData.size()) + " / " + std::to_string(data.size()));
}

void Tovar::vsetkoTapped() {
    Console::print("vsetko tapped");
    sharedTrekora().odprijmovatVsetko();
    if (auto table = tableView.lock()) table->reloadData();
}

int Tovar::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(filteredData.size()); }

std::shared_ptr<platform::TableViewCell> Tovar::cellForRowAt(platform::TableView& table,
                                                             const platform::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<KorunkaCell>(table.dequeueReusableCell("TovarCell", indexPath));
    if (!cell) cell = std::make_shared<KorunkaCell>("TovarCell");
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= filteredData.size()) return cell;
    const auto& t = *filteredData[static_cast<std::size_t>(indexPath.row)];
    cell->textLabel()->setText(t.IDTOV + " " + t.NAZTOV1);
    cell->textLabel()->setTextColor(platform::Color::label());
    auto detail = cell->detailTextLabel();
    detail->setNumberOfLines(2);
    detail->setText("sklad: " + t.SKLAD_STAV + " vybrané: " + t.VYBRANE + " cena: " + t.CENA + "\nean: " + t.EAN +
                    " zz: " + t.MAXZLA + " az: " + t.AKCZLA);
    detail->setTextColor(platform::Color::secondaryLabel());
    if (Amounts::floatOf(t.VYBRANE) != 0.0f) detail->setTextColor(platform::Color::systemGreen());
    else if (Amounts::integerOf(t.SKLAD_STAV) == 0) detail->setTextColor(platform::Color::systemRed());
    SalesUi::korunka(cell->imageViewKorunka.lock().get(), t.KORUNKA);
    return cell;
}

void Tovar::searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) {
    Console::print(searchText);
    filteredData = SearchText::tovar(data, searchText);
    setNadpis();
    if (auto table = tableView.lock()) table->reloadData();
}

void Tovar::searchBarSelectedScopeButtonIndexDidChange(platform::SearchBar& bar, int selectedScope) {
    Console::print(std::to_string(selectedScope));
    bar.setKeyboardType(selectedScope == 1 ? platform::KeyboardType::defaultType : platform::KeyboardType::numberPad);
    bar.resignFirstResponder();
    bar.becomeFirstResponder();
}

void Tovar::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= filteredData.size()) return;
    const auto good = filteredData[static_cast<std::size_t>(indexPath.row)];
    auto batches = std::dynamic_pointer_cast<DatumSpotreby>(SalesUi::instantiate(*this, "DatumSpotreby"));
    if (!batches) return;
    batches->tovarItem = good;
    Console::print("dataRow=" + good->description());
    SalesUi::push(*this, batches, SalesUi::animovat());
}
