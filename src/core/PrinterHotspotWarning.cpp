#include "core/PrinterHotspotWarning.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

void PrinterHotspotWarning::present(platform::ViewController& screen, const std::string& ssid, bool animated) {
    auto alert = AlertController::make("aktualna wifi: " + ssid,
                                       "hotspot sluzi iba na tlac!\npripoj sa na inu wifi siet!",
                                       AlertController::Style::alert);
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [](AlertAction&) {
        Console::print("You've pressed ok");
    }));
    alert->addAction(std::make_shared<AlertAction>("nastavenia", AlertAction::Style::cancel, [](AlertAction&) {
        Console::print("You've pressed nastavenia");
        auto& application = platform::Application::shared();
        if (application.canOpenURL("prefs:root=WIFI"))
            application.open("prefs:root=WIFI");
        else if (application.canOpenURL("App-Prefs:root=WIFI"))
            application.open("App-Prefs:root=WIFI");
    }));
    sharedTrekora().playSound5();
    screen.present(alert, animated);
}
