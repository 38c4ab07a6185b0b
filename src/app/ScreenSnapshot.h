#pragma once

#include <memory>
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
// 1-based, in the order found).
struct ScreenSnapshot {
    struct Row {
        std::shared_ptr<platform::TableView> table;
        platform::IndexPath indexPath;
    };
    // One item of the screen's content, in view-tree order.
    struct Item {
        enum class Kind { sectionTitle, row, label, field, toggle, button, progress, activity, datePicker, search, web, image };
        Kind kind = Kind::label;
        std::shared_ptr<platform::View> view;
        int number = 0;     // row / field / switch / date number
        int section = 0;    // section of a section title
        std::shared_ptr<platform::TableView> table;
    };

    std::shared_ptr<platform::ViewController> screen;
    std::shared_ptr<platform::AlertController> alert;
    bool canGoBack = false;
    std::vector<std::shared_ptr<platform::BarButtonItem>> leftItems;
    std::vector<std::shared_ptr<platform::BarButtonItem>> rightItems;
    std::vector<std::shared_ptr<platform::BarButtonItem>> toolbarItems;
    std::vector<Item> items;
    std::vector<Row> rows;
    std::vector<std::shared_ptr<platform::TextField>> fields;
    std::vector<std::shared_ptr<platform::Switch>> switches;
    std::vector<std::shared_ptr<platform::DatePicker>> datePickers;
    std::vector<std::shared_ptr<platform::Button>> buttons;
    std::shared_ptr<platform::SearchBar> searchBar;

    static ScreenSnapshot take(const platform::Window& window);
    static ScreenSnapshot take(const std::shared_ptr<platform::ViewController>& screen,
                               const std::shared_ptr<platform::AlertController>& alert);
};
