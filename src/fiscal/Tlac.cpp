#include "fiscal/Tlac.h"

#include "core/DeviceServices.h"
#include "core/StringValue.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/AlertAction.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "records/NastaveniaItem.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cstdio>

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

std::string Tlac::uppercased(const std::string& text) {
    std::string out;
    icu::UnicodeString::fromUTF8(text).toUpper(icu::Locale::getRoot()).toUTF8String(out);
    return out;
}

bool Tlac::animovat() {
    const auto& settings = sharedTrekora().nastaveniaItem;
    return settings && settings->ANIMOVAT_OKNA == "A";
}

void Tlac::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    // Left only through the alerts.
    navigationItem().setLeftBarButtonItems({});
    navigationItem().setHidesBackButton(true);

    auto& trekora = sharedTrekora();
    const std::string txt = trekora.fiskalTxt;
    const std::string txt2 = trekora.fiskalTxt2;
    const auto settings = trekora.nastaveniaItem ? trekora.nastaveniaItem : std::make_shared<NastaveniaItem>();
    const std::string label1 = uppercased(settings->FISCAL_TYPE);
    const std::string label2 = uppercased(settings->FISCAL_TYPE2);

    // The settings are read again when the printer is used.
    auto printer1 = [] {
        const auto& s = sharedTrekora().nastaveniaItem;
        return s ? Printer{s->WIFI_PRINTER_SSID, s->WIFI_PRINTER_IP, s->WIFI_PRINTER_PORT, s->WIFI_RESPONSE}
                 : Printer{};
    };
    auto printer2 = [] {
        const auto& s = sharedTrekora().nastaveniaItem;
        return s ? Printer{s->WIFI_PRINTER_SSID2, s->WIFI_PRINTER_IP2, s->WIFI_PRINTER_PORT2, s->WIFI_RESPONSE2}
                 : Printer{};
    };

    if (txt2.empty()) {
        usePrinter(printer1(), label1, txt);
        return;
    }
    std::weak_ptr<Tlac> weak = std::static_pointer_cast<Tlac>(shared_from_this());
    auto alert = AlertController::make(std::string("vyber tlačiareň"), std::string(), AlertController::Style::alert);
    alert->addAction(std::make_shared<AlertAction>(label1, AlertAction::Style::cancel, [=](AlertAction&) {
        Console::print("You've pressed cancel");
        if (auto screen = weak.lock()) screen->usePrinter(printer1(), label1, txt);
    }));
    alert->addAction(std::make_shared<AlertAction>(label2, AlertAction::Style::defaultStyle, [=](AlertAction&) {
        Console::print("You've pressed ok");
        if (auto screen = weak.lock()) screen->usePrinter(printer2(), label2, txt2);
    }));
    present(alert, animovat());
}

void Tlac::viewDidDisappear(bool animated) {
    platform::ViewController::viewDidDisappear(animated);
    // The driver holds this screen as its client: once the screen is gone,
    // both go.
    if (fiskal && fiskal->isFinished()) fiskal.reset();
}

void Tlac::usePrinter(const Printer& printer, const std::string& label, const std::string& txt) {
    // A port or an address that cannot be right is refused before anything
    // is connected.
    const std::int64_t port = integerValue(printer.port);
    if (port < 0 || port > 65535) {
        showError("neplatný port tlačiarne: " + printer.port);
        return;
    }
    if (printer.ip.find_first_not_of(" \t") == std::string::npos) {
        showError("chýba adresa tlačiarne!");
        return;
    }
    if (checkSSID(printer.ssid)) start(label, txt, printer.ip, static_cast<std::uint16_t>(port), printer.response);
}

bool Tlac::checkSSID(const std::string& ssid) {
    Console::print("checkSSID(ssid:) ...");
    const std::optional<std::string> current = currentWifiSsid();
    if (current && uppercased(*current) == uppercased(ssid)) return true;

    const std::string message =
        "pripojená sieť: " + current.value_or("?") + "\n požadovaná sieť: " + ssid;
    auto alert = AlertController::make(std::string("nesprávna wifi sieť!"), message, AlertController::Style::alert);
    std::weak_ptr<Tlac> weak = std::static_pointer_cast<Tlac>(shared_from_this());
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        Console::print("You've pressed ok");
        if (auto screen = weak.lock()) screen->leave();
    }));
    alert->addAction(std::make_shared<AlertAction>("nastavenia", AlertAction::Style::cancel, [weak](AlertAction&) {
        Console::print("You've pressed nastavenia");
        auto& application = platform::Application::shared();
        if (application.canOpenURL("prefs:root=WIFI")) application.open("prefs:root=WIFI");
        else if (application.canOpenURL("App-Prefs:root=WIFI")) application.open("App-Prefs:root=WIFI");
        if (auto screen = weak.lock()) screen->leave();
    }));
    sharedTrekora().playSound5();
    present(alert, animovat());
    return false;
}

void Tlac::start(const std::string& type, const std::string& txt, const std::string& ip, std::uint16_t port,
                 const std::string& response) {
    fiskal.reset();
    auto self = std::static_pointer_cast<Tlac>(shared_from_this());
    Driver driver = makeDriver(type, self, ip, port, response);
    if (!driver.fiskal) {
        showError("neznámy typ tlačiarne!");
        return;
    }
    if (auto image = imageViewPrinter.lock()) image->setImage(platform::Image::named(driver.picture));
    fiskal = driver.fiskal;
    auto& trekora = sharedTrekora();
    // The driver may end at once (a refused connection): keep it alive.
    auto running = fiskal;
    running->request(trekora.fiskalCommand, txt, trekora.fiskalCommandParameters);
    trekora.playSoundPrint();
}

void Tlac::showError(const std::string& message) {
    auto alert = AlertController::make(std::string("chyba!"), message, AlertController::Style::alert);
    std::weak_ptr<Tlac> weak = std::static_pointer_cast<Tlac>(shared_from_this());
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        Console::print("You've pressed ok");
        if (auto screen = weak.lock()) screen->leave();
    }));
    sharedTrekora().playSound5();
    present(alert, animovat());
}

void Tlac::hotovoTapped() { Console::print("hotovo tapped"); }

void Tlac::fiskalProgress(float progress) {
    if (auto bar = progressView.lock()) bar->setProgress(progress);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "p= %g", static_cast<double>(progress));
    Console::print(buffer);
}

void Tlac::fiskalFinished(Fiskal::Command command, const std::optional<std::string>& error,
                          const std::optional<NetBytes>&, const std::string& info, const std::string&,
                          const std::string&, const std::string&, Fiskal::Tag) {
    Console::print(Fiskal::commandName(command));
    Console::print(error.value_or("nil"));
    if (auto bar = progressView.lock()) bar->setHidden(true);

    // What the run tells beside its result (the fiscal service's driver:
    // identifiers of another registration it left in place) is shown below it.
    std::optional<std::string> message = error;
    if (!info.empty()) message = message.value_or("") + "\n\n" + info;
    auto alert = AlertController::make(std::string("fiskal"), message, AlertController::Style::alert);
    std::weak_ptr<Tlac> weak = std::static_pointer_cast<Tlac>(shared_from_this());
    alert->addAction(std::make_shared<AlertAction>("ok", AlertAction::Style::defaultStyle, [weak](AlertAction&) {
        Console::print("You've pressed ok");
        if (auto screen = weak.lock()) screen->leave();
    }));
    auto& trekora = sharedTrekora();
    if (error && *error == "OK") {
        Console::print("krok 3");
        present(alert, animovat());
        trekora.playSound3();
    } else {
        trekora.playSound5();
        present(alert, animovat());
    }
}

void Tlac::leave() {
    if (auto nav = navigationController()) nav->popViewController(animovat());
    fiskal.reset();
}
