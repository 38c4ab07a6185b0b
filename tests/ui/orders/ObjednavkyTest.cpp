// Received orders: the list with its fulfilment, an order's lines turned into
// a cash sale and a goods receipt, the deletion and the start of the import.
#include "OrdersFixture.h"

#include "app/TerminalRenderer.h"
#include "core/Colors.h"
#include "platform/Wifi.h"
#include "records/DatumSpotrebyItem.h"
#include "records/OdberatelItem.h"
#include "sync/SyncStoryboard.h"
#include "ui/orders/ObjednavkaPolozky.h"
#include "ui/orders/Objednavky.h"

namespace {

class ObjednavkyTest : public OrdersTest {
protected:
    void SetUp() override {
        OrdersTest::SetUp();
        SyncStoryboard::registerAll();
        OrdersStoryboard::registerAll();
        objednavky = open<Objednavky>("Objednavky");
        ASSERT_TRUE(objednavky);
    }
    int rowOf(const std::string& cdok) {
        for (std::size_t i = 0; i < objednavky->filteredData.size(); ++i)
            if (objednavky->filteredData[i].at("CDOK") == cdok) return static_cast<int>(i);
        return -1;
    }
    // The lines of an order and the document button of their action sheet.
    std::shared_ptr<ObjednavkaPolozky> lines(const std::string& cdok) {
        objednavky->tableView.lock()->tapRow({0, rowOf(cdok)});
        return topAs<ObjednavkaPolozky>();
    }
    void backToOrders() {
        while (!topAs<Objednavky>()) nav->popViewController(false);
    }
    std::vector<std::string> actions() {
        std::vector<std::string> out;
        for (const auto& a : alert()->actions()) out.push_back(a->title());
        return out;
    }
    std::shared_ptr<Objednavky> objednavky;
};

TEST_F(ObjednavkyTest, AnOrderTurnedIntoACashSaleReadsOneHundredPercent) {
    EXPECT_EQ(title(), "objednávky: 3 / 3");
    auto table = objednavky->tableView.lock();
    const int row = rowOf("24102");
    EXPECT_EQ(text(*table, row, "labelPercento"), "  0%");
    EXPECT_EQ(label(*table, row, "labelPercento")->textColor(), colorSystemRed());
    EXPECT_EQ(label(*table, row, "labelDatum")->textColor(), colorFromHex("#1167B2FF"));
    objednavky->searchBar.lock()->enterText("JEDNOTA");
    EXPECT_EQ(title(), "objednávky: 1 / 3");
    objednavky->searchBar.lock()->enterText("objednávka");  // the type's name, not shown
    EXPECT_EQ(objednavky->filteredData.size(), 3u);

    auto polozky = lines("24102");
    ASSERT_TRUE(polozky);
    EXPECT_EQ(polozky->doklad.at("CDOK"), "24102");
    EXPECT_EQ(title(), "položky: 4 / 4");
    auto lineTable = polozky->tableView.lock();
    EXPECT_EQ(text(*lineTable, 0, "labelRozdiel"), "4");
    EXPECT_EQ(label(*lineTable, 0, "labelRozdiel")->textColor(), colorSystemRed());
    polozky->searchBar.lock()->enterText("T00");
    EXPECT_EQ(title(), "polo: 3 / 4");

    // While filtered, the whole order goes to the document.
    polozky->akciaTapped();
    ASSERT_TRUE(alert());
    EXPECT_EQ(actions(), (std::vector<std::string>{"príjem", "hotovosť", "faktúra na hotovbosť", "faktúra", "nerob nič"}));
    tapAlert("hotovosť");
    auto editor = topAs<Polozky>();
    ASSERT_TRUE(editor);
    auto& trekora = sharedTrekora();
    EXPECT_EQ(trekora.selectedOdberatelItem->IDOSC, "10103-01");
    EXPECT_EQ(trekora.objcdok, "24102");
    ASSERT_EQ(editor->data.size(), 4u);
    // Each good shows what its batches hold, which is what the document writes.
    for (const auto& good : editor->data) {
        std::int64_t batches = 0;
        for (const auto& batch : trekora.getDatumSpotrebyArray(good->IDTOV)) batches += std::stoll("0" + batch->VYBRANE);
        EXPECT_EQ(std::to_string(batches), good->VYBRANE) << good->IDTOV;
    }
    confirm();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("zobraziť doklad?"));
    tapAlert("nie");
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || cast(m as integer), ' ') from (select idtov, sum(mnoz) m "
                     "from polo where vety_id = (select id from vety where objcdok = '24102') group by idtov)"),
              "T001:4 T003:10 T009:6 T012:12");

    backToOrders();
    EXPECT_EQ(title(), "objednávky: 3 / 3");
    EXPECT_EQ(objednavky->searchBar.lock()->text(), "");  // the whole list, no search shown
    table = objednavky->tableView.lock();
    EXPECT_EQ(text(*table, rowOf("24102"), "labelPercento"), "100%");
    EXPECT_EQ(label(*table, rowOf("24102"), "labelPercento")->textColor(), colorLabel());
}

TEST_F(ObjednavkyTest, TheTerminalShowsEachNumberOfALineOrStockRowUnderItsCaption) {
    ASSERT_TRUE(lines("24102"));
    const std::string order = TerminalRenderer().render(ScreenSnapshot::take(*window));
    EXPECT_NE(order.find("  1. \n     T001 Káva zrnková Espresso\n     objednané: 4.0\n     dodané:\n"
                         "     rozdiel: 4\n     sklad: 36.0\n"),
              std::string::npos)
        << order;
    toMainMenu();
    tapRow("inventúra");
    tapRow("tovar");
    const std::string stock = TerminalRenderer().render(ScreenSnapshot::take(*window));
    EXPECT_NE(stock.find("     T001\n     Káva zrnková Espresso\n     ks: 36.0\n     hmotnosť: 1.0\n     kg: 36.0\n"),
              std::string::npos)
        << stock;
}

TEST_F(ObjednavkyTest, AGoodsReceiptDeliversNothingAndAnEmptyDocumentIsRefused) {
    auto polozky = lines("24101");
    ASSERT_TRUE(polozky);
    polozky->akciaTapped();
    tapAlert("príjem");
    auto editor = topAs<Polozky>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(sharedTrekora().selectedTypDokladuItem->pohyb, 19);
    EXPECT_EQ(editor->data.size(), 3u);
    confirm();
    tapAlert("nie");
    const std::string id = "(select max(id) from vety)";
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || cast(mnoz as integer) || ':' || datumspotreby, ' ') from polo "
                     "where vety_id = " + id),
              "T001:6:1900-01-01 T002:24:1900-01-01 T006:30:1900-01-01");
    EXPECT_EQ(scalar("select cast(stav as integer) from sklad_sarza where idtov = 'T002' and datumspotreby = '1900-01-01'"),
              "24");
    // No prompt on this road: the document carries the stored reading.
    EXPECT_EQ(scalar("select km from vety where id = " + id), "184310");

    // The receipt brought the goods into the van; the customer has none yet.
    backToOrders();
    EXPECT_EQ(text(*objednavky->tableView.lock(), rowOf("24101"), "labelPercento"), "  0%");
    polozky = lines("24101");
    EXPECT_EQ(text(*polozky->tableView.lock(), 0, "labelRozdiel"), "6");
    polozky->akciaTapped();
    tapAlert("hotovosť");
    ASSERT_TRUE(topAs<Polozky>());
    EXPECT_EQ(sharedTrekora().getPolozkyArray().size(), 3u);
    confirm();
    tapAlert("nie");
    const std::string sale = scalar("select max(id) from vety");

    // Nothing is left to deliver: the document would have no lines.
    backToOrders();
    polozky = lines("24101");
    EXPECT_EQ(text(*polozky->tableView.lock(), 0, "labelRozdiel"), "0");
    EXPECT_EQ(label(*polozky->tableView.lock(), 0, "labelRozdiel")->textColor(), colorLabel());
    polozky->akciaTapped();
    tapAlert("hotovosť");
    ASSERT_TRUE(topAs<Polozky>());
    EXPECT_TRUE(sharedTrekora().getPolozkyArray().empty());
    const int documents = count("select count(*) from vety");
    EXPECT_EQ(sharedTrekora().zapisDoklad(), "chyba!,,doklad neobsahuje žiadne položky!");
    EXPECT_EQ(count("select count(*) from vety"), documents);

    // A cancelled sale has delivered nothing.
    EXPECT_EQ(sharedTrekora().stornoCelehoDokladu(sale, "10").rfind("ok!", 0), 0u);
    backToOrders();
    polozky = lines("24101");
    EXPECT_EQ(text(*polozky->tableView.lock(), 0, "labelRozdiel"), "6");
}

// An invoice written from an order and then another from the same parameters
// screen: the second is prefilled from what is still to deliver.
TEST_F(ObjednavkyTest, ASecondInvoiceOffersNothingDelivered) {
    auto polozky = lines("24101");
    ASSERT_TRUE(polozky);
    polozky->akciaTapped();
    tapAlert("faktúra");
    auto parametre = topAs<Parametre>();
    ASSERT_TRUE(parametre);
    parametre->pouzitTapped();
    ASSERT_TRUE(topAs<Polozky>());
    EXPECT_EQ(sharedTrekora().getPolozkyArray().size(), 3u);
    confirm();
    tapAlert("nie");
    ASSERT_EQ(top(), parametre);
    parametre->pouzitTapped();
    ASSERT_TRUE(topAs<Polozky>());
    EXPECT_TRUE(sharedTrekora().getPolozkyArray().empty());
}

TEST_F(ObjednavkyTest, ASaleShowsOnlyWhatItsBatchesHold) {
    auto& trekora = sharedTrekora();
    trekora.getObjednavkaPredajMenu(objednavky->data[0], {}, "10", "0");
    auto good = std::make_shared<TovarItem>();
    good->IDTOV = "T001";
    good->SKLAD_STAV = "10";  // the stock row says more than the batches hold
    trekora.tovarArray = {good};
    auto batch = std::make_shared<DatumSpotrebyItem>();
    batch->IDTOV = "T001";
    batch->SARZA_STAV = "3";
    trekora.datumSpotrebyArray = {batch};
    trekora.selectedObjData = std::vector<RowDictionary>{
        {{"IDTOV", "T001"}, {"ROZDIEL", "8"}, {"CENA", "1"}, {"ZLAVA1", "0"}, {"ZLAVA2", "0"}, {"ZLAVA3", "0"}}};
    trekora.naplnDokladZObjednavky();
    EXPECT_EQ(good->VYBRANE, "3");
    EXPECT_EQ(batch->VYBRANE, "3");

    // More delivered than ordered leaves nothing to deliver.
    batch->VYBRANE = "0";
    good->VYBRANE = "0";
    (*trekora.selectedObjData)[0]["ROZDIEL"] = "-2";
    trekora.naplnDokladZObjednavky();
    EXPECT_EQ(good->VYBRANE, "0");
    EXPECT_EQ(batch->VYBRANE, "0");
}

TEST_F(ObjednavkyTest, DeletionReadsTheListAtOnceAndSaysWhenItFailed) {
    settings().OBJ_PRE_DELETE = "N";
    objednavky->akciaTapped();
    EXPECT_EQ(actions(), (std::vector<std::string>{"importovať", "nerob nic"}));
    tapAlert("nerob nic");

    settings().OBJ_PRE_DELETE = "A";
    exec("create trigger keep before delete on obj_polo begin select raise(abort, 'kept'); end");
    objednavky->akciaTapped();
    tapAlert("vymazať");
    tapAlert("áno");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("chyba!"));
    tapAlert("ok");
    EXPECT_EQ(title(), "objednávky: 3 / 3");
    EXPECT_EQ(scalar("select count(*) from obj_vety"), "3");

    exec("drop trigger keep");
    objednavky->akciaTapped();
    tapAlert("vymazať");
    tapAlert("áno");
    EXPECT_FALSE(alert());
    EXPECT_EQ(title(), "objednávky: 0 / 0");
    EXPECT_FALSE(objednavky->tableView.lock()->tapRow({0, 0}));
    EXPECT_TRUE(topAs<Objednavky>());
}

TEST_F(ObjednavkyTest, ImportStartsExceptOnThePrinterHotspot) {
    settings().WIFI_PRINTER_SSID = "TLACIAREN";
    platform::Wifi::simulate("tlaciaren");
    objednavky->akciaTapped();
    tapAlert("importovať");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("aktualna wifi: tlaciaren"));
    EXPECT_TRUE(errorSoundPlayed());
    tapAlert("ok");
    EXPECT_TRUE(topAs<Objednavky>());

    platform::Wifi::simulate("kancelaria");
    objednavky->akciaTapped();
    tapAlert("importovať");
    EXPECT_EQ(top()->storyboardIdentifier(), "Spojenie");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("importovať objednávky na závoz?"));
    tapAlert("nie");
}

}  // namespace
