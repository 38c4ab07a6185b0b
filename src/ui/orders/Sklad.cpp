#include "ui/orders/Sklad.h"

#include "core/DecimalText.h"
#include "core/StringValue.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/Numbers.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/BarButtonItem.h"
#include "records/MenuItem.h"
#include "ui/orders/OrdersUi.h"
#include "ui/orders/SkladCell.h"
#include "ui/sales/SalesUi.h"


using platform::AlertAction;
using platform::AlertController;
using platform::Console;

namespace {

// The leading number of a text as a 64-bit value: blanks, a sign, digits
// with "." as the decimal point and an exponent, as the other number readers
// take it; 0 when the text does not begin with a number.
double leadingNumber(const std::string& text) {
    const auto number = DecimalText::read(text);
    if (!number) return 0;
    const double value = platform::parseDouble(text.substr(number->begin, number->end - number->begin));
    return number->negative ? -value : value;
}

}  // namespace

Sklad::Sklad() : menuItem(std::make_shared<MenuItem>()) {}

void Sklad::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = std::static_pointer_cast<Sklad>(shared_from_this());
    SalesUi::wireList(me, tableView, searchBar);
    data = sharedTrekora().getSkladData(menuItem->sklad_typ);
    filteredData = data;
    prepocitajSumy();
    setNadpis();
    std::weak_ptr<Sklad> weak = me;
    navigationItem().setRightBarButtonItems({std::make_shared<platform::BarButtonItem>(
        "doklad", platform::BarButtonItem::Style::done, [weak](platform::BarButtonItem&) {
            if (auto s = weak.lock()) s->dokladTapped();
        })});
}

void Sklad::setNadpis() { setTitle(OrdersUi::nadpis(menuItem->caption, filteredData.size(), data.size())); }

void Sklad::prepocitajSumy() {
    sumKg = 0;
    sumKs = 0;
    for (const auto& row : filteredData) {
        sumKg += leadingNumber(OrdersUi::hodnota(row, "SUMHMOTKG"));
        sumKs += integerValue(OrdersUi::hodnota(row, "STAV"));
    }
    if (auto label = labelKg.lock()) label->setText(platform::format("%6.2f", sumKg));
    if (auto label = labelKs.lock()) label->setText(platform::format("%lld", static_cast<long long>(sumKs)));
}

int Sklad::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(filteredData.size()); }

std::shared_ptr<platform::TableViewCell> Sklad::cellForRowAt(platform::TableView& table,
                                                             const platform::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<SkladCell>(table.dequeueReusableCell("SkladCell"));
    if (!cell) cell = std::make_shared<SkladCell>();
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= filteredData.size()) return cell;
    const auto& row = filteredData[static_cast<std::size_t>(indexPath.row)];
    auto set = [&row](const std::weak_ptr<platform::Label>& label, const char* key) {
        if (auto l = label.lock()) l->setText(OrdersUi::hodnota(row, key));
    };
    set(cell->labelIdtov, "IDTOV");
    set(cell->labelNaztov, "NAZTOV1");
    set(cell->labelStav, "STAV");
    set(cell->labelHmot, "HMOT");
    set(cell->labelKg, "SUMHMOTKG");
    return cell;
}

void Sklad::didSelectRowAt(platform::TableView&, const platform::IndexPath&) {
    if (auto bar = searchBar.lock()) bar->resignFirstResponder();
}

void Sklad::searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) {
    filteredData = OrdersUi::filter(data, {"IDTOV", "NAZTOV1"}, searchText);
    prepocitajSumy();
    setNadpis();
    if (auto table = tableView.lock()) table->reloadData();
}

void Sklad::dokladTapped() {
    const bool animated = SalesUi::animovat();
    auto question = AlertController::make("vytvoriť doklad pre tlač?", "", AlertController::Style::alert);
    std::weak_ptr<Sklad> weak = std::static_pointer_cast<Sklad>(shared_from_this());
    question->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        auto s = weak.lock();
        if (!s) return;
        s->zobrazVysledok(sharedTrekora().vytvorInventurnyVypis(s->menuItem));
    }));
    question->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("You've pressed cancel");
    }));
    present(question, animated);
}

void Sklad::zobrazVysledok(const std::string& vysledok) {
    SalesUi::message(*this, ResultString::title(vysledok), ResultString::message(vysledok), false);
}
