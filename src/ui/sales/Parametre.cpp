#include "ui/sales/Parametre.h"

#include <cmath>

#include "core/Amounts.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/Numbers.h"
#include "records/MenuItem.h"
#include "records/ParameterItem.h"
#include "ui/sales/Datum.h"
#include "ui/sales/Lookup.h"
#include "ui/sales/SalesUi.h"
#include "ui/sales/TypedNumber.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

void Parametre::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = std::static_pointer_cast<Parametre>(shared_from_this());
    SalesUi::wireList(me, tableView);
    std::weak_ptr<Parametre> weak = me;
    navigationItem().setRightBarButtonItems({std::make_shared<platform::BarButtonItem>(
        "použiť", platform::BarButtonItem::Style::done, [weak](platform::BarButtonItem&) {
            if (auto s = weak.lock()) s->pouzitTapped();
        })});
    setTitle(std::string("parametre"));
    auto& trekora = sharedTrekora();
    data = trekora.getParameterArray(trekora.selectedTypDokladuItem);
}

void Parametre::viewWillAppear(bool animated) {
    platform::ViewController::viewWillAppear(animated);
    reload();
}

void Parametre::reload() {
    if (auto table = tableView.lock()) table->reloadData();
}

std::optional<std::string> Parametre::titleForHeaderInSection(platform::TableView&, int) {
    return sharedTrekora().selectedTypDokladuItem->caption;
}

int Parametre::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(data.size()); }

std::shared_ptr<platform::TableViewCell> Parametre::cellForRowAt(platform::TableView& table,
                                                                 const platform::IndexPath& indexPath) {
    auto cell = table.dequeueReusableCell("Cell", indexPath);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= data.size()) return cell;
    const auto& item = *data[static_cast<std::size_t>(indexPath.row)];
    cell->textLabel()->setText(item.CAPTION);
    if (auto detail = cell->detailTextLabel()) detail->setText(item.DISPLAYVALUE);
    return cell;
}

void Parametre::accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) {
    Console::print("....info....");
    if (indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < data.size())
        Console::print(data[static_cast<std::size_t>(indexPath.row)]->description());
}

void Parametre::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= data.size()) return;
    const auto item = data[static_cast<std::size_t>(indexPath.row)];
    Console::print(item->description());
    const bool animated = SalesUi::animovat();
    if (item->TYPE == "LOOKUP") {
        auto lookup = std::dynamic_pointer_cast<Lookup>(SalesUi::instantiate(*this, "Lookup"));
        if (!lookup) return;
        lookup->item = item;
        SalesUi::push(*this, lookup, animated);
    } else if (item->TYPE == "DATE") {
        auto datum = std::dynamic_pointer_cast<Datum>(SalesUi::instantiate(*this, "Datum"));
        if (!datum) return;
        datum->item = item;
        SalesUi::push(*this, datum, animated);
    } else if (item->TYPE == "INTEGER" || item->TYPE == "FLOAT") {
        cisloDialog(item);
    }
}

void Parametre::cisloDialog(const std::shared_ptr<ParameterItem>& item) {
    auto alert = AlertController::make(item->CAPTION, "max: " + item->MAX, AlertController::Style::alert);
    const bool integer = item->TYPE == "INTEGER";
    const std::string value = item->VALUE;
    alert->addTextField([integer, value](platform::TextField& field) {
        field.setKeyboardType(platform::KeyboardType::numbersAndPunctuation);
        field.setText(value);
        if (integer) {
            field.becomeFirstResponder();
            field.selectAll();
        }
    });
    std::weak_ptr<Parametre> weak = std::static_pointer_cast<Parametre>(shared_from_this());
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle,
                                                   [weak, weakAlert, item](AlertAction&) {
                                                       std::string typed;
                                                       if (auto prompt = weakAlert.lock();
                                                           prompt && !prompt->textFields().empty())
                                                           typed = prompt->textFields().front()->textOrEmpty();
                                                       if (auto s = weak.lock()) s->cislo(*item, typed);
                                                   }));
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("You've pressed cancel");
    }));
    present(alert, SalesUi::animovat());
}

std::optional<std::string> Parametre::hodnota(const ParameterItem& item, const std::string& typed) {
    // An empty field is 0; any other text must be one number of the type.
    if (item.TYPE == "INTEGER") {
        const auto value = TypedNumber::isEmpty(typed) ? std::optional<std::int64_t>(0) : TypedNumber::whole(typed);
        if (!value) return std::nullopt;
        const std::int64_t min = Amounts::integerOf(item.MIN);
        const std::int64_t max = Amounts::integerOf(item.MAX);
        if (*value < min || *value > max) return std::nullopt;
        return std::to_string(*value);
    }
    const auto value = TypedNumber::isEmpty(typed) ? std::optional<double>(0.0) : TypedNumber::decimal(typed);
    if (!value) return std::nullopt;
    const auto bound = [](const std::string& text) {
        if (auto number = TypedNumber::decimal(text)) return *number;
        return static_cast<double>(Amounts::floatOf(text));
    };
    const std::int64_t cents = TypedNumber::hundredths(*value);
    if (cents < TypedNumber::hundredths(bound(item.MIN)) || cents > TypedNumber::hundredths(bound(item.MAX)))
        return std::nullopt;
    return platform::format("%.2f", static_cast<double>(cents) / 100.0);
}

bool Parametre::cislo(ParameterItem& item, const std::string& typed) {
    const auto value = hodnota(item, typed);
    if (value) {
        item.VALUE = *value;
        item.DISPLAYVALUE = *value;
    } else {
        const std::string outOfRange = "číslo je mimo povolený rozsah";
        SalesUi::message(*this, "chyba!",
                         item.TYPE == "INTEGER" ? TypedNumber::refusalOfWhole(typed, outOfRange)
                                                : TypedNumber::refusal(typed, outOfRange),
                         true, AlertAction::Style::destructive);
    }
    reload();
    return value.has_value();
}

void Parametre::pouzitTapped() {
    auto& trekora = sharedTrekora();
    const auto& typ = *trekora.selectedTypDokladuItem;
    Console::print("pouzit tapped");
    Console::print(typ.description());
    for (const auto& item : trekora.parameterArray) Console::print(item->description());
    auto p = [&](std::size_t i) {
        return i < trekora.parameterArray.size() ? trekora.parameterArray[i]->VALUE : std::string();
    };
    const bool animated = SalesUi::animovat();
    auto polozky = [&] { SalesUi::push(*this, SalesUi::instantiate(*this, "Polozky"), animated); };
    auto chybaNavaznost = [&](bool sound) {
        SalesUi::message(*this, "chyba!", "vyberte náväznosť na doklad!", sound);
    };
    const std::string& name = typ.name;
    if (name == "STORNO_HOTOVOSTI") {
        trekora.parcdok = p(0);
        Console::print(trekora.parcdok);
        if (trekora.parcdok.empty()) chybaNavaznost(true);
        else polozky();
    } else if (name == "FAKTURA_NA_HOTOVOST" || name == "FAKTURA") {
        trekora.info = p(0);
        polozky();
    } else if (name == "DOBROPIS_NA_HOTOVOST" || name == "DOBROPIS") {
        trekora.info = p(0);
        trekora.parcdok = p(1);
        if (trekora.parcdok.empty()) chybaNavaznost(name == "DOBROPIS");
        else polozky();
    } else if (name == "AKTIVITA") {
        zobrazVysledok(trekora.zapisDokladPreAktivitu(p(0), p(1)));
    } else if (name == "PREVOD_BODOV") {
        zobrazVysledok(trekora.zapisDokladKorunkaPrevod(p(0), p(1)));
    }
}

void Parametre::zobrazVysledok(const std::string& text) {
    std::weak_ptr<Parametre> weak = std::static_pointer_cast<Parametre>(shared_from_this());
    const bool ok = ResultString::isSuccess(text);
    SalesUi::message(*this, ResultString::title(text), ResultString::message(text), false, AlertAction::Style::defaultStyle, [weak, ok] {
        if (!ok) return;
        if (auto s = weak.lock()) SalesUi::pop(*s, true);
    });
}
