#include "ui/sales/Lookup.h"

#include "core/Amounts.h"
#include "platform/Numbers.h"
#include "records/MenuItem.h"
#include "records/ParameterItem.h"
#include "ui/sales/SalesUi.h"
#include "ui/shell/Info.h"

namespace {

std::string column(const RowDictionary& row, const std::string& name) {
    auto found = row.find(name);
    return found == row.end() ? std::string() : found->second;
}

bool isAktivita() { return sharedTrekora().selectedTypDokladuItem->name == "AKTIVITA"; }

}  // namespace

Lookup::Lookup() : item(std::make_shared<ParameterItem>()) {}

void Lookup::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto me = std::static_pointer_cast<Lookup>(shared_from_this());
    SalesUi::wireList(me, tableView);
    setTitle(std::string("lookup"));
    data = sharedTrekora().getLookupData(item);
}

std::optional<std::string> Lookup::titleForHeaderInSection(platform::TableView&, int) { return item->CAPTION; }

int Lookup::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(data.size()); }

std::shared_ptr<platform::TableViewCell> Lookup::cellForRowAt(platform::TableView& table,
                                                              const platform::IndexPath& indexPath) {
    auto cell = table.dequeueReusableCell("Cell", indexPath);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= data.size()) return cell;
    const auto& row = data[static_cast<std::size_t>(indexPath.row)];
    cell->textLabel()->setText(column(row, item->DISPLAYFIELD));
    auto detail = cell->detailTextLabel();
    if (!detail) return cell;
    if (item->NAME == "CDOK") {
        detail->setText("datum: " + column(row, "DATUM") + "\n suma: " +
                        platform::format("%10.2f", static_cast<double>(Amounts::floatOf(column(row, "SUMDOKZ")))));
    }
    if (isAktivita() && item->NAME == "ID") {
        const std::string stav = column(row, "STAV");
        detail->setText("od: " + column(row, "DATUM_OD") + "\ndo: " + column(row, "DATUM_DO") + "\nstav: " + stav);
        if (stav == "Prebiehajuca") detail->setTextColor(platform::Color::systemGreen());
        else if (stav == "Skoncena") detail->setTextColor(platform::Color::systemRed());
        else if (stav == "Nezacata") detail->setTextColor(platform::Color::systemYellow());
    }
    return cell;
}

void Lookup::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= data.size()) return;
    const auto& row = data[static_cast<std::size_t>(indexPath.row)];
    item->VALUE = column(row, item->LOOKUPFIELD);
    item->DISPLAYVALUE = column(row, item->DISPLAYFIELD);
    SalesUi::pop(*this, SalesUi::animovat());
}

void Lookup::accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) {
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= data.size()) return;
    const auto& row = data[static_cast<std::size_t>(indexPath.row)];
    auto& trekora = sharedTrekora();
    std::string page;
    if (item->NAME == "CDOK") page = trekora.getDokladHtml(column(row, "CDOK"));
    if (isAktivita() && item->NAME == "ID") page = trekora.getAktivitaHtml(column(row, "ID"));
    auto info = std::dynamic_pointer_cast<Info>(SalesUi::instantiate(*this, "Info"));
    if (!info) return;
    info->html = page;
    SalesUi::push(*this, info, SalesUi::animovat());
}
