#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fiscal/Fiskal.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/TextFieldDelegate.h"

class MenuItem;

// The one reusable menu screen: shows the rows of the menu named `item`
// (built by Trekora::getMenuItems) and turns a tapped row into the action of
// its key (MenuItem::segue). Every menu of the application is an instance.
//
// The dispatcher and its actions are spread over several files:
//   SimpleMenu.cpp          the list, logout, update, result alert, km field limit
//   SimpleMenuDispatch.cpp  the dispatcher, menus, documents, screens, service lock
//   SimpleMenuSpojenie.cpp  connection actions and the Wi-Fi check
//   SimpleMenuPokladna.cpp  cash withdrawal and deposit
//   SimpleMenuUzavierka.cpp daily closing, print commands, orders, salesman
class SimpleMenu : public platform::TableViewController, public platform::TextFieldDelegate {
public:
    // The menu name; the opener sets it before the screen is shown.
    std::string item = "menu";
    // The rows in display order, built when the view loads.
    std::vector<std::shared_ptr<MenuItem>> data;

    // The install page of the office server that "update" opens.
    static const char* const kInstallPage;

    // Whether pushes, pops and alerts are animated now: ANIMOVAT_OKNA is "A".
    static bool animovat();

    // Bar button actions.
    virtual void updateTapped();
    virtual void odhlasitTapped();
    // Shows a result text ("status,,detail") as an alert titled with the
    // status and worded with the detail.
    virtual void zobrazVysledok(const std::string& vysledok);
    // The kilometre field limit: no typing beyond 7 characters.
    bool textFieldShouldChangeCharactersIn(platform::TextField& textField, platform::TextRange range,
                                           const std::string& replacement) override;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    int numberOfSections(platform::TableView& table) override;
    int numberOfRowsInSection(platform::TableView& table, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    // Queues the dispatch of the tapped row on the main queue.
    void didSelectRowAt(platform::TableView& table, const platform::IndexPath& indexPath) override;

    // The dispatch of one tapped row (runs on the main queue after the tap).
    void dispatchRow(const platform::IndexPath& indexPath);

private:
    using Configure = std::function<void(platform::ViewController&)>;

    std::shared_ptr<SimpleMenu> self();
    // A new screen of this screen's storyboard; none (and a log line) when
    // the storyboard has no such screen.
    std::shared_ptr<platform::ViewController> instantiate(const std::string& identifier);
    // Pushes on this screen's navigation controller; nothing without one.
    void push(const std::shared_ptr<platform::ViewController>& screen, bool animated);
    // Instantiates, configures and pushes.
    void openScreen(const std::string& identifier, bool animated, const Configure& configure = {});
    void openMenu(const std::string& menu, bool animated);
    void popSelf(bool animated);
    // Builds the error alert, plays the error sound, presents it.
    void showError(const std::string& title, const std::string& message, bool animated,
                   std::function<void()> onOk = {});
    // A question with a refusing (cancel style, first) and a confirming
    // (default style) button.
    std::shared_ptr<platform::AlertController> question(const std::string& title, const std::string& message,
                                                        const std::string& refuse, const std::string& confirm,
                                                        std::function<void()> onRefuse,
                                                        std::function<void()> onConfirm);

    // Dispatcher actions.
    void prijemItems(std::size_t row, bool animated);
    void kilometrePrompt(std::size_t row, bool animated);
    void dokladParametre(const std::shared_ptr<MenuItem>& row, bool animated);
    void korunkaDoklad(const std::shared_ptr<MenuItem>& row, const std::string& identifier, bool animated);
    void zapisDovod(const std::shared_ptr<MenuItem>& row);
    void nastaveniaPrompt(bool animated);
    void spojenie(std::size_t row, const std::string& key, bool animated);
    void otvorSpojenie(std::size_t row, bool animated);
    void fiskalPrikaz(Fiskal::Command command, const std::string& txt, bool animated);
    void pokladnaPrompt(bool vyber);
    void pokladnaZapis(const std::string& typed, bool vyber);
    void zobrazDokladOtazka(const std::string& message, const std::string& cdok);
    void zobrazDoklad(const std::string& cdok);
    void uzavierkaOtazka();
    void uzavierkaZapis();
    void vymazObjednavky(bool animated);
    void predajcaPrompt(bool animated);
};
