#include "ui/sales/Polozky.h"

#include "core/Amounts.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/Numbers.h"
#include "platform/ui/Image.h"
#include "records/KorunkaItem.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"
#include "sales/DokladTyp.h"
#include "ui/sales/KorunkaCell.h"
#include "ui/sales/SalesUi.h"
#include "ui/sales/SearchText.h"
#include "ui/sales/TypedNumber.h"

using platform::Console;

namespace {

bool takesDodZlava(std::int64_t pohyb) {
    return pohyb == 10 || pohyb == 20 || pohyb == 21 || pohyb == 30 || pohyb == 31 || pohyb == 40;
}

}  // namespace

std::shared_ptr<Polozky> Polozky::self() { return std::static_pointer_cast<Polozky>(shared_from_this()); }

void Polozky::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = self();
    SalesUi::wireList(me, tableView, searchBar);
    std::weak_ptr<Polozky> weak = me;
    navigationItem().setRightBarButtonItems({std::make_shared<platform::BarButtonItem>(
        platform::BarButtonItem::SystemItem::add, [weak](platform::BarButtonItem&) {
            if (auto s = weak.lock()) s->addTapped();
        })});
    navigationItem().setLeftBarButtonItems({std::make_shared<platform::BarButtonItem>(
        "hotovo", platform::BarButtonItem::Style::done, [weak](platform::BarButtonItem&) {
            if (auto s = weak.lock()) s->hotovoTapped();
        })});

    auto& trekora = sharedTrekora();
    const auto& typ = *trekora.selectedTypDokladuItem;
    const auto& odberatel = *trekora.selectedOdberatelItem;
    nadpis = typ.caption;
    setTitle(nadpis);
    Console::print("===================");
    Console::print(typ.description());
    Console::print("===================");
    Console::print(odberatel.description());
    Console::print("===================");

    platform::DispatchQueue::main()->async([weak] {
        if (auto s = weak.lock()) s->naplnHlavicku();
    });

    if (auto button = buttonDodZlava.lock())
        button->setHidden(!takesDodZlava(typ.pohyb) || DokladTyp::isReturn(typ.name));

    trekora.readTovarArray(odberatel.IDOSC, typ.select_query_name);
    trekora.readDatumSpotrebyArray();
    trekora.readKorunka(odberatel.IDOSC);
    // A document prepared from an order takes what is still to deliver now:
    // a document written since the lines were read (another invoice from the
    // same parameters screen) is not delivered again.
    if (trekora.selectedObj) {
        auto cdok = trekora.selectedObj->find("CDOK");
        trekora.selectedObjData =
            trekora.readObjednavkaPolozky(cdok == trekora.selectedObj->end() ? std::string() : cdok->second);
    }
    trekora.naplnDokladZObjednavky();
    selectedAction = "";
    vysledok = "";
}

void Polozky::naplnHlavicku() {
    auto& trekora = sharedTrekora();
    const auto& o = *trekora.selectedOdberatelItem;
    const auto& k = *trekora.selectedKorunkaItem;
    if (auto header = viewOdberatel.lock()) header->setHeight(o.IDOSC.empty() ? 0.0 : 200.0);
    std::string text = o.IDP + " " + o.NAZOV1 + "\n" + o.NAZOV2 + "\n" + o.ULICA + "\n" + o.PSC + " " + o.MESTO +
                       "\ničo: " + o.ICO;
    auto crown = imageViewKorunka.lock();
    if (crown) crown->setImage(nullptr);
    if (SalesUi::isKorunka(o.KORUNKA)) {
        SalesUi::korunka(crown.get(), o.KORUNKA);
        text += "\nkorunka: " + k.KORUNKA + " body: " + k.ZOSTATOK + "\nnavyseny zaklad: " + k.NAVYSENY_ZAKLAD +
                "\nobrat tento mesiac: " + k.OBRATSDPH + "\nobrat zaratany do korunky: " + k.OBRATSDPH_IDTOV;
    } else {
        text += "\nobrat tento mesiac: " + k.OBRATSDPH + "\nkorunka: " + k.KORUNKA;
    }
    if (auto label = labelOdberatel.lock()) label->setText(text);
}

void Polozky::buttonDodZlavaPressed() {
    Console::print("dod. zlava pressed");
    auto& trekora = sharedTrekora();
    const bool animated = SalesUi::animovat();
    if (!takesDodZlava(trekora.selectedTypDokladuItem->pohyb)) return;
    std::weak_ptr<Polozky> weak = self();
    present(SalesUi::prompt("zadajte dodatočnú zľavu", "max. zľava: " + trekora.selectedOdberatelItem->ZLMAX,
                            platform::KeyboardType::decimalPad,
                            [weak](const std::string& typed) {
                                Console::print("You've pressed ok");
                                if (auto s = weak.lock()) s->dodZlava(typed);
                            }),
            animated);
}

void Polozky::dodZlava(const std::string& typed) {
    auto& trekora = sharedTrekora();
    // An empty entry keeps the discount the document had.
    if (TypedNumber::isEmpty(typed)) return;
    const auto value = TypedNumber::decimal(typed);
    const auto max = TypedNumber::decimal(trekora.selectedOdberatelItem->ZLMAX);
    const double limit = max ? *max : Amounts::floatOf(trekora.selectedOdberatelItem->ZLMAX);
    if (!value || *value < 0 || TypedNumber::hundredths(*value) > TypedNumber::hundredths(limit)) {
        SalesUi::message(*this, TypedNumber::refusal(typed, "číslo mimo povolený rozsah!"), "", true);
        return;
    }
    // The lines are priced at a rate in hundredths of a percent: a finer
    // discount would be stored as typed but priced as another.
    if (TypedNumber::beyondHundredths(typed)) {
        SalesUi::message(*this, TypedNumber::tooManyPlaces, "", true);
        return;
    }
    std::string zlava = typed;
    for (auto& c : zlava)
        if (c == ',') c = '.';
    const auto first = zlava.find_first_not_of(' ');
    zlava = zlava.substr(first, zlava.find_last_not_of(' ') - first + 1);
    // A zero keeps no minus sign ("-0,0" is "0.0").
    if (*value == 0.0 && zlava[0] == '-') zlava.erase(0, 1);
    trekora.setZlava3(zlava);
    trekora.prepocitajDoklad(data);
    zobrazSumy();
    if (auto table = tableView.lock()) table->reloadData();
}

void Polozky::zobrazSumy() {
    auto& trekora = sharedTrekora();
    if (auto label = labelSuma.lock()) label->setText(trekora.selectedSumdokz);
    if (auto label = labelSumaDoKorunky.lock()) label->setText(trekora.selectedSumdokzDoKorunky);
}

void Polozky::setNadpis() {
    setTitle(nadpis + ": " + std::to_string(filteredData.size()) + " / " + std::to_string(data.size()));
}

int Polozky::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(filteredData.size()); }

std::shared_ptr<platform::TableViewCell> Polozky::cellForRowAt(platform::TableView& table,
                                                               const platform::IndexPath& indexPath) {
    auto reused = table.dequeueReusableCell("PolozkaCell");
    auto cell = std::dynamic_pointer_cast<KorunkaCell>(reused);
    std::shared_ptr<platform::TableViewCell> shown = cell;
    if (!shown) shown = std::make_shared<platform::TableViewCell>(platform::TableViewCell::Style::subtitle, "PolozkaCell");
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= filteredData.size()) return shown;
    const auto& t = *filteredData[static_cast<std::size_t>(indexPath.row)];
    // Numbers as "%<width>.<places>f" writes them, but exact: the amounts are
    // those the document is written with, to the cent however large.
    auto f = [](const std::string& text, int width, int places) {
        return Amounts::formatUnits(Amounts::unitsOf(text, places), places, width);
    };
    shown->textLabel()->setText(t.IDTOV + " " + t.NAZTOV1);
    if (auto detail = shown->detailTextLabel()) {
        detail->setNumberOfLines(3);
        detail->setText("mnoz: " + f(t.VYBRANE, 5, 0) + " zz: " + f(t.ZLAVA1, 5, 2) + " bdph: " + f(t.CENA3, 8, 3) +
                        " " + f(t.CCMNOZ, 8, 2) + "\n" + "mj  : " + platform::format("%5s", t.MJ.c_str()) +
                        " az: " + f(t.ZLAVA2, 5, 2) + " dph:  " + f(t.DPH, 7, 0) + "% " + f(t.HDPHCC, 8, 2) + "\n" +
                        "cena: " + f(t.CENA, 5, 3) + " dz: " + f(t.ZLAVA3, 5, 2) + " sdph: " + f(t.CENA3SDPH, 8, 2) +
                        " " + f(t.CCSUM, 8, 2));
    }
    shown->setAccessoryType(platform::TableViewCell::AccessoryType::detailButton);
    if (cell) SalesUi::korunka(cell->imageViewKorunka.lock().get(), t.KORUNKA);
    return shown;
}

void Polozky::accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath&) {
    SalesUi::message(*this, "tu bude info o vyrobku", "rozrobene ....", false);
}

void Polozky::searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) {
    filteredData = SearchText::tovar(data, searchText);
    setNadpis();
    if (auto table = tableView.lock()) table->reloadData();
}
