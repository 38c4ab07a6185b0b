// The list of written documents: count, search and colours after two new
// documents, and the preview of a row of a filtered list.
#include "OrdersFixture.h"

#include "core/Colors.h"

namespace {

class DokladyTest : public OrdersTest {
protected:
    void cashSale(const std::string& customer, const std::string& idtov) {
        document(customer, "hotovosť");
        pick(idtov, 0, "1", "");
        backToEditor();
        confirm();
        ASSERT_TRUE(alert());
        tapAlert("nie");
        toMainMenu();
    }
};

TEST_F(DokladyTest, NewDocumentsAreListedSearchedColouredAndOpenedInThePreview) {
    cashSale("kvet", "T001");
    cashSale("kvet", "T006");
    const std::string all = scalar("select count(*) from vety");
    const std::string newest = lastCdok();

    tapRow("doklady");
    auto doklady = topAs<Doklady>();
    ASSERT_TRUE(doklady);
    auto table = doklady->tableView.lock();
    EXPECT_EQ(title(), "doklady: " + all + " / " + all);
    EXPECT_EQ(text(*table, 0, "labelCdok"), newest);
    EXPECT_EQ(text(*table, 0, "labelPohyb"), "hotovosť ");
    // A cash sale not yet registered by the fiscal printer is yellow.
    EXPECT_EQ(label(*table, 0, "labelPohyb")->textColor(), colorSystemYellow());
    EXPECT_EQ(text(*table, 0, "labelObjCdok"), "obj: ");

    auto bar = doklady->searchBar.lock();
    bar->enterText("HOTOV");  // case does not matter
    const auto hotovost = doklady->filteredData.size();
    EXPECT_GE(hotovost, 2u);
    for (const auto& row : doklady->filteredData) EXPECT_EQ(row.value("NAZOV"), "hotovosť");
    EXPECT_EQ(title(), "doklady: " + std::to_string(hotovost) + " / " + all);
    bar->enterText("hotovost");  // diacritics do
    EXPECT_TRUE(doklady->filteredData.empty());
    bar->enterText("žilina");  // only the town: not searched
    EXPECT_TRUE(doklady->filteredData.empty());

    // The second shown row of a filtered list goes to the preview.
    bar->enterText("hotov");
    ASSERT_GE(doklady->filteredData.size(), 2u);
    const RowDictionary chosen = doklady->filteredData[1].dictionary();
    ASSERT_TRUE(table->tapRow({0, 1}));
    EXPECT_EQ(sharedTrekora().printingDoklad, chosen);
    EXPECT_EQ(top()->storyboardIdentifier(), "Preview");
    EXPECT_EQ(title(), "náhľad");

    // Back: the whole list again, with an empty search bar, and no
    // document chosen.
    nav->popViewController(false);
    EXPECT_EQ(bar->text(), "");
    EXPECT_EQ(title(), "doklady: " + all + " / " + all);
    EXPECT_TRUE(sharedTrekora().printingDoklad.empty());
}

TEST_F(DokladyTest, ColoursFollowTheFiscalNumberAndTheInvoiceCode) {
    auto doklady = open<Doklady>("Doklady");
    ASSERT_TRUE(doklady);
    QueryRows rows({"POHYB", "NAZOV", "CTL", "PARDOK"});
    for (const auto& row : std::vector<std::vector<std::string>>{{"10", "x", "0", ""},  {"10", "x", "0", "F-1"},
                                                                 {"9", "x", "0", ""},   {"20", "x", "1", ""},
                                                                 {"21", "x", "0", ""},  {"30", "x", "1", ""},
                                                                 {"010", "x", "0", ""}})
        rows.add(row);
    doklady->filteredData = rows;
    auto table = doklady->tableView.lock();
    table->reloadData();
    const std::vector<platform::Color> expected = {colorSystemYellow(), colorLabel(), colorSystemYellow(),
                                                   colorSystemBlue(),   colorLabel(), colorLabel(),
                                                   colorLabel()};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(label(*table, i, "labelPohyb")->textColor(), expected[i]) << i;
    // A list without the fiscal number's column counts it as empty.
    QueryRows withoutPardok({"POHYB", "NAZOV", "CTL"});
    withoutPardok.add({"9", "x", "0"});
    doklady->filteredData = withoutPardok;
    table->reloadData();
    EXPECT_EQ(label(*table, 0, "labelPohyb")->textColor(), colorSystemYellow());
    EXPECT_EQ(text(*table, 0, "labelPohyb"), "x ");
    doklady->filteredData = rows;
    table->reloadData();

    // The accessory prints the tapped row of the shown list.
    env->console().clear();
    table->tapAccessory({0, 1});
    EXPECT_TRUE(env->console().contains("....info...."));
    EXPECT_TRUE(env->console().contains("[CTL: 0, NAZOV: x, PARDOK: F-1, POHYB: 10]"));
}

TEST_F(DokladyTest, AWholeDocumentIsCancelledOnceAndItsCancellationNever) {
    cashSale("kvet", "T001");
    auto& trekora = sharedTrekora();
    const std::string id = scalar("select max(id) from vety");
    const std::string stock = "select stav from sklad where sklad_typ = 10 and idtov = 'T001'";
    const std::string before = scalar(stock);
    EXPECT_EQ(trekora.stornoCelehoDokladu(id, "10").rfind("ok!,,cdok=", 0), 0u);
    const std::string storno = scalar("select max(id) from vety");
    const std::string cdok = scalar("select cdok from vety where id = " + storno);
    const std::string restored = scalar(stock);

    EXPECT_EQ(trekora.stornoCelehoDokladu(id, "10"), "chyba!,,na vybraný doklad už bolo vytvorené storno celého dokladu " + cdok);
    EXPECT_EQ(trekora.stornoCelehoDokladu(storno, "10"),
              "chyba!,,storno dokladu nie je možné stornovať");
    EXPECT_EQ(scalar("select max(id) from vety"), storno);
    EXPECT_EQ(scalar(stock), restored);
    EXPECT_NE(restored, before);
}

}  // namespace
