#include "ui/shell/ShellStoryboard.h"

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TableView.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/Info.h"
#include "ui/shell/Kilometre.h"
#include "ui/shell/Login.h"
#include "ui/shell/Menu.h"
#include "ui/shell/MenuCell.h"
#include "ui/shell/Nastavenia.h"
#include "ui/shell/Servis.h"
#include "ui/shell/SimpleMenu.h"
#include "ui/shell/Uzivatel.h"

using platform::Storyboard;
using platform::ViewController;

namespace {

constexpr const char* kMain = "Main";

std::shared_ptr<platform::TableViewCell> makeMenuCell() {
    auto cell = std::make_shared<MenuCell>();
    auto image = std::make_shared<platform::ImageView>();
    image->setIdentifier("menuImageView");
    auto caption = std::make_shared<platform::Label>();
    caption->setIdentifier("menuLabelCaption");
    cell->addSubview(image);
    cell->addSubview(caption);
    cell->menuImageView = image;
    cell->menuLabelCaption = caption;
    return cell;
}

void layoutLogin(ViewController& screen) {
    auto& login = static_cast<Login&>(screen);
    login.setTitle(std::string("trekora"));
    auto pin = login.addOutlet<platform::TextField>("pinTextField", "pin");
    pin->setKeyboardType(platform::KeyboardType::numberPad);
    pin->setSecureTextEntry(true);
    pin->setPlaceholder("pin");
    login.pinTextField = pin;
    auto button = login.addOutlet<platform::Button>("loginButton", "prihlásiť");
    button->setTitle("prihlásiť");
    std::weak_ptr<Login> weak = std::static_pointer_cast<Login>(login.shared_from_this());
    button->addTarget([weak](platform::Control&) {
        if (auto screen = weak.lock()) screen->loginAction();
    });
}

void layoutSimpleMenu(ViewController& screen) {
    auto& menu = static_cast<SimpleMenu&>(screen);
    menu.tableView()->registerCell("SimpleCell", [] {
        auto cell = std::make_shared<platform::TableViewCell>(platform::TableViewCell::Style::subtitle, "SimpleCell");
        if (cell->detailTextLabel()) cell->detailTextLabel()->setNumberOfLines(3);
        return cell;
    });
}

void layoutNastavenia(ViewController& screen) {
    auto& settings = static_cast<Nastavenia&>(screen);
    settings.setTitle(std::string("nastavenia"));
    for (const auto& row : Nastavenia::rows()) {
        if (row.switchOutlet) {
            settings.*row.switchOutlet = settings.addOutlet<platform::Switch>(row.outletName, row.caption);
        } else {
            auto field = settings.addOutlet<platform::TextField>(row.outletName, row.caption);
            settings.*row.textOutlet = field;
        }
    }
}

void layoutUzivatel(ViewController& screen) {
    auto& user = static_cast<Uzivatel&>(screen);
    std::weak_ptr<Uzivatel> weak = std::static_pointer_cast<Uzivatel>(user.shared_from_this());
    user.navigationItem().setRightBarButtonItems({std::make_shared<platform::BarButtonItem>(
        "menu", platform::BarButtonItem::Style::plain, [weak](platform::BarButtonItem&) {
            if (auto screen = weak.lock()) screen->menuTapped();
        })});
}

void layoutKilometre(ViewController& screen) {
    auto& km = static_cast<Kilometre&>(screen);
    auto label = km.addOutlet<platform::Label>("labelKilometre", "");
    km.labelKilometre = label;
    auto field = km.addOutlet<platform::TextField>("textFieldKilometre", "kilometre");
    field->setKeyboardType(platform::KeyboardType::numberPad);
    km.textFieldKilometre = field;
}

void layoutMenu(ViewController& screen) {
    auto& menu = static_cast<Menu&>(screen);
    menu.tableView()->registerCell("MenuCell", makeMenuCell);
}

}  // namespace

void ShellStoryboard::registerAll() {
    platform::Application::registerDelegateClass("AppDelegate", [] { return std::make_shared<AppDelegate>(); });

    Storyboard::registerScreen(kMain, "Login", [] { return std::make_shared<Login>(); }, layoutLogin);
    Storyboard::registerInitialScreen(kMain, "Login", true);
    Storyboard::registerScreen(kMain, "SimpleMenu", [] { return std::make_shared<SimpleMenu>(); }, layoutSimpleMenu);
    Storyboard::registerScreen(kMain, "Nastavenia", [] { return std::make_shared<Nastavenia>(); }, layoutNastavenia);
    Storyboard::registerScreen(kMain, "Info", [] { return std::make_shared<Info>(); });
    Storyboard::registerScreen(kMain, "Uzivatel", [] { return std::make_shared<Uzivatel>(); }, layoutUzivatel);
    Storyboard::registerScreen(kMain, "Kilometre", [] { return std::make_shared<Kilometre>(); }, layoutKilometre);
    Storyboard::registerScreen(kMain, "Menu", [] { return std::make_shared<Menu>(); }, layoutMenu);
    Storyboard::registerScreen(kMain, "Servis", [] { return std::make_shared<Servis>(); }, layoutMenu);

    // The generic menu screens reach the user page; the rest of their rows
    // lead nowhere of their own.
    Storyboard::registerSegue(kMain, "Menu", "menu_uzivatel_segue", "Uzivatel");
}
