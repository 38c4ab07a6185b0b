#include <algorithm>

#include "ShellFixture.h"

namespace {

using platform::Color;
using SimpleMenuTest = ShellTest;

std::shared_ptr<SimpleMenu> makeMenu(const std::string& name) {
    auto menu = platform::Storyboard::named("Main")->instantiate<SimpleMenu>("SimpleMenu");
    menu->item = name;
    menu->loadViewIfNeeded();
    return menu;
}

std::vector<std::string> keys(const SimpleMenu& menu) {
    std::vector<std::string> out;
    for (const auto& row : menu.data) out.push_back(row->segue);
    return out;
}

TEST_F(SimpleMenuTest, MainMenuRowsFollowTheOrderSettings) {
    logIn();
    settings().OBJ_PRE_IMPORT = "N";
    auto plain = makeMenu("menu");
    EXPECT_EQ(keys(*plain), (std::vector<std::string>{"menu_uzivatel_segue", "menu_prijem_segue",
                                                       "menu_predaj_segue", "menu_inventura_segue",
                                                       "menu_uzavierka_segue", "menu_doklady_segue",
                                                       "menu_spojenie_segue", "menu_nastavenia_segue",
                                                       "menu_info_segue", "menu_servis_segue"}));
    settings().OBJ_PRE_IMPORT = "A";
    auto withOrders = makeMenu("menu");
    EXPECT_EQ(withOrders->data.size(), 11u);
    EXPECT_EQ(withOrders->data[6]->segue, "menu_objednavky_segue");
    settings().OBJ_PRE_IMPORT = "a";
    EXPECT_EQ(makeMenu("menu")->data.size(), 10u);
}

TEST_F(SimpleMenuTest, NestedMenusFollowTheOrderSettings) {
    logIn();
    settings().OBJ_PRE_EXPORT = "N";
    settings().OBJ_PRE_IMPORT = "N";
    EXPECT_EQ(captions(*makeMenu("spojenie")),
              (std::vector<std::string>{"synchronizácia", "aktualizácia", "obnova"}));
    auto sale = captions(*makeMenu("predaj"));
    EXPECT_EQ(std::count(sale.begin(), sale.end(), "objednávka na závoz"), 0);

    settings().OBJ_PRE_EXPORT = "A";
    settings().OBJ_PRE_IMPORT = "A";
    EXPECT_EQ(captions(*makeMenu("spojenie")),
              (std::vector<std::string>{"synchronizácia", "aktualizácia", "obnova", "export objednávok na závoz",
                                        "import objednávok na závoz"}));
    sale = captions(*makeMenu("predaj"));
    EXPECT_EQ(std::count(sale.begin(), sale.end(), "objednávka na závoz"), 1);

    // A name the builder does not know: no rows, the name as title.
    auto unknown = makeMenu("nic");
    EXPECT_EQ(unknown->title(), "nic");
    EXPECT_EQ(unknown->tableView()->numberOfRowsInSection(0), 0);
}

TEST_F(SimpleMenuTest, BarButtonsBelongToTheMainAndInformationMenus) {
    logIn();
    auto main = makeMenu("menu");
    EXPECT_EQ(main->navigationItem().leftBarButtonItems().size(), 1u);
    EXPECT_TRUE(main->navigationItem().rightBarButtonItems().empty());
    auto info = makeMenu("info");
    EXPECT_TRUE(info->navigationItem().leftBarButtonItems().empty());
    ASSERT_EQ(info->navigationItem().rightBarButtonItems().size(), 1u);
    auto update = info->navigationItem().rightBarButtonItems()[0];
    EXPECT_EQ(update->title(), "update");
    update->tap();
    EXPECT_EQ(platform::Application::shared().openedURLs(),
              (std::vector<std::string>{SimpleMenu::kInstallPage}));
    auto prijem = makeMenu("prijem");
    EXPECT_TRUE(prijem->navigationItem().leftBarButtonItems().empty());
    EXPECT_TRUE(prijem->navigationItem().rightBarButtonItems().empty());
}

TEST_F(SimpleMenuTest, CellsShowCaptionIconAndSpecialColours) {
    logIn();
    auto uzavierka = makeMenu("uzavierka");
    auto table = uzavierka->tableView();
    auto odvod = table->cellAt({0, rowOf(*uzavierka, "odvod")});
    EXPECT_EQ(odvod->textLabel()->text(), "odvod");
    EXPECT_EQ(odvod->detailTextLabel()->text(), "výber z pokladne");
    EXPECT_EQ(odvod->textLabel()->textColor(), Color::systemRed());
    EXPECT_EQ(odvod->detailTextLabel()->textColor(), Color::secondaryLabel());
    ASSERT_TRUE(odvod->imageView()->image());
    EXPECT_EQ(odvod->imageView()->image()->name(), "minus.rectangle.fill");
    EXPECT_TRUE(odvod->imageView()->image()->isSymbol());
    EXPECT_EQ(odvod->imageView()->tintColor(), Color::secondaryLabel());
    EXPECT_EQ(table->cellAt({0, rowOf(*uzavierka, "denná uzávierka")})->textLabel()->textColor(), Color::systemRed());
    EXPECT_EQ(table->cellAt({0, rowOf(*uzavierka, "vklad")})->textLabel()->textColor(), Color::label());

    auto info = makeMenu("info");
    auto version = info->tableView()->cellAt({0, 0});
    EXPECT_EQ(version->textLabel()->text(), "trekora II");
    EXPECT_EQ(version->detailTextLabel()->textColor(), Color::systemRed());

    auto main = makeMenu("menu");
    auto user = main->tableView()->cellAt({0, 0});
    EXPECT_EQ(user->textLabel()->text(), "stredisko: 12");
    EXPECT_EQ(user->detailTextLabel()->text(), "užívateľ: Ján Novák\nidu: 1\nspz: ZA-482KM");
    EXPECT_EQ(user->textLabel()->textColor(), Color::systemRed());
    EXPECT_EQ(user->detailTextLabel()->textColor(), Color::systemRed());
    EXPECT_GE(user->detailTextLabel()->numberOfLines(), 3);
}

TEST_F(SimpleMenuTest, ResultAlertSplitsTitleAndMessage) {
    logIn();
    auto menu = topMenu();
    struct Case {
        std::string text, title, message;
    };
    for (const auto& c : std::vector<Case>{{"ok!,,cdok=57", "ok!", "cdok=57"},
                                           {"chyba!,,zapis du", "chyba!", "zapis du"},
                                           {"chyba! ,,nedostatok_bodov!", "chyba! ", "nedostatok_bodov!"},
                                           {"a,,b,,c", "a", "b"},
                                           {"bez oddelovača", "bez oddelovača", ""},
                                           {"", "", ""}}) {
        platform::SystemSounds::clearPlayed();
        menu->zobrazVysledok(c.text);
        ASSERT_TRUE(alert()) << c.text;
        EXPECT_EQ(alert()->title(), c.title);
        EXPECT_EQ(alert()->message(), c.message);
        ASSERT_EQ(alert()->actions().size(), 1u);
        EXPECT_EQ(alert()->actions()[0]->title(), "ok");
        EXPECT_TRUE(platform::SystemSounds::played().empty());
        tapAlert("ok");
    }
}

TEST_F(SimpleMenuTest, KilometreFieldStopsTypingAtSevenCharacters) {
    logIn();
    auto menu = topMenu();
    platform::TextField field;
    field.setKeyboardType(platform::KeyboardType::numberPad);
    field.setDelegate(std::shared_ptr<platform::TextFieldDelegate>(menu));
    EXPECT_EQ(field.type("123456789"), 7u);
    EXPECT_EQ(field.textOrEmpty(), "1234567");
    EXPECT_TRUE(field.deleteBackward());
    EXPECT_EQ(field.textOrEmpty(), "123456");
    // A paste into a six-character field is not measured.
    EXPECT_TRUE(field.replace({6, 0}, "999"));
    EXPECT_EQ(field.textOrEmpty(), "123456999");
    // Typing over a selection is allowed at any length.
    EXPECT_TRUE(field.replace({0, 1}, "7"));
    EXPECT_FALSE(field.replace({9, 0}, "1"));
}

TEST_F(SimpleMenuTest, ShowingAMenuClearsTheOrderAndLinkedDocumentNumbers) {
    logIn();
    auto& trekora = sharedTrekora();
    openFromMain("príjem");
    trekora.objcdok = "77";
    trekora.parcdok = "88";
    auto screen = std::make_shared<StandInScreen>();
    nav->pushViewController(screen, false);
    nav->popViewController(false);
    EXPECT_EQ(trekora.objcdok, "");
    EXPECT_EQ(trekora.parcdok, "");
}

}  // namespace
