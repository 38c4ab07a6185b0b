#include "ui/shell/Login.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "records/NastaveniaItem.h"
#include "ui/shell/SimpleMenu.h"

void Login::viewDidLoad() { platform::ViewController::viewDidLoad(); }

void Login::viewWillAppear(bool animated) {
    platform::ViewController::viewWillAppear(animated);
    if (auto field = pinTextField.lock()) field->setText(std::string());
}

void Login::loginAction() {
    auto field = pinTextField.lock();
    if (!field) return;
    auto& trekora = sharedTrekora();
    const std::string pin = field->textOrEmpty();

    if (!trekora.checkUzivatelPin(pin)) {
        auto alert = platform::AlertController::make("login", "chybný pin", platform::AlertController::Style::alert);
        auto ok = std::make_shared<platform::AlertAction>(
            "ok", platform::AlertAction::Style::defaultStyle,
            [](platform::AlertAction&) { platform::Console::print("You've pressed ok"); });
        field->setText(std::string());
        alert->addAction(ok);
        trekora.playSound5();
        present(alert, SimpleMenu::animovat());
    } else {
        auto menu = platform::Storyboard::named("Main")->instantiate<SimpleMenu>("SimpleMenu");
        if (menu) {
            menu->item = "menu";
            if (auto nav = navigationController()) nav->pushViewController(menu, SimpleMenu::animovat());
        }
    }
    field->resignFirstResponder();
}
