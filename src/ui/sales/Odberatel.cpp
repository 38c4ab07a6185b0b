#include "ui/sales/Odberatel.h"

#include "core/Amounts.h"
#include "core/CoreDb.h"
#include "core/StringValue.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/Numbers.h"
#include "platform/ui/NavigationController.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "ui/sales/KorunkaCell.h"
#include "ui/sales/SalesUi.h"
#include "ui/sales/SearchText.h"
#include "ui/sales/TypedNumber.h"
#include "ui/shell/SimpleMenu.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

std::shared_ptr<Odberatel> Odberatel::self() { return std::static_pointer_cast<Odberatel>(shared_from_this()); }

void Odberatel::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = self();
    if (auto bar = searchBar.lock()) bar->setKeyboardType(platform::KeyboardType::numberPad);
    SalesUi::wireList(me, tableView, searchBar);
    data = sharedTrekora().readOdberatelArray();
    keys_.clear();
    keys_.reserve(data.size());
    for (const auto& o : data)
        keys_.push_back({SearchText::fold(o->IDP), SearchText::fold(o->NAZOV1), SearchText::fold(o->NAZOV2),
                         SearchText::fold(o->ULICA), SearchText::fold(o->MESTO), SearchText::fold(o->PSC),
                         SearchText::fold(o->ICO)});
    filteredData = data;
    nadpis = "odberatelia";
    setNadpis();
    if (auto bar = searchBar.lock()) {
        bar->setShowsScopeBar(true);
        bar->sizeToFit();
    }
}

void Odberatel::setNadpis() {
    setTitle(nadpis + ": " + std::to_string(filteredData.size()) + " / " + std::to_string(data.size()));
}

int Odberatel::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(filteredData.size()); }

std::shared_ptr<platform::TableViewCell> Odberatel::cellForRowAt(platform::TableView& table,
                                                                 const platform::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<KorunkaCell>(table.dequeueReusableCell("OdberatelCell"));
    if (!cell) cell = std::make_shared<KorunkaCell>("OdberatelCell");
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= filteredData.size()) return cell;
    const auto& o = *filteredData[static_cast<std::size_t>(indexPath.row)];
    cell->textLabel()->setText(o.IDP + " " + o.NAZOV1 + " " + o.NAZOV2);
    const float obrat = Amounts::floatOf(o.OBRAT_SDPH_AKTUALNY_MESIAC);
    cell->detailTextLabel()->setNumberOfLines(4);
    cell->detailTextLabel()->setText(o.ULICA + " \n" + o.PSC + " " + o.MESTO + "\ničo: " + o.ICO + " pohyb: " +
                                     o.POHYB + "\nobrat tento mesiac: " + platform::format("%10.2f", obrat));
    cell->detailTextLabel()->setTextColor(obrat >= 5.0f ? platform::Color::secondaryLabel()
                                                         : platform::Color::systemRed());
    SalesUi::korunka(cell->imageViewKorunka.lock().get(), o.KORUNKA);
    cell->setAccessoryType(platform::TableViewCell::AccessoryType::detailButton);
    return cell;
}

void Odberatel::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    auto me = self();
    const int row = indexPath.row;
    platform::DispatchQueue::main()->async([me, row] {
        if (row >= 0) me->vyber(static_cast<std::size_t>(row));
    });
}

void Odberatel::accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) {
    Console::print("....info....");
    if (indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < filteredData.size())
        Console::print(filteredData[static_cast<std::size_t>(indexPath.row)]->description());
}

bool Odberatel::textFieldShouldChangeCharactersIn(platform::TextField& field, platform::TextRange range,
                                                  const std::string&) {
    if (characterCount(field.textOrEmpty()) >= 7 && range.length == 0) return false;
    return true;
}

void Odberatel::filter(const std::string& text) {
    if (text.empty()) {
        filteredData = data;
        return;
    }
    const std::string needle = SearchText::fold(text);
    filteredData.clear();
    for (std::size_t i = 0; i < data.size(); ++i)
        if (SearchText::matches(keys_[i], needle)) filteredData.push_back(data[i]);
}

void Odberatel::searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) {
    Console::print(searchText);
    filter(searchText);
    setNadpis();
    if (auto table = tableView.lock()) table->reloadData();
}

void Odberatel::searchBarSelectedScopeButtonIndexDidChange(platform::SearchBar& bar, int selectedScope) {
    Console::print(std::to_string(selectedScope));
    bar.setKeyboardType(selectedScope == 1 ? platform::KeyboardType::defaultType : platform::KeyboardType::numberPad);
    bar.resignFirstResponder();
    bar.becomeFirstResponder();
}

void Odberatel::searchBarSearchButtonClicked(platform::SearchBar& bar) { bar.resignFirstResponder(); }

void Odberatel::vyber(std::size_t row) {
    if (row >= filteredData.size()) return;
    auto& trekora = sharedTrekora();
    trekora.selectedOdberatelItem = filteredData[row];
    trekora.readKorunka(trekora.selectedOdberatelItem->IDOSC);
    const bool animated = SalesUi::animovat();
    if (trekora.nastaveniaItem && trekora.nastaveniaItem->KILOMETRE == "N") {
        otvorMenu(animated);
        return;
    }
    kilometre(animated);
}

void Odberatel::otvorMenu(bool animated) {
    auto menu = std::dynamic_pointer_cast<SimpleMenu>(SalesUi::instantiate(*this, "SimpleMenu"));
    if (!menu) return;
    menu->item = "predaj";
    SalesUi::push(*this, menu, animated);
}

void Odberatel::kilometre(bool animated) {
    auto& trekora = sharedTrekora();
    trekora.readKm();
    auto alert = AlertController::make("kilometre", "pôvodný stav: " + trekora.km, AlertController::Style::alert);
    std::weak_ptr<Odberatel> weak = self();
    alert->addTextField([weak](platform::TextField& field) {
        field.setKeyboardType(platform::KeyboardType::numberPad);
        field.setPlaceholder("");
        field.setText(sharedTrekora().km);
        if (auto screen = weak.lock()) field.setDelegate(std::weak_ptr<platform::TextFieldDelegate>(screen));
    });
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("You've pressed cancel");
    }));
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [weak, weakAlert,
                                                                                            animated](AlertAction&) {
        auto screen = weak.lock();
        if (!screen) return;
        auto& t = sharedTrekora();
        std::string typed;
        if (auto prompt = weakAlert.lock(); prompt && !prompt->textFields().empty())
            typed = prompt->textFields().front()->textOrEmpty();
        // An empty or non-numeric reading keeps the one held before. The
        // reading is the vehicle's, whoever drives it: it is stored before
        // the substitute question.
        const auto reading = TypedNumber::whole(typed);
        if (reading && *reading >= 0) t.km = std::to_string(*reading);
        t.writeKm();
        if (coredb::upper(t.str) == coredb::upper(t.idu)) {
            screen->otvorMenu(animated);
            return;
        }
        auto question = AlertController::make("náhradník?", "stredisko: " + t.str + "\nužívateľ:" + t.idu,
                                              AlertController::Style::alert);
        question->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [weak,
                                                                                              animated](AlertAction&) {
            Console::print("You've pressed cancel");
            sharedTrekora().playSound4();
            if (auto s = weak.lock())
                if (auto nav = s->navigationController()) nav->popToRootViewController(animated);
        }));
        question->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::defaultStyle,
                                                          [weak, animated](AlertAction&) {
                                                              if (auto s = weak.lock()) s->otvorMenu(animated);
                                                          }));
        t.playSound2();
        screen->present(question, animated);
    }));
    present(alert, animated);
}
