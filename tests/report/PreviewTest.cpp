#include "support/TrekoraTestEnvironment.h"

#include "app/HtmlText.h"
#include "platform/MainRunLoop.h"
#include "platform/SystemSounds.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "records/NastaveniaItem.h"
#include "report/DataItem.h"
#include "report/Preview.h"
#include "report/ReportStoryboard.h"

#include <gtest/gtest.h>

#include <sstream>

using Command = FiskalCommand;

namespace {

class StandIn : public platform::ViewController {};

class PreviewTest : public TrekoraTest {
protected:
    void SetUp() override {
        TrekoraTest::SetUp();
        platform::Storyboard::resetRegistry();
        ReportStoryboard::registerAll();
        platform::Storyboard::registerScreen("Main", "Tlac", [] { return std::make_shared<StandIn>(); });
        loginDemo();
        trekora().nastaveniaItem->ANIMOVAT_OKNA = "N";
        nav = platform::NavigationController::make(std::make_shared<StandIn>());
        window = std::make_shared<platform::Window>();
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        platform::MainRunLoop::drain();
        window.reset();
        nav.reset();
        platform::Storyboard::resetRegistry();
        TrekoraTest::TearDown();
    }

    // The row of the issued-documents list of document `id`.
    RowDictionary row(const std::string& id) {
        for (const auto& r : trekora().getData("vsetky_vystavene"))
            if (r.at("ID") == id) return r;
        ADD_FAILURE() << "no document " << id;
        return {};
    }
    std::shared_ptr<Preview> open(const RowDictionary& doklad) {
        trekora().printingDoklad = doklad;
        platform::SystemSounds::clearPlayed();
        auto preview = platform::Storyboard::named("Main")->instantiate<Preview>("Preview");
        nav->pushViewController(preview, false);
        return preview;
    }
    std::string page(const Preview& preview) { return preview.webView.lock()->html().value_or(""); }
    std::shared_ptr<platform::AlertController> alert() { return window->presentedAlert(); }
    std::vector<std::string> actions() {
        std::vector<std::string> titles;
        if (alert())
            for (const auto& a : alert()->actions()) titles.push_back(a->title());
        return titles;
    }
    void tap(const std::string& title) {
        ASSERT_TRUE(alert()) << "no alert for " << title;
        ASSERT_TRUE(alert()->tapAction(title)) << title;
        platform::MainRunLoop::drain();
    }
    void akcia(Preview& preview) { preview.toolbar.lock()->items().at(0)->tap(); }
    void print(Preview& preview) { preview.navigationItem().rightBarButtonItems().at(0)->tap(); }
    static bool errorSound() {
        for (const auto& played : platform::SystemSounds::played())
            if (played.id == 1116) return true;
        return false;
    }
    std::string rendered(const std::string& name, const std::string& id, bool second = false) {
        auto item = second ? trekora().findDataItem2(name) : trekora().findDataItem(name);
        return item ? item->getReport(id, "0") : std::string("?");
    }
    int count(const std::string& where) { return std::stoi(scalar("select count(*) from vety where " + where)); }

    std::shared_ptr<platform::NavigationController> nav;
    std::shared_ptr<platform::Window> window;
};

} // namespace

TEST_F(PreviewTest, APostedDocumentBecomesItsPrintJob) {
    auto& t = trekora();
    const std::string result = t.zapisVklad("12.50", "");
    ASSERT_EQ(result.rfind("ok!,,cdok=", 0), 0u) << result;
    const std::string id = scalar("select max(id) from vety");
    auto preview = open(row(id));
    EXPECT_EQ(preview->title(), "náhľad");
    EXPECT_EQ(t.fiskalCommand, Command::tlacVklad);
    EXPECT_EQ(t.fiskalTxt, rendered("fiskal_vklad", id));
    EXPECT_NE(t.fiskalTxt.find("12.50"), std::string::npos);
    EXPECT_EQ(t.fiskalTxt2, rendered("fiskal_vklad", id, true));
    EXPECT_EQ(t.previewTxt, rendered("fiskal_vklad_kopia", id));
    EXPECT_EQ(t.fiskalCommandParameters,
              (std::map<std::string, std::string>{{"ID", id}, {"CDOK", id}, {"ODSTRANKOVAT_DOKLAD", "N"}}));
    EXPECT_EQ(page(*preview), Preview::page(t.previewTxt));
    // The terminal shows the page as the printed text.
    std::string printed;
    std::istringstream lines(t.previewTxt);
    for (std::string line; std::getline(lines, line);)
        printed += (printed.empty() ? "" : "\n") + line.substr(0, line.find_last_not_of(' ') + 1);
    EXPECT_EQ(HtmlText::toText(page(*preview)), printed);
    EXPECT_FALSE(errorSound());

    // Codes outside the cash documents show and print the same single text.
    struct Case { const char* id; Command command; };
    for (const Case& c : {Case{"1001", Command::tlacNefiskalnyDoklad}, Case{"1006", Command::tlacNefiskalnyDoklad},
                          Case{"1002", Command::tlacDoklad}}) {
        SCOPED_TRACE(c.id);
        nav->popViewController(false);
        open(row(c.id));
        EXPECT_EQ(t.fiskalCommand, c.command);
        if (c.command == Command::tlacDoklad) {
            EXPECT_EQ(t.previewTxt, rendered("hotovost_kopia", c.id));
            EXPECT_EQ(t.fiskalTxt2, rendered("hotovost", c.id, true));
        } else {
            EXPECT_EQ(t.previewTxt, t.fiskalTxt);
            EXPECT_EQ(t.fiskalTxt2, "");
        }
    }
}

TEST_F(PreviewTest, NoDocumentTextMeansNoPrintJob) {
    auto& t = trekora();
    // An unlisted code (a no-sale record), a listed code without definition,
    // and a report run that fails: shown as an error, heard, never printed.
    auto preview = open(row("1007"));
    EXPECT_EQ(t.fiskalCommand, Command::nerobNic);
    EXPECT_EQ(t.fiskalTxt, Preview::kNenajdeny);
    EXPECT_EQ(page(*preview), Preview::errorPage("nenájdený dataitem!"));
    EXPECT_TRUE(errorSound());

    t.dataItems.erase(std::remove_if(t.dataItems.begin(), t.dataItems.end(),
                                     [](const auto& d) { return d->name == "faktura"; }),
                      t.dataItems.end());
    nav->popViewController(false);
    preview = open(row("1001"));
    EXPECT_EQ(t.fiskalCommand, Command::nerobNic);
    EXPECT_TRUE(errorSound());
    print(*preview);
    EXPECT_EQ(nav->topViewController(), preview);

    auto row1002 = row("1002");
    execute("drop table odbe");
    nav->popViewController(false);
    preview = open(row1002);
    EXPECT_EQ(t.fiskalCommand, Command::nerobNic);
    EXPECT_EQ(t.fiskalTxt, "chyba! no such table: odbe");
    EXPECT_EQ(t.fiskalTxt2, "");
    EXPECT_NE(page(*preview).find("<h1>chyba! no such table: odbe</h1>"), std::string::npos);
    EXPECT_TRUE(errorSound());
}

TEST_F(PreviewTest, ThePageShowsMarkupInTheDocumentAsWritten) {
    execute("update odbe set nazov1 = '<b>Tom & Jerry</b>' where vety_id = 1001");
    auto preview = open(row("1001"));
    EXPECT_NE(trekora().previewTxt.find("<b>Tom & Jerry</b>"), std::string::npos);
    EXPECT_NE(page(*preview).find("&lt;b&gt;Tom &amp; Jerry&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(page(*preview).find("<b>"), std::string::npos);
}

TEST_F(PreviewTest, PrintingPushesTheJobOrAsksForACopy) {
    auto& t = trekora();
    auto doklad = row("1005");  // cash sale, not in the fiscal service
    auto preview = open(doklad);
    print(*preview);
    EXPECT_EQ(nav->topViewController()->storyboardIdentifier(), "Tlac");
    EXPECT_EQ(t.fiskalCommand, Command::tlacDoklad);
    const auto parameters = t.fiskalCommandParameters;
    const auto text = t.fiskalTxt;

    // After the fix in the fiscal service, the printer prints the document
    // shown again, not the fix left behind.
    nav->popViewController(false);
    akcia(*preview);
    ASSERT_TRUE(alert());
    ASSERT_TRUE(alert()->tapAction("ekasa fix document"));
    platform::MainRunLoop::drain();
    ASSERT_EQ(t.fiskalCommand, Command::fixDoklad);
    nav->popViewController(false);
    print(*preview);
    EXPECT_EQ(t.fiskalCommand, Command::tlacDoklad);
    EXPECT_EQ(t.fiskalCommandParameters, parameters);
    EXPECT_EQ(t.fiskalTxt, text);

    // Registered in the fiscal service: the copy, printed by the device.
    nav->popToRootViewController(false);
    preview = open(row("1002"));
    print(*preview);
    EXPECT_EQ(alert()->title(), "doklad uz bol vytlaceny cez ekasu!");
    EXPECT_EQ(alert()->message(), "tlačiť kópiu?");
    EXPECT_TRUE(errorSound());
    tap("nie");
    EXPECT_EQ(nav->topViewController(), preview);
    EXPECT_EQ(t.fiskalCommand, Command::tlacDoklad);
    print(*preview);
    tap("áno");
    EXPECT_EQ(nav->topViewController()->storyboardIdentifier(), "Tlac");
    EXPECT_EQ(t.fiskalCommand, Command::tlacKopiuDokladu);
    EXPECT_EQ(t.fiskalCommandParameters,
              (std::map<std::string, std::string>{
                  {"ID", "1002"}, {"CDOK", "1002"}, {"PARDOK", "1/0001"}, {"ODSTRANKOVAT_DOKLAD", "N"}}));
    EXPECT_EQ(t.fiskalTxt, "");
    EXPECT_EQ(t.fiskalTxt2, "");

    // A deposit's copy is its copy report, on either printer.
    nav->popToRootViewController(false);
    t.zapisVklad("30", "");
    const std::string id = scalar("select max(id) from vety");
    auto vklad = row(id);
    vklad["PARDOK"] = "7/0002";
    preview = open(vklad);
    print(*preview);
    tap("áno");
    EXPECT_EQ(t.fiskalCommand, Command::tlacNefiskalnyDoklad);
    EXPECT_EQ(t.fiskalTxt, rendered("fiskal_vklad_kopia", id));
    EXPECT_EQ(t.fiskalTxt2, t.fiskalTxt);

    // Gifts are shown but not printed.
    nav->popToRootViewController(false);
    preview = open({{"ID", "1001"}, {"POHYB", "42"}});
    EXPECT_EQ(t.fiskalCommand, Command::nerobNic);
    print(*preview);
    EXPECT_EQ(nav->topViewController(), preview);
    EXPECT_FALSE(alert());
}

TEST_F(PreviewTest, TheActionSheetOffersWhatTheDocumentAllows) {
    struct Case {
        RowDictionary doklad;
        std::vector<std::string> rows;
    };
    const std::string fix = "ekasa fix document", nic = "nerob nic", storno = "storno celého dokladu";
    const std::vector<Case> cases = {
        {{{"POHYB", "10"}, {"PARDOK", "1/1"}}, {storno, "storno duplicity vo fiskali", fix, nic}},
        {{{"POHYB", "10"}, {"PARDOK", ""}}, {fix, nic}},
        {{{"POHYB", "20"}, {"CTL", "1"}}, {storno, "preberací protokol", "uhrada faktury v hotovosti", fix, nic}},
        {{{"POHYB", "20"}, {"CTL", "0"}}, {storno, "preberací protokol", fix, nic}},
        {{{"POHYB", "44"}}, {storno, fix, nic}},
        {{{"POHYB", "19"}}, {fix, nic}},
    };
    for (const auto& c : cases) {
        auto preview = open(c.doklad);
        akcia(*preview);
        EXPECT_EQ(alert()->title(), "akcia");
        EXPECT_EQ(alert()->preferredStyle(), platform::AlertController::Style::actionSheet);
        EXPECT_EQ(actions(), c.rows) << c.doklad.at("POHYB");
        tap(nic);
        nav->popViewController(false);
    }
}

TEST_F(PreviewTest, EachActionWritesWhatItsPostingWrites) {
    auto& t = trekora();
    const int before = count("1=1");

    // Refused at the confirmation: nothing.
    auto preview = open(row("1006"));
    akcia(*preview);
    tap("storno celého dokladu");
    EXPECT_EQ(alert()->title(), "storno celého dokladu");
    tap("nie, nerob nič");
    EXPECT_EQ(count("1=1"), before);

    akcia(*preview);
    tap("storno celého dokladu");
    tap("áno, stornovať celý");
    EXPECT_EQ(alert()->title(), "ok!");
    EXPECT_EQ(alert()->message(), "cdok=" + scalar("select max(cdok) from vety"));
    EXPECT_FALSE(errorSound());
    EXPECT_EQ(count("parcdok = 1006 and pohyb = 30 and sumdokz < 0"), 1);
    tap("ok");

    nav->popViewController(false);
    preview = open(row("1004"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt) tap("ok");
        akcia(*preview);
        tap("preberací protokol");
        tap("áno, vytvor preberací protokol");
    }
    EXPECT_EQ(alert()->title(), "chyba!");
    EXPECT_TRUE(errorSound());
    tap("ok");
    EXPECT_EQ(count("parcdok = 1004 and pohyb = 16"), 1);
    akcia(*preview);
    tap("uhrada faktury v hotovosti");
    EXPECT_EQ(alert()->title(), "úhrada faktúry v hotovosti");
    tap("áno, vytvor úhradu faktúry v hotovosti");
    EXPECT_EQ(alert()->title(), "ok!");
    tap("ok");
    EXPECT_EQ(scalar("select sumdokz from vety where parcdok = 1004 and pohyb = 6"),
              scalar("select sumdokz from vety where id = 1004"));

    // The fiscal duplicate is cancelled only behind the service code.
    nav->popViewController(false);
    preview = open(row("1002"));
    akcia(*preview);
    tap("storno duplicity vo fiskali");
    EXPECT_EQ(alert()->title(), "pin");
    alert()->textFields().at(0)->type("1");
    tap("ok");
    EXPECT_EQ(alert()->title(), "chybny pin!");
    tap("ok");
    EXPECT_EQ(count("info like 'STORNO DUPLICITY%'"), 0);
    akcia(*preview);
    tap("storno duplicity vo fiskali");
    alert()->textFields().at(0)->type(std::to_string(t.systemPin));
    tap("ok");
    EXPECT_EQ(alert()->title(), "storno duplicity vo fiškáli");
    tap("áno, stornovať duplicitu");
    EXPECT_EQ(alert()->title(), "ok!");
    tap("ok");
    EXPECT_EQ(count("info = 'STORNO DUPLICITY 1002' and sumdokz < 0"), 1);

    // The fix goes to the print screen without a text.
    const std::string second = t.fiskalTxt2;
    akcia(*preview);
    tap("ekasa fix document");
    EXPECT_EQ(nav->topViewController()->storyboardIdentifier(), "Tlac");
    EXPECT_EQ(t.fiskalCommand, Command::fixDoklad);
    EXPECT_TRUE(t.fiskalCommandParameters.empty());
    EXPECT_EQ(t.fiskalTxt, "");
    EXPECT_EQ(t.fiskalTxt2, second);
}

TEST_F(PreviewTest, ResultAlertSplitsAtTheSeparator) {
    auto preview = open(row("1001"));
    preview->zobrazVysledok("chyba! ,,nemôžem otvoriť databázu");
    EXPECT_EQ(alert()->title(), "chyba! ");
    EXPECT_EQ(alert()->message(), "nemôžem otvoriť databázu");
    EXPECT_TRUE(errorSound());
    tap("ok");
    preview->zobrazVysledok("bez oddeľovača");
    EXPECT_EQ(alert()->title(), "bez oddeľovača");
    EXPECT_EQ(alert()->message(), "");
}
