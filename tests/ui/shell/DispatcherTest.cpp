#include "ShellFixture.h"
#include "records/OdberatelItem.h"

#include <fstream>
#include <iterator>

namespace {


class DispatchTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        logIn();
        settings().OBJ_PRE_EXPORT = "A";
        settings().OBJ_PRE_IMPORT = "A";
        settings().ANIMOVAT_OKNA = "N";
    }
    // Puts a fresh menu screen of this name on top of the login screen.
    std::shared_ptr<SimpleMenu> show(const std::string& name) {
        if (auto current = alert()) current->dismiss(false);
        auto menu = platform::Storyboard::named("Main")->instantiate<SimpleMenu>("SimpleMenu");
        menu->item = name;
        nav->setViewControllers({login, menu}, false);
        return menu;
    }
    // What a tap left on screen: the alert's title, or the identifier of the
    // top screen (with the menu name for a menu screen).
    std::string outcome() {
        if (auto current = alert()) return "alert " + current->title().value_or("");
        auto screen = top();
        if (auto menu = std::dynamic_pointer_cast<SimpleMenu>(screen)) return "SimpleMenu " + menu->item;
        return screen->storyboardIdentifier();
    }
};

TEST_F(DispatchTest, EveryKeyReachesItsAction) {
    struct Case {
        std::string menu, caption, expected;
    };
    const std::vector<Case> cases = {
        {"menu", "príjem", "SimpleMenu prijem"},
        {"menu", "predaj", "Odberatel"},
        {"menu", "inventúra", "SimpleMenu inventura"},
        {"menu", "uzávierka", "SimpleMenu uzavierka"},
        {"menu", "doklady", "Doklady"},
        {"menu", "objednávky na závoz", "Objednavky"},
        {"menu", "spojenie", "SimpleMenu spojenie"},
        {"menu", "nastavenia", "alert pin"},
        {"menu", "info", "SimpleMenu info"},
        {"menu", "servis", "SimpleMenu servis"},
        {"menu", "užívateľ", "Uzivatel"},
        {"prijem", "tovar", "alert kilometre"},
        {"predaj", "hotovosť", "Polozky"},
        {"predaj", "dodací list", "Polozky"},
        {"predaj", "objednávka na závoz", "Polozky"},
        {"predaj", "výdaj pos materiálu", "Polozky"},
        {"predaj", "storno hotovosti", "Parametre"},
        {"predaj", "faktúra na hotovosť", "Parametre"},
        {"predaj", "dobropis na hotovosť", "Parametre"},
        {"predaj", "faktúra", "Parametre"},
        {"predaj", "dobropis", "Parametre"},
        {"predaj", "výdaj vzoriek", "Parametre"},
        {"predaj", "bez predaja", "SimpleMenu nepredaj"},
        {"predaj", "výdaj darčekov", "alert chyba!"},
        {"predaj", "prevod bodov", "alert chyba!"},
        {"inventura", "pos", "Sklad"},
        {"spojenie", "synchronizácia", "Spojenie"},
        {"spojenie", "aktualizácia", "Spojenie"},
        {"spojenie", "obnova", "Spojenie"},
        {"spojenie", "export objednávok na závoz", "Spojenie"},
        {"spojenie", "import objednávok na závoz", "Spojenie"},
        {"uzavierka", "kópia posledného dokladu", "Tlac"},
        {"uzavierka", "fix doklad", "Tlac"},
        {"uzavierka", "aktualizuj polohu", "Tlac"},
        {"uzavierka", "odvod", "alert odvod (výber z pokladne)"},
        {"uzavierka", "vklad", "alert vklad do pokladne"},
        {"uzavierka", "denná uzávierka", "alert trekora uzávierka"},
        {"servis", "nastav predajcu", "alert predajca"},
    };
    auto& trekora = sharedTrekora();
    for (const auto& c : cases) {
        // Invoices are offered to invoice customers, delivery notes to
        // delivery-note customers.
        auto customer = std::make_shared<OdberatelItem>();
        customer->POHYB = c.caption == "dodací list" ? "30" : "20";
        trekora.selectedOdberatelItem = customer;
        show(c.menu);
        tapRow(c.caption);
        EXPECT_EQ(outcome(), c.expected) << c.menu << " / " << c.caption;
    }
    auto reasons = show("nepredaj");
    trekora.selectedOdberatelItem = std::make_shared<OdberatelItem>();
    tapRow(reasons->data.at(0)->caption);
    EXPECT_EQ(outcome(), "alert ok!");
    EXPECT_EQ(top(), reasons);

    auto servis = show("servis");
    tapRow("vymaž objednávky na závoz");
    EXPECT_EQ(top(), login);
}

TEST_F(DispatchTest, EveryTapWritesItsLinesAndClearsTheReceivedOrder) {
    auto& trekora = sharedTrekora();
    show("info");
    trekora.selectedObj = RowDictionary{{"CDOK", "5"}};
    trekora.selectedObjData = std::vector<RowDictionary>{{{"IDTOV", "1"}}};
    platform::Console::Capture console;
    tapRow("trekora II");
    EXPECT_EQ(console.lines(), (std::vector<std::string>{"didSelectRow", "segue= "}));
    EXPECT_FALSE(trekora.selectedObj);
    EXPECT_FALSE(trekora.selectedObjData);
    EXPECT_FALSE(alert());
    EXPECT_EQ(top()->storyboardIdentifier(), "SimpleMenu");
    EXPECT_EQ(nav->viewControllers().size(), 2u);
}

TEST_F(DispatchTest, DispatchRunsOnALaterTurnOfTheMainQueue) {
    auto menu = show("menu");
    ASSERT_TRUE(menu->tableView()->tapRow({0, rowOf(*menu, "príjem")}));
    EXPECT_EQ(top(), menu);
    platform::MainRunLoop::drain();
    EXPECT_EQ(outcome(), "SimpleMenu prijem");
}

TEST_F(DispatchTest, PushesFollowTheAnimationSetting) {
    for (const std::string value : {"A", "a", "", "N"}) {
        settings().ANIMOVAT_OKNA = value;
        show("menu");
        tapRow("príjem");
        EXPECT_EQ(nav->transitions().back().animated, value == "A") << "'" << value << "'";
        tapRow("tovar");
        EXPECT_EQ(alert()->presentedAnimated(), value == "A") << "'" << value << "'";
    }
}

TEST_F(DispatchTest, GoodsReceiptAsksForTheKilometreReading) {
    auto& trekora = sharedTrekora();
    auto menu = show("prijem");
    tapRow("tovar");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), "pôvodný stav: 184310");
    ASSERT_EQ(alert()->textFields().size(), 1u);
    auto field = alert()->textFields()[0];
    EXPECT_EQ(field->textOrEmpty(), "184310");
    EXPECT_EQ(field->keyboardType(), platform::KeyboardType::numberPad);
    EXPECT_EQ(alert()->actions()[0]->title(), "storno");
    EXPECT_EQ(alert()->actions()[1]->title(), "ok");

    tapAlert("storno");
    EXPECT_EQ(top(), menu);
    EXPECT_EQ(scalar("select hodnota from km"), "184310");

    // A customer chosen before does not carry into a receipt.
    auto customer = std::make_shared<OdberatelItem>();
    customer->NAZOV1 = "Potraviny";
    trekora.selectedOdberatelItem = customer;
    tapRow("tovar");
    typeInAlert("184399");
    tapAlert("ok");
    EXPECT_EQ(top()->storyboardIdentifier(), "Polozky");
    EXPECT_EQ(scalar("select hodnota from km"), "184399");
    EXPECT_EQ(trekora.km, "184399");
    EXPECT_EQ(trekora.selectedTypDokladuItem, menu->data[0]);
    EXPECT_EQ(trekora.selectedTypDokladuItem->pohyb, 19);
    EXPECT_NE(trekora.selectedOdberatelItem, customer);
    EXPECT_EQ(trekora.selectedOdberatelItem->NAZOV1, "");

    // An emptied field keeps the reading held before.
    show("prijem");
    tapRow("vzorky");
    alert()->textFields()[0]->clear();
    tapAlert("ok");
    EXPECT_EQ(top()->storyboardIdentifier(), "Polozky");
    EXPECT_EQ(trekora.km, "184399");
    EXPECT_EQ(scalar("select hodnota from km"), "184399");

    // Pasted text that is no reading is refused: nothing stored, nothing opened.
    for (const std::string pasted : {"abc", "18 4400", "-5"}) {
        show("prijem");
        tapRow("vzorky");
        alert()->textFields()[0]->setText(pasted);
        tapAlert("ok");
        EXPECT_TRUE(topMenu()) << pasted;
        EXPECT_EQ(trekora.km, "184399");
        EXPECT_EQ(scalar("select hodnota from km"), "184399");
    }
}

TEST_F(DispatchTest, KilometrePromptIsOffOnlyForExactlyN) {
    for (const std::string value : {"n", "", "A"}) {
        settings().KILOMETRE = value;
        show("prijem");
        tapRow("pos");
        EXPECT_EQ(outcome(), "alert kilometre") << "'" << value << "'";
    }
    settings().KILOMETRE = "N";
    show("prijem");
    tapRow("pos");
    EXPECT_EQ(outcome(), "Polozky");
    EXPECT_EQ(sharedTrekora().selectedTypDokladuItem->sklad_typ, 50);
}

TEST_F(DispatchTest, LoyaltyDocumentsNeedACustomerInTheProgramme) {
    auto& trekora = sharedTrekora();
    auto before = std::make_shared<MenuItem>();
    for (const std::string korunka : {"A", "NIE", ""}) {
        trekora.selectedTypDokladuItem = before;
        auto customer = std::make_shared<OdberatelItem>();
        customer->KORUNKA = korunka;
        trekora.selectedOdberatelItem = customer;
        show("predaj");
        platform::SystemSounds::clearPlayed();
        tapRow("výdaj darčekov");
        ASSERT_TRUE(alert());
        EXPECT_EQ(alert()->title(), "chyba!");
        EXPECT_EQ(alert()->message(), "odberateľ nie je zaradeny v korunke");
        EXPECT_TRUE(errorSoundPlayed());
        EXPECT_EQ(trekora.selectedTypDokladuItem, before);
    }
    for (const std::string korunka : {"ano", "Ano", "ANO"}) {
        auto customer = std::make_shared<OdberatelItem>();
        customer->KORUNKA = korunka;
        trekora.selectedOdberatelItem = customer;
        auto menu = show("predaj");
        tapRow("prevod bodov");
        EXPECT_EQ(outcome(), "Parametre") << korunka;
        EXPECT_EQ(trekora.selectedTypDokladuItem, menu->data[static_cast<std::size_t>(rowOf(*menu, "prevod bodov"))]);
    }
}

TEST_F(DispatchTest, SaleDocumentKeepsTheChosenCustomer) {
    auto& trekora = sharedTrekora();
    auto customer = std::make_shared<OdberatelItem>();
    trekora.selectedOdberatelItem = customer;
    auto menu = show("predaj");
    tapRow("hotovosť");
    EXPECT_EQ(trekora.selectedOdberatelItem, customer);
    EXPECT_EQ(trekora.selectedTypDokladuItem, menu->data[0]);
}

TEST_F(DispatchTest, MissingScreenPushesNothingAndIsLogged) {
    platform::Storyboard::resetRegistry();
    ShellStoryboard::registerAll();
    show("uzavierka");
    tapRow("fix doklad");
    EXPECT_EQ(outcome(), "SimpleMenu uzavierka");
    std::ifstream log(documents + "/trekora.log");
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Tlac"), std::string::npos) << text;
    // The print job is handed over all the same.
    EXPECT_EQ(sharedTrekora().fiskalCommand, Fiskal::Command::fixDoklad);
}

TEST_F(DispatchTest, WithoutNavigationNothingIsPushedButFieldsStaySet) {
    auto customer = std::make_shared<OdberatelItem>();
    customer->POHYB = "20";
    sharedTrekora().selectedOdberatelItem = customer;
    auto menu = platform::Storyboard::named("Main")->instantiate<SimpleMenu>("SimpleMenu");
    menu->item = "predaj";
    menu->loadViewIfNeeded();
    menu->dispatchRow({0, rowOf(*menu, "faktúra")});
    EXPECT_EQ(sharedTrekora().selectedTypDokladuItem->caption, "faktúra");
    EXPECT_EQ(nav->viewControllers().size(), 2u);
}

}  // namespace
