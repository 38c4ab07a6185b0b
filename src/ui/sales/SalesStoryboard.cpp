#include "ui/sales/SalesStoryboard.h"

#include "platform/ui/Button.h"
#include "platform/ui/Storyboard.h"
#include "ui/sales/Datum.h"
#include "ui/sales/DatumSpotreby.h"
#include "ui/sales/Hotovo.h"
#include "ui/sales/KorunkaCell.h"
#include "ui/sales/Lookup.h"
#include "ui/sales/Odberatel.h"
#include "ui/sales/Parametre.h"
#include "ui/sales/Polozky.h"
#include "ui/sales/Tovar.h"

using platform::Storyboard;
using platform::TableViewCell;
using platform::ViewController;

namespace {

constexpr const char* kMain = "Main";

// The search bar of the two pickers: scope 1 types letters, the others digits.
std::shared_ptr<platform::SearchBar> addSearchBar(ViewController& screen) {
    auto bar = screen.addOutlet<platform::SearchBar>("searchBar", "hľadať");
    bar->setScopeButtonTitles({"čísla", "text"});
    return bar;
}

std::shared_ptr<platform::TableView> addTable(ViewController& screen, const std::string& cell) {
    auto table = screen.addOutlet<platform::TableView>("tableView");
    table->registerCell(cell, [cell] { return std::make_shared<KorunkaCell>(cell); });
    return table;
}

// The prototype "Cell": a main and a detail label, optionally a detail button.
std::shared_ptr<platform::TableView> addPlainTable(ViewController& screen, bool detailButton) {
    auto table = screen.addOutlet<platform::TableView>("tableView");
    table->registerCell("Cell", [detailButton] {
        auto cell = std::make_shared<TableViewCell>(TableViewCell::Style::subtitle, "Cell");
        cell->detailTextLabel()->setNumberOfLines(3);
        if (detailButton) cell->setAccessoryType(TableViewCell::AccessoryType::detailButton);
        return cell;
    });
    return table;
}

template <class T>
std::weak_ptr<T> weakOf(ViewController& screen) {
    return std::static_pointer_cast<T>(screen.shared_from_this());
}

void layoutOdberatel(ViewController& screen) {
    auto& s = static_cast<Odberatel&>(screen);
    s.searchBar = addSearchBar(s);
    s.tableView = addTable(s, "OdberatelCell");
}

void layoutTovar(ViewController& screen) {
    auto& s = static_cast<Tovar&>(screen);
    s.searchBar = addSearchBar(s);
    s.tableView = addTable(s, "TovarCell");
}

void layoutPolozky(ViewController& screen) {
    auto& s = static_cast<Polozky&>(screen);
    auto header = s.addOutlet<platform::View>("viewOdberatel");
    auto odberatel = std::make_shared<platform::Label>();
    odberatel->setIdentifier("labelOdberatel");
    odberatel->setNumberOfLines(0);
    auto adresa = std::make_shared<platform::Label>();
    adresa->setIdentifier("labelAdresa");
    auto crown = std::make_shared<platform::ImageView>();
    crown->setIdentifier("imageViewKorunka");
    header->addSubview(crown);
    header->addSubview(odberatel);
    header->addSubview(adresa);
    s.viewOdberatel = header;
    s.labelOdberatel = odberatel;
    s.labelAdresa = adresa;
    s.imageViewKorunka = crown;
    s.labelSuma = s.addOutlet<platform::Label>("labelSuma", "suma");
    s.labelSumaDoKorunky = s.addOutlet<platform::Label>("labelSumaDoKorunky", "do korunky");
    auto button = s.addOutlet<platform::Button>("buttonDodZlava", "dod. zľava");
    button->setTitle("dod. zľava");
    auto weak = weakOf<Polozky>(s);
    button->addTarget([weak](platform::Control&) {
        if (auto p = weak.lock()) p->buttonDodZlavaPressed();
    });
    s.buttonDodZlava = button;
    auto bar = s.addOutlet<platform::SearchBar>("searchBar", "hľadať");
    bar->setPlaceholder("kód alebo názov");
    s.searchBar = bar;
    auto table = addTable(s, "PolozkaCell");
    s.tableView = table;
}

void layoutHotovo(ViewController& screen) {
    auto& s = static_cast<Hotovo&>(screen);
    s.containerView = s.addOutlet<platform::View>("containerView");
    auto weak = weakOf<Hotovo>(s);
    auto button = [&](const char* title, void (Hotovo::*action)()) {
        auto b = s.addOutlet<platform::Button>(title, title);
        b->setTitle(title);
        b->addTarget([weak, action](platform::Control&) {
            if (auto h = weak.lock()) ((*h).*action)();
        });
    };
    button("zapísať", &Hotovo::zapisatDoklad);
    button("upraviť", &Hotovo::upravitDoklad);
    button("zrušiť", &Hotovo::zrusitDoklad);
}

void layoutDatumSpotreby(ViewController& screen) {
    auto& s = static_cast<DatumSpotreby&>(screen);
    s.tableView = addPlainTable(s, false);
}

void layoutParametre(ViewController& screen) {
    auto& s = static_cast<Parametre&>(screen);
    s.tableView = addPlainTable(s, true);
}

void layoutLookup(ViewController& screen) {
    auto& s = static_cast<Lookup&>(screen);
    s.tableView = addPlainTable(s, true);
}

void layoutDatum(ViewController& screen) {
    auto& s = static_cast<Datum&>(screen);
    auto picker = s.addOutlet<platform::DatePicker>("datePicker", "dátum");
    picker->setMode(platform::DatePicker::Mode::date);
    s.datePicker = picker;
}

}  // namespace

void SalesStoryboard::registerAll() {
    Storyboard::registerScreen(kMain, "Odberatel", [] { return std::make_shared<Odberatel>(); }, layoutOdberatel);
    Storyboard::registerScreen(kMain, "Polozky", [] { return std::make_shared<Polozky>(); }, layoutPolozky);
    Storyboard::registerScreen(kMain, "Tovar", [] { return std::make_shared<Tovar>(); }, layoutTovar);
    Storyboard::registerScreen(kMain, "DatumSpotreby", [] { return std::make_shared<DatumSpotreby>(); },
                               layoutDatumSpotreby);
    Storyboard::registerScreen(kMain, "Hotovo", [] { return std::make_shared<Hotovo>(); }, layoutHotovo);
    Storyboard::registerScreen(kMain, "Parametre", [] { return std::make_shared<Parametre>(); }, layoutParametre);
    Storyboard::registerScreen(kMain, "Datum", [] { return std::make_shared<Datum>(); }, layoutDatum);
    Storyboard::registerScreen(kMain, "Lookup", [] { return std::make_shared<Lookup>(); }, layoutLookup);
}
