// The stock of one stock type with its totals and search, and the inventory
// statement written from it.
#include "OrdersFixture.h"

#include "ui/orders/Sklad.h"

namespace {

class SkladTest : public OrdersTest {
protected:
    std::shared_ptr<Sklad> openSklad(const std::string& caption) {
        tapRow("inventúra");
        tapRow(caption);
        return topAs<Sklad>();
    }
    std::string footer(const Sklad& s, bool kg) { return (kg ? s.labelKg : s.labelKs).lock()->textOrEmpty(); }
};

TEST_F(SkladTest, StockOfTheTypeWithTotalsOfTheRowsShownAndSearch) {
    auto sklad = openSklad("tovar");
    ASSERT_TRUE(sklad);
    const std::string rows = scalar("select count(*) from sklad where sklad_typ = 10 and stav != 0");
    EXPECT_EQ(title(), "tovar: " + rows + " / " + rows);
    EXPECT_EQ(footer(*sklad, false), scalar("select cast(sum(stav) as integer) from sklad where sklad_typ = 10"));
    EXPECT_EQ(footer(*sklad, true),
              scalar("select printf('%6.2f', sum(round(s.stav * t.hmot, 3))) from sklad s join tovar t "
                     "on t.idtov = s.idtov where s.sklad_typ = 10 and s.stav != 0"));
    auto table = sklad->tableView.lock();
    EXPECT_EQ(text(*table, 0, "labelIdtov"), sklad->data[0].at("IDTOV"));

    // A code in capitals finds the good; the totals are those of that row.
    const auto& first = sklad->data[0];
    sklad->searchBar.lock()->enterText(first.at("IDTOV"));
    ASSERT_EQ(sklad->filteredData.size(), 1u);
    EXPECT_EQ(title(), "tovar: 1 / " + rows);
    EXPECT_EQ(sklad->sumKs, std::stoll(scalar("select cast(stav as integer) from sklad where sklad_typ = 10 and idtov = '" +
                                             first.at("IDTOV") + "'")));
    sklad->searchBar.lock()->enterText("nic take");
    EXPECT_TRUE(sklad->filteredData.empty());
    EXPECT_EQ(footer(*sklad, false), "0");
    EXPECT_EQ(footer(*sklad, true), "  0.00");
    EXPECT_EQ(title(), "tovar: 0 / " + rows);
    sklad->searchBar.lock()->enterText("");
    EXPECT_EQ(sklad->filteredData.size(), sklad->data.size());
}

TEST_F(SkladTest, TotalsKeepEveryPieceAndHundredthBeyondThirtyTwoBits) {
    auto sklad = open<Sklad>("Sklad");
    ASSERT_TRUE(sklad);
    sklad->data = {{{"IDTOV", "A"}, {"STAV", "3000000000"}, {"SUMHMOTKG", "16777216.00"}},
                   {{"IDTOV", "B"}, {"STAV", "1"}, {"SUMHMOTKG", "1.01"}},
                   {{"IDTOV", "C"}, {"STAV", "x"}, {"SUMHMOTKG", "5"}},
                   {{"IDTOV", "D"}, {"STAV", " 2abc"}, {"SUMHMOTKG", "nan"}},
                   {{"IDTOV", "E"}, {"STAV", "-2"}, {"SUMHMOTKG", "0x10"}}};
    sklad->searchBar.lock()->enterText("");
    EXPECT_EQ(footer(*sklad, false), "3000000001");  // "x" counts 0, " 2abc" 2, "-2" -2
    EXPECT_EQ(footer(*sklad, true), "16777222.01");
    sklad->searchBar.lock()->enterText("c");
    EXPECT_EQ(footer(*sklad, true), "  5.00");
}

TEST_F(SkladTest, InventoryStatementIsWrittenOnYesOnly) {
    auto sklad = openSklad("pos");
    ASSERT_TRUE(sklad);
    EXPECT_EQ(sklad->menuItem->sklad_typ, 50);
    const int before = count("select count(*) from vety");
    sklad->dokladTapped();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("vytvoriť doklad pre tlač?"));
    tapAlert("nie");
    EXPECT_EQ(count("select count(*) from vety"), before);

    sklad->dokladTapped();
    tapAlert("áno");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("ok!"));
    const std::string cdok = lastCdok();
    EXPECT_EQ(alert()->message(), std::optional<std::string>("cdok=" + cdok));
    EXPECT_FALSE(errorSoundPlayed());
    // One line per good of the stock shown, with its quantity.
    EXPECT_EQ(scalar("select count(distinct idtov) || ' ' || cast(sum(mnoz) as integer) from polo where cdok = " + cdok),
              std::to_string(sklad->data.size()) + " " + std::to_string(sklad->sumKs));
    tapAlert("ok");
    EXPECT_EQ(count("select count(*) from vety"), before + 1);
}

// The header holds the sums of its lines as written, in cents, and the VAT of
// its lines; it is no sale, so it adds nothing to the turnover.
TEST_F(SkladTest, InventoryHeaderIsTheSumOfItsLinesWithTheirVat) {
    for (const char* caption : {"tovar", "pos", "vzorky", "darčeky"}) {
        auto sklad = openSklad(caption);
        ASSERT_TRUE(sklad) << caption;
        sklad->dokladTapped();
        tapAlert("áno");
        ASSERT_TRUE(alert());
        EXPECT_EQ(alert()->message(), std::optional<std::string>("cdok=" + lastCdok())) << caption;
        tapAlert("ok");
        const std::string id = scalar("select max(id) from vety");
        const std::string lines = "from polo where vety_id = " + id;
        EXPECT_EQ(scalar("select cast(round(sumdokz * 100) as integer) || ' ' || cast(round(sumdph * 100) as integer) "
                         "|| ' ' || obccbd || ' ' || obccsd from vety where id = " + id),
                  scalar("select coalesce(sum(cast(round(ccsum * 100) as integer)), 0) || ' ' || "
                         "coalesce(sum(cast(round(hdphcc * 100) as integer)), 0) || ' 0.0 0.0' " + lines))
            << caption;
        toMainMenu();
    }
}

}  // namespace
