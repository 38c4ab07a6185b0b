#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"

// What the window shows at one moment, in drawing order, with the numbers a
// person types to reach each widget (rows, fields, switches, date pickers:
// 1-based, in the order found). The rows of a table are counted, not
// listed: taking a snapshot of a list of any length asks for no cell.
struct ScreenSnapshot {
    struct Row {
        std::shared_ptr<platform::TableView> table;
        platform::IndexPath indexPath;
    };
    // One item of the screen's content, in view-tree order.
    struct Item {
        enum class Kind { sectionTitle, rows, label, field, toggle, button, progress, activity, datePicker, search, web, image };
        Kind kind = Kind::label;
        std::shared_ptr<platform::View> view;
        int number = 0;     // field / switch / date number; the number of the first of the rows
        int section = 0;    // section of a section title or of the rows
        std::shared_ptr<platform::TableView> table;
        int count = 0;      // rows: how many, numbered on from `number`
        std::size_t firstEntry = 0;
    };
    // One piece of the content as it is drawn: an item, or one row of a run
    // of rows (`row` its row in the section).
    struct Entry {
        const Item* item = nullptr;
        int row = 0;
    };

    std::shared_ptr<platform::ViewController> screen;
    std::shared_ptr<platform::AlertController> alert;
    bool canGoBack = false;
    std::vector<std::shared_ptr<platform::BarButtonItem>> leftItems;
    std::vector<std::shared_ptr<platform::BarButtonItem>> rightItems;
    std::vector<std::shared_ptr<platform::BarButtonItem>> toolbarItems;
    std::vector<Item> items;
    int rowCount = 0;
    std::vector<std::shared_ptr<platform::TextField>> fields;
    std::vector<std::shared_ptr<platform::Switch>> switches;
    std::vector<std::shared_ptr<platform::DatePicker>> datePickers;
    std::vector<std::shared_ptr<platform::Button>> buttons;
    std::shared_ptr<platform::SearchBar> searchBar;

    // The row a person reaches by `number`; none when there is no such row.
    std::optional<Row> row(int number) const;
    // The content in entries: every item is one, a run of rows one a row.
    std::size_t entryCount() const;
    Entry entry(std::size_t index) const;

    static ScreenSnapshot take(const platform::Window& window);
    static ScreenSnapshot take(const std::shared_ptr<platform::ViewController>& screen,
                               const std::shared_ptr<platform::AlertController>& alert);
};
