#include "sync/OrdersFixture.h"

#include "records/ObjVetyItem.h"
#include "sync/ObjednavkyBeh.h"

#include <filesystem>

using orders_test::OrdersFixture;
using Fault = FakeOrderOffice::Fault;

namespace {

class ObjednavkyExport : public OrdersFixture {
protected:
    void SetUp() override {
        OrdersFixture::SetUp();
        // Orders for delivery written on the handheld: two of this centre above
        // the office's number, one at it, one of another centre, one no order.
        exec("insert into vety (id, cdok, datum, cas, str, idu, ido, idosc, pohyb, info, sumdokz) values "
             "(2000, 2000, '2026-12-05', '10:00:00', 12, 1, 10101, '10101-01', 40, 'ZAVOZ:', 1),"
             "(2001, 2001, '2026-12-06', '08:30:00', 12, 1, 10101, '10101-01', 40, 'ZAVOZ:/ráno', 12.5),"
             "(2002, 2002, '2026-12-06', '09:00:00', 12, 1, 10103, '10103-01', 40, 'zavoz:', 20),"
             "(2003, 2003, '2026-12-06', '09:30:00', 13, 1, 10103, '10103-01', 40, 'ZAVOZ:', 3),"
             "(2004, 2004, '2026-12-06', '10:00:00', 12, 1, 10103, '10103-01', 40, 'objednávka', 4);"
             "insert into polo (vety_id, cdok, idtov, naztov1, mnoz, cena) values "
             "(2001, 2001, 'T001', 'Káva zrnková Espresso', 6, 14.9), (2001, 2001, 'T002', NULL, 2.5, 3.45);"
             "insert into odbe (vety_id, cdok, ido, idosc, nazov1) values (2001, 2001, 10101, '10101-01', 'Potraviny');");
        office->setLastCdok("12", 2000);
    }
};

TEST_F(ObjednavkyExport, TwoOrdersReachTheOfficeAsWrittenAndASecondRunSendsNothing) {
    std::vector<int> progress;
    auto summary = ObjednavkyBeh::exportuj(*t, [&](int k, int) { progress.push_back(k); });
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(summary.k, 2);
    EXPECT_EQ(summary.n, 2);
    EXPECT_EQ(progress, (std::vector<int>{1, 2}));

    auto requests = office->requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].body, "request={\"ACTION\":\"LASTCDOK\",\"STR\":\"12\"}");
    EXPECT_EQ(requests[0].body.size(), 40u);

    const std::string& body = requests[1].body;
    const std::string head =
        "request=\n{\n\"ACTION\":\"EXPORT\",\n\"DOKLADY\":[\n  {\n    \"CDOK\" : 2001,\n"
        "    \"DATUM\" : \"2026-12-06\",\n    \"CAS\" : \"08:30:00\",\n    \"STR\" : 12,\n    \"IDU\" : 1,\n"
        "    \"MENO\" : null,\n";
    EXPECT_EQ(body.substr(0, head.size()), head);
    EXPECT_NE(body.find("\n    \"SUMDOKZ\" : 12.5,\n    \"INFO\" : \"ZAVOZ:\\/ráno\",\n"), std::string::npos);
    EXPECT_NE(body.find("\n    \"IMPORTOVAT\" : \"A\",\n    \"POLOZKY\" : [\n      {\n        \"CDOK\" : 2001,\n"),
              std::string::npos);
    EXPECT_NE(body.find("\n        \"MNOZ\" : 6,\n"), std::string::npos);
    EXPECT_NE(body.find("\n        \"MNOZ\" : 2.5,\n"), std::string::npos);
    EXPECT_NE(body.find("\n        \"NAZTOV1\" : \"Káva zrnková Espresso\",\n"), std::string::npos);
    const std::string tail = "\n      }\n    ]\n  }\n]\n}";
    EXPECT_EQ(body.substr(body.size() - tail.size()), tail);

    // The office reads what was sent: the same order with its lines and customer.
    auto exported = office->exportedOrders();
    ASSERT_EQ(exported.size(), 2u);
    EXPECT_EQ(exported[0]["CDOK"], 2001);
    EXPECT_EQ(exported[0]["POLOZKY"].size(), 2u);
    EXPECT_TRUE(exported[0]["POLOZKY"][1]["NAZTOV1"].is_null());
    EXPECT_EQ(exported[0]["ODBERATELIA"][0]["NAZOV1"], "Potraviny");
    EXPECT_EQ(exported[1]["CDOK"], 2002);
    EXPECT_EQ(exported[1]["POLOZKY"], nlohmann::json::array());

    summary = ObjednavkyBeh::exportuj(*t, nullptr);
    EXPECT_EQ(summary.n, 0);
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(office->requests().size(), 4u);  // only the LASTCDOK
}

TEST_F(ObjednavkyExport, TheRunStopsAtTheFirstRefusalAndCountsOnlyAcceptedOrders) {
    office->fail("EXPORT", Fault::refused);
    auto summary = ObjednavkyBeh::exportuj(*t, nullptr);
    EXPECT_EQ(summary.k, 0);
    EXPECT_EQ(summary.n, 2);
    EXPECT_EQ(summary.chyba.rfind("chyba!,,server odmietol", 0), 0u) << summary.chyba;
    EXPECT_EQ(office->actions(), (std::vector<std::string>{"LASTCDOK", "EXPORT"}));

    for (Fault fault : {Fault::status500, Fault::malformedJson, Fault::silence}) {
        office = std::make_unique<FakeOrderOffice>();
        t->nastaveniaItem->OBJ_PRE_EXPORT_DIR = office->exportUrl();
        office->setLastCdok("12", 2000);
        office->fail("EXPORT", fault);
        summary = ObjednavkyBeh::exportuj(*t, nullptr);
        EXPECT_EQ(summary.k, 0);
        EXPECT_EQ(summary.chyba.rfind("chyba!,,", 0), 0u);
        EXPECT_EQ(office->actions().size(), 2u);
    }
}

TEST_F(ObjednavkyExport, AnOrderWrittenAfterTheDatabaseLostTheExportedOnesIsNumberedAboveThemAndSent) {
    ASSERT_EQ(ObjednavkyBeh::exportuj(*t, nullptr).k, 2);  // the office holds 2002 now

    // The working database is lost; the program starts again on the shipped one.
    const std::string database = t->dbURL;
    env_->restart();
    ASSERT_TRUE(std::filesystem::remove(database));
    t = &env_->trekora();
    t->idu = "1";
    t->str = "12";
    t->readNastaveniaItem();
    t->nastaveniaItem->OBJ_PRE_EXPORT = "A";
    t->nastaveniaItem->OBJ_PRE_EXPORT_DIR = office->exportUrl();
    customer("10102-01");
    load(typ("predaj", "objednávka na závoz"));
    choose("T001", "", 3);
    EXPECT_EQ(post(), "ok! ,,cdok=2003");

    const auto summary = ObjednavkyBeh::exportuj(*t, nullptr);
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(summary.k, 1);
    ASSERT_EQ(office->exportedOrders().size(), 3u);
    EXPECT_EQ(office->exportedOrders()[2]["CDOK"], 2003);

    // A number that cannot be recorded does not leave.
    load(typ("predaj", "objednávka na závoz"));
    choose("T001", "", 1);
    EXPECT_EQ(post(), "ok! ,,cdok=2004");
    const std::string record = env_->documentsPath("posledna_uzavierka.txt");
    ASSERT_TRUE(std::filesystem::remove(record));
    std::filesystem::create_directory(record);
    EXPECT_EQ(ObjednavkyBeh::exportuj(*t, nullptr).chyba.rfind("chyba!,,objednávka 2004 nebola odoslaná", 0), 0u);
    EXPECT_EQ(office->exportedOrders().size(), 3u);
}

TEST_F(ObjednavkyExport, AFailedLastNumberSendsNothingAndSaysWhy) {
    for (Fault fault : {Fault::status500, Fault::malformedJson, Fault::refused}) {
        office->fail("LASTCDOK", fault);
        auto summary = ObjednavkyBeh::exportuj(*t, nullptr);
        EXPECT_EQ(summary.n, 0);
        EXPECT_EQ(summary.chyba.rfind("chyba!,,", 0), 0u) << summary.chyba;
    }
    EXPECT_EQ(office->actions(), (std::vector<std::string>{"LASTCDOK", "LASTCDOK", "LASTCDOK"}));

    t->nastaveniaItem->OBJ_PRE_EXPORT_DIR = "";
    EXPECT_EQ(t->getLastCdok().rfind("chyba!,,", 0), 0u);
}

}  // namespace
