#include <algorithm>

#include "ShellFixture.h"
#include "ui/shell/Nastavenia.h"

namespace {

class NastaveniaTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        logIn();
    }
    std::shared_ptr<Nastavenia> open() {
        auto screen = platform::Storyboard::named("Main")->instantiate<Nastavenia>("Nastavenia");
        nav->pushViewController(screen, false);
        return screen;
    }
    std::string column(const std::string& name) { return scalar("select " + name + " from nastavenia where str = 12"); }
    static std::string columnOf(const Nastavenia::Row& row) {
        for (const auto& field : NastaveniaItem::fields())
            if (field.member == row.setting) return field.column;
        return {};
    }
};

TEST_F(NastaveniaTest, EveryOutletIsConnectedAndShowsItsSetting) {
    const auto& rows = Nastavenia::rows();
    ASSERT_EQ(rows.size(), 46u);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.switchOutlet != nullptr; }), 17);
    exec("update nastavenia set facingy = 'a', gratis = 'ANO', precenenie = 'A ', kilometre = 'A', "
         "baudrate = ' 19200 ' where str = 12");
    auto screen = open();
    for (const auto& row : rows) {
        const std::string value = settings().*row.setting;
        if (row.switchOutlet) {
            auto widget = (screen.get()->*row.switchOutlet).lock();
            ASSERT_TRUE(widget) << row.outletName;
            EXPECT_EQ(widget->isOn(), value == "A") << row.outletName;
        } else {
            auto widget = (screen.get()->*row.textOutlet).lock();
            ASSERT_TRUE(widget) << row.outletName;
            EXPECT_EQ(widget->textOrEmpty(), value) << row.outletName;
        }
    }
    EXPECT_TRUE(screen->switchKilometre.lock()->isOn());
    EXPECT_FALSE(screen->switchFacingy.lock()->isOn());
    EXPECT_FALSE(screen->switchGratis.lock()->isOn());
    EXPECT_FALSE(screen->switchPrecenenie.lock()->isOn());
    EXPECT_EQ(screen->textFieldBaudRate.lock()->textOrEmpty(), " 19200 ");
    ASSERT_EQ(screen->navigationItem().rightBarButtonItems().size(), 1u);
    EXPECT_EQ(screen->navigationItem().rightBarButtonItems()[0]->systemItem(),
              platform::BarButtonItem::SystemItem::save);
}

TEST_F(NastaveniaTest, SaveRoundTripsEverySwitchAndField) {
    const std::string deviceIp = column("device_ip");
    auto screen = open();
    // Numbers within their ranges; blanks around numbers and printer types
    // are dropped, other texts keep them.
    const std::map<std::string, std::string> numbers = {
        {"textFieldPocetMiestJCena", " 4 "}, {"textFieldPocetMiest", "3"},     {"textFieldPocetMiextDph", "1 "},
        {"textFieldMaxSumaHotovosti", " 1234,5 "}, {"textFieldPageWidth", "48"}, {"textFieldPageHeight", "72"},
        {"textPrintPort", "9101"},          {"textFieldBaudRate", " 19200 "}, {"textFieldDataBits", "7"},
        {"textFieldStopBits", "2"},         {"textFieldWifiPort", "65535"},   {"textFieldWifiPort2", ""}};
    int n = 0;
    for (const auto& row : Nastavenia::rows()) {
        if (row.switchOutlet) {
            auto widget = (screen.get()->*row.switchOutlet).lock();
            widget->toggle();
        } else {
            auto widget = (screen.get()->*row.textOutlet).lock();
            auto number = numbers.find(row.outletName);
            widget->setText(number != numbers.end() ? number->second : " hodnota " + std::to_string(++n) + " ");
        }
    }
    screen->textFieldFiscalType.lock()->setText(std::string("ft5000"));
    // The edits live in the widgets only until Save.
    EXPECT_NE(settings().FISCAL_TYPE, "ft5000");

    std::map<std::string, std::string> expected;
    for (const auto& row : Nastavenia::rows()) {
        if (row.switchOutlet)
            expected[row.outletName] = (screen.get()->*row.switchOutlet).lock()->isOn() ? "A" : "N";
        else
            expected[row.outletName] = (screen.get()->*row.textOutlet).lock()->textOrEmpty();
    }
    for (auto& [name, value] : expected) {
        if (!numbers.count(name) && name.rfind("textFieldFiscalType", 0) != 0) continue;
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of(' ') + 1);
    }
    expected["textFieldMaxSumaHotovosti"] = "1234.5";
    screen->saveTapped();
    EXPECT_EQ(top(), topMenu());
    for (const auto& row : Nastavenia::rows()) {
        EXPECT_EQ(settings().*row.setting, expected[row.outletName]) << row.outletName;
        std::string stored = column(columnOf(row));
        if (std::string(row.outletName) == "textFieldFiscalType") {
            EXPECT_EQ(stored, "FT5000");
        } else if (std::string(row.outletName) == "textFieldFiscalType2") {
            EXPECT_EQ(stored, "HODNOTA 17");
        } else {
            EXPECT_EQ(stored, expected[row.outletName]) << row.outletName;
        }
    }
    EXPECT_EQ(column("device_ip"), deviceIp);

    // The next opening shows what was stored, upper-cased fiscal type included.
    auto again = open();
    EXPECT_EQ(again->textFieldFiscalType.lock()->textOrEmpty(), "FT5000");
    EXPECT_EQ(again->textFieldParity.lock()->textOrEmpty(), expected["textFieldParity"]);
}

TEST_F(NastaveniaTest, SaveWritesYesOrNoForEverySwitchAndFollowsTheAnimationSwitch) {
    exec("update nastavenia set facingy = 'a', gratis = '' where str = 12");
    auto screen = open();
    screen->switchAnimovatOkna.lock()->setOn(false);
    screen->saveTapped();
    EXPECT_EQ(column("facingy"), "N");
    EXPECT_EQ(column("gratis"), "N");
    EXPECT_EQ(column("animovat_okna"), "N");
    EXPECT_FALSE(nav->transitions().back().animated);
    EXPECT_FALSE(platform::View::areAnimationsEnabled());

    screen = open();
    screen->switchAnimovatOkna.lock()->setOn(true);
    screen->saveTapped();
    EXPECT_TRUE(nav->transitions().back().animated);
    EXPECT_TRUE(platform::View::areAnimationsEnabled());
}

TEST_F(NastaveniaTest, BackDiscardsTheEdits) {
    auto screen = open();
    screen->textFieldWifiIp.lock()->setText(std::string("10.0.0.1"));
    screen->switchKilometre.lock()->toggle();
    nav->popViewController(false);
    EXPECT_EQ(settings().WIFI_PRINTER_IP, "192.168.8.10");
    EXPECT_EQ(column("wifi_printer_ip"), "192.168.8.10");
    EXPECT_EQ(settings().KILOMETRE, "A");
}

TEST_F(NastaveniaTest, ARefusedFieldKeepsTheScreenWithItsMessageAndStoresNothing) {
    struct Case {
        std::weak_ptr<platform::TextField> Nastavenia::*field;
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {&Nastavenia::textFieldMaxSumaHotovosti, "abc", "max. suma hotovosti: zadajte číslo od 0.00 do 99999999.99"},
        {&Nastavenia::textFieldMaxSumaHotovosti, "100000000", nullptr},
        {&Nastavenia::textFieldMaxSumaHotovosti, "12.345", nullptr},
        {&Nastavenia::textFieldMaxSumaHotovosti, "", nullptr},
        {&Nastavenia::textFieldWifiPort, "99999999", "wifi tlačiareň port: zadajte číslo od 0 do 65535"},
        {&Nastavenia::textFieldWifiPort, "-1", nullptr},
        {&Nastavenia::textFieldWifiPort2, "9100a", "wifi tlačiareň 2 port: zadajte číslo od 0 do 65535"},
        {&Nastavenia::textFieldWifiPort, "", nullptr},
        {&Nastavenia::textFieldPageHeight, "6,5", "výška strany: zadajte číslo od 0 do 9999"},
        {&Nastavenia::textFieldPageHeight, "60x", nullptr},
    };
    for (const auto& c : cases) {
        auto screen = open();
        screen->textFieldWifiIp.lock()->setText(std::string("10.0.0.1"));
        (screen.get()->*c.field).lock()->setText(std::string(c.typed));
        platform::SystemSounds::clearPlayed();
        screen->saveTapped();
        EXPECT_EQ(top(), screen) << c.typed;
        ASSERT_TRUE(alert()) << c.typed;
        EXPECT_EQ(alert()->title(), "chyba!");
        if (c.message) {
            EXPECT_EQ(alert()->message(), c.message);
        }
        EXPECT_TRUE(errorSoundPlayed());
        tapAlert("ok");
        EXPECT_EQ(settings().WIFI_PRINTER_IP, "192.168.8.10");
        EXPECT_EQ(column("wifi_printer_ip"), "192.168.8.10");
        EXPECT_EQ(column("maxsumahotovosti"), "5000");
        nav->popViewController(false);
    }
}

TEST_F(NastaveniaTest, TextsAreStoredAsTypedAndOnlyHarmfulNumbersAreRefused) {
    // An empty page height means no page end; it does not hold up the rest.
    auto screen = open();
    screen->textFieldPageHeight.lock()->setText(std::string(""));
    screen->textFieldWifiIp.lock()->setText(std::string("10.0.0.1"));
    screen->saveTapped();
    EXPECT_EQ(top(), topMenu());
    EXPECT_EQ(column("pageheight"), "");
    EXPECT_EQ(column("wifi_printer_ip"), "10.0.0.1");

    // Greetings and network names keep their blanks; types, numbers and
    // ports lose them.
    screen = open();
    const std::vector<std::pair<std::weak_ptr<platform::TextField> Nastavenia::*, std::string>> typed = {
        {&Nastavenia::textFieldPageHeight, " 0 "},        {&Nastavenia::textFieldWifiResponse, "OK "},
        {&Nastavenia::textFieldWifiSsid, " TREKORA "},    {&Nastavenia::textFieldObjPreExportStr, " sklad "},
        {&Nastavenia::textFieldFiscalType, " esp "},      {&Nastavenia::textFieldWifiPort, " 9100 "},
        {&Nastavenia::textFieldWifiPort2, " "},           {&Nastavenia::textFieldPocetMiest, "2a"},
        {&Nastavenia::textFieldDataBits, "9"},            {&Nastavenia::textFieldPageWidth, ""}};
    for (const auto& [field, text] : typed) (screen.get()->*field).lock()->setText(text);
    screen->saveTapped();
    EXPECT_EQ(top(), topMenu());
    EXPECT_EQ(column("pageheight"), "0");
    EXPECT_EQ(column("wifi_response"), "OK ");
    EXPECT_EQ(column("wifi_printer_ssid"), " TREKORA ");
    EXPECT_EQ(column("obj_pre_export_str"), " sklad ");
    EXPECT_EQ(column("fiscal_type"), "ESP");
    EXPECT_EQ(settings().FISCAL_TYPE, "esp");
    EXPECT_EQ(column("wifi_printer_port"), "9100");
    EXPECT_EQ(column("wifi_printer_port2"), "");
    EXPECT_EQ(column("pocetmiest") + column("databits") + column("pagewidth"), "2a9");

    // A refusal names its field.
    screen = open();
    screen->textFieldWifiPort2.lock()->setText(std::string("tlačiareň"));
    screen->saveTapped();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), "wifi tlačiareň 2 port: zadajte číslo od 0 do 65535");
    EXPECT_EQ(top(), screen);
}

TEST_F(NastaveniaTest, FailedSaveKeepsTheScreenWithTheEditsAndReportsIt) {
    auto screen = open();
    screen->textFieldWifiIp.lock()->setText(std::string("10.0.0.1"));
    // The centre's settings row is gone: nothing can be stored.
    exec("delete from nastavenia");
    platform::SystemSounds::clearPlayed();
    screen->saveTapped();
    EXPECT_EQ(top(), screen);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "chyba!");
    EXPECT_TRUE(errorSoundPlayed());
    EXPECT_EQ(screen->textFieldWifiIp.lock()->textOrEmpty(), "10.0.0.1");
    // The application goes on with the settings it had.
    EXPECT_EQ(settings().WIFI_PRINTER_IP, "192.168.8.10");
    tapAlert("ok");
    EXPECT_EQ(top(), screen);
}

}  // namespace
