// The other document types through their screens: an invoice with a delivery
// date, a cancellation and a credit note against their parents, an order for
// delivery and a goods receipt that takes the whole stock back.
#include "SalesFixture.h"

#include <chrono>

#include "platform/DateFormatter.h"
#include "platform/ui/DatePicker.h"
#include "records/ParameterItem.h"
#include "ui/sales/Datum.h"
#include "ui/sales/Lookup.h"
#include "sync/Spojenie.h"
#include "sync/SyncStoryboard.h"
#include "core/Trekora.h"
#include "fakes/FakeOrderOffice.h"

namespace {

std::chrono::system_clock::time_point inDays(int days) {
    return std::chrono::system_clock::now() + std::chrono::hours(24 * days);
}

}  // namespace

TEST_F(SalesTest, InvoiceCarriesItsDeliveryDateAndTheMenuForgetsIt) {
    document("kvet", "faktúra");
    auto parametre = topAs<Parametre>();
    ASSERT_TRUE(parametre);
    ASSERT_EQ(parametre->data.size(), 1u);
    parametre->tableView.lock()->tapRow({0, 0});
    auto datum = topAs<Datum>();
    ASSERT_TRUE(datum);
    auto picker = datum->datePicker.lock();
    picker->pick(inDays(30));  // beyond the 14 days allowed
    const auto latest = picker->date();
    EXPECT_EQ(latest, *picker->maximumDate());
    picker->pick(inDays(3));
    nav->popViewController(false);
    const std::string shown = platform::DateFormatter("dd.MM.yyyy").string(
        platform::Date(std::chrono::duration<double>(inDays(3).time_since_epoch()).count()));
    EXPECT_EQ(parametre->data[0]->DISPLAYVALUE, shown);

    parametre->pouzitTapped();
    ASSERT_TRUE(topAs<Polozky>());
    pick("T002", 0, "4", "1");
    backToEditor();
    confirm();
    const std::string cdok = lastCdok();
    EXPECT_EQ(scalar("select pohyb || ' ' || info from vety where cdok = " + cdok),
              "20 " + shown.substr(6, 4) + "-" + shown.substr(3, 2) + "-" + shown.substr(0, 2));
    tapAlert("nie");
    // "nie" returns to the parameters; back on the sales menu the date of
    // that invoice is gone.
    ASSERT_TRUE(topAs<Parametre>());
    EXPECT_FALSE(sharedTrekora().info.empty());
    nav->popViewController(false);
    ASSERT_TRUE(topMenu());
    EXPECT_EQ(sharedTrekora().info, "");
}

TEST_F(SalesTest, CancellationsAndCreditNotesGiveBackAtMostWhatTheParentStillHolds) {
    // A cash sale of 3 from the first batch, registered by the fiscal printer.
    document("janka", "hotovosť");
    pick("T004", 0, "3", "");
    backToEditor();
    confirm();
    tapAlert("nie");
    const std::string sale = lastCdok();
    exec("update vety set okp = 'OKP-1' where cdok = " + sale);

    auto storno = [&](const std::string& refused, const std::string& taken) {
        tapRow("storno hotovosti");
    ASSERT_TRUE(topAs<Parametre>()) << (top()->title() ? *top()->title() : "");
        auto parametre = topAs<Parametre>();
        ASSERT_TRUE(parametre);
        parametre->pouzitTapped();  // no parent chosen yet
        ASSERT_TRUE(alert());
        EXPECT_EQ(alert()->message(), std::optional<std::string>("vyberte náväznosť na doklad!"));
        tapAlert("ok");
        parametre->tableView.lock()->tapRow({0, 0});
        auto lookup = topAs<Lookup>();
        ASSERT_TRUE(lookup);
        ASSERT_FALSE(lookup->data.empty());
        EXPECT_EQ(lookup->data[0]["CDOK"], sale);
        lookup->tableView.lock()->tapRow({0, 0});
        parametre->pouzitTapped();
        ASSERT_TRUE(topAs<Polozky>());
        pick("T004", 0, refused, "");
        ASSERT_TRUE(alert()) << refused << " was taken";
        EXPECT_EQ(alert()->message(), std::optional<std::string>("číslo je mimo dovolený rozsah"));
        tapAlert("ok");
        pick("T004", 0, taken, "");
        backToEditor();
        confirm();
        EXPECT_EQ(alert()->title(), std::optional<std::string>("zobraziť doklad?"));
        tapAlert("nie");
        nav->popViewController(false);
    };
    storno("-4", "-2");
    EXPECT_EQ(scalar("select parcdok || ' ' || sum(p.mnoz) from vety v join polo p on p.vety_id = v.id "
                     "where v.cdok = " + lastCdok()),
              sale + " -2.0");
    // The first cancellation took 2 back: one is left.
    storno("-2", "-1");
    EXPECT_EQ(scalar("select sum(p.mnoz) from vety v join polo p on p.vety_id = v.id where v.parcdok = " + sale),
              "-3.0");
}

TEST_F(SalesTest, CreditNoteAgainstAnInvoiceIsBoundedByTheInvoice) {
    document("kvet", "faktúra");
    topAs<Parametre>()->pouzitTapped();
    pick("T003", 0, "5", "");
    backToEditor();
    confirm();
    tapAlert("nie");
    nav->popViewController(false);
    const std::string invoice = lastCdok();
    // The price list changes after the invoice: the credit note keeps its prices.
    exec("update cennik set cena = 2.0 where idtov = 'T003'");

    tapRow("dobropis");
    auto parametre = topAs<Parametre>();
    ASSERT_EQ(parametre->data.size(), 2u);
    parametre->tableView.lock()->tapRow({0, 1});
    auto lookup = topAs<Lookup>();
    ASSERT_TRUE(lookup);
    EXPECT_EQ(lookup->data[0]["CDOK"], invoice);
    lookup->tableView.lock()->tapRow({0, 0});
    EXPECT_EQ(parametre->data[1]->DISPLAYVALUE, invoice);
    parametre->pouzitTapped();
    auto editor = topAs<Polozky>();
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->buttonDodZlava.lock()->isHidden());
    pick("T003", 0, "-6", "");
    ASSERT_TRUE(alert());
    tapAlert("ok");
    pick("T003", 0, "-5", "");  // no discount is asked for a credit note
    backToEditor();
    confirm();
    EXPECT_EQ(scalar("select pohyb || ' ' || parcdok from vety where cdok = " + lastCdok()), "21 " + invoice);
    EXPECT_EQ(scalar("select sum(mnoz) || ' ' || max(cena) from polo where cdok = " + lastCdok()), "-5.0 1.19");
    EXPECT_EQ(scalar("select printf('%.2f', -sumdokz) from vety where cdok = " + lastCdok()),
              scalar("select printf('%.2f', sumdokz) from vety where cdok = " + invoice));
}

TEST_F(SalesTest, CreditNoteEditorShowsTheLoyaltyShareItWrites) {
    document("kvet", "faktúra");
    topAs<Parametre>()->pouzitTapped();
    pick("T001", 0, "2", "");  // a good of the loyalty programme
    pick("T003", 0, "4", "");  // and one outside it
    backToEditor();
    confirm();
    tapAlert("nie");
    nav->popViewController(false);
    const std::string invoice = lastCdok();

    tapRow("dobropis");
    auto parametre = topAs<Parametre>();
    parametre->tableView.lock()->tapRow({0, 1});
    topAs<Lookup>()->tableView.lock()->tapRow({0, 0});
    parametre->pouzitTapped();
    pick("T001", 0, "-2", "");
    pick("T003", 0, "-4", "");
    backToEditor();
    const std::string shown = topAs<Polozky>()->labelSumaDoKorunky.lock()->textOrEmpty();
    confirm();
    EXPECT_EQ(scalar("select parcdok from vety where cdok = " + lastCdok()), invoice);
    EXPECT_EQ(shown, scalar("select printf('%13.2f', sumdokz_korunka) from vety where cdok = " + lastCdok()));
    EXPECT_LT(std::stod(shown), 0.0);
}

TEST_F(SalesTest, OrderForDeliveryTakesAnyQuantityAndMovesNoStock) {
    document("kvet", "objednávka na závoz");
    pick("T012", 0, "500", "");  // beyond the stock of the batch
    backToEditor();
    confirm();
    EXPECT_EQ(scalar("select pohyb || ' ' || info from vety where cdok = " + lastCdok()), "40 ZAVOZ:sklad Žilina");
    EXPECT_EQ(scalar("select sum(mnoz) from polo where cdok = " + lastCdok()), "500.0");
    EXPECT_EQ(scalar("select stav from sklad where sklad_typ = 10 and idtov = 'T012'"), "72.0");
}

TEST_F(SalesTest, GoodsReceiptTakesTheWholeStockBack) {
    openFromMain("príjem");
    tapRow("tovar");
    auto editor = topAs<Polozky>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->viewOdberatel.lock()->height(), std::optional<double>(0.0));  // no customer
    editor->addTapped();
    auto goods = topAs<Tovar>();
    ASSERT_EQ(goods->navigationItem().rightBarButtonItems().size(), 1u);
    EXPECT_EQ(goods->navigationItem().rightBarButtonItems()[0]->title(), "odpríjmovať všetko");
    goods->navigationItem().rightBarButtonItems()[0]->tap();
    EXPECT_EQ(goods->data[0]->VYBRANE, "-36");
    nav->popViewController(false);
    confirm();
    EXPECT_EQ(alert()->title(), std::optional<std::string>("zobraziť doklad?"));
    EXPECT_EQ(scalar("select pohyb from vety where cdok = " + lastCdok()), "19");
    EXPECT_EQ(scalar("select sum(stav) from sklad where sklad_typ = 10"), "0.0");
}

TEST_F(SalesTest, GoodsReceiptShowsTheWaitForTheOfficesStockTransfer) {
    FakeOrderOffice office;
    office.setTransferReply("[{\"CDOK\":501,\"IDTOV\":\"T005\",\"MNOZ\":\"7\",\"DATUMSPOTREBY\":\"2027-03-15\"}]");
    office.setTransferDelay(std::chrono::milliseconds(400));
    settings().PRESKLADNENIEPC = "A";
    settings().AKTUALIZOVAT_PO_PRIJME = "N";
    settings().FBCONNECTIONSTRING = office.transferUrl();
    openFromMain("príjem");
    tapRow("tovar");
    pick("T012", 0, "5");
    backToEditor();
    const std::string before = lastCdok();
    topAs<Polozky>()->hotovoTapped();
    topAs<Hotovo>()->zapisatDoklad();
    drain();
    // The office has not answered yet: the screen says what it waits for.
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("preskladnenie"));
    EXPECT_TRUE(alert()->actions().empty());
    EXPECT_EQ(lastCdok(), before);
    platform::MainRunLoop::runUntil([this] { return alert() && !alert()->actions().empty(); },
                                    std::chrono::seconds(10));
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), std::optional<std::string>("zobraziť doklad?"));
    EXPECT_EQ(scalar("select info || ' ' || (select group_concat(idtov || ':' || mnoz) from polo p"
                     " where p.cdok = v.cdok) from vety v where cdok = " + lastCdok()),
              "V:501 T005:7.0");
}

TEST_F(SalesTest, GoodsReceiptWithAStockTransferOpensTheShortSynchronisation) {
    SyncStoryboard::registerAll();
    settings().PRESKLADNENIEPC = "A";
    settings().AKTUALIZOVAT_PO_PRIJME = "A";
    // The office answers the transfer with the salesman's own lines.
    sharedTrekora().preskladnenieZPCHandler = [] { return std::string("ok!,,"); };
    openFromMain("príjem");
    tapRow("tovar");
    pick("T012", 0, "5");
    backToEditor();
    confirm();
    EXPECT_EQ(scalar("select pohyb from vety where cdok = " + lastCdok()), "19");
    auto sync = topAs<Spojenie>();
    ASSERT_TRUE(sync);
    ASSERT_TRUE(sync->selectedMenuItem);
    EXPECT_EQ(sync->selectedMenuItem->segue, "polozky_synchronizacia_po_preskladneni_segue");
}
