#include "fakes/FakePrinter.h"
#include "fiscal/PrintScreenFixture.h"
#include "fiscal/FT5000.h"
#include "fiscal/Tlac.h"
#include "platform/FakeWifiProvider.h"
#include "platform/MainRunLoop.h"
#include "platform/SystemSounds.h"
#include "platform/TextEncoding.h"
#include "platform/Wifi.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "records/NastaveniaItem.h"
#include "report/Preview.h"
#include "support/TrekoraTestEnvironment.h"

#include <gtest/gtest.h>

namespace {

const std::string kGreeting = "*_Tlaciaren_OK_*";

}  // namespace

class TlacScreen : public PrintScreenFixture {
protected:
    void SetUp() override {
        PrintScreenFixture::SetUp();
        platform::Image::registerResource("ft5000.png");
        auto& t = sharedTrekora();
        if (!t.nastaveniaItem) t.nastaveniaItem = std::make_shared<NastaveniaItem>();
        auto& s = *t.nastaveniaItem;
        s.FISCAL_TYPE = "ft5000";
        s.WIFI_PRINTER_SSID = "AUTO-WIFI";
        s.WIFI_PRINTER_IP = "127.0.0.1";
        s.WIFI_RESPONSE = kGreeting;
        s.FISCAL_TYPE2 = "FT5000";
        s.WIFI_PRINTER_SSID2 = "auto-wifi";
        s.WIFI_PRINTER_IP2 = "127.0.0.1";
        s.WIFI_RESPONSE2 = "OK2";
        t.fiskalCommand = Fiskal::Command::tlacDoklad;
        t.fiskalCommandParameters = {{"CDOK", "5"}};
        t.fiskalTxt = "PRVÁ TLAČIAREŇ";
    }

    NastaveniaItem& settings() { return *sharedTrekora().nastaveniaItem; }

    bool played(platform::SystemSoundId id) const {
        for (const auto& p : platform::SystemSounds::played())
            if (p.id == id) return true;
        return false;
    }

    // The bytes a printer receives for a one-line text.
    static std::string printed(const std::string& cp852Line) { return std::string("\x1bt\x12", 3) + cp852Line + "\r\n"; }

};

TEST_F(TlacScreen, PreparedJobIsPrintedAndOkLeavesTheScreen) {
    FakePrinter printer(kGreeting);
    settings().WIFI_PRINTER_PORT = std::to_string(printer.port());
    auto screen = push();
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->navigationItem().hidesBackButton());
    ASSERT_TRUE(screen->fiskal);
    EXPECT_TRUE(std::dynamic_pointer_cast<FT5000>(screen->fiskal));

    auto alert = waitForAlert("fiskal");
    ASSERT_TRUE(alert);
    EXPECT_EQ("OK", alert->message().value_or(""));
    EXPECT_TRUE(screen->progressView.lock()->isHidden());
    ASSERT_TRUE(screen->imageViewPrinter.lock()->image());
    EXPECT_EQ("ft5000.png", screen->imageViewPrinter.lock()->image()->name());
    EXPECT_TRUE(played(1115));
    EXPECT_FALSE(played(1116));
    ASSERT_TRUE(printer.waitForClose());
    EXPECT_EQ(printed("PRV\xb5 TLA\xac\x49\x41RE\xd5"), printer.received());

    ASSERT_TRUE(alert->tapAction("ok"));
    EXPECT_EQ(1u, nav->viewControllers().size());
}

TEST_F(TlacScreen, WrongOrMissingWifiRefusesWithoutADriver) {
    FakePrinter printer(kGreeting);
    settings().WIFI_PRINTER_PORT = std::to_string(printer.port());
    settings().WIFI_PRINTER_SSID = "Predajna";
    auto screen = push();
    auto alert = window->presentedAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ("nesprávna wifi sieť!", alert->title().value_or(""));
    EXPECT_EQ("pripojená sieť: Auto-Wifi\n požadovaná sieť: Predajna", alert->message().value_or(""));
    EXPECT_FALSE(screen->fiskal);
    EXPECT_TRUE(played(1116));
    ASSERT_TRUE(alert->tapAction("nastavenia"));
    EXPECT_EQ(1u, nav->viewControllers().size());

    platform::Wifi::setProvider(std::make_shared<platform::FakeWifiProvider>());
    push();
    alert = window->presentedAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ("pripojená sieť: ?\n požadovaná sieť: Predajna", alert->message().value_or(""));
    ASSERT_TRUE(alert->tapAction("ok"));
    EXPECT_EQ(1u, nav->viewControllers().size());
    EXPECT_EQ(0, printer.connections());
}

TEST_F(TlacScreen, SecondPrinterIsChosenByItsButton) {
    FakePrinter first(kGreeting);
    FakePrinter second("OK2");
    settings().WIFI_PRINTER_PORT = std::to_string(first.port());
    settings().WIFI_PRINTER_PORT2 = std::to_string(second.port());
    sharedTrekora().fiskalTxt2 = "DRUHÁ";
    auto screen = push();
    auto choice = window->presentedAlert();
    ASSERT_TRUE(choice);
    EXPECT_EQ("vyber tlačiareň", choice->title().value_or(""));
    ASSERT_EQ(2u, choice->actions().size());
    EXPECT_EQ("FT5000", choice->actions()[0]->title());
    EXPECT_EQ("FT5000", choice->actions()[1]->title());
    EXPECT_FALSE(screen->fiskal);
    ASSERT_TRUE(choice->tapAction(1));

    auto alert = waitForAlert("fiskal");
    ASSERT_TRUE(alert);
    EXPECT_EQ("OK", alert->message().value_or(""));
    ASSERT_TRUE(second.waitForClose());
    EXPECT_EQ(printed("DRUH\xb5"), second.received());
    EXPECT_EQ(0, first.connections());
}

TEST_F(TlacScreen, SettingsWithoutAUsableDriverAreRefusedWithAnAlert) {
    FakePrinter printer(kGreeting);
    struct Case {
        std::string type, ip, port, message;
    };
    const std::string port = std::to_string(printer.port());
    const std::vector<Case> cases = {
        {"lx350", "127.0.0.1", port, "neznámy typ tlačiarne!"},
        {"LX300", "127.0.0.1", port, "neznámy typ tlačiarne!"},
        {"FT4000", "127.0.0.1", port, "neznámy typ tlačiarne!"},
        {"FT5000", "127.0.0.1", "70000", "neplatný port tlačiarne: 70000"},
        {"FT5000", "127.0.0.1", "-1", "neplatný port tlačiarne: -1"},
        {"FT5000", "", port, "chýba adresa tlačiarne!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type + " " + c.ip + ":" + c.port);
        settings().FISCAL_TYPE = c.type;
        settings().WIFI_PRINTER_IP = c.ip;
        settings().WIFI_PRINTER_PORT = c.port;
        auto screen = push();
        auto alert = window->presentedAlert();
        ASSERT_TRUE(alert);
        EXPECT_EQ("chyba!", alert->title().value_or(""));
        EXPECT_EQ(c.message, alert->message().value_or(""));
        EXPECT_FALSE(screen->fiskal);
        ASSERT_TRUE(alert->tapAction("ok"));
        EXPECT_EQ(1u, nav->viewControllers().size());
    }
    EXPECT_EQ(0, printer.connections());
}

TEST_F(TlacScreen, DriverFailureIsShownWithTheErrorSound) {
    FakePrinter refused(kGreeting, FakePrinter::Mode::refuse);
    settings().WIFI_PRINTER_PORT = std::to_string(refused.port());
    push();
    auto alert = waitForAlert("fiskal");
    ASSERT_TRUE(alert);
    EXPECT_NE("OK", alert->message().value_or("OK"));
    EXPECT_FALSE(alert->message().value_or("").empty());
    EXPECT_TRUE(played(1116));
    ASSERT_TRUE(alert->tapAction("ok"));
    EXPECT_EQ(1u, nav->viewControllers().size());
}

TEST_F(TlacScreen, CashSaleFromThePreviewReachesThePrinter) {
    ASSERT_TRUE(sharedTrekora().checkUzivatelPin("1234"));
    FakePrinter printer("");
    auto& s = settings();
    s.ANIMOVAT_OKNA = "N";
    s.FISCAL_TYPE = "FT5000";
    s.WIFI_PRINTER_SSID = "Auto-Wifi";
    s.WIFI_PRINTER_IP = "127.0.0.1";
    s.WIFI_PRINTER_PORT = std::to_string(printer.port());
    s.WIFI_RESPONSE = "";
    for (const auto& row : sharedTrekora().getData("vsetky_vystavene"))
        if (row.at("ID") == "1005") sharedTrekora().printingDoklad = row;  // a cash sale
    auto preview = platform::Storyboard::named("Main")->instantiate<Preview>("Preview");
    nav->pushViewController(preview, false);
    preview->navigationItem().rightBarButtonItems().at(0)->tap();

    auto choice = window->presentedAlert();
    ASSERT_TRUE(choice);
    EXPECT_EQ("vyber tlačiareň", choice->title().value_or(""));
    ASSERT_TRUE(choice->tapAction(0));
    auto alert = waitForAlert("fiskal");
    ASSERT_TRUE(alert);
    EXPECT_EQ("OK", alert->message().value_or(""));
    ASSERT_TRUE(printer.waitForClose());
    // The receipt's lines arrive in the printer's code page.
    const std::string text = sharedTrekora().fiskalTxt;
    const std::string firstLine = text.substr(0, text.find('\n'));
    EXPECT_EQ(0u, printer.received().rfind(printed(platform::TextEncoding::toCp852(firstLine).value()), 0));
    EXPECT_NE(std::string::npos,
              printer.received().find(platform::TextEncoding::toCp852("POKLADNIČNÝ DOKLAD č. 1005").value()));
    ASSERT_TRUE(alert->tapAction("ok"));
    EXPECT_EQ(preview, nav->topViewController());
}
