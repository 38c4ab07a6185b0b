#include "core/ServicePinPrompt.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/AlertController.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

void ServicePinPrompt::present(platform::ViewController& screen, bool animated, std::function<void()> accepted) {
    const std::string challenge = sharedTrekora().getSystemChallenge();
    auto alert = AlertController::make("pin", challenge, AlertController::Style::alert);
    alert->addTextField([](platform::TextField& field) {
        field.setKeyboardType(platform::KeyboardType::numberPad);
        field.setText(std::string());
    });
    alert->addAction(std::make_shared<AlertAction>("storno", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("You've pressed cancel");
    }));
    std::weak_ptr<platform::ViewController> weak = screen.shared_from_this();
    std::weak_ptr<AlertController> weakAlert = alert;
    alert->addAction(std::make_shared<AlertAction>(
        "ok", AlertAction::Style::defaultStyle,
        [weak, weakAlert, challenge, animated, accepted = std::move(accepted)](AlertAction&) {
            Console::print("You've pressed ok");
            auto owner = weak.lock();
            if (!owner) return;
            std::string pin;
            if (auto prompt = weakAlert.lock(); prompt && !prompt->textFields().empty())
                pin = prompt->textFields().front()->textOrEmpty();
            if (sharedTrekora().checkSystemPin(pin, challenge)) {
                accepted();
                return;
            }
            auto refused = AlertController::make("chybny pin!", "", AlertController::Style::alert);
            refused->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle));
            sharedTrekora().playSound5();
            owner->present(refused, animated);
        }));
    screen.present(alert, animated);
}
