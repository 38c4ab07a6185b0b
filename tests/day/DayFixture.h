#pragma once

// A salesman's day on the demo database through the screens of the whole
// application, against the fake peers on 127.0.0.1: the office double, the
// FT5000's adapter and the dot-matrix printer's HTTP adapter. Short device
// and server time-outs. The fiscal service stands ready for printer 1 too.

#include <chrono>
#include <memory>
#include <string>

#include "../ui/sales/SalesFixture.h"
#include "app/AppRegistry.h"
#include "fakes/FakeFiscalService.h"
#include "fakes/FakeOffice.h"
#include "fakes/FakeOrderOffice.h"
#include "fakes/FakePrintAdapter.h"
#include "fakes/FakePrinter.h"
#include "fakes/OfficeDay.h"
#include "fiscal/Tlac.h"
#include "platform/TextEncoding.h"
#include "platform/UrlSession.h"
#include "report/Preview.h"
#include "sync/ObjednavkyHttp.h"

class DayTest : public SalesTest {
protected:
    static constexpr const char* kGreeting = "*_Tlaciaren_OK_*";

    void SetUp() override {
        // The fakes answer at once; the bounds only matter on a machine so
        // loaded that a local request waits for a free core.
        platform::UrlSession::setMaximumTimeout(8.0);
        ObjednavkyHttp::setDeadline(10.0);
        SalesTest::SetUp();
        // Every screen of the application, as the program registers them.
        registerApplicationParts();
        office.setUpdateFile(OfficeDay::updateFile(), OfficeDay::lastModified);
        // The demo settings, pointed at the fakes.
        exec("update nastavenia set kilometre = 'N', animovat_okna = 'N', backup_pc_dir = '" + office.backupDir() +
             "', import_pc_dir = '" + office.importDir() +
             "', fiscal_type = 'FT5000', wifi_printer_ip = '127.0.0.1', wifi_printer_port = '" +
             std::to_string(fiscal.port()) + "', wifi_response = '" + kGreeting +
             "', obj_pre_export = 'A', obj_pre_import = 'A', obj_pre_export_dir = '" + desk.exportUrl() +
             "', obj_pre_import_dir = '" + desk.importUrl() +
             "', fiscal_type2 = 'ESP', wifi_printer_ip2 = '127.0.0.1', wifi_printer_port2 = '" +
             std::to_string(dotMatrix.port()) + "'");
        sharedTrekora().readNastaveniaItem();
        // The day begins at the login screen, with these settings.
        nav->popToRootViewController(false);
        drain();
        logIn();
    }
    void TearDown() override {
        SalesTest::TearDown();
        platform::UrlSession::setMaximumTimeout(std::nullopt);
        ObjednavkyHttp::setDeadline(90);
    }

    // Printer 1 set to another device, as on the settings screen.
    void printer1(const std::string& type, int port) {
        exec("update nastavenia set fiscal_type = '" + type + "', wifi_printer_port = '" + std::to_string(port) + "'");
        sharedTrekora().readNastaveniaItem();
    }

    // Back to the main menu from wherever the day stands.
    void backToMain() {
        while (!(topMenu() && topMenu()->item == "menu") && nav->viewControllers().size() > 1)
            nav->popViewController(false);
        drain();
        ASSERT_TRUE(topMenu() && topMenu()->item == "menu");
    }
    // Runs the main queue until an alert with this title is up.
    bool waitForAlert(const std::string& title, int ms = 15000) {
        platform::MainRunLoop::runUntil([&] { return alert() && alert()->title() == title; },
                                        std::chrono::milliseconds(ms));
        return alert() && alert()->title() == title;
    }

    // On the office's Wi-Fi: "spojenie", "synchronizácia", "áno" and its end;
    // answers the end's title.
    std::string synchronise() { return connect("synchronizácia"); }
    // The same for another row of "spojenie" (the order runs: their end's
    // title begins "hotovo"); answers the end's title and message.
    std::string connect(const std::string& row, std::string* message = nullptr) {
        platform::Wifi::simulate("kancelaria");
        backToMain();
        openFromMain("spojenie");
        tapRow(row);
        if (!alert()) return "no question";
        tapAlert("áno");
        auto ended = [&] {
            auto a = alert();
            return a && (a->title().value_or("").rfind("hotovo", 0) == 0 || a->title() == "chyba!");
        };
        platform::MainRunLoop::runUntil(ended, std::chrono::milliseconds(15000));
        if (!ended()) return "no end";
        const std::string title = alert()->title().value_or("");
        if (message) *message = alert()->message().value_or("");
        tapAlert("ok");
        return title;
    }

    // "áno" on "zobraziť doklad?", then the printer of the preview and, when the
    // print screen asks, the printer named `printer`; answers the message
    // of the print's end ("OK" when every row went out).
    // The device is on the printers' hotspot for that.
    std::string printShown(const std::string& printer) {
        if (!alert() || alert()->title() != std::optional<std::string>("zobraziť doklad?")) return "no question";
        tapAlert("áno");
        return printPreview(printer);
    }
    // The printer button of the preview on top, then as printShown.
    std::string printPreview(const std::string& printer) {
        platform::Wifi::simulate("TREKORA-ZA482KM");
        auto preview = topAs<Preview>();
        if (!preview) return "no preview";
        preview->tlacTapped();
        drain();
        if (alert() && alert()->title() == std::optional<std::string>("vyber tlačiareň")) tapAlert(printer);
        if (!waitForAlert("fiskal")) return alert() ? alert()->title().value_or("") : "no end";
        const std::string message = alert()->message().value_or("");
        tapAlert("ok");
        return message;
    }

    static std::string cp852(const std::string& text) { return platform::TextEncoding::toCp852(text).value_or(""); }
    std::string doc(const std::string& cdok, const std::string& columns) {
        return scalar("select " + columns + " from vety where cdok = " + cdok);
    }
    std::string batch(const std::string& idtov, const std::string& date) {
        return scalar("select stav from sklad_sarza where idtov = '" + idtov + "' and datumspotreby = '" + date + "'");
    }

    FakeOffice office;
    FakeOrderOffice desk{office};
    FakePrinter fiscal{kGreeting};
    FakePrintAdapter dotMatrix;
    FakeFiscalService service;
};
