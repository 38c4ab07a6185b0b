#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/AlertController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/KeyboardType.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

// What the document screens share: the animation setting, wiring a list
// screen, opening a screen of the storyboard, the plain alerts and the
// loyalty crown.
class SalesUi {
public:
    // Pushes, pops and alerts are animated when ANIMOVAT_OKNA is "A" now.
    static bool animovat();

    // Makes a list screen the data source and delegate of its table, and the
    // delegate of its search bar in the second form.
    template <class Screen>
    static void wireList(const std::shared_ptr<Screen>& screen, const std::weak_ptr<platform::TableView>& table) {
        if (auto t = table.lock()) {
            t->setDataSource(std::weak_ptr<platform::TableViewDataSource>(screen));
            t->setDelegate(std::weak_ptr<platform::TableViewDelegate>(screen));
        }
    }
    template <class Screen>
    static void wireList(const std::shared_ptr<Screen>& screen, const std::weak_ptr<platform::TableView>& table,
                         const std::weak_ptr<platform::SearchBar>& searchBar) {
        wireList(screen, table);
        if (auto bar = searchBar.lock()) bar->setDelegate(std::weak_ptr<platform::SearchBarDelegate>(screen));
    }

    // A new screen of `from`'s storyboard ("Main" when it has none); none,
    // with a log line, when the storyboard has no such screen.
    static std::shared_ptr<platform::ViewController> instantiate(platform::ViewController& from,
                                                                 const std::string& identifier);
    // Pushes on `from`'s navigation stack; nothing without one.
    static void push(platform::ViewController& from, const std::shared_ptr<platform::ViewController>& screen,
                     bool animated);
    static void pop(platform::ViewController& from, bool animated);

    // An alert with one "ok" action of the given style; the error sound
    // first when `sound`.
    static void message(platform::ViewController& from, const std::string& title, const std::string& message,
                        bool sound, platform::AlertAction::Style okStyle = platform::AlertAction::Style::defaultStyle,
                        std::function<void()> onOk = {});

    // An alert asking for one entry: an empty text field of `keyboard`,
    // "storno" (cancel) and "ok", which hands the typed text to `ok`. The
    // caller presents it.
    static std::shared_ptr<platform::AlertController> prompt(const std::string& title, const std::string& message,
                                                             platform::KeyboardType keyboard,
                                                             std::function<void(const std::string& typed)> ok);

    // The crown of a customer or good in the loyalty programme: "crown.fill"
    // in yellow when `korunka` upper-cased is "ANO", otherwise no image.
    static void korunka(platform::ImageView* imageView, const std::string& korunka);
    static bool isKorunka(const std::string& korunka);
};
