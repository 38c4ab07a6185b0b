#include <filesystem>
#include <fstream>

#include "ShellFixture.h"
#include "platform/LocalServer.h"
#include "platform/FakeWifiProvider.h"
#include "records/OdberatelItem.h"
#include "ui/shell/Nastavenia.h"

namespace {

class ActionsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        logIn();
        settings().ANIMOVAT_OKNA = "N";
    }
    std::shared_ptr<SimpleMenu> show(const std::string& name) {
        auto menu = platform::Storyboard::named("Main")->instantiate<SimpleMenu>("SimpleMenu");
        menu->item = name;
        nav->pushViewController(menu, false);
        return menu;
    }
    int documentCount(const std::string& where = "1=1") {
        return std::stoi(scalar("select count(*) from vety where " + where));
    }
};

// --- service access lock -------------------------------------------------------------

TEST_F(ActionsTest, SettingsOpenOnlyBehindTheServiceCode) {
    auto main = topMenu();
    tapRow("nastavenia");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "pin");
    EXPECT_EQ(alert()->textFields().at(0)->keyboardType(), platform::KeyboardType::numberPad);
    EXPECT_EQ(alert()->actions()[0]->title(), "storno");
    EXPECT_EQ(alert()->actions()[0]->style(), platform::AlertAction::Style::cancel);
    tapAlert("storno");
    EXPECT_EQ(top(), main);

    // A wrong code: error sound and alert, no settings.
    tapRow("nastavenia");
    std::int64_t shown = std::stoll(alert()->message().value_or("0"));
    typeInAlert(std::to_string((shown + 1) % 839));
    platform::SystemSounds::clearPlayed();
    tapAlert("ok");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "chybny pin!");
    EXPECT_EQ(alert()->message(), "");
    EXPECT_TRUE(errorSoundPlayed());
    tapAlert("ok");
    EXPECT_EQ(top(), main);

    // An empty code is refused too.
    tapRow("nastavenia");
    tapAlert("ok");
    EXPECT_EQ(alert()->title(), "chybny pin!");
    tapAlert("ok");

    // The answer to the challenge shown, and the master code, open the settings.
    tapRow("nastavenia");
    shown = std::stoll(alert()->message().value_or("0"));
    typeInAlert(std::to_string(shown % 839));
    tapAlert("ok");
    EXPECT_TRUE(std::dynamic_pointer_cast<Nastavenia>(top()));
    nav->popViewController(false);
    tapRow("nastavenia");
    typeInAlert("38274");
    tapAlert("ok");
    EXPECT_TRUE(std::dynamic_pointer_cast<Nastavenia>(top()));
}

// --- no-sale record -----------------------------------------------------------------------

TEST_F(ActionsTest, NoSaleReasonWritesItsRecordAndShowsTheNumber) {
    auto customer = std::make_shared<OdberatelItem>();
    customer->IDO = scalar("select ido from odberatel order by id limit 1");
    customer->IDOSC = scalar("select idosc from odberatel order by id limit 1");
    sharedTrekora().selectedOdberatelItem = customer;
    const int before = documentCount("pohyb = 0");
    auto reasons = show("nepredaj");
    const std::string reason = reasons->data.at(0)->caption;
    platform::SystemSounds::clearPlayed();
    tapRow(reason);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "ok!");
    const std::string cdok = scalar("select cdok from vety order by id desc limit 1");
    EXPECT_EQ(alert()->message(), "cdok=" + cdok);
    EXPECT_EQ(documentCount("pohyb = 0"), before + 1);
    EXPECT_NE(scalar("select info from vety order by id desc limit 1").find(reason), std::string::npos);
    EXPECT_TRUE(platform::SystemSounds::played().empty());
    tapAlert("ok");
    EXPECT_EQ(top(), reasons);
}

// --- cash withdrawal and deposit ----------------------------------------------------------

TEST_F(ActionsTest, DepositAndWithdrawalPostTheirDocuments) {
    auto menu = show("uzavierka");
    const int deposits = documentCount("pohyb = 7");
    const int withdrawals = documentCount("pohyb = 8");

    tapRow("vklad");
    EXPECT_EQ(alert()->title(), "vklad do pokladne");
    EXPECT_EQ(alert()->message(), "zadajte sumu");
    EXPECT_EQ(alert()->textFields().at(0)->keyboardType(), platform::KeyboardType::decimalPad);
    typeInAlert("65536,02");
    tapAlert("ok");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "zobraziť doklad?");
    const std::string cdok = scalar("select cdok from vety where pohyb = 7 order by id desc limit 1");
    EXPECT_EQ(alert()->message(), "cdok=" + cdok);
    EXPECT_EQ(documentCount("pohyb = 7"), deposits + 1);
    EXPECT_EQ(scalar("select printf('%.2f', sumdokz) from vety where pohyb = 7 order by id desc limit 1"),
              "65536.02");
    tapAlert("áno");
    EXPECT_EQ(top()->storyboardIdentifier(), "Preview");
    EXPECT_EQ(sharedTrekora().printingDoklad.at("CDOK"), cdok);
    nav->popViewController(false);

    tapRow("odvod");
    EXPECT_EQ(alert()->title(), "odvod (výber z pokladne)");
    typeInAlert("12,34");
    tapAlert("ok");
    EXPECT_EQ(alert()->title(), "zobraziť doklad?");
    tapAlert("nie");
    EXPECT_EQ(top(), menu);
    EXPECT_EQ(documentCount("pohyb = 8"), withdrawals + 1);
    EXPECT_EQ(scalar("select printf('%.2f', sumdokz) from vety where pohyb = 8 order by id desc limit 1"), "-12.34");
}

TEST_F(ActionsTest, CashPromptPostsNothingForZeroEmptyOrNegativeInputAndSaysWhy) {
    auto menu = show("uzavierka");
    const int before = documentCount();
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"0", "suma musí byť väčšia ako 0"},
        {"0,00", "suma musí byť väčšia ako 0"},
        {"abc", "zadaný text nie je číslo"},
        {"0,004", "suma môže mať najviac dve desatinné miesta"},
        {"25,505", "suma môže mať najviac dve desatinné miesta"},
        {"-5", "suma musí byť väčšia ako 0"}};
    for (const std::string row : {"vklad", "odvod"}) {
        tapRow(row);
        typeInAlert("");
        tapAlert("ok");
        EXPECT_FALSE(alert()) << row;
        for (const auto& [typed, why] : refused) {
            tapRow(row);
            // Pasted: the keypad lets no letter or sign be typed.
            alert()->textFields()[0]->setText(typed);
            tapAlert("ok");
            ASSERT_TRUE(alert()) << row << " '" << typed << "'";
            EXPECT_EQ(alert()->title(), "chyba!");
            EXPECT_EQ(alert()->message(), why) << row << " '" << typed << "'";
            tapAlert("ok");
        }
    }
    tapRow("vklad");
    tapAlert("storno");
    EXPECT_EQ(documentCount(), before);
    EXPECT_EQ(top(), menu);
}

TEST_F(ActionsTest, CashAmountBeyondTheBoundIsRefusedWithTheRangeMessage) {
    auto menu = show("uzavierka");
    const int before = documentCount();
    for (const std::string row : {"vklad", "odvod"}) {
        for (const std::string typed : {"100000000", "100000000,50", "12345678901234567890"}) {
            tapRow(row);
            typeInAlert(typed);
            tapAlert("ok");
            ASSERT_TRUE(alert()) << row << " '" << typed << "'";
            EXPECT_EQ(alert()->title(), "chyba!");
            EXPECT_EQ(alert()->message(), "suma mimo povoleného rozsahu");
            tapAlert("ok");
        }
    }
    EXPECT_EQ(documentCount(), before);
    EXPECT_EQ(top(), menu);
}

// --- daily closing -------------------------------------------------------------------------

TEST_F(ActionsTest, DailyClosingWritesItsDocumentAndExport) {
    auto menu = show("uzavierka");
    const int before = documentCount();
    tapRow("denná uzávierka");
    EXPECT_EQ(alert()->title(), "trekora uzávierka");
    EXPECT_EQ(alert()->message(), "zapísať trekora uzávierku?");
    EXPECT_EQ(alert()->actions()[0]->title(), "nie");
    tapAlert("nie");
    EXPECT_EQ(documentCount(), before);
    EXPECT_FALSE(alert());

    tapRow("denná uzávierka");
    tapAlert("áno");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "zobraziť doklad?");
    const std::string cdok = alert()->message().value_or("");
    EXPECT_FALSE(cdok.empty());
    EXPECT_EQ(documentCount(), before + 1);
    EXPECT_TRUE(std::filesystem::exists(documents + "/out/" + cdok + ".db3"));
    tapAlert("áno");
    EXPECT_EQ(top()->storyboardIdentifier(), "Preview");
    EXPECT_EQ(sharedTrekora().printingDoklad.at("CDOK"), cdok);
}

TEST_F(ActionsTest, ClosingWhoseExportFailsStaysWrittenAndShowsTheError) {
    show("uzavierka");
    const int before = documentCount();
    // A folder holds the export's own name: the closing is refused before it is written.
    const std::string next = scalar("select seq + 1 from sqlite_sequence where name = 'vety'");
    const std::string taken = documents + "/out/" + next + ".db3";
    std::filesystem::create_directories(taken + "/x");
    tapRow("denná uzávierka");
    tapAlert("áno");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "chyba!");
    EXPECT_NE(alert()->message()->find("nebola zapísaná"), std::string::npos) << *alert()->message();
    EXPECT_EQ(documentCount(), before);
    tapAlert("ok");
    std::filesystem::remove_all(taken);

    // The export fails after the closing is written: the alert says so, so
    // that no second closing follows.
    exec("delete from sqliteadmin_queries where name = 'du_export'");
    tapRow("denná uzávierka");
    tapAlert("áno");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "chyba!");
    EXPECT_EQ(alert()->message()->rfind("uzávierka " + next + " bola zapísaná, jej export sa urobí pri najbližšej "
                                        "synchronizácii", 0), 0u) << *alert()->message();
    EXPECT_NE(alert()->message()->find("du_export"), std::string::npos) << "what failed: " << *alert()->message();
    EXPECT_EQ(documentCount(), before + 1);
    tapAlert("ok");
    EXPECT_FALSE(alert());
}

TEST_F(ActionsTest, FailedPostingShowsItsResultWithoutQuestion) {
    show("uzavierka");
    exec("delete from sqliteadmin_queries where name in ('vklad_insert', 'du_insert')");
    const int before = documentCount();
    tapRow("vklad");
    typeInAlert("10");
    tapAlert("ok");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "chyba!");
    tapAlert("ok");
    tapRow("denná uzávierka");
    tapAlert("áno");
    ASSERT_TRUE(alert());
    EXPECT_NE(alert()->title().value_or("").rfind("chyba", 0), std::string::npos);
    EXPECT_EQ(documentCount(), before);
}

// --- print commands and the salesman file ----------------------------------------------------

TEST_F(ActionsTest, PrintCommandsHandTheirJobToThePrintScreen) {
    auto& trekora = sharedTrekora();
    struct Case {
        std::string caption;
        Fiskal::Command command;
        std::string txt;
    };
    for (const auto& c : std::vector<Case>{{"kópia posledného dokladu", Fiskal::Command::tlacKopiuPoslednehoDokladu, ""},
                                           {"fix doklad", Fiskal::Command::fixDoklad, ""},
                                           {"aktualizuj polohu", Fiskal::Command::aktualizujPolohu, "ZA-482KM"}}) {
        trekora.fiskalTxt = "stary";
        trekora.fiskalTxt2 = "stary pre tlaciaren 2";
        trekora.fiskalCommandParameters = {{"a", "b"}};
        show("uzavierka");
        tapRow(c.caption);
        EXPECT_EQ(top()->storyboardIdentifier(), "Tlac") << c.caption;
        EXPECT_EQ(trekora.fiskalCommand, c.command) << c.caption;
        EXPECT_EQ(trekora.fiskalTxt, c.txt);
        EXPECT_EQ(trekora.fiskalTxt2, "");
        EXPECT_TRUE(trekora.fiskalCommandParameters.empty());
    }
}

TEST_F(ActionsTest, SalesmanFileGoesToThePrintScreen) {
    auto& trekora = sharedTrekora();
    settings().BACKUP_PC_DIR = "";
    auto servis = show("servis");
    tapRow("nastav predajcu");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "predajca");
    EXPECT_EQ(alert()->message(), "");
    EXPECT_EQ(alert()->textFields().at(0)->textOrEmpty(), "/merchant.json");
    EXPECT_EQ(alert()->textFields().at(0)->textAlignment(), platform::TextAlignment::right);
    tapAlert("storno");
    EXPECT_NE(top(), servis);

    settings().BACKUP_PC_DIR = "nie je adresa";
    show("servis");
    trekora.fiskalTxt2 = "stary";
    tapRow("nastav predajcu");
    EXPECT_EQ(alert()->textFields().at(0)->textOrEmpty(), "nie je adresa/merchant.json");
    tapAlert("ok");
    EXPECT_EQ(top()->storyboardIdentifier(), "Tlac");
    EXPECT_EQ(trekora.fiskalCommand, Fiskal::Command::nastavPredajcu);
    EXPECT_EQ(trekora.fiskalTxt, "");
    EXPECT_EQ(trekora.fiskalTxt2, "");
}

TEST_F(ActionsTest, SalesmanFileIsReadFromTheOfficeServer) {
    LocalServer office;
    office.server.Get("/trekora_data/merchant.json", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("{\"meno\":\"Ján Novák\"}", "application/json");
    });
    office.start();
    auto& trekora = sharedTrekora();
    settings().BACKUP_PC_DIR = office.url("/trekora_data");
    show("servis");
    tapRow("nastav predajcu");
    tapAlert("ok");
    EXPECT_EQ(top()->storyboardIdentifier(), "Tlac");
    EXPECT_EQ(trekora.fiskalCommand, Fiskal::Command::nastavPredajcu);
    EXPECT_EQ(trekora.fiskalTxt, "{\"meno\":\"Ján Novák\"}");
}

TEST_F(ActionsTest, FailedOrderDeletionIsReportedAndTheMenuStays) {
    exec("insert into obj_vety (cdok) values (902); drop table obj_odbe;");
    auto servis = show("servis");
    platform::SystemSounds::clearPlayed();
    tapRow("vymaž objednávky na závoz");
    EXPECT_EQ(top(), servis);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "chyba!");
    EXPECT_TRUE(errorSoundPlayed());
    // Nothing was deleted.
    EXPECT_EQ(scalar("select count(*) from obj_vety where cdok = 902"), "1");
}

TEST_F(ActionsTest, OrderDeletionEmptiesTheReceivedOrdersAndLeavesTheMenu) {
    exec("insert into obj_vety (cdok) values (901); insert into obj_polo (cdok) values (901);");
    auto before = top();
    show("servis");
    tapRow("vymaž objednávky na závoz");
    EXPECT_EQ(top(), before);
    EXPECT_EQ(scalar("select count(*) from obj_vety"), "0");
    EXPECT_EQ(scalar("select count(*) from obj_polo"), "0");
}

// --- connection actions and the Wi-Fi check ---------------------------------------------------

TEST_F(ActionsTest, WithoutWifiTheWarningComesBeforeTheSynchronisationScreen) {
    settings().OBJ_PRE_EXPORT = "A";
    settings().OBJ_PRE_IMPORT = "A";
    platform::Wifi::setProvider(std::make_shared<platform::FakeWifiProvider>());
    for (const std::string caption : {"synchronizácia", "aktualizácia", "obnova", "export objednávok na závoz",
                                      "import objednávok na závoz"}) {
        auto menu = show("spojenie");
        platform::SystemSounds::clearPlayed();
        tapRow(caption);
        ASSERT_TRUE(alert()) << caption;
        EXPECT_EQ(alert()->title(), "chyba!");
        EXPECT_EQ(alert()->message(), "nepripojená wifi!");
        ASSERT_EQ(alert()->actions().size(), 1u);
        EXPECT_TRUE(errorSoundPlayed());
        EXPECT_EQ(top(), menu) << "nothing opens under the warning";
        tapAlert("ok");
        EXPECT_EQ(top()->storyboardIdentifier(), "Spojenie") << caption;
    }
}

TEST_F(ActionsTest, PrinterHotspotIsRefused) {
    settings().ANIMOVAT_OKNA = "A";
    settings().WIFI_PRINTER_SSID = "TREKORA-ZA482KM";
    platform::Wifi::simulate("trekora-za482km");
    struct Case {
        std::string caption;
        bool animated;
    };
    for (const auto& c : std::vector<Case>{{"synchronizácia", true}, {"aktualizácia", false}, {"obnova", false}}) {
        auto menu = show("spojenie");
        tapRow(c.caption);
        ASSERT_TRUE(alert());
        EXPECT_EQ(alert()->title(), "aktualna wifi: trekora-za482km");
        EXPECT_EQ(alert()->message(), "hotspot sluzi iba na tlac!\npripoj sa na inu wifi siet!");
        ASSERT_EQ(alert()->actions().size(), 2u);
        EXPECT_EQ(alert()->actions()[0]->title(), "ok");
        EXPECT_EQ(alert()->actions()[0]->style(), platform::AlertAction::Style::defaultStyle);
        EXPECT_EQ(alert()->actions()[1]->title(), "nastavenia");
        EXPECT_EQ(alert()->actions()[1]->style(), platform::AlertAction::Style::cancel);
        EXPECT_EQ(alert()->presentedAnimated(), c.animated) << c.caption;
        platform::Console::Capture console;
        tapAlert("nastavenia");
        EXPECT_TRUE(console.contains("You've pressed nastavenia"));
        EXPECT_EQ(top(), menu);
    }
    // The second printer's network is no reason to refuse.
    settings().WIFI_PRINTER_SSID = "";
    settings().WIFI_PRINTER_SSID2 = "trekora-za482km";
    show("spojenie");
    tapRow("synchronizácia");
    EXPECT_EQ(top()->storyboardIdentifier(), "Spojenie");
}

TEST_F(ActionsTest, ConnectionEntryLineOnlyForSynchronisationRestoreAndExport) {
    settings().OBJ_PRE_EXPORT = "A";
    settings().OBJ_PRE_IMPORT = "A";
    for (const auto& [caption, line] : std::vector<std::pair<std::string, bool>>{
             {"synchronizácia", true}, {"aktualizácia", false}, {"obnova", true},
             {"export objednávok na závoz", true}, {"import objednávok na závoz", false}}) {
        show("spojenie");
        platform::Console::Capture console;
        tapRow(caption);
        EXPECT_EQ(console.contains("tableView(_:didSelectRowAt:) ..."), line) << caption;
    }
}

}  // namespace
