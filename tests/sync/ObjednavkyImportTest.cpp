#include "sync/OrdersFixture.h"

#include "platform/Url.h"
#include "sync/ObjednavkyBeh.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

using orders_test::OrdersFixture;
using Fault = FakeOrderOffice::Fault;

namespace {

class ObjednavkyImport : public OrdersFixture {
protected:
    ObjednavkyBeh::Summary run() { return ObjednavkyBeh::importuj(*t, nullptr); }
    int received() { return count("obj_vety") + count("obj_polo") + count("obj_odbe"); }
    void SetUp() override {
        OrdersFixture::SetUp();
        exec("delete from obj_vety; delete from obj_polo; delete from obj_odbe;");
    }
    // A run against an office that offers `offer` anew.
    ObjednavkyBeh::Summary again(const nlohmann::json& offer) {
        office = std::make_unique<FakeOrderOffice>();
        t->nastaveniaItem->OBJ_PRE_IMPORT_DIR = office->importUrl();
        office->prepare(offer);
        return run();
    }
    // A data update made obj_vety again: the headers of orders `a` and `b`
    // swapped their row ids.
    void recreateHeadersSwapping(long long a, long long b) {
        const std::string idA = value("select id from obj_vety where cdok = " + std::to_string(a));
        const std::string idB = value("select id from obj_vety where cdok = " + std::to_string(b));
        exec("create temp table kopia as select * from obj_vety; drop table obj_vety; " +
             value("select sql from sqlite_master where name = 'obj_vety'") + ";" +
             "update kopia set id = case cdok when " + std::to_string(a) + " then " + idB + " when " +
             std::to_string(b) + " then " + idA + " else id end; insert into obj_vety select * from kopia;"
             "drop table kopia;");
        ASSERT_EQ(value("select id from obj_vety where cdok = " + std::to_string(b)), idA);
    }
    // An order whose lines and customer record carry no number.
    static nlohmann::json bare(long long cdok, int lines) {
        auto o = order(cdok, lines);
        for (auto& line : o["POLOZKY"]) line.erase("CDOK");
        o["ODBERATELIA"][0].erase("CDOK");
        return o;
    }
    // The orders as the earlier version left them: rows sent without the
    // number kept none, tied to their header by row id in obj_riadky.
    void storedEarlier(const std::map<long long, int>& orders) {
        std::string numbers;
        for (const auto& [cdok, lines] : orders) {
            ASSERT_EQ(t->zapisObjednavku(bare(cdok, lines)), "ok!,,");
            numbers += (numbers.empty() ? "" : ",") + std::to_string(cdok);
        }
        exec("create table if not exists obj_riadky (tabulka TEXT NOT NULL, riadok INTEGER NOT NULL, "
             "vety_id INTEGER NOT NULL, PRIMARY KEY (tabulka, riadok));"
             "create index if not exists obj_riadky_vety on obj_riadky(vety_id);"
             "insert into obj_riadky select 'obj_polo', p.id, v.id from obj_polo p join obj_vety v using (cdok)"
             " where cdok in (" + numbers + ");"
             "insert into obj_riadky select 'obj_odbe', o.id, v.id from obj_odbe o join obj_vety v using (cdok)"
             " where cdok in (" + numbers + ");"
             "update obj_polo set cdok = null where cdok in (" + numbers + ");"
             "update obj_odbe set cdok = null where cdok in (" + numbers + ");");
    }
    // The orders shown, each with its customer and its number of lines, and
    // the links gone.
    void expectShown(const std::map<std::string, std::size_t>& lines) {
        auto shown = t->readObjednavky();
        ASSERT_EQ(shown.size(), lines.size());
        for (auto& order : shown) {
            EXPECT_EQ(order["NAZOV1"], "Potraviny Jednota") << order["CDOK"];
            const auto it = lines.find(order["CDOK"]);
            ASSERT_NE(it, lines.end()) << order["CDOK"];
            EXPECT_EQ(t->readObjednavkaPolozky(order["CDOK"]).size(), it->second) << order["CDOK"];
        }
        EXPECT_EQ(value("select count(*) from sqlite_master where name = 'obj_riadky'"), "0");
    }
};

TEST_F(ObjednavkyImport, ThreeOrdersAreStoredAndOnlyThenMarkedDelivered) {
    office->prepare(order(7001, 2));
    office->prepare(order(7002, 3));
    auto third = order(7003, 1);
    third["CDOK"] = "7003";  // a number sent as text
    office->prepare(third);
    auto other = order(7100);
    other["STR"] = 13;  // another centre's order is not listed
    office->prepare(other);
    std::vector<int> storedAtUpdate;
    office->onUpdate([&](const std::string& cdok) { storedAtUpdate.push_back(rows("obj_vety", std::stoll(cdok))); });

    std::vector<int> progress;
    auto summary = ObjednavkyBeh::importuj(*t, [&](int k, int) { progress.push_back(k); });
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(summary.k, 3);
    EXPECT_EQ(summary.n, 3);
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(storedAtUpdate, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"7001", "7002", "7003"}));
    EXPECT_EQ(office->actions(), (std::vector<std::string>{"LIST", "SELECT", "UPDATE", "SELECT", "UPDATE",
                                                           "SELECT", "UPDATE"}));
    EXPECT_EQ(rows("obj_polo", 7002), 3);
    EXPECT_EQ(rows("obj_odbe", 7003), 1);
    // Values are bound as sent: quotes and semicolons kept, null stored as NULL.
    EXPECT_EQ(value("select naztov1 from obj_polo where cdok = 7001 limit 1"), "Káva's \"best\"; ok");
    EXPECT_EQ(value("select count(*) from obj_vety where cdok = 7001 and pardok is null"), "1");
    EXPECT_EQ(value("select sumdokz from obj_vety where cdok = 7002"), "12.5");

    // The wire form: LIST with its own length header, SELECT with the number as a JSON string.
    auto requests = office->requests();
    EXPECT_EQ(requests[0].body, "request={\"ACTION\": \"LIST\", \"STR\": \"12\"}");
    EXPECT_EQ(requests[0].contentLength, "39");
    EXPECT_EQ(requests[5].body, "request={\"ACTION\": \"SELECT\", \"CDOK\": \"7003\"}");

    // Nothing new the second time.
    summary = run();
    EXPECT_EQ(summary.n, 0);
    EXPECT_EQ(summary.chyba, "");
}

TEST_F(ObjednavkyImport, DecimalOrderNumbersAreTheirTextAndAListElementWithoutOneSpoilsOnlyItself) {
    auto decimal = [](long long cdok) {
        auto o = order(cdok);
        o["CDOK"] = static_cast<double>(cdok);
        for (auto& line : o["POLOZKY"]) line["CDOK"] = static_cast<double>(cdok);
        o["ODBERATELIA"][0]["CDOK"] = static_cast<double>(cdok);
        return o;
    };
    EXPECT_EQ(t->zapisObjednavku(order(9310)), "ok!,,");
    office->prepare(decimal(9310));  // stored already, its UPDATE lost
    office->prepare(decimal(9311));
    auto none = order(9312);
    none["CDOK"] = nullptr;
    office->prepare(none);
    office->prepare(order(9313));

    auto summary = run();
    EXPECT_EQ(summary.k, 3);
    EXPECT_EQ(summary.n, 4);
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"9310", "9311", "9313"}));
    EXPECT_EQ(rows("obj_vety", 9310) + rows("obj_polo", 9310), 3);
    EXPECT_EQ(rows("obj_polo", 9311), 2);
    EXPECT_EQ(summary.riadky, (std::vector<std::string>{"neuložené: 1", "prvok 3 zoznamu: bez čísla CDOK"}));
    EXPECT_EQ(office->requests()[3].body, "request={\"ACTION\": \"SELECT\", \"CDOK\": \"9311\"}");
}

TEST_F(ObjednavkyImport, AStoredOrderIsNeverReplacedAndOnlyTheSameOfferIsConfirmedAgain) {
    office->prepare(order(7001, 2));
    office->fail("SELECT", Fault::twice);
    EXPECT_EQ(run().chyba, "");
    EXPECT_EQ(rows("obj_vety", 7001), 1);
    EXPECT_EQ(rows("obj_polo", 7001), 2);
    const std::string stored = value("select group_concat(id) from (select id from obj_polo order by id)");

    // Offered once more (its UPDATE lost at the office): kept as it is, confirmed.
    auto summary = again(order(7001, 2));
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(summary.k, 1);
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"7001"}));
    EXPECT_EQ(value("select group_concat(id) from (select id from obj_polo order by id)"), stored);

    // Another order under the stored number: neither takes the other's place.
    summary = again(order(7001, 3));
    EXPECT_EQ(summary.k, 0);
    EXPECT_TRUE(office->delivered().empty());
    EXPECT_EQ(summary.riadky, (std::vector<std::string>{"neuložené: 1",
                                                        "7001: už uložená s iným obsahom, nová neuložená"}));
    EXPECT_EQ(value("select group_concat(id) from (select id from obj_polo order by id)"), stored);
    EXPECT_EQ(rows("obj_vety", 7001), 1);
    EXPECT_EQ(rows("obj_odbe", 7001), 1);
}

TEST_F(ObjednavkyImport, AnOrderIsKnownAgainByTheRowsItsImportStoredInAnyOrderAndSpelling) {
    // Lines and customer rows without the order's number; the reply's second
    // copy has its lines reversed and a quantity as text.
    auto bare = order(7001, 3);
    for (auto& line : bare["POLOZKY"]) line.erase("CDOK");
    bare["ODBERATELIA"][0].erase("CDOK");
    auto respelled = bare;
    std::reverse(respelled["POLOZKY"].begin(), respelled["POLOZKY"].end());
    respelled["POLOZKY"][0]["MNOZ"] = "7";
    office->prepare(bare);
    office->prepare(respelled);
    office->fail("UPDATE", Fault::status500);
    auto summary = run();
    EXPECT_EQ(summary.k, 1);
    ASSERT_EQ(summary.riadky.size(), 3u);
    EXPECT_EQ(summary.riadky[1], "7001: prišla 2-krát, uložená raz");
    EXPECT_EQ(received(), 5);

    // Offered again on the next runs: the same order is confirmed, a shorter one is not.
    summary = again(respelled);
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"7001"}));
    auto shorter = bare;
    shorter["POLOZKY"].erase(1);
    summary = again(shorter);
    EXPECT_EQ(summary.riadky, (std::vector<std::string>{"neuložené: 1",
                                                        "7001: už uložená s iným obsahom, nová neuložená"}));
    EXPECT_EQ(received(), 5);
}

TEST_F(ObjednavkyImport, LinesAndCustomerWithoutTheNumberShowWithTheirOrderAndOnesOfAnotherOrderAreNotConfirmed) {
    auto bare = order(7001, 2);
    for (auto& line : bare["POLOZKY"]) line.erase("CDOK");
    bare["ODBERATELIA"][0]["CDOK"] = nullptr;
    office->prepare(bare);
    auto foreign = order(7002);
    foreign["POLOZKY"][1]["CDOK"] = 7003;
    office->prepare(foreign);
    auto summary = run();
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"7001"}));
    EXPECT_EQ(summary.riadky,
              (std::vector<std::string>{"neuložené: 1", "7002: položka 2 nesie číslo inej objednávky (7003)"}));
    auto shown = t->readObjednavky();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]["NAZOV1"], "Potraviny Jednota");
    EXPECT_EQ(t->readObjednavkaPolozky("7001").size(), 2u);
    EXPECT_EQ(received(), 4);
}

TEST_F(ObjednavkyImport, AnOrderOfferedAgainAfterADataUpdateRecreatedTheOrderTablesIsKnownByItsNumber) {
    office->prepare(order(9361, 2));
    office->prepare(order(9363, 3));
    office->fail("UPDATE", Fault::status500, "9363");
    ASSERT_EQ(run().k, 2);
    recreateHeadersSwapping(9361, 9363);
    auto summary = again(order(9363, 3));
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"9363"}));
    EXPECT_EQ(received(), 9);
}

TEST_F(ObjednavkyImport, OrdersAnEarlierVersionStoredWithBareRowsShowAndAreConfirmedAfterTheUpgrade) {
    storedEarlier({{9001, 1}, {9002, 2}, {9003, 3}, {9004, 1}});
    exec("delete from obj_vety where cdok = 9001");  // its rows stay without a number
    office->prepare(bare(9002, 2));                   // its UPDATE lost at the office
    auto summary = run();
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"9002"}));
    expectShown({{"9002", 2}, {"9003", 3}, {"9004", 1}});
    EXPECT_EQ(value("select count(*) from obj_polo where cdok is null"), "1");

    // A data update that made obj_vety again gave the headers other ids: the
    // links are not taken.
    storedEarlier({{9005, 2}, {9006, 3}});
    recreateHeadersSwapping(9005, 9006);
    again(bare(9002, 2));
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"9002"}));
    EXPECT_EQ(rows("obj_polo", 9005) + rows("obj_polo", 9006) + rows("obj_odbe", 9005), 0);
}

TEST_F(ObjednavkyImport, OrdersAnEarlierVersionStoredShowWithTheirLinesOnEveryRoadThatOpensItsDatabase) {
    // An import that stores nothing.
    storedEarlier({{9002, 2}, {9003, 3}, {9004, 1}});
    auto summary = run();
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(summary.n, 0);
    expectShown({{"9002", 2}, {"9003", 3}, {"9004", 1}});

    // A start, and a restore of a copy the earlier version made.
    storedEarlier({{9005, 2}});
    const std::string kopia = dir_ + "/kopia.db3";
    ASSERT_TRUE(std::filesystem::copy_file(t->dbURL, kopia));
    env_->restart();
    t = &env_->trekora();
    expectShown({{"9002", 2}, {"9003", 3}, {"9004", 1}, {"9005", 2}});
    std::string hlasenie;
    ASSERT_EQ(t->obnovDatabazu(kopia, &hlasenie), "");
    expectShown({{"9002", 2}, {"9003", 3}, {"9004", 1}, {"9005", 2}});

    // A data update whose script makes obj_polo again.
    storedEarlier({{9006, 1}});
    const std::string update = dir_ + "/export_akcen.db3";
    std::ofstream(update).close();
    exec("attach database '" + update + "' as akcen; create table akcen.sqliteadmin_queries (name TEXT, sql TEXT);"
         "insert into akcen.sqliteadmin_queries values ('update1', 'create temp table k as select * from obj_polo;"
         "drop table obj_polo;" + value("select sql from sqlite_master where name = 'obj_polo'") +
         ";insert into obj_polo select * from k;drop table k'); detach database akcen;");
    EXPECT_EQ(t->updateData("update1", platform::Url::fileUrl(update).absoluteString()), "");
    expectShown({{"9002", 2}, {"9003", 3}, {"9004", 1}, {"9005", 2}, {"9006", 1}});

    // Links that cannot be taken over stay, and the import and the update say so.
    exec("create table obj_riadky (riadok INTEGER)");
    t->nastaveniaItem->OBJ_PRE_IMPORT_DIR = office->importUrl();
    summary = run();
    EXPECT_EQ(summary.chyba.rfind("chyba!,,objednávky predchádzajúcej verzie sa nedajú previesť (", 0), 0u)
        << summary.chyba;
    EXPECT_EQ(t->updateData("update1", platform::Url::fileUrl(update).absoluteString())
                  .rfind("chyba! ,,objednávky predchádzajúcej verzie sa nedajú previesť (", 0),
              0u);
    EXPECT_EQ(value("select count(*) from sqlite_master where name = 'obj_riadky'"), "1");
}

TEST_F(ObjednavkyImport, EveryMisbehaviourEndsInAnErrorWithNothingStoredOrMarked) {
    struct Case {
        const char* action;
        Fault fault;
        const char* error;
    };
    const Case cases[] = {
        {"LIST", Fault::status500, "chyba!,,500 "},
        {"LIST", Fault::malformedJson, "chyba!,,odpoveď servera nie je JSON objekt"},
        {"LIST", Fault::refused, "chyba!,,server odmietol"},
        {"LIST", Fault::silence, "chyba!,,"},
        {"SELECT", Fault::status500, "chyba!,,500 "},
        {"SELECT", Fault::malformedJson, "chyba!,,odpoveď servera nie je JSON objekt"},
        {"SELECT", Fault::refused, "chyba!,,server odmietol"},
        {"SELECT", Fault::silence, "chyba!,,"},
        {"SELECT", Fault::otherOrder, "chyba!,,server poslal inú objednávku (7002) namiesto 7001"},
        {"SELECT", Fault::noOrders, "chyba!,,odpoveď servera bez objednávky 7001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " " + std::to_string(static_cast<int>(c.fault)));
        office = std::make_unique<FakeOrderOffice>();
        t->nastaveniaItem->OBJ_PRE_IMPORT_DIR = office->importUrl();
        office->prepare(order(7001));
        office->fail(c.action, c.fault);
        auto summary = run();
        EXPECT_EQ(summary.chyba.rfind(c.error, 0), 0u) << summary.chyba;
        if (c.fault == Fault::status500) {
            EXPECT_NE(summary.chyba.find("(" + office->importUrl() + ")"), std::string::npos) << summary.chyba;
        }
        EXPECT_EQ(summary.k, 0);
        EXPECT_EQ(received(), 0);
        EXPECT_TRUE(office->delivered().empty());
        if (std::string(c.action) == "LIST") {
            EXPECT_TRUE(t->cislaObjednavokNaImport.empty());
        }
    }

    // A failed UPDATE leaves the order stored, counted and unconfirmed; the
    // next import brings it again and confirms it.
    office = std::make_unique<FakeOrderOffice>();
    t->nastaveniaItem->OBJ_PRE_IMPORT_DIR = office->importUrl();
    office->prepare(order(7001));
    office->fail("UPDATE", Fault::status500);
    auto summary = run();
    EXPECT_EQ(summary.chyba.rfind("chyba!,,500 ", 0), 0u);
    EXPECT_EQ(summary.k, 1);
    ASSERT_EQ(summary.riadky.size(), 2u);
    EXPECT_EQ(summary.riadky[0], "nepotvrdené kanceláriou: 1");
    EXPECT_EQ(summary.riadky[1].rfind("7001: uložená, nepotvrdená kanceláriou: 500 ", 0), 0u);
    EXPECT_EQ(rows("obj_vety", 7001), 1);
}

TEST_F(ObjednavkyImport, AnOrderThatCannotBeStoredIsLeftOutAndTheOrdersAfterItGoOn) {
    exec("insert into obj_vety (id, cdok) values (900000, 1)");
    office->prepare(order(7001));
    auto column = order(7002);
    column["ZLAVA9"] = 1;  // a column the handheld lacks
    office->prepare(column);
    auto clash = order(7003);
    clash["ID"] = 900000;
    office->prepare(clash);
    auto noCustomer = order(7004);
    noCustomer.erase("ODBERATELIA");
    office->prepare(noCustomer);
    office->prepare(order(7005));
    office->fail("UPDATE", Fault::refused, "7005");
    office->prepare(order(7006));

    auto summary = run();
    EXPECT_EQ(summary.k, 3);
    EXPECT_EQ(summary.n, 6);
    EXPECT_EQ(summary.chyba.rfind("chyba!,,kľúč \"ZLAVA9\"", 0), 0u) << summary.chyba;
    for (long long cdok : {7001, 7005, 7006}) EXPECT_EQ(rows("obj_polo", cdok), 2) << cdok;
    for (long long cdok : {7002, 7003, 7004}) EXPECT_EQ(rows("obj_vety", cdok) + rows("obj_polo", cdok), 0) << cdok;
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"7001", "7006"}));
    const auto actions = office->actions();
    EXPECT_EQ(std::count(actions.begin(), actions.end(), "UPDATE"), 3);  // none for an order not stored
    ASSERT_EQ(summary.riadky.size(), 6u);
    EXPECT_EQ(summary.riadky[0], "neuložené: 3");
    EXPECT_EQ(summary.riadky[1], "nepotvrdené kanceláriou: 1");
    EXPECT_EQ(summary.riadky[2].rfind("7002: kľúč \"ZLAVA9\"", 0), 0u);
    EXPECT_EQ(summary.riadky[3].rfind("7003: UNIQUE", 0), 0u) << summary.riadky[3];
    EXPECT_EQ(summary.riadky[4], "7004: objednávka bez zoznamu ODBERATELIA");
    EXPECT_EQ(summary.riadky[5].rfind("7005: uložená, nepotvrdená kanceláriou: server odmietol", 0), 0u);
}

TEST_F(ObjednavkyImport, AnOrderNumberTwiceInOneReplyIsStoredOnceAtMostAndConfirmedOnlyAsStored) {
    // Two different orders under one number: neither takes the other's place.
    office->prepare(order(7001, 2));
    office->prepare(order(7001, 3));
    office->prepare(order(7002));
    auto summary = run();
    EXPECT_EQ(summary.k, 1);
    EXPECT_EQ(summary.n, 2);
    EXPECT_EQ(rows("obj_vety", 7001) + rows("obj_polo", 7001), 0);
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"7002"}));
    EXPECT_EQ(summary.riadky, (std::vector<std::string>{"neuložené: 1",
                                                        "7001: prišla 2-krát s rôznym obsahom, neuložená"}));

    // The same order twice: stored once, confirmed, and said.
    office = std::make_unique<FakeOrderOffice>();
    t->nastaveniaItem->OBJ_PRE_IMPORT_DIR = office->importUrl();
    office->prepare(order(7003));
    office->fail("SELECT", Fault::twice);
    summary = run();
    EXPECT_EQ(summary.chyba, "");
    EXPECT_EQ(summary.k, 1);
    EXPECT_EQ(rows("obj_vety", 7003), 1);
    EXPECT_EQ(rows("obj_polo", 7003), 2);
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"7003"}));
    EXPECT_EQ(summary.riadky, (std::vector<std::string>{"7003: prišla 2-krát, uložená raz"}));
}

TEST_F(ObjednavkyImport, ATextHoldingAZeroCharacterIsNeverStoredCut) {
    auto zero = order(7001);
    zero["POLOZKY"][1]["NAZTOV1"] = std::string("Káva\0 zrnková", 15);
    office->prepare(zero);
    office->prepare(order(7002));
    auto summary = run();
    EXPECT_EQ(summary.k, 1);
    EXPECT_EQ(rows("obj_vety", 7001) + rows("obj_polo", 7001) + rows("obj_odbe", 7001), 0);
    EXPECT_EQ(office->delivered(), (std::set<std::string>{"7002"}));
    EXPECT_EQ(summary.riadky, (std::vector<std::string>{"neuložené: 1",
                                                        "7001: hodnota kľúča NAZTOV1 obsahuje znak U+0000"}));
}

TEST_F(ObjednavkyImport, KeysThatAreNoColumnsStoreNothingAndLeaveEveryTable) {
    const std::string before = value("select group_concat(name) from sqlite_master");
    const int documents = count("vety");
    auto hostile = order(7001);
    hostile["x) values(1); drop table vety; --"] = 1;
    office->prepare(hostile);
    auto summary = run();
    EXPECT_EQ(summary.chyba.rfind("chyba!,,kľúč \"x) values(1); drop table vety; --\" nie je stĺpec", 0), 0u)
        << summary.chyba;
    EXPECT_EQ(value("select group_concat(name) from sqlite_master"), before);
    EXPECT_EQ(count("vety"), documents);
    EXPECT_EQ(received(), 0);
    EXPECT_TRUE(office->delivered().empty());

    // The same in a line, and a value that is no plain value: the whole order goes.
    auto line = order(7002);
    line["POLOZKY"][1]["MNOZ\" real); --"] = 1;
    EXPECT_EQ(t->zapisObjednavku(line).rfind("chyba!,,", 0), 0u);
    auto nested = order(7003);
    nested["INFO"] = nlohmann::json::array({1});
    EXPECT_EQ(t->zapisObjednavku(nested).rfind("chyba!,,", 0), 0u);
    auto noLines = order(7004);
    noLines.erase("POLOZKY");
    EXPECT_EQ(t->zapisObjednavku(noLines).rfind("chyba!,,", 0), 0u);
    EXPECT_EQ(received(), 0);

    // Keys match columns whatever their case; true and 12.0 are stored as 1 and 12.
    auto lower = order(7005, 1);
    lower["info"] = lower["INFO"];
    lower.erase("INFO");
    lower["CTL"] = true;
    lower["POLOZKY"][0]["MNOZ"] = 12.0;
    EXPECT_EQ(t->zapisObjednavku(lower), "ok!,,");
    EXPECT_EQ(value("select ctl || '/' || info from obj_vety where cdok = 7005"), "1/ZAVOZ:");
    EXPECT_EQ(value("select typeof(mnoz) || mnoz from obj_polo where cdok = 7005"), "real12.0");
}

TEST_F(ObjednavkyImport, ACentreCodeWithAQuoteCannotBreakTheBody) {
    t->str = "1\"2";
    office->setLastCdok("1\"2", 5);
    EXPECT_EQ(run().chyba, "");
    EXPECT_EQ(office->requests()[0].body, "request={\"ACTION\": \"LIST\", \"STR\": \"1\\\"2\"}");
    EXPECT_EQ(t->getLastCdok(), "ok,,5");
}

}  // namespace
