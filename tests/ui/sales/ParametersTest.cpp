// Documents written straight from the parameters screen, and the number
// dialog of its INTEGER and FLOAT parameters.
#include "SalesFixture.h"

#include "records/KorunkaItem.h"
#include "records/ParameterItem.h"
#include "ui/sales/Lookup.h"

TEST_F(SalesTest, PointsTransferRefusesBadCountsThenWritesAndReturnsToTheMenu) {
    document("kvet", "prevod bodov");
    auto parametre = topAs<Parametre>();
    ASSERT_TRUE(parametre);
    auto& points = *parametre->data[0];
    EXPECT_EQ(points.MAX, "365.0");

    parametre->pouzitTapped();  // 0 points
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("chyba!"));
    EXPECT_EQ(alert()->message(), std::optional<std::string>("žiadne body na prevod!"));
    tapAlert("ok");
    ASSERT_TRUE(topAs<Parametre>());

    parametre->tableView.lock()->tapRow({0, 0});
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), std::optional<std::string>("max: 365.0"));
    const std::string outOfRange = "číslo je mimo povolený rozsah", noNumber = "zadaný text nie je číslo",
                      fraction = "zadané číslo nie je celé";
    for (const auto& [refused, told] : {std::pair{"366", outOfRange}, {"-1", outOfRange}, {"12x", noNumber},
                                        {"abc", noNumber}, {"2,5", fraction}, {"100.5", fraction}}) {
        typeInAlert(refused);
        tapAlert("ok");
        ASSERT_TRUE(alert()) << refused;
        EXPECT_EQ(alert()->message(), std::optional<std::string>(told)) << refused;
        tapAlert("ok");
        EXPECT_EQ(points.VALUE, "0") << refused;
        parametre->tableView.lock()->tapRow({0, 0});
    }
    typeInAlert("365");
    tapAlert("ok");
    EXPECT_EQ(points.VALUE, "365");
    EXPECT_EQ(points.DISPLAYVALUE, "365");

    parametre->tableView.lock()->tapRow({0, 1});
    auto lookup = topAs<Lookup>();
    ASSERT_TRUE(lookup);
    ASSERT_FALSE(lookup->data.empty());
    lookup->tableView.lock()->tapRow({0, 0});
    ASSERT_TRUE(topAs<Parametre>());
    EXPECT_FALSE(parametre->data[1]->VALUE.empty());

    parametre->pouzitTapped();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("ok!"));
    EXPECT_EQ(scalar("select pohyb || ' ' || cdok from vety order by id desc limit 1"), "45 " + lastCdok());
    tapAlert("ok");
    EXPECT_TRUE(topMenu());
}

TEST_F(SalesTest, ActivityGrantsSamplesForASale) {
    document("kvet", "hotovosť");
    pick("T001", 1, "8", "");
    backToEditor();
    confirm();
    tapAlert("nie");
    const std::string sale = lastCdok();

    tapRow("výdaj vzoriek");
    auto parametre = topAs<Parametre>();
    ASSERT_TRUE(parametre);
    parametre->tableView.lock()->tapRow({0, 0});
    auto aktivity = topAs<Lookup>();
    ASSERT_TRUE(aktivity);
    int running = -1;
    for (std::size_t i = 0; i < aktivity->data.size(); ++i)
        if (aktivity->data[i]["NAZOV"] == "Vianočná káva") running = static_cast<int>(i);
    ASSERT_GE(running, 0);
    aktivity->tableView.lock()->tapRow({0, running});
    parametre->tableView.lock()->tapRow({0, 1});
    auto doklady = topAs<Lookup>();
    ASSERT_TRUE(doklady);
    ASSERT_FALSE(doklady->data.empty());
    EXPECT_EQ(doklady->data[0]["CDOK"], sale);
    doklady->tableView.lock()->tapRow({0, 0});

    parametre->pouzitTapped();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("ok! ")) << alert()->message().value_or("");
    EXPECT_EQ(scalar("select pohyb || ' ' || parcdok from vety order by id desc limit 1"), "60 " + sale);
    tapAlert("ok");
    EXPECT_TRUE(topMenu());
}

TEST(ParameterNumbers, DecimalCommaWholeNumbersAndBounds) {
    ParameterItem item;
    item.TYPE = "FLOAT";
    item.MIN = "0";
    item.MAX = "10";
    EXPECT_EQ(Parametre::hodnota(item, "1,5"), std::optional<std::string>("1.50"));
    EXPECT_EQ(Parametre::hodnota(item, " 10 "), std::optional<std::string>("10.00"));
    EXPECT_EQ(Parametre::hodnota(item, ""), std::optional<std::string>("0.00"));
    EXPECT_FALSE(Parametre::hodnota(item, "10.01"));
    EXPECT_FALSE(Parametre::hodnota(item, "1,5,0"));
    EXPECT_FALSE(Parametre::hodnota(item, "x"));
    item.TYPE = "INTEGER";
    item.MAX = "";  // no maximum recorded: only 0
    EXPECT_EQ(Parametre::hodnota(item, ""), std::optional<std::string>("0"));
    EXPECT_FALSE(Parametre::hodnota(item, "1"));
    item.MAX = "25";
    EXPECT_EQ(Parametre::hodnota(item, "25"), std::optional<std::string>("25"));
    EXPECT_EQ(Parametre::hodnota(item, "7.0"), std::optional<std::string>("7"));
    EXPECT_FALSE(Parametre::hodnota(item, "26"));
    EXPECT_FALSE(Parametre::hodnota(item, "7.5"));
}
