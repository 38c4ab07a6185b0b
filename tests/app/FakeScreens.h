#pragma once

// A small screen set for driving the front end without the application:
// a menu table that pushes a form, an alert with a field, and a web page.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/WebView.h"

namespace fake {

class PageScreen : public platform::ViewController {
public:
    std::string html;
    void loadView() override {
        auto web = std::make_shared<platform::WebView>();
        setView(web);
    }
    void viewDidLoad() override {
        setTitle(std::string("info"));
        std::static_pointer_cast<platform::WebView>(view())->loadHTMLString(html);
    }
};

class FormScreen : public platform::ViewController {
public:
    std::shared_ptr<platform::TextField> name;
    std::shared_ptr<platform::Switch> animate;
    std::vector<std::string> saved;
    void viewDidLoad() override {
        setTitle(std::string("nastavenia"));
        name = addOutlet<platform::TextField>("textFieldMeno", "meno");
        animate = addOutlet<platform::Switch>("switchAnimovat", "ANIMOVAT_OKNA");
        auto save = addOutlet<platform::Button>("buttonUlozit");
        save->setTitle("uložiť");
        save->addTarget([this](platform::Control&) {
            saved.push_back(name->textOrEmpty() + (animate->isOn() ? "/A" : "/N"));
            navigationController()->popViewController(false);
        });
    }
};

// A login-like screen: one PIN field and one button; a PIN with letters is
// answered by an alert with one action.
class PinScreen : public platform::ViewController {
public:
    std::shared_ptr<platform::TextField> pin;
    std::vector<std::string> entered;
    void viewDidLoad() override {
        setTitle(std::string("trekora"));
        pin = addOutlet<platform::TextField>("pinTextField", "pin");
        auto login = addOutlet<platform::Button>("buttonLogin");
        login->setTitle("prihlásiť");
        login->addTarget([this](platform::Control&) {
            entered.push_back(pin->textOrEmpty());
            if (pin->textOrEmpty().find_first_not_of("0123456789") != std::string::npos) {
                auto alert = platform::AlertController::make("login", "chybný pin");
                alert->addAction(std::make_shared<platform::AlertAction>("ok", platform::AlertAction::Style::defaultStyle));
                present(alert, false);
            }
        });
    }
};

class MenuScreen : public platform::TableViewController {
public:
    std::vector<std::pair<std::string, std::string>> rows{{"predaj", "predaj tovaru"},
                                                          {"kilometre", "stav tachometra"},
                                                          {"info", "o programe"},
                                                          {"nastavenia", ""}};
    std::string km = "100";
    std::shared_ptr<FormScreen> form = std::make_shared<FormScreen>();
    std::vector<std::string> icons;         // symbol name of each row's icon
    std::optional<platform::Color> tint;    // colour of the third row's title
    int logouts = 0;

    void viewDidLoad() override {
        setTitle(std::string("menu"));
        tableView()->registerCell("SimpleCell", platform::TableViewCell::Style::subtitle);
        navigationItem().setLeftBarButtonItem(std::make_shared<platform::BarButtonItem>(
            "odhlásiť", platform::BarButtonItem::Style::done, [this](platform::BarButtonItem&) { ++logouts; }));
    }
    int numberOfRowsInSection(platform::TableView&, int) override { return static_cast<int>(rows.size()); }
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& t, const platform::IndexPath& p) override {
        auto cell = t.dequeueReusableCell("SimpleCell", p);
        cell->textLabel()->setText(rows[p.row].first);
        cell->detailTextLabel()->setText(rows[p.row].second);
        cell->detailTextLabel()->setTextColor(p.row == 0 ? platform::Color::systemRed()
                                                         : platform::Color::secondaryLabel());
        if (static_cast<std::size_t>(p.row) < icons.size())
            cell->imageView()->setImage(platform::Image::systemNamed(icons[p.row], platform::Image::Weight::regular));
        if (p.row == 2 && tint) cell->textLabel()->setTextColor(*tint);
        return cell;
    }
    void didSelectRowAt(platform::TableView&, const platform::IndexPath& p) override {
        if (p.row == 1) askKilometres();
        if (p.row == 2) {
            auto page = std::make_shared<PageScreen>();
            page->html = "<h2>Trekora</h2><p>verzia&nbsp;2.24 &amp; viac</p><table><tr><td>a</td><td>b</td></tr></table>";
            navigationController()->pushViewController(page, false);
        }
        if (p.row == 3) navigationController()->pushViewController(form, false);
    }
    void askKilometres() {
        auto alert = platform::AlertController::make("kilometre", "pôvodný stav: " + km);
        alert->addTextField([this](platform::TextField& f) {
            f.setKeyboardType(platform::KeyboardType::numberPad);
            f.setText(km);
        });
        std::weak_ptr<platform::AlertController> weak = alert;
        alert->addAction(std::make_shared<platform::AlertAction>("storno", platform::AlertAction::Style::cancel));
        alert->addAction(std::make_shared<platform::AlertAction>(
            "ok", platform::AlertAction::Style::defaultStyle,
            [this, weak](platform::AlertAction&) { km = weak.lock()->textFields()[0]->textOrEmpty(); }));
        present(alert, false);
    }
};

}  // namespace fake
