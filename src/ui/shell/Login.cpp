#include "ui/shell/Login.h"

#include "core/ServicePinPrompt.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "records/NastaveniaItem.h"
#include "sync/DatabaseFile.h"
#include "sync/PoskodenaDatabaza.h"
#include "ui/shell/SimpleMenu.h"

using platform::AlertAction;
using platform::AlertController;

void Login::viewDidLoad() { platform::ViewController::viewDidLoad(); }

void Login::viewWillAppear(bool animated) {
    platform::ViewController::viewWillAppear(animated);
    if (auto field = pinTextField.lock()) field->setText(std::string());
}

std::shared_ptr<platform::AlertController> Login::poskodenaDatabaza(const std::string& reason) {
    auto alert = AlertController::make(
        "login",
        "databáza je poškodená (" + reason +
            "), PIN sa nedá overiť. \"odložiť databázu\" (servisný kód) ju odloží bez zmazania a program začne s "
            "dodanou databázou; potom sa prihláste a obnovte databázu z kancelárie (spojenie → obnova).",
        AlertController::Style::alert);
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle,
                                                   [](AlertAction&) { platform::Console::print("You've pressed ok"); }));
    std::weak_ptr<Login> weak = std::static_pointer_cast<Login>(shared_from_this());
    alert->addAction(std::make_shared<AlertAction>(
        "odložiť databázu", AlertAction::Style::destructive, [weak](AlertAction&) {
            auto screen = weak.lock();
            if (!screen) return;
            ServicePinPrompt::present(*screen, SimpleMenu::animovat(), [weak] {
                auto login = weak.lock();
                if (!login) return;
                std::string reason;
                const auto done = PoskodenaDatabaza::odloz(sharedTrekora(), &reason);
                auto answer = AlertController::make("login", done ? *done : reason, AlertController::Style::alert);
                // Until the salesman has seen what was done, the next start
                // tells it again.
                answer->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [](AlertAction&) {
                    PoskodenaDatabaza::potvrd(sharedTrekora());
                }));
                if (!done) sharedTrekora().playSound5();
                login->present(answer, SimpleMenu::animovat());
            });
        }));
    return alert;
}

void Login::loginAction() {
    auto field = pinTextField.lock();
    if (!field) return;
    auto& trekora = sharedTrekora();
    const std::string pin = field->textOrEmpty();

    // A database set aside while the program ended before the salesman saw
    // it: he is told first.
    if (const auto unseen = PoskodenaDatabaza::nepotvrdene(trekora)) {
        auto alert = AlertController::make("login", *unseen, AlertController::Style::alert);
        alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [](AlertAction&) {
            PoskodenaDatabaza::potvrd(sharedTrekora());
        }));
        field->setText(std::string());
        trekora.playSound5();
        present(alert, SimpleMenu::animovat());
        field->resignFirstResponder();
        return;
    }

    if (trekora.checkUzivatelPin(pin)) {
        auto menu = platform::Storyboard::named("Main")->instantiate<SimpleMenu>("SimpleMenu");
        if (menu) {
            menu->item = "menu";
            if (auto nav = navigationController()) nav->pushViewController(menu, SimpleMenu::animovat());
        }
    } else {
        std::shared_ptr<AlertController> alert;
        if (trekora.databazaZaneprazdnena) {
            // Held by another connection for longer than a query waits:
            // nothing is damaged.
            alert = AlertController::make("login",
                                          DatabaseFile::busyMessage(trekora.chybaDatabazyPriPrihlaseni) +
                                              ", PIN sa nedá overiť: skúste sa prihlásiť znova o chvíľu",
                                          AlertController::Style::alert);
            alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle));
        } else if (!trekora.chybaDatabazyPriPrihlaseni.empty()) {
            // A database that cannot be read says so, never "chybný pin".
            alert = poskodenaDatabaza(trekora.chybaDatabazyPriPrihlaseni);
        } else {
            alert = AlertController::make("login", "chybný pin", AlertController::Style::alert);
            alert->addAction(std::make_shared<AlertAction>(
                "ok", AlertAction::Style::defaultStyle,
                [](AlertAction&) { platform::Console::print("You've pressed ok"); }));
        }
        field->setText(std::string());
        trekora.playSound5();
        present(alert, SimpleMenu::animovat());
    }
    field->resignFirstResponder();
}
