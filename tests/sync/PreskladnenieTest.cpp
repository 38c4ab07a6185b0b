#include "sync/OrdersFixture.h"

#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"

using orders_test::OrdersFixture;
using Fault = FakeOrderOffice::Fault;

namespace {

class Preskladnenie : public OrdersFixture {
protected:
    void SetUp() override {
        OrdersFixture::SetUp();
        t->nastaveniaItem->PRESKLADNENIEPC = "A";
        load(typ("prijem", "tovar"));
        choose("T003", "", 10);
    }
    static std::string line(const std::string& cdok, const std::string& idtov, const std::string& mnoz,
                            const std::string& datum) {
        return "{\"CDOK\":" + cdok + ",\"IDTOV\":\"" + idtov + "\",\"MNOZ\":\"" + mnoz + "\",\"DATUMSPOTREBY\":\"" +
               datum + "\",\"SKLAD\":\"x\"}";
    }
};

TEST_F(Preskladnenie, AGoodsReceiptPostsTheLinesOfTheOffice) {
    const double t005 = stock("T005");
    office->setTransferReply("[" + line("501", "T005", "7", "2027-03-15") + "," +
                             line("502", "T004", "3", "2027-01-31") + "]");
    EXPECT_EQ(post(), "ok! ,,cdok=1001");

    auto requests = office->requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& body = requests[0].body;
    EXPECT_EQ(body.rfind("request=[{", 0), 0u) << body;
    EXPECT_NE(body.find("\"IDTOV\":\"T003\""), std::string::npos);
    EXPECT_NE(body.find("\"CDOK\":\"1001\",\"STR\":\"12\""), std::string::npos);

    EXPECT_EQ(value("select info from vety where cdok = 1001"), "V:502");
    EXPECT_EQ(value("select group_concat(idtov || ':' || mnoz) from polo where cdok = 1001"), "T005:7.0,T004:3.0");
    EXPECT_EQ(stock("T005"), t005 + 7);
}

TEST_F(Preskladnenie, WhatTheOfficeSendsIsCheckedBeforeItReplacesAnything) {
    const std::pair<std::string, std::string> replies[] = {
        {"[" + line("501", "X999", "7", "2027-03-15") + "]", "chyba!,,neznámy tovar 'X999'"},
        {"[" + line("501", "T005", "7 ks", "2027-03-15") + "]", "chyba!,,neplatné množstvo '7 ks' tovaru T005"},
        {"[" + line("501", "T005", "7", "2027-02-30") + "]",
         "chyba!,,neplatný dátum spotreby '2027-02-30' tovaru T005"},
        {"[" + line("\"501\"", "T005", "7", "2027-03-15") + "]", "chyba!,,"},
        {"[]", "chyba!,,ziadne data z PC! (prazdne pole)"},
        {"not json", "chyba!,,"},
    };
    for (const auto& [reply, error] : replies) {
        office->setTransferReply(reply);
        const std::string result = post();
        EXPECT_EQ(result.rfind(error, 0), 0u) << reply << " -> " << result;
        ASSERT_EQ(t->tempPoloArray.size(), 1u);
        EXPECT_EQ(t->tempPoloArray[0]->IDTOV, "T003");
    }
    for (Fault fault : {Fault::status500, Fault::silence}) {
        office->fail("TRANSFER", fault);
        EXPECT_EQ(post().rfind("chyba!,,", 0), 0u);
    }
    EXPECT_EQ(count("vety"), 0);
}

TEST_F(Preskladnenie, AFailedNumberLookupStopsTheRequest) {
    storeQuery("cdok_get", "select x from no_such_table");
    EXPECT_EQ(post(), "chyba!,,no such table: no_such_table");
    EXPECT_TRUE(office->requests().empty());
    EXPECT_EQ(count("vety"), 0);
}

}  // namespace
