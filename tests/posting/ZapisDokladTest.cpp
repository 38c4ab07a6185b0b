// Posting documents on the shipped demo database: rows written, stock and
// batch levels after, and the all-or-nothing behaviour of a document.
#include "posting/PostingFixture.h"

#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"

using posting_test::PostingFixture;

namespace {

class ZapisDoklad : public PostingFixture {};

TEST_F(ZapisDoklad, CashSaleWritesHeaderLinesCustomerCopyAndMovesStock) {
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 2);
    choose("T004", "2027-02-28", 5);
    const std::string result = post();
    ASSERT_EQ(result, "ok! ,,cdok=1001");

    auto header = query("select * from vety where cdok = 1001");
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0]["pohyb"], "10");
    EXPECT_EQ(header[0]["ido"], "10102");
    EXPECT_EQ(header[0]["idosc"], "10102-01");
    EXPECT_EQ(header[0]["info"], "DC:1");  // fiscal printing is off in the demo settings
    EXPECT_DOUBLE_EQ(std::atof(header[0]["sumdokz"].c_str()), 37.96);
    EXPECT_EQ(t->printingId, header[0]["id"]);

    auto lines = query("select idtov, mnoz, cena, ccmnoz, ccsum, cdok from polo order by id");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["idtov"], "T001");
    EXPECT_EQ(lines[0]["mnoz"], "2.0");
    EXPECT_EQ(lines[0]["cena"], "14.9");
    EXPECT_EQ(lines[0]["ccsum"], "35.46");
    EXPECT_EQ(lines[1]["cdok"], "1001");
    EXPECT_EQ(value("select nazov1 from odbe where cdok = 1001"), "Bistro U Janka");
    EXPECT_EQ(count("temp_vety"), 0);
    EXPECT_EQ(count("temp_polo"), 0);

    EXPECT_EQ(batch("T001", "2027-05-31"), 10);
    EXPECT_EQ(batch("T001", "2027-08-31"), 24);
    EXPECT_EQ(stock("T001"), 34);
    EXPECT_EQ(batch("T004", "2027-02-28"), 115);
    EXPECT_EQ(stock("T004"), 315);

    // The next cash sale without fiscal printing takes the next receipt number.
    load(typ("predaj", "hotovosť"));
    choose("T003", "", 1);
    ASSERT_EQ(post(), "ok! ,,cdok=1002");
    EXPECT_EQ(value("select info from vety where cdok = 1002"), "DC:2");
}

TEST_F(ZapisDoklad, RowIdsBeyondThirtyTwoBitsNumberTheirDocuments) {
    exec("update sqlite_sequence set seq = 2147483646 where name = 'vety'");
    for (const std::string cdok : {"2147483647", "2147483648"}) {
        load(typ("predaj", "hotovosť"));
        choose("T001", "2027-05-31", 1);
        ASSERT_EQ(post(), "ok! ,,cdok=" + cdok);
        EXPECT_EQ(value("select cdok from odbe where vety_id = ?", {cdok}), cdok);
        EXPECT_EQ(value("select count(*) from polo where cdok = ?", {cdok}), "1");
    }
}

TEST_F(ZapisDoklad, ASaleToASecondEstablishmentIsWrittenForIt) {
    // Žabokreky, the second establishment of Sučany, with a price list and a
    // loyalty account of its own.
    exec("update odberatel set cennik = 1 where idosc = '10306-02';"
         "insert into korunka (idosc, korunka, body, dary, prevod) values ('10306-02', 'ANO', 500, 0, 0)");
    customer("10306-02");
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 1);
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    EXPECT_EQ(value("select idosc from vety where cdok = 1001"), "10306-02");
    EXPECT_EQ(value("select idosc || ' ' || mesto from odbe where cdok = 1001"), "10306-02 Žabokreky");
    EXPECT_EQ(value("select cena from polo where cdok = 1001"), "14.9");  // Sučany's list: 13.90

    // The stored column fixes book the gifts on the account of the
    // establishment the header names.
    load(typ("predaj", "výdaj darčekov"));
    choose("D001", "", 1);
    ASSERT_EQ(post(), "ok! ,,cdok=1002");
    EXPECT_EQ(amount("select dary from korunka where idosc = '10306-02'"), 150);
    EXPECT_EQ(amount("select dary from korunka where idosc = '10306-01'"), 100);

    // Column fixes of an older data set take the customer's first
    // establishment: the document stays Žabokreky's all the same.
    storeQuery("doklad_insert_03_update_columns",
               value("select sql from sqliteadmin_queries where name = 'doklad_insert_03_update_columns'") +
                   ";\nupdate temp_vety set (idosc, idopl, ico, ctl) = (select o.idosc, o.idopl, o.ico, o.ctlac "
                   "from odberatel o where o.ido = temp_vety.ido order by o.id limit 1) where id = ?1");
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 1);
    ASSERT_EQ(post(), "ok! ,,cdok=1003");
    EXPECT_EQ(value("select idosc || ' ' || mesto from odbe where cdok = 1003"), "10306-02 Žabokreky");
}

TEST_F(ZapisDoklad, ACreditNoteIsWrittenForTheEstablishmentOfItsInvoice) {
    customer("10306-01");
    t->info = "05.12.2026";
    load(typ("predaj", "faktúra"));
    choose("T002", "2027-03-31", 3);
    ASSERT_EQ(post(), "ok! ,,cdok=1001");

    // At Žabokreky the salesman picks Sučany's invoice.
    customer("10306-02");
    t->parcdok = "1001";
    t->info = "";
    load(typ("predaj", "dobropis"));
    choose("T002", "2027-03-31", -3);
    ASSERT_EQ(post(), "ok! ,,cdok=1002");
    EXPECT_EQ(value("select idosc from vety where cdok = 1002"), "10306-01");
    EXPECT_EQ(value("select mesto from odbe where cdok = 1002"), "Sučany");
}

TEST_F(ZapisDoklad, InvoiceAndCreditNoteAgainstItPutTheGoodsBack) {
    customer("10101-01");  // an invoice customer
    t->info = "05.12.2026";
    load(typ("predaj", "faktúra"));
    choose("T002", "2027-03-31", 3);
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    auto invoice = query("select info, facvset, pohyb from vety where cdok = 1001");
    EXPECT_EQ(invoice[0]["info"], "2026-12-05");
    EXPECT_EQ(invoice[0]["facvset"], "0");
    EXPECT_EQ(invoice[0]["pohyb"], "20");
    EXPECT_EQ(batch("T002", "2027-03-31"), 27);

    // Credit note: goods and batches come from the invoice's lines.
    t->parcdok = "1001";
    t->info = "";
    load(typ("predaj", "dobropis"));
    ASSERT_EQ(t->tovarArray.size(), 1u);
    EXPECT_EQ(t->tovarArray[0]->IDTOV, "T002");
    EXPECT_EQ(t->tovarArray[0]->SKLAD_STAV, "3.0");
    ASSERT_EQ(t->datumSpotrebyArray.size(), 1u);
    EXPECT_EQ(t->datumSpotrebyArray[0]->SARZA_STAV, "3.0");
    choose("T002", "2027-03-31", -3);
    ASSERT_EQ(post(), "ok! ,,cdok=1002");
    auto note = query("select pohyb, parcdok, sumdokz from vety where cdok = 1002");
    EXPECT_EQ(note[0]["pohyb"], "21");
    EXPECT_EQ(note[0]["parcdok"], "1001");
    EXPECT_LT(std::atof(note[0]["sumdokz"].c_str()), 0);
    EXPECT_EQ(value("select mnoz from polo where cdok = 1002"), "-3.0");
    EXPECT_EQ(batch("T002", "2027-03-31"), 30);
    EXPECT_EQ(stock("T002"), 90);
}

TEST_F(ZapisDoklad, CancellationOfACashSaleTakesBackAtTheParentsPrices) {
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 4);
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    EXPECT_EQ(stock("T001"), 32);
    // The price list changes after the sale; the cancellation keeps the price
    // at which the goods left.
    exec("update cennik set cena = 99 where idtov = 'T001'");

    t->parcdok = "1001";
    load(typ("predaj", "storno hotovosti"));
    ASSERT_EQ(t->tovarArray.size(), 1u);
    EXPECT_EQ(t->tovarArray[0]->SKLAD_STAV, "4.0");
    choose("T001", "2027-05-31", -4);
    ASSERT_EQ(post(), "ok! ,,cdok=1002");
    auto header = query("select pohyb, parcdok, sumdokz from vety where cdok = 1002");
    EXPECT_EQ(header[0]["pohyb"], "10");
    EXPECT_EQ(header[0]["parcdok"], "1001");
    EXPECT_DOUBLE_EQ(std::atof(header[0]["sumdokz"].c_str()),
                     -std::atof(value("select sumdokz from vety where cdok = 1001").c_str()));
    auto line = query("select mnoz, cena, ccsum from polo where cdok = 1002");
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0]["mnoz"], "-4.0");
    EXPECT_EQ(line[0]["cena"], value("select cena from polo where cdok = 1001"));
    EXPECT_EQ(line[0]["ccsum"], "-" + value("select ccsum from polo where cdok = 1001"));
    EXPECT_EQ(batch("T001", "2027-05-31"), 12);
    EXPECT_EQ(stock("T001"), 36);
    t->parcdok = "";
}

TEST_F(ZapisDoklad, ReturnNoteAndOrder) {
    customer("10105-01");  // delivery-note customer
    load(typ("predaj", "návratka"));
    choose("T001", "2027-08-31", -2);
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    EXPECT_EQ(value("select pohyb from vety where cdok = 1001"), "31");
    EXPECT_EQ(batch("T001", "2027-08-31"), 26);
    EXPECT_EQ(stock("T001"), 38);

    // An order moves no stock.
    load(typ("predaj", "objednávka"));
    choose("T001", "2027-08-31", 5);
    ASSERT_EQ(post(), "ok! ,,cdok=1002");
    EXPECT_EQ(value("select pohyb from vety where cdok = 1002"), "40");
    EXPECT_EQ(value("select count(*) from polo where cdok = 1002"), "1");
    EXPECT_EQ(stock("T001"), 38);
}

TEST_F(ZapisDoklad, GoodsReceiptAddsStockAndCreatesANewBatch) {
    load(typ("prijem", "tovar"));
    choose("T003", "2028-09-30", 10);
    auto fresh = std::make_shared<DatumSpotrebyItem>();
    fresh->IDTOV = "T003";
    fresh->DATUMSPOTREBY = "2029-01-31";
    fresh->VYBRANE = "5";
    t->datumSpotrebyArray.push_back(fresh);
    for (auto& g : t->tovarArray)
        if (g->IDTOV == "T003") g->VYBRANE = "15";
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    EXPECT_EQ(value("select pohyb from vety where cdok = 1001"), "19");
    EXPECT_EQ(batch("T003", "2028-09-30"), 50);
    EXPECT_EQ(batch("T003", "2029-01-31"), 5);
    EXPECT_EQ(stock("T003"), 55);
}

TEST_F(ZapisDoklad, GiftsMaterialAndSamplesMoveTheirOwnStock) {
    customer("10101-01");  // loyalty member
    load(typ("prijem", "darčeky"));
    choose("D001", "", 5);
    ASSERT_EQ(post(), "ok! ,,cdok=1001");
    EXPECT_EQ(stock("D001", 40), 25);

    load(typ("predaj", "výdaj darčekov"));
    choose("D001", "", 1);
    ASSERT_EQ(post(), "ok! ,,cdok=1002");
    EXPECT_EQ(value("select pohyb from vety where cdok = 1002"), "44");
    EXPECT_EQ(stock("D001", 40), 24);
    EXPECT_EQ(batch("D001", "2030-12-31", 40), 24);
    EXPECT_EQ(amount("select dary from korunka where idosc = '10101-01'"), 450);  // 300 + 150 points

    load(typ("prijem", "pos"));
    choose("P002", "", 5);
    ASSERT_EQ(post(), "ok! ,,cdok=1003");
    EXPECT_EQ(stock("P002", 50), 20);
    load(typ("predaj", "výdaj pos materiálu"));
    choose("P002", "", 3);
    ASSERT_EQ(post(), "ok! ,,cdok=1004");
    EXPECT_EQ(value("select pohyb from vety where cdok = 1004"), "50");
    EXPECT_EQ(stock("P002", 50), 17);

    load(typ("prijem", "vzorky"));
    choose("V001", "", 20);
    ASSERT_EQ(post(), "ok! ,,cdok=1005");
    EXPECT_EQ(value("select pohyb from vety where cdok = 1005"), "69");
    EXPECT_EQ(stock("V001", 60), 120);
    EXPECT_EQ(batch("V001", "2027-04-30", 60), 120);
    // Goods of the other families are untouched.
    EXPECT_EQ(stock("T001"), 36);
}

TEST_F(ZapisDoklad, AFailingStatementLeavesTheDatabaseByteForByte) {
    storeQuery("cdok_set",
               "-- numbering that fails halfway\nupdate vety set cdok = id where id = ?1;\n"
               "insert into no_such_table values (?1)");
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 2);
    t->prepocitajDoklad(t->getPolozkyArray());
    const std::string before = fileBytes();
    const std::string result = t->zapisDoklad();
    EXPECT_EQ(result, "chyba! ,,no such table: no_such_table");
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(count("vety"), 0);
    EXPECT_EQ(count("polo"), 0);
    EXPECT_EQ(count("temp_vety"), 0);
    EXPECT_EQ(stock("T001"), 36);
}

TEST_F(ZapisDoklad, AMissingStoredTextFailsTheWholeDocument) {
    exec("delete from sqliteadmin_queries where name = 'predaj_insert_06_sklad_update'");
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 2);
    EXPECT_EQ(post(), "chyba! ,,nenajdene query 'predaj_insert_06_sklad_update'.");
    EXPECT_EQ(count("vety"), 0);
    EXPECT_EQ(batch("T001", "2027-05-31"), 12);
}

TEST_F(ZapisDoklad, ACommitThatFailsIsNoSuccess) {
    // A stored text that ends the transaction itself leaves the writer's own
    // commit nothing to commit: the writer answers with the failure.
    storeQuery("sklad_sarza_insert", "select 1 where 0; commit");
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 1);
    EXPECT_EQ(post(), "chyba! ,,cannot commit - no transaction is active");
}

TEST_F(ZapisDoklad, StockTransferOfAGoodsReceipt) {
    t->nastaveniaItem->PRESKLADNENIEPC = "A";
    int calls = 0;
    t->preskladnenieZPCHandler = [&] {
        ++calls;
        return std::string("chyba!,,ziadne data z PC!");
    };
    load(typ("prijem", "tovar"));
    choose("T003", "", 10);
    EXPECT_EQ(post(), "chyba!,,ziadne data z PC!");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(count("vety"), 0);

    // The office replaces the lines and names its transfer in the header.
    t->preskladnenieZPCHandler = [&] {
        t->tempPoloArray.clear();
        auto line = std::make_shared<TempPoloItem>();
        line->IDO = t->selectedOdberatelItem->IDO;
        line->IDTOV = "T005";
        line->MNOZ = "7";
        line->DATUMSPOTREBY = "2027-03-15";
        line->POHYB = "19";
        line->ZLAVA1 = line->ZLAVA2 = line->ZLAVAC = "0";
        t->tempPoloArray.push_back(line);
        t->tempVetyArray.front()->INFO = "V:77";
        return std::string("ok,,");
    };
    EXPECT_EQ(post(), "ok! ,,cdok=1001");
    EXPECT_EQ(value("select info from vety where cdok = 1001"), "V:77");
    EXPECT_EQ(stock("T005"), 157);
    EXPECT_EQ(stock("T003"), 40);

    // Other receipts never ask the office.
    calls = 0;
    t->preskladnenieZPCHandler = [&] {
        ++calls;
        return std::string("chyba!,,x");
    };
    load(typ("prijem", "pos"));
    choose("P001", "", 1);
    EXPECT_EQ(post(), "ok! ,,cdok=1002");
    EXPECT_EQ(calls, 0);
}

class ZapisDokladOnDemoHistory : public PostingFixture {
protected:
    bool keepDemoDocuments() const override { return true; }
};

TEST_F(ZapisDokladOnDemoHistory, NumbersAndReceiptNumbersContinueTheHistory) {
    const std::string last = value("select max(cdok) from vety");
    ASSERT_NE(last, "<none>");
    load(typ("predaj", "hotovosť"));
    choose("T001", "", 1);
    const std::string result = post();
    EXPECT_EQ(result, "ok! ,,cdok=" + std::to_string(std::atoi(last.c_str()) + 1));
    EXPECT_EQ(value("select info from vety where cdok = ?", {cdokOf(result)}),
              "DC:" + std::to_string(1 + std::atoi(value("select max(cast(substr(info, 4) as integer)) from vety "
                                                        "where pohyb = 10 and info like 'DC:%' and cdok < ?",
                                                        {cdokOf(result)}).c_str())));
    EXPECT_EQ(t->printingId, cdokOf(result));
}

}  // namespace
