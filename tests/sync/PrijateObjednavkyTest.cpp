#include "sync/OrdersFixture.h"

#include "records/DatumSpotrebyItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

using orders_test::OrdersFixture;

namespace {

class PrijateObjednavky : public OrdersFixture {};

TEST_F(PrijateObjednavky, TheShippedOrdersListWithDeliveredAndOutstandingQuantities) {
    // A sale written from order 24101 delivered 2 of its 6 T001.
    exec("insert into vety (id, cdok, pohyb, objcdok) values (3000, 3000, 10, 24101);"
         "insert into polo (vety_id, cdok, idtov, mnoz) values (3000, 3000, 'T001', 2);");
    auto orders = t->readObjednavky();
    ASSERT_EQ(orders.size(), 3u);
    EXPECT_EQ(orders[0]["CDOK"], "24103");
    EXPECT_EQ(orders[2]["NAZOV1"], "Potraviny Jednota");
    EXPECT_EQ(orders[2]["PLNENIE"], "0.0333");
    EXPECT_FALSE(orders[2]["SUMDOKZ"].empty());

    auto lines = t->readObjednavkaPolozky("24101");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["IDTOV"], "T001");
    EXPECT_EQ(lines[0]["DODANE"], "2.0");
    EXPECT_EQ(lines[0]["ROZDIEL"], "4");
    EXPECT_EQ(lines[0]["SKLAD"], value("select stav from sklad where sklad_typ = 10 and idtov = 'T001'"));
    EXPECT_EQ(lines[1].count("DODANE"), 0u);
    EXPECT_EQ(lines[1]["ROZDIEL"], "24");
    EXPECT_TRUE(t->readObjednavkaPolozky("99").empty());
}

TEST_F(PrijateObjednavky, ASaleFromAnOrderTakesItsCustomerPricesAndBatchesWithinStock) {
    auto orders = t->readObjednavky();
    t->getObjednavkaPredajMenu(orders[2], {}, "20", "1");
    EXPECT_EQ(t->selectedOdberatelItem->IDOSC, "10101-01");
    EXPECT_EQ(t->selectedTypDokladuItem->name, "FAKTURA_NA_HOTOVOST");
    EXPECT_EQ(t->objcdok, "24101");

    auto good = std::make_shared<TovarItem>();
    good->IDTOV = "T001";
    good->SKLAD_STAV = "6";
    t->tovarArray = {good};
    t->datumSpotrebyArray.clear();
    for (const char* s : {"4", "5", "3"}) {
        auto batch = std::make_shared<DatumSpotrebyItem>();
        batch->IDTOV = "T001";
        batch->SARZA_STAV = s;
        t->datumSpotrebyArray.push_back(batch);
    }
    t->selectedObjData = std::vector<RowDictionary>{
        {{"IDTOV", "T001"}, {"ROZDIEL", "10"}, {"CENA", "13.5"}, {"ZLAVA1", "2"}, {"ZLAVA2", "0"}, {"ZLAVA3", "1"}},
        {{"IDTOV", "T002"}, {"ROZDIEL", "3"}}};
    t->naplnDokladZObjednavky();
    EXPECT_EQ(good->VYBRANE, "6");
    EXPECT_EQ(good->CENA, "13.5");
    EXPECT_EQ(good->ZLAVA3, "1");
    EXPECT_EQ(t->datumSpotrebyArray[0]->VYBRANE, "4");
    EXPECT_EQ(t->datumSpotrebyArray[1]->VYBRANE, "2");
    EXPECT_EQ(t->datumSpotrebyArray[2]->VYBRANE, "");

    // A receipt takes the outstanding quantity as it is, on the undated batch
    // alone: what the sale left on the other batches is taken back.
    t->getObjednavkaPrijemMenu(orders[2], {{{"IDTOV", "T001"}, {"ROZDIEL", "8"}}});
    EXPECT_EQ(t->selectedTypDokladuItem->pohyb, 19);
    EXPECT_TRUE(t->selectedOdberatelItem->IDOSC.empty());
    t->datumSpotrebyArray[2]->DATUMSPOTREBY = "1900-01-01";
    t->naplnDokladZObjednavky();
    EXPECT_EQ(good->VYBRANE, "8");
    EXPECT_EQ(t->datumSpotrebyArray[2]->VYBRANE, "8");
    EXPECT_EQ(t->datumSpotrebyArray[1]->VYBRANE, "0");
    EXPECT_EQ(t->datumSpotrebyArray[0]->VYBRANE, "0");

    // Without a prepared order nothing is filled.
    t->selectedObj.reset();
    good->VYBRANE = "0";
    t->naplnDokladZObjednavky();
    EXPECT_EQ(good->VYBRANE, "0");
}

}  // namespace
