// Money to the cent: the recomputation and the posted document agree, and
// a header total is the sum of its lines as written.
#include "posting/PostingFixture.h"

#include "core/Amounts.h"
#include "records/KorunkaItem.h"
#include "ui/sales/Hotovo.h"

using posting_test::PostingFixture;

namespace {

class ExactMoney : public PostingFixture {
protected:
    // A good of its own with `batches` batches of ample stock.
    void addGood(const std::string& idtov, const std::string& cena, int dph, int batches = 1) {
        std::string sql = "insert into tovar (idtov, naztov1, mj, dph, cena, sklad_typ, korunka) values ('" + idtov +
                          "', 'Tovar', 'ks', " + std::to_string(dph) + ", " + cena + ", 10, 'NIE');" +
                          "insert into sklad (sklad_typ, idtov, stav) values (10, '" + idtov + "', 100000);";
        for (int i = 0; i < batches; ++i)
            sql += "insert into sklad_sarza (sklad_id, sklad_typ, idtov, datumspotreby, stav) values ((select id from "
                   "sklad where idtov = '" + idtov + "'), 10, '" + idtov + "', date('2030-01-01', '+" +
                   std::to_string(i) + " days'), 1000);";
        exec(sql);
    }
    // Sells `each` of every batch of the good and posts the sale.
    std::string sell(const std::string& idtov, long long each, bool reload = true) {
        if (reload) load(typ("predaj", "hotovosť"));
        long long sum = 0;
        for (const auto& b : t->getDatumSpotrebyArray(idtov)) {
            b->VYBRANE = std::to_string(each);
            sum += each;
        }
        for (const auto& g : t->tovarArray)
            if (g->IDTOV == idtov) g->VYBRANE = std::to_string(sum);
        return post();
    }
    std::string header(const std::string& column) { return value("select " + column + " from vety where cdok = 1001"); }
    std::string linesSum() { return value("select sum(cast(round(ccsum * 100) as integer)) from polo where cdok = 1001"); }
};

TEST_F(ExactMoney, HalfCentsRoundAwayFromZeroOnHeaderAndLines) {
    addGood("X1", "2.675", 0);
    ASSERT_EQ(sell("X1", 1), "ok! ,,cdok=1001");
    EXPECT_EQ(t->selectedSumdokz, "         2.68");
    EXPECT_EQ(header("sumdokz"), "2.68");
    EXPECT_EQ(value("select ccsum from polo where cdok = 1001"), "2.68");

    exec("delete from polo; delete from odbe; delete from vety; update sqlite_sequence set seq = 1000 where name = 'vety'");
    addGood("X2", "1.005", 0);
    ASSERT_EQ(sell("X2", 1), "ok! ,,cdok=1001");
    EXPECT_EQ(t->selectedSumdokz, "         1.01");
    EXPECT_EQ(header("sumdokz"), "1.01");
    EXPECT_EQ(value("select ccsum from polo where cdok = 1001"), "1.01");
}

TEST_F(ExactMoney, LargeAmountWithVatKeepsItsCents) {
    addGood("X3", "123456.78", 20);
    ASSERT_EQ(sell("X3", 7), "ok! ,,cdok=1001");
    EXPECT_EQ(t->selectedSumdokz, "   1037036.95");
    EXPECT_EQ(header("sumdokz"), "1037036.95");
    EXPECT_EQ(header("sumdph"), "172839.49");
    EXPECT_EQ(header("obccbd"), "864197.46");
    auto line = query("select ccmnoz, hdphcc, ccsum, cenac, cena00 from polo where cdok = 1001");
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0]["ccmnoz"], "864197.46");
    EXPECT_EQ(line[0]["hdphcc"], "172839.49");
    EXPECT_EQ(line[0]["ccsum"], "1037036.95");
    EXPECT_EQ(line[0]["cenac"], "123456.78");
    EXPECT_EQ(line[0]["cena00"], "148148.14");
}

TEST_F(ExactMoney, ThreeHundredLinesLoseNothing) {
    addGood("X4", "1234.57", 0, 300);
    ASSERT_EQ(sell("X4", 1), "ok! ,,cdok=1001");
    EXPECT_EQ(value("select count(*) from polo where cdok = 1001"), "300");
    EXPECT_EQ(t->selectedSumdokz, "    370371.00");
    EXPECT_EQ(header("sumdokz"), "370371.0");
    EXPECT_EQ(linesSum(), "37037100");

    // The recomputation adds line by line to the same cent.
    std::vector<std::shared_ptr<TovarItem>> items;
    for (int i = 0; i < 300; ++i) {
        auto g = std::make_shared<TovarItem>();
        g->CENA = "1234.57";
        g->VYBRANE = "1";
        items.push_back(g);
    }
    t->prepocitajDoklad(items);
    EXPECT_EQ(t->selectedSumdokz, "    370371.00");
}

TEST_F(ExactMoney, DiscountsAndSplitBatchesAgreeWithTheDatabase) {
    // Three discounts with halves at every step, and a quantity spread over
    // two batches: the header is the sum of the lines as written.
    addGood("X5", "3.335", 19, 2);
    exec("update odberatel set zlava = 2.5 where idosc = '10102-01'");
    load(typ("predaj", "hotovosť"));
    for (const auto& g : t->tovarArray)
        if (g->IDTOV == "X5") {
            g->ZLAVA1 = "10";
            g->ZLAVA2 = "7.5";
        }
    ASSERT_EQ(sell("X5", 3, false).rfind("ok!", 0), 0u);
    auto lines = query("select cenac, ccsum from polo where cdok = 1001");
    ASSERT_EQ(lines.size(), 2u);
    const Amounts::Line each = Amounts::computeLine("3.335", "10", "7.5", "2.5", "19", "3");
    EXPECT_EQ(Amounts::unitsOf(lines[0]["cenac"], 3), each.cena3);
    EXPECT_EQ(Amounts::unitsOf(lines[0]["ccsum"], 2), each.total);
    EXPECT_EQ(Amounts::unitsOf(header("sumdokz"), 2), 2 * each.total);
}

TEST_F(ExactMoney, ShownTotalIsTheWrittenHeaderForSplitBatches) {
    // The total the editor, the confirmation and the cash limit see is the
    // header as written: goods of two or more batches split several ways on
    // two price lists, a receipt taking everything back, and a receipt of the
    // largest quantity a batch takes.
    t->nastaveniaItem->PRESKLADNENIEPC = "N";
    t->selectedKorunkaItem = std::make_shared<KorunkaItem>();
    auto fresh = [this] {
        exec("delete from polo; delete from odbe; delete from vety; "
             "update sqlite_sequence set seq = 1000 where name = 'vety'");
    };
    auto agrees = [this](const std::string& what) {
        ASSERT_EQ(post(), "ok! ,,cdok=1001") << what;
        EXPECT_EQ(Amounts::unitsOf(t->selectedSumdokz, 2), Amounts::unitsOf(header("sumdokz"), 2)) << what;
        for (const auto& g : t->getPolozkyArray())
            EXPECT_EQ(Amounts::formatUnits(Amounts::unitsOf(g->CCSUM, 2), 2, 0),
                      value("select printf('%.2f', sum(ccsum)) from polo where cdok = 1001 and idtov = ?", {g->IDTOV}))
                << what << " " << g->IDTOV;
    };
    const auto goods = query("select idtov from sklad_sarza where sklad_typ = 10 group by idtov having count(*) > 1");
    ASSERT_GE(goods.size(), 2u);
    for (const char* idosc : {"10102-01", "10103-01"}) {
        customer(idosc);
        for (const auto& [first, second] : std::vector<std::pair<int, int>>{{1, 1}, {2, 3}, {1, 2}, {3, 4}, {7, 5}}) {
            fresh();
            load(typ("predaj", "hotovosť"));
            for (const auto& g : goods) {
                const auto batches = t->getDatumSpotrebyArray(g.at("idtov"));
                choose(g.at("idtov"), batches[0]->DATUMSPOTREBY, first);
                choose(g.at("idtov"), batches[1]->DATUMSPOTREBY, second);
            }
            agrees(std::string(idosc) + " " + std::to_string(first) + "+" + std::to_string(second));
        }
    }

    // Taking everything back, T003 with stock but no batch, as a data update
    // may deliver it: it is written with the rest.
    fresh();
    exec("delete from sklad_sarza where sklad_typ = 10 and idtov = 'T003'");
    load(typ("prijem", "tovar"));
    t->odprijmovatVsetko();
    agrees("odpríjmovať všetko");
    EXPECT_EQ(stock("T003"), 0);

    fresh();
    load(typ("prijem", "tovar"));
    choose("T001", "", 2147483647);
    agrees("2147483647 x T001");
    const std::string written = Amounts::formatUnits(Amounts::unitsOf(header("sumdokz"), 2), 2, 10);
    EXPECT_NE(Hotovo::stranka().find("hodnota dokladu: " + written), std::string::npos) << Hotovo::stranka();
}

TEST_F(ExactMoney, TakingBackAGoodWithoutBatchMovesOnlyItsStock) {
    // T003 with 40 in stock and no batch: taking everything back empties the
    // stock and leaves no batch behind, least of all one below zero.
    exec("delete from sklad_sarza where sklad_typ = 10 and idtov = 'T003'");
    load(typ("prijem", "tovar"));
    t->odprijmovatVsetko();
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    EXPECT_EQ(stock("T003"), 0);
    EXPECT_EQ(value("select count(*) from sklad_sarza where idtov = 'T003'"), "0");
    EXPECT_EQ(value("select count(*) from sklad_sarza where stav < 0"), "0");

    // Received again with a date it gets its batch, and all of it goes back.
    load(typ("prijem", "tovar"));
    auto dated = std::make_shared<DatumSpotrebyItem>();
    dated->IDTOV = "T003";
    dated->DATUMSPOTREBY = "2029-01-31";
    t->datumSpotrebyArray.push_back(dated);
    choose("T003", "2029-01-31", 50);
    ASSERT_EQ(post(), "ok! ,,cdok=1002");
    EXPECT_EQ(batch("T003", "2029-01-31"), 50);
    EXPECT_EQ(stock("T003"), 50);
    load(typ("prijem", "tovar"));
    t->odprijmovatVsetko();
    ASSERT_EQ(post(), "ok! ,,cdok=1003");
    EXPECT_EQ(value("select sum(mnoz) from polo where cdok = 1003 and idtov = 'T003'"), "-50.0");
    EXPECT_EQ(stock("T003"), 0);
    EXPECT_EQ(value("select group_concat(stav) from sklad_sarza where idtov = 'T003'"), "0.0");
}

TEST_F(ExactMoney, CashLimitIsComparedToTheCent) {
    t->nastaveniaItem->MAXSUMAHOTOVOSTI = "12345678.90";
    t->selectedSumdokz = "  12345678.91";
    EXPECT_EQ(t->checkMaxSumaHotovosti(), "chyba! ,,prekročená_max_suma_hotovosti");
    t->selectedSumdokz = "  12345678.90";
    EXPECT_EQ(t->checkMaxSumaHotovosti(), "ok");
}

TEST_F(ExactMoney, CashDocumentsRefuseAmountsBeyondTheCentRange) {
    for (const char* suma : {"12345678901234567.89", "100000000.00", "1.005"}) {
        EXPECT_EQ(t->zapisVklad(suma, ""), "chyba!,,suma mimo povoleného rozsahu") << suma;
        EXPECT_EQ(t->zapisVyber(std::string("-") + suma, ""), "chyba!,,suma mimo povoleného rozsahu") << suma;
    }
    EXPECT_EQ(count("vety"), 0);
    ASSERT_EQ(t->zapisVklad("99999999.99", ""), "ok!,,cdok=1001");
    EXPECT_EQ(header("sumdokz"), "99999999.99");
}

}  // namespace
