#include "SyncFixture.h"

#include "fakes/FakeOrderOffice.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressView.h"
#include "sync/ObjednavkyHttp.h"

#include <nlohmann/json.hpp>

namespace {

class SpojenieObjednavky : public SyncTest {
protected:
    void SetUp() override {
        SyncTest::SetUp();
        ObjednavkyHttp::setDeadline(1.5);
        desk = std::make_unique<FakeOrderOffice>(*office);
        settings().OBJ_PRE_EXPORT_DIR = desk->exportUrl();
        settings().OBJ_PRE_IMPORT_DIR = desk->importUrl();
        env().execute("delete from obj_vety; delete from obj_polo; delete from obj_odbe;");
    }
    void TearDown() override {
        desk.reset();
        ObjednavkyHttp::setDeadline(90);
        SyncTest::TearDown();
    }
    // The run's summary alert: its title and message.
    std::pair<std::string, std::string> summary() {
        auto up = [this] {
            auto a = alert();
            return a && (a->title().value_or("").rfind("hotovo", 0) == 0 || a->title() == "chyba!");
        };
        platform::MainRunLoop::runUntil(up, std::chrono::milliseconds(15000));
        if (!up()) return {"", ""};
        return {alert()->title().value_or(""), alert()->message().value_or("")};
    }
    static nlohmann::json order(long long cdok) {
        return {{"CDOK", cdok},
                {"STR", 12},
                {"IDOSC", "10101-01"},
                {"POLOZKY", {{{"CDOK", cdok}, {"IDTOV", "T001"}, {"MNOZ", 3}}}},
                {"ODBERATELIA", {{{"CDOK", cdok}, {"NAZOV1", "Potraviny Jednota"}}}}};
    }
    std::unique_ptr<FakeOrderOffice> desk;
};

TEST_F(SpojenieObjednavky, ImportFromTheConnectionScreen) {
    desk->prepare(order(8001));
    desk->prepare(order(8002));
    auto screen = open("spojenie_import_segue");
    tapAlert("áno");
    auto [title, message] = summary();
    EXPECT_EQ(title.rfind("hotovo, čas: ", 0), 0u) << title;
    EXPECT_EQ(message, "importovaých 2 z 2");
    EXPECT_EQ(screen->labelInfo.lock()->text(), "import 2/2");
    EXPECT_FLOAT_EQ(screen->progressView.lock()->progress(), 1.0f);
    EXPECT_EQ(env().scalar("select count(*) from obj_polo where cdok in (8001, 8002)"), "2");
    EXPECT_EQ(desk->delivered(), (std::set<std::string>{"8001", "8002"}));
    tapAlert("ok");
    EXPECT_EQ(nav->topViewController(), root);
}

TEST_F(SpojenieObjednavky, ImportSummaryCountsAnOrderStoredButNotConfirmed) {
    desk->prepare(order(8001));
    desk->fail("UPDATE", FakeOrderOffice::Fault::refused);
    open("spojenie_import_segue");
    tapAlert("áno");
    auto [title, message] = summary();
    EXPECT_EQ(title, "chyba!");
    EXPECT_EQ(message.rfind("importovaých 1 z 1\nnepotvrdené kanceláriou: 1\n"
                            "8001: uložená, nepotvrdená kanceláriou: server odmietol požiadavku (RESULT CHYBA)\nčas: ",
                            0),
              0u)
        << message;
}

TEST_F(SpojenieObjednavky, ExportFromTheConnectionScreenAndAFailureShown) {
    env().execute(
        "insert into vety (cdok, str, idu, pohyb, info) values (9001, 12, 1, 40, 'ZAVOZ:');"
        "insert into polo (vety_id, cdok, idtov, mnoz) values ((select id from vety where cdok = 9001), 9001, 'T001', 2);");
    desk->setLastCdok("12", 9000);
    open("spojenie_export_segue");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "exportovať objednávky na závoz?");
    tapAlert("áno");
    auto done = summary();
    EXPECT_EQ(done.second, "exportovaných 1 z 1");
    ASSERT_EQ(desk->exportedOrders().size(), 1u);
    tapAlert("ok");

    desk->fail("LIST", FakeOrderOffice::Fault::status500);
    open("spojenie_import_segue");
    tapAlert("áno");
    auto failed = summary();
    EXPECT_EQ(failed.first, "chyba!");
    EXPECT_EQ(failed.second.rfind("importovaých 0 z 0\n500 ", 0), 0u) << failed.second;
}

}  // namespace
