#include "ui/sales/SalesUi.h"

#include "core/CoreDb.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextField.h"
#include "records/NastaveniaItem.h"

using platform::AlertAction;
using platform::AlertController;

bool SalesUi::animovat() {
    const auto& settings = sharedTrekora().nastaveniaItem;
    return settings && settings->ANIMOVAT_OKNA == "A";
}

std::shared_ptr<platform::ViewController> SalesUi::instantiate(platform::ViewController& from,
                                                               const std::string& identifier) {
    auto board = from.storyboard();
    if (!board) board = platform::Storyboard::named("Main");
    auto screen = board->instantiateViewController(identifier);
    if (!screen) sharedTrekora().log("screen " + identifier + " is not in the storyboard");
    return screen;
}

void SalesUi::push(platform::ViewController& from, const std::shared_ptr<platform::ViewController>& screen,
                   bool animated) {
    if (!screen) return;
    if (auto nav = from.navigationController()) nav->pushViewController(screen, animated);
}

void SalesUi::pop(platform::ViewController& from, bool animated) {
    auto nav = from.navigationController();
    if (nav && nav->topViewController().get() == &from) nav->popViewController(animated);
}

std::shared_ptr<AlertController> SalesUi::prompt(const std::string& title, const std::string& message,
                                                 platform::KeyboardType keyboard,
                                                 std::function<void(const std::string& typed)> ok) {
    auto alert = AlertController::make(title, message, AlertController::Style::alert);
    alert->addTextField([keyboard](platform::TextField& field) {
        field.setKeyboardType(keyboard);
        field.setText(std::string());
    });
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [](AlertAction&) {
        platform::Console::print("You've pressed cancel");
    }));
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>(
        "ok", AlertAction::Style::defaultStyle, [weakAlert, ok = std::move(ok)](AlertAction&) {
            std::string typed;
            if (auto a = weakAlert.lock(); a && !a->textFields().empty()) typed = a->textFields().front()->textOrEmpty();
            ok(typed);
        }));
    return alert;
}

void SalesUi::message(platform::ViewController& from, const std::string& title, const std::string& text, bool sound,
                      AlertAction::Style okStyle, std::function<void()> onOk) {
    auto alert = AlertController::make(title, text, AlertController::Style::alert);
    alert->addAction(std::make_shared<AlertAction>("ok", okStyle, [onOk](AlertAction&) {
        platform::Console::print("You've pressed ok");
        if (onOk) onOk();
    }));
    if (sound) sharedTrekora().playSound5();
    from.present(alert, animovat());
}

bool SalesUi::isKorunka(const std::string& korunka) { return coredb::upper(korunka) == "ANO"; }

void SalesUi::korunka(platform::ImageView* imageView, const std::string& korunka) {
    if (!imageView) return;
    imageView->setImage(nullptr);
    imageView->setTintColor(platform::Color::systemYellow());
    if (isKorunka(korunka))
        imageView->setImage(platform::Image::systemNamed("crown.fill", platform::Image::Weight::regular));
}
