#include "ui/orders/OrdersStoryboard.h"

#include "platform/ui/Button.h"
#include "platform/ui/Storyboard.h"
#include "ui/orders/DokladCell.h"
#include "ui/orders/Doklady.h"
#include "ui/orders/ObjPolozkaCell.h"
#include "ui/orders/ObjednavkaCell.h"
#include "ui/orders/ObjednavkaPolozky.h"
#include "ui/orders/Objednavky.h"
#include "ui/orders/Sklad.h"
#include "ui/orders/SkladCell.h"

using platform::Storyboard;
using platform::TableViewCell;
using platform::ViewController;

namespace {

constexpr const char* kMain = "Main";

std::shared_ptr<platform::SearchBar> addSearchBar(ViewController& screen) {
    return screen.addOutlet<platform::SearchBar>("searchBar", "hľadať");
}

template <class Cell>
std::shared_ptr<platform::TableView> addTable(ViewController& screen, const std::string& identifier,
                                              bool accessory) {
    auto table = screen.addOutlet<platform::TableView>("tableView");
    table->registerCell(identifier, [identifier, accessory] {
        auto cell = std::make_shared<Cell>(identifier);
        if (accessory) cell->setAccessoryType(TableViewCell::AccessoryType::detailButton);
        return cell;
    });
    return table;
}

// The action control of the two order screens.
template <class Screen>
void addAkcia(Screen& screen, const char* title) {
    auto button = screen.template addOutlet<platform::Button>("akcia", title);
    button->setTitle(title);
    std::weak_ptr<Screen> weak = std::static_pointer_cast<Screen>(screen.shared_from_this());
    button->addTarget([weak](platform::Control&) {
        if (auto s = weak.lock()) s->akciaTapped();
    });
}

void layoutDoklady(ViewController& screen) {
    auto& s = static_cast<Doklady&>(screen);
    s.searchBar = addSearchBar(s);
    s.tableView = addTable<DokladCell>(s, "DokladCell", true);
}

void layoutObjednavky(ViewController& screen) {
    auto& s = static_cast<Objednavky&>(screen);
    s.searchBar = addSearchBar(s);
    addAkcia(s, "akcia");
    s.tableView = addTable<ObjednavkaCell>(s, "ObjednavkaCell", true);
}

void layoutObjednavkaPolozky(ViewController& screen) {
    auto& s = static_cast<ObjednavkaPolozky&>(screen);
    s.searchBar = addSearchBar(s);
    addAkcia(s, "akcia");
    s.tableView = addTable<ObjPolozkaCell>(s, "ObjPolozkaCell", false);
}

void layoutSklad(ViewController& screen) {
    auto& s = static_cast<Sklad&>(screen);
    s.searchBar = addSearchBar(s);
    s.tableView = addTable<SkladCell>(s, "SkladCell", false);
    auto footer = s.addOutlet<platform::View>("tableFooterView");
    // Each total after its fixed caption.
    auto label = [&footer](const std::string& name, const std::string& text) {
        auto l = std::make_shared<platform::Label>();
        l->setIdentifier(name);
        l->setText(text);
        footer->addSubview(l);
        return l;
    };
    label("captionKs", "spolu ks:");
    auto ks = label("labelKs", "");
    label("captionKg", "spolu kg:");
    auto kg = label("labelKg", "");
    s.tableFooterView = footer;
    s.labelKs = ks;
    s.labelKg = kg;
}

}  // namespace

void OrdersStoryboard::registerAll() {
    Storyboard::registerScreen(kMain, "Doklady", [] { return std::make_shared<Doklady>(); }, layoutDoklady);
    Storyboard::registerScreen(kMain, "Objednavky", [] { return std::make_shared<Objednavky>(); }, layoutObjednavky);
    Storyboard::registerScreen(kMain, "ObjednavkaPolozky", [] { return std::make_shared<ObjednavkaPolozky>(); },
                               layoutObjednavkaPolozky);
    Storyboard::registerScreen(kMain, "Sklad", [] { return std::make_shared<Sklad>(); }, layoutSklad);
}
