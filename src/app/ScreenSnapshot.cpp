#include "app/ScreenSnapshot.h"

#include <algorithm>

#include "platform/ui/NavigationController.h"

using namespace platform;

namespace {

void add(ScreenSnapshot& s, ScreenSnapshot::Item::Kind kind, const std::shared_ptr<View>& view, int number = 0) {
    ScreenSnapshot::Item item;
    item.kind = kind;
    item.view = view;
    item.number = number;
    s.items.push_back(item);
}

void walk(ScreenSnapshot& s, const std::shared_ptr<View>& view) {
    if (!view || view->isCollapsed()) return;
    using Kind = ScreenSnapshot::Item::Kind;
    if (auto table = std::dynamic_pointer_cast<TableView>(view)) {
        int sections = table->numberOfSections();
        for (int sec = 0; sec < sections; ++sec) {
            if (auto title = table->titleForHeaderInSection(sec))
                s.items.push_back({Kind::sectionTitle, table, 0, sec, table});
            const int rows = table->numberOfRowsInSection(sec);
            if (rows > 0) {
                s.items.push_back({Kind::rows, table, s.rowCount + 1, sec, table, rows});
                s.rowCount += rows;
            }
        }
        // Widgets placed over the table (static cells) follow its rows.
        for (auto& sub : view->subviews()) walk(s, sub);
        return;
    }
    if (auto field = std::dynamic_pointer_cast<TextField>(view)) {
        s.fields.push_back(field);
        add(s, Kind::field, view, static_cast<int>(s.fields.size()));
        return;
    }
    if (auto sw = std::dynamic_pointer_cast<Switch>(view)) {
        s.switches.push_back(sw);
        add(s, Kind::toggle, view, static_cast<int>(s.switches.size()));
        return;
    }
    if (auto picker = std::dynamic_pointer_cast<DatePicker>(view)) {
        s.datePickers.push_back(picker);
        add(s, Kind::datePicker, view, static_cast<int>(s.datePickers.size()));
        return;
    }
    if (auto button = std::dynamic_pointer_cast<Button>(view)) {
        s.buttons.push_back(button);
        add(s, Kind::button, view);
        return;
    }
    if (auto search = std::dynamic_pointer_cast<SearchBar>(view)) {
        if (!s.searchBar) s.searchBar = search;
        add(s, Kind::search, view);
        return;
    }
    if (auto toolbar = std::dynamic_pointer_cast<Toolbar>(view)) {
        for (auto& item : toolbar->items()) s.toolbarItems.push_back(item);
        return;
    }
    if (std::dynamic_pointer_cast<Label>(view)) {
        add(s, Kind::label, view);
        return;
    }
    if (std::dynamic_pointer_cast<ProgressView>(view)) {
        add(s, Kind::progress, view);
        return;
    }
    if (std::dynamic_pointer_cast<ActivityIndicatorView>(view)) {
        add(s, Kind::activity, view);
        return;
    }
    if (auto image = std::dynamic_pointer_cast<ImageView>(view)) {
        if (image->image()) add(s, Kind::image, view);
        return;
    }
    if (std::dynamic_pointer_cast<WebView>(view)) {
        add(s, Kind::web, view);
        return;
    }
    for (auto& sub : view->subviews()) walk(s, sub);
}

}  // namespace

std::optional<ScreenSnapshot::Row> ScreenSnapshot::row(int number) const {
    for (const auto& item : items)
        if (item.kind == Item::Kind::rows && number >= item.number && number < item.number + item.count)
            return Row{item.table, {item.section, number - item.number}};
    return std::nullopt;
}

std::size_t ScreenSnapshot::entryCount() const {
    if (items.empty()) return 0;
    const Item& last = items.back();
    return last.firstEntry + (last.kind == Item::Kind::rows ? static_cast<std::size_t>(last.count) : 1);
}

ScreenSnapshot::Entry ScreenSnapshot::entry(std::size_t index) const {
    auto after = std::upper_bound(items.begin(), items.end(), index,
                                  [](std::size_t i, const Item& item) { return i < item.firstEntry; });
    if (after == items.begin()) return {};
    const Item& item = *(after - 1);
    return {&item, item.kind == Item::Kind::rows ? static_cast<int>(index - item.firstEntry) : 0};
}

ScreenSnapshot ScreenSnapshot::take(const Window& window) {
    return take(window.topScreen(), window.presentedAlert());
}

ScreenSnapshot ScreenSnapshot::take(const std::shared_ptr<ViewController>& screen,
                                    const std::shared_ptr<AlertController>& alert) {
    ScreenSnapshot s;
    s.screen = screen;
    s.alert = alert;
    if (!screen) return s;
    const auto& navItem = screen->navigationItem();
    s.leftItems = navItem.leftBarButtonItems();
    s.rightItems = navItem.rightBarButtonItems();
    if (auto nav = screen->navigationController())
        s.canGoBack = nav->viewControllers().size() > 1 && s.leftItems.empty() && !navItem.hidesBackButton();
    walk(s, screen->view());
    std::size_t entries = 0;
    for (auto& item : s.items) {
        item.firstEntry = entries;
        entries += item.kind == Item::Kind::rows ? static_cast<std::size_t>(item.count) : 1;
    }
    return s;
}
