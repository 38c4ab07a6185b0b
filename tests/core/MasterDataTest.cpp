#include "support/TrekoraTestEnvironment.h"

#include "records/MenuItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

#include <gtest/gtest.h>

namespace {
class MasterDataTest : public TrekoraTest {};
} // namespace

TEST_F(MasterDataTest, CustomersAreReadInRouteOrderIntoTheSharedList) {
    Trekora& t = trekora();
    auto customers = t.readOdberatelArray();
    ASSERT_FALSE(customers.empty());
    EXPECT_EQ(customers.size(), t.odberatelArray.size());
    EXPECT_EQ(customers.front(), t.odberatelArray.front());
    EXPECT_EQ(scalar("select count(*) from trasa_odberatel"), std::to_string(customers.size()));
    EXPECT_EQ(customers.front()->TRASA_CISLO, "1");
    EXPECT_EQ(customers.front()->NAZOV1, "Potraviny Jednota");
    EXPECT_EQ(customers.front()->KORUNKA, "ANO");
    EXPECT_EQ(customers.front()->IDOSC, "10101-01");

    // The same rows as dictionaries.
    auto rows = t.readOdberatelAll();
    ASSERT_EQ(rows.size(), customers.size());
    EXPECT_EQ(rows.front().at("NAZOV1"), "Potraviny Jednota");

    // Picking one route keeps the list as it is.
    auto route2 = t.getOdberatelArray(2);
    ASSERT_FALSE(route2.empty());
    for (const auto& c : route2) EXPECT_EQ(c->TRASA_CISLO, "2");
    EXPECT_EQ(t.odberatelArray.size(), customers.size());
    EXPECT_TRUE(t.getOdberatelArray(0).empty());
}

TEST_F(MasterDataTest, ColumnsAreMatchedByUpperCaseNameAndAFailedReadEmptiesTheList) {
    execute("update sqliteadmin_queries set sql = 'select 7 trasa_cislo, ''a'' nazov1, ''b'' NAZOV1, ''c'' Nazov2' "
            "where name = 'lookup_odberatel_all';");
    Trekora& t = trekora();
    auto customers = t.readOdberatelArray();
    ASSERT_EQ(customers.size(), 1u);
    EXPECT_EQ(customers[0]->TRASA_CISLO, "7");
    EXPECT_EQ(customers[0]->NAZOV1, "a");  // the first of two equal names
    EXPECT_EQ(customers[0]->NAZOV2, "c");
    EXPECT_EQ(customers[0]->CENTR, "");
    EXPECT_EQ(t.readOdberatelAll()[0].at("NAZOV1"), "b");  // here the last one
    EXPECT_EQ(t.getOdberatelArray(7).size(), 1u);

    execute("update sqliteadmin_queries set sql = 'select * from no_such_table' where name = 'lookup_odberatel_all';");
    EXPECT_TRUE(t.readOdberatelArray().empty());
    EXPECT_TRUE(t.odberatelArray.empty());
    execute("delete from sqliteadmin_queries where name = 'lookup_odberatel_all';");
    EXPECT_TRUE(t.readOdberatelArray().empty());
}

TEST_F(MasterDataTest, RouteMenuHasOneItemPerRoute) {
    auto items = trekora().getTrasaMenuItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->caption, "Žilina – mesto");
    EXPECT_EQ(items[0]->image, "generic_box.png");
    EXPECT_EQ(items[0]->segue, "trasa_odberatel_segue");
    EXPECT_EQ(items[0]->trasa_cislo, 1);
    EXPECT_EQ(items[0]->popis, "pocet odberatelov: " + scalar("select count(*) from trasa_odberatel where trasa_cislo = 1"));
    EXPECT_EQ(items[2]->trasa_cislo, 3);
    EXPECT_EQ(items[0]->pohyb, 0);
    EXPECT_EQ(items[0]->select_query_name, "");
}

TEST_F(MasterDataTest, NullRouteColumnsAndAMissingQuery) {
    execute("update sqliteadmin_queries set sql = 'select null CISLO, ''x'' NAZOV, null POCET' where name = 'lookup_trasa';");
    auto items = trekora().getTrasaMenuItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->trasa_cislo, 0);
    EXPECT_EQ(items[0]->popis, "pocet odberatelov: ");
    execute("delete from sqliteadmin_queries where name = 'lookup_trasa';");
    EXPECT_TRUE(trekora().getTrasaMenuItems().empty());
}

TEST_F(MasterDataTest, ReasonMenuHasOneItemPerReason) {
    auto items = trekora().getDovodMenuItems();
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[0]->caption, "zatvorené");
    EXPECT_EQ(items[0]->image, "xmark.circle.fill");
    EXPECT_EQ(items[0]->segue, "zapis_dovod");
    EXPECT_EQ(items[0]->popis, "");
    EXPECT_EQ(items[6]->caption, "odber cez veľkosklad");
}

TEST_F(MasterDataTest, LineChecks) {
    Trekora& t = trekora();
    EXPECT_TRUE(t.checkMax("5", "5"));
    EXPECT_TRUE(t.checkMax("4.99", "5"));
    EXPECT_FALSE(t.checkMax("5.01", "5"));
    EXPECT_TRUE(t.checkMax("0", ""));
    EXPECT_FALSE(t.checkMax("0.1", ""));
    EXPECT_TRUE(t.checkMax("-3", "0"));
    EXPECT_TRUE(t.checkMax("5,9", "5"));  // read up to the comma
    EXPECT_FALSE(t.checkMax("5.9", "5"));

    t.setZlava3("7");  // empty list: nothing happens
    t.tovarArray = {std::make_shared<TovarItem>(), std::make_shared<TovarItem>()};
    t.setZlava3("2.50");
    for (const auto& tovar : t.tovarArray) EXPECT_EQ(tovar->ZLAVA3, "2.50");
}

TEST_F(MasterDataTest, StockListsByStockType) {
    Trekora& t = trekora();
    for (std::int64_t type : {10, 40, 50, 60}) {
        console().clear();
        t.getSkladData(type);
        bool ran = false;
        for (const auto& line : console().lines()) ran |= line.rfind("colcount: ", 0) == 0;
        EXPECT_TRUE(ran) << type;
    }
    EXPECT_FALSE(t.getSkladData(10).empty());
    console().clear();
    EXPECT_TRUE(t.getSkladData(30).empty());
    EXPECT_FALSE(console().contains("start getData(item:) ..."));
}
