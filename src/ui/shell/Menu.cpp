#include "ui/shell/Menu.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "records/MenuItem.h"
#include "ui/shell/MenuCell.h"

void Menu::viewDidLoad() {
    platform::TableViewController::viewDidLoad();
    data = sharedTrekora().getMenuItems(menuName());
    std::string text = "[";
    for (std::size_t i = 0; i < data.size(); ++i) text += (i ? ", " : "") + data[i]->description();
    platform::Console::print(text + "]");
}

int Menu::numberOfSections(platform::TableView&) { return 1; }

int Menu::numberOfRowsInSection(platform::TableView&, int) { return static_cast<int>(data.size()); }

std::shared_ptr<platform::TableViewCell> Menu::cellForRowAt(platform::TableView& table,
                                                            const platform::IndexPath& indexPath) {
    auto cell = table.dequeueReusableCell("MenuCell", indexPath);
    auto menuCell = std::dynamic_pointer_cast<MenuCell>(cell);
    if (menuCell && indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < data.size())
        menuCell->configure(*data[static_cast<std::size_t>(indexPath.row)]);
    return cell;
}

void Menu::didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) {
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= data.size()) return;
    const std::string segue = data[static_cast<std::size_t>(indexPath.row)]->segue;
    if (segue.empty()) return;
    performSegue(segue);
}
