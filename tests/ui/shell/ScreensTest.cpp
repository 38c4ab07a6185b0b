#include "ShellFixture.h"
#include "ui/shell/Info.h"
#include "ui/shell/Kilometre.h"
#include "ui/shell/Menu.h"
#include "ui/shell/MenuCell.h"
#include "ui/shell/Servis.h"
#include "ui/shell/Uzivatel.h"

namespace {

using ScreensTest = ShellTest;

TEST_F(ScreensTest, InfoShowsTheHandedPage) {
    auto board = platform::Storyboard::named("Main");
    auto withPage = board->instantiate<Info>("Info");
    withPage->html = "<p>riadky</p>";
    withPage->loadViewIfNeeded();
    EXPECT_EQ(withPage->title(), "info");
    EXPECT_EQ(withPage->webView->html(), "<p>riadky</p>");

    auto empty = board->instantiate<Info>("Info");
    empty->html = "";
    empty->loadViewIfNeeded();
    EXPECT_EQ(empty->webView->loadCount(), 1);
    EXPECT_EQ(empty->webView->html(), "");

    auto absent = board->instantiate<Info>("Info");
    absent->loadViewIfNeeded();
    EXPECT_EQ(absent->title(), "info");
    EXPECT_EQ(absent->webView->loadCount(), 0);
}

TEST_F(ScreensTest, UserPageShowsTheStatisticsAndOpensFreshMainMenus) {
    logIn();
    tapRow("užívateľ");
    auto user = std::dynamic_pointer_cast<Uzivatel>(top());
    ASSERT_TRUE(user);
    EXPECT_EQ(user->title(), "užívateľ");
    const std::string page = user->webView->html().value_or("");
    EXPECT_NE(page.find("stredisko:"), std::string::npos);
    EXPECT_NE(page.find("Novák"), std::string::npos);

    settings().ANIMOVAT_OKNA = "";
    platform::Console::Capture console;
    user->menuTapped();
    EXPECT_TRUE(console.contains("menu tapped"));
    auto first = topMenu();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->item, "menu");
    EXPECT_FALSE(nav->transitions().back().animated);
    nav->popViewController(false);
    user->menuTapped();
    EXPECT_NE(topMenu(), first);
    EXPECT_EQ(topMenu()->item, "menu");
}

TEST_F(ScreensTest, KilometreLabelShowsTheTopScreensTitle) {
    auto board = platform::Storyboard::named("Main");
    logIn();
    auto km = board->instantiate<Kilometre>("Kilometre");
    nav->pushViewController(km, false);
    // The screen itself is on top and has no title.
    EXPECT_EQ(km->labelKilometre.lock()->textOrEmpty(), "");
    EXPECT_TRUE(km->textFieldKilometre.lock());

    auto outside = board->instantiate<Kilometre>("Kilometre");
    outside->loadViewIfNeeded();
    EXPECT_FALSE(outside->labelKilometre.lock()->text());
}

TEST_F(ScreensTest, GenericMenusListTheirRowsAndPerformSegues) {
    logIn();
    settings().OBJ_PRE_IMPORT = "N";
    auto board = platform::Storyboard::named("Main");
    auto menu = board->instantiate<Menu>("Menu");
    nav->pushViewController(menu, false);
    auto table = menu->tableView();
    EXPECT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->numberOfRowsInSection(0), 10);
    auto cell = std::dynamic_pointer_cast<MenuCell>(table->cellAt({0, 1}));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->menuLabelCaption.lock()->text(), "príjem");
    EXPECT_EQ(table->heightForRow({0, 0}), table->rowHeight());
    table->tapRow({0, 0});
    EXPECT_EQ(menu->lastSegueIdentifier(), "menu_uzivatel_segue");
    EXPECT_TRUE(std::dynamic_pointer_cast<Uzivatel>(top()));

    auto servis = board->instantiate<Servis>("Servis");
    nav->pushViewController(servis, false);
    EXPECT_EQ(servis->tableView()->numberOfRowsInSection(0), 2);
    EXPECT_EQ(servis->tableView()->heightForRow({0, 1}), 100.0);
    const std::string ordersBefore = scalar("select count(*) from obj_vety");
    servis->tableView()->tapRow({0, 0});
    platform::MainRunLoop::drain();
    EXPECT_EQ(servis->lastSegueIdentifier(), "vymaz_objednavky");
    EXPECT_EQ(top(), servis);
    EXPECT_EQ(scalar("select count(*) from obj_vety"), ordersBefore);
}

}  // namespace
