#include "app/ScreenSnapshot.h"

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
            int rows = table->numberOfRowsInSection(sec);
            for (int r = 0; r < rows; ++r) {
                s.rows.push_back({table, {sec, r}});
                s.items.push_back({Kind::row, table, static_cast<int>(s.rows.size()), sec, table});
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
    return s;
}
