// The small writers on the shipped demo database: cash documents, point
// transfers, activities, cancellations, protocols, payments, inventories and
// the daily closing with its export.
#include "posting/PostingFixture.h"

#include "platform/DispatchQueue.h"
#include "platform/DispatchSemaphore.h"
#include "platform/MainRunLoop.h"
#include "records/KorunkaItem.h"

#include <filesystem>

using posting_test::PostingFixture;

namespace {

class Writers : public PostingFixture {
protected:
    // A cash sale of T001 (4 pieces, 70.92 with VAT) for the current customer.
    std::string cashSale(long long quantity = 4) {
        load(typ("predaj", "hotovosť"));
        choose("T001", "2027-05-31", quantity);
        return cdokOf(post());
    }
    std::string idOf(const std::string& cdok) { return value("select id from vety where cdok = ?", {cdok}); }
};

TEST_F(Writers, CashDepositAndWithdrawal) {
    t->km = "1";  // the stored reading is bound, not the one in memory
    const std::string deposit = t->zapisVklad("12.50", "");
    ASSERT_EQ(deposit, "ok!,,cdok=1001");
    auto row = query("select pohyb, info, km, sumdokz, idu from vety where cdok = 1001");
    EXPECT_EQ(row[0]["pohyb"], "7");
    EXPECT_EQ(row[0]["info"], "vklad iPOD");
    EXPECT_EQ(row[0]["km"], "184310");
    EXPECT_EQ(row[0]["sumdokz"], "12.5");
    EXPECT_EQ(row[0]["idu"], "1");
    EXPECT_EQ(t->km, "184310");

    ASSERT_EQ(t->zapisVyber("-12.50", ""), "ok!,,cdok=1002");
    EXPECT_EQ(value("select pohyb from vety where cdok = 1002"), "8");
    EXPECT_EQ(value("select sumdokz from vety where cdok = 1002"), "-12.5");

    // A later statement with a parameter fails the whole withdrawal.
    storeQuery("vyber_insert",
               "insert into vety (pohyb, idu, info) values (8, ?1, ?2);\nupdate vety set cdok = ?1 where id = 0");
    const std::string failed = t->zapisVyber("-1.00", "");
    EXPECT_EQ(failed.rfind("chyba!,,", 0), 0u) << failed;
    EXPECT_EQ(count("vety"), 2);
}

TEST_F(Writers, PointsTransferMovesPointsAndRefusesNonsense) {
    customer("10101-01");
    t->readKorunka("10101-01");
    EXPECT_EQ(t->selectedKorunkaItem->ZOSTATOK, "520.0");
    EXPECT_EQ(t->zapisDokladKorunkaPrevod("0", "10103"), "chyba!,,žiadne body na prevod!");
    EXPECT_EQ(t->zapisDokladKorunkaPrevod("-5", "10103"), "chyba!,,žiadne body na prevod!");
    EXPECT_EQ(t->zapisDokladKorunkaPrevod("", "10103"), "chyba!,,žiadne body na prevod!");
    EXPECT_EQ(t->zapisDokladKorunkaPrevod("30", ""), "chyba!,,nebol vybraný žiadny odberateľ!");
    EXPECT_EQ(t->zapisDokladKorunkaPrevod("30", "10101"), "chyba!,,prevod bodov na sameho seba!");
    EXPECT_EQ(count("vety"), 0);

    ASSERT_EQ(t->zapisDokladKorunkaPrevod("30", "10103"), "ok!,,cdok=1001");
    EXPECT_EQ(t->selectedKorunkaItem->ZOSTATOK, "490");
    auto row = query("select pohyb, ido, info, sumdokz from vety where cdok = 1001");
    EXPECT_EQ(row[0]["pohyb"], "45");
    EXPECT_EQ(row[0]["ido"], "10101");
    EXPECT_EQ(row[0]["info"], "10103");
    EXPECT_EQ(row[0]["sumdokz"], "30.0");
    EXPECT_EQ(amount("select prevod from korunka where idosc = '10101-01'"), 30);
    EXPECT_EQ(amount("select prevod from korunka where idosc = '10103-01'"), -30);
    t->readKorunka("10101-01");
    EXPECT_EQ(t->selectedKorunkaItem->ZOSTATOK, "490.0");
}

TEST_F(Writers, PointsTransferFromASecondEstablishmentUsesItsOwnAccount) {
    // Žabokreky's own loyalty account, beside Sučany's (310 points).
    exec("insert into korunka (idosc, korunka, body, dary, prevod) values ('10306-02', 'ANO', 50, 0, 0)");
    customer("10306-02");
    t->readKorunka("10306-02");
    EXPECT_EQ(t->selectedKorunkaItem->ZOSTATOK, "50.0");
    EXPECT_EQ(t->zapisDokladKorunkaPrevod("60", "10103"), "chyba!,,nedostatok bodov na prevod!");

    ASSERT_EQ(t->zapisDokladKorunkaPrevod("30", "10103"), "ok!,,cdok=1001");
    EXPECT_EQ(value("select idosc from vety where cdok = 1001"), "10306-02");
    EXPECT_EQ(value("select mesto from odbe where cdok = 1001"), "Žabokreky");
    EXPECT_EQ(amount("select prevod from korunka where idosc = '10306-02'"), 30);
    EXPECT_EQ(amount("select prevod from korunka where idosc = '10306-01'"), 0);
    EXPECT_EQ(amount("select prevod from korunka where idosc = '10103-01'"), -30);

    // A transfer of an older data set debits the customer's first
    // establishment: it is refused and leaves nothing.
    storeQuery("korunka_insert_prevod",
               "insert into vety (idu, ido, pohyb, info, sumdokz) values (?1, ?2, 45, ?3, ?10);\n"
               "update vety set cdok = id where id = (select max(id) from vety);\n"
               "update korunka set prevod = prevod + ?10 "
               "where idosc = (select idosc from odberatel where ido = ?2 order by id limit 1)");
    const std::string refused = t->zapisDokladKorunkaPrevod("10", "10103");
    EXPECT_EQ(refused.rfind("chyba!,,", 0), 0u) << refused;
    EXPECT_EQ(count("vety"), 1);
    EXPECT_EQ(amount("select prevod from korunka where idosc = '10306-01'"), 0);
}

TEST_F(Writers, PointsGoToTheReceiversEstablishmentThatHasAnAccount) {
    // The receiver's first establishment has no loyalty account, its second
    // has: the points given arrive there, none are lost.
    exec("delete from korunka where idosc = '10306-01'");
    exec("insert into korunka (idosc, korunka, body, dary, prevod) values ('10306-02', 'ANO', 0, 0, 0)");
    customer("10101-01");
    t->readKorunka("10101-01");
    ASSERT_EQ(t->zapisDokladKorunkaPrevod("20", "10306"), "ok!,,cdok=1001");
    EXPECT_EQ(amount("select prevod from korunka where idosc = '10306-02'"), -20);
    EXPECT_EQ(amount("select prevod from korunka where idosc = '10101-01'"), 20);
}

TEST_F(Writers, ActivityIssuesSamplesOnceForAnEarlierSale) {
    const std::string sale = cashSale();  // 70.92: one gift set of activity 2 (threshold 50)
    ASSERT_EQ(sale, "1001");
    t->selectedTypDokladuItem = typ("predaj", "výdaj vzoriek");
    EXPECT_EQ(t->zapisDokladPreAktivitu("", sale),
              "chyba!,,zapisDokladPreAktivitu(aktivitaId:parCdok:)\nnebola vybraná žiadna aktivita.");
    EXPECT_EQ(t->zapisDokladPreAktivitu("3", sale),
              "chyba!,,zapisDokladPreAktivitu(aktivitaId:parCdok:)\naktivita nie je prebiehajúca.");

    ASSERT_EQ(t->zapisDokladPreAktivitu("2", sale), "ok! ,,cdok=1002");
    auto row = query("select pohyb, parcdok, tvety_id, info, sumdokz from vety where cdok = 1002");
    EXPECT_EQ(row[0]["pohyb"], "60");
    EXPECT_EQ(row[0]["parcdok"], "1001");
    EXPECT_EQ(row[0]["tvety_id"], "2");
    EXPECT_EQ(row[0]["info"], "Zimná ochutnávka");
    EXPECT_EQ(row[0]["sumdokz"], "0.0");
    EXPECT_EQ(value("select group_concat(idtov || ':' || mnoz) from polo where cdok = 1002"), "V002:1.0,V003:1.0");
    EXPECT_EQ(stock("V002", 60), 79);
    EXPECT_EQ(stock("V003", 60), 59);
    EXPECT_EQ(stock("V001", 60), 100);

    EXPECT_EQ(t->zapisDokladPreAktivitu("2", sale),
              "chyba!,,zapisDokladPreAktivitu(aktivitaId:parCdok:)\nna vybrany doklad uz bola aplikovana aktivita "
              "Zimná ochutnávka.");
    EXPECT_EQ(count("vety"), 2);

    // A document below the threshold earns nothing.
    const std::string small = cashSale(1);
    EXPECT_EQ(t->zapisDokladPreAktivitu("2", small),
              "chyba!,,zapisDokladPreAktivitu(aktivitaId:parCdok:)\ndoklad " + small +
                  "\nnespľňa podmienky pre vybranú aktivitu.");
}

TEST_F(Writers, ActivityGiftWithoutBatchIsNoStock) {
    const std::string sale = cashSale();
    exec("delete from sklad_sarza where idtov = 'V002'");
    t->selectedTypDokladuItem = typ("predaj", "výdaj vzoriek");
    ASSERT_EQ(t->zapisDokladPreAktivitu("2", sale), "ok! ,,cdok=1002");
    EXPECT_EQ(value("select group_concat(idtov) from polo where cdok = 1002"), "V003");
    exec("delete from sklad_sarza where idtov = 'V003'");
    const std::string next = cashSale();
    t->selectedTypDokladuItem = typ("predaj", "výdaj vzoriek");
    EXPECT_EQ(t->zapisDokladPreAktivitu("2", next),
              "chyba!,,zapisDokladPreAktivitu(aktivitaId:parCdok:)\nk vybranej aktivite nie sú k dispozícií žiadne "
              "vzorky.");
}

TEST_F(Writers, CancellationsOfEachKind) {
    const std::string sale = cashSale();
    EXPECT_EQ(stock("T001"), 32);
    ASSERT_EQ(t->stornoCelehoDokladu(idOf(sale), "10"), "ok!,,cdok=1002");
    auto row = query("select pohyb, parcdok, sumdokz from vety where cdok = 1002");
    EXPECT_EQ(row[0]["pohyb"], "10");
    EXPECT_EQ(row[0]["parcdok"], sale);
    EXPECT_EQ(std::atof(row[0]["sumdokz"].c_str()), -std::atof(value("select sumdokz from vety where cdok = ?", {sale}).c_str()));
    EXPECT_EQ(value("select mnoz from polo where cdok = 1002"), "-4.0");
    EXPECT_EQ(stock("T001"), 36);
    EXPECT_EQ(batch("T001", "2027-05-31"), 12);

    // Gifts: stock and points come back.
    customer("10101-01");
    load(typ("predaj", "výdaj darčekov"));
    choose("D002", "", 1);
    const std::string gifts = cdokOf(post());
    EXPECT_EQ(amount("select dary from korunka where idosc = '10101-01'"), 700);
    ASSERT_EQ(t->stornoCelehoDokladu(idOf(gifts), "44").rfind("ok!,,cdok=", 0), 0u);
    EXPECT_EQ(amount("select dary from korunka where idosc = '10101-01'"), 300);
    EXPECT_EQ(stock("D002", 40), 10);

    load(typ("predaj", "výdaj pos materiálu"));
    choose("P004", "", 5);
    const std::string pos = cdokOf(post());
    EXPECT_EQ(stock("P004", 50), 20);
    ASSERT_EQ(t->stornoCelehoDokladu(idOf(pos), "50").rfind("ok!,,cdok=", 0), 0u);
    EXPECT_EQ(stock("P004", 50), 25);

    customer("10102-01");
    const std::string forSamples = cashSale();
    t->selectedTypDokladuItem = typ("predaj", "výdaj vzoriek");
    const std::string samples = cdokOf(t->zapisDokladPreAktivitu("2", forSamples));
    EXPECT_EQ(stock("V002", 60), 79);
    ASSERT_EQ(t->stornoCelehoDokladu(idOf(samples), "60").rfind("ok!,,cdok=", 0), 0u);
    EXPECT_EQ(stock("V002", 60), 80);

    // Codes that cannot be cancelled write nothing.
    const int documents = count("vety");
    for (const char* pohyb : {"19", "40", "43", "45", "6", "16", "010", "10 ", ""})
        EXPECT_EQ(t->stornoCelehoDokladu(idOf(sale), pohyb),
                  "chyba!,,pre vybraný doklad nie je možné vytvoriť storno celého dokladu")
            << pohyb;
    EXPECT_EQ(count("vety"), documents);

    // A duplicate in the fiscal device: a negated copy, no stock movement.
    const double before = stock("T001");
    ASSERT_EQ(t->stornoFiskal(idOf(forSamples), "").rfind("ok!,,cdok=", 0), 0u);
    EXPECT_EQ(value("select info from vety where id = (select max(id) from vety)"), "STORNO DUPLICITY " + forSamples);
    EXPECT_EQ(stock("T001"), before);

    // Without its stored text the fiscal cancellation is a failure, not an
    // answer with some earlier document's number.
    exec("delete from sqliteadmin_queries where name = 'storno_fiskal'");
    EXPECT_EQ(t->stornoFiskal(idOf(sale), "10"), "chyba!,,nenajdene query 'storno_fiskal'.");
    EXPECT_EQ(count("vety"), documents + 1);
}

TEST_F(Writers, CancellationIsAllOrNothing) {
    const std::string sale = cashSale();
    storeQuery("storno_celeho_dokladu",
               "insert into vety (pohyb, parcdok) select pohyb, cdok from vety where id = ?1;\n"
               "update sklad set stav = stav + 100 where ?1 is not null;\n"
               "insert into no_such_table values (?1)");
    const std::string result = t->stornoCelehoDokladu(idOf(sale), "10");
    EXPECT_EQ(result, "chyba!,,no such table: no_such_table");
    EXPECT_EQ(count("vety"), 1);
    EXPECT_EQ(stock("T001"), 32);
}

TEST_F(Writers, ProtocolAndInvoicePaymentOnlyOnce) {
    const std::string sale = cashSale();
    const std::string id = idOf(sale);
    ASSERT_EQ(t->vytvorPreberaciProtokol(id, "10"), "ok!,,cdok=1002");
    auto row = query("select pohyb, parcdok from vety where cdok = 1002");
    EXPECT_EQ(row[0]["pohyb"], "16");
    EXPECT_EQ(row[0]["parcdok"], sale);
    EXPECT_EQ(value("select count(*) from polo where cdok = 1002"), "1");
    EXPECT_EQ(stock("T001"), 32);
    EXPECT_EQ(t->vytvorPreberaciProtokol(id, "10"),
              "chyba!,,na vybraný doklad už bol vytvorený preberací protokol 1002");
    EXPECT_EQ(t->vytvorPreberaciProtokol(id, "44"),
              "chyba!,, pre vybraný doklad nie je možné vytvoriť preberací protokol");

    customer("10101-01");
    load(typ("predaj", "faktúra"));
    choose("T002", "2027-03-31", 3);
    const std::string invoice = cdokOf(post());
    ASSERT_EQ(t->vytvorUhraduFaktury(idOf(invoice), "20"), "ok!,,cdok=1004");
    row = query("select pohyb, parcdok, sumdokz from vety where cdok = 1004");
    EXPECT_EQ(row[0]["pohyb"], "6");
    EXPECT_EQ(row[0]["parcdok"], invoice);
    EXPECT_EQ(row[0]["sumdokz"], value("select sumdokz from vety where cdok = ?", {invoice}));
    EXPECT_EQ(t->vytvorUhraduFaktury(idOf(invoice), "20"),
              "chyba!,,na vybraný doklad už bola vytvorená úhrada faktúry 1004");
    EXPECT_EQ(count("vety"), 4);

    exec("delete from sqliteadmin_queries where name = 'preberaci_protokol_insert'");
    EXPECT_EQ(t->vytvorPreberaciProtokol(idOf(invoice), "20"),
              "chyba!,,nenajdene query 'preberaci_protokol_insert'.");
    EXPECT_EQ(count("vety"), 4);
}

TEST_F(Writers, InventoryOfEveryStockType) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"tovar", "17"}, {"pos", "57"}, {"vzorky", "67"}, {"darčeky", "47"}};
    int expectedCdok = 1001;
    for (const auto& [caption, pohyb] : rows) {
        auto menuItem = typ("inventura", caption);
        t->info = "something";
        const std::string result = t->vytvorInventurnyVypis(menuItem);
        ASSERT_EQ(result, "ok!,,cdok=" + std::to_string(expectedCdok)) << caption;
        EXPECT_EQ(t->info, "");
        const std::string cdok = std::to_string(expectedCdok++);
        EXPECT_EQ(value("select pohyb from vety where cdok = ?", {cdok}), pohyb);
        EXPECT_EQ(value("select count(*) from polo where cdok = ?", {cdok}),
                  value("select count(*) from sklad_sarza where stav <> 0 and sklad_typ = ?",
                        {std::to_string(menuItem->sklad_typ)}));
        EXPECT_EQ(value("select sum(mnoz) from polo where cdok = ?", {cdok}),
                  value("select sum(stav) from sklad_sarza where sklad_typ = ?", {std::to_string(menuItem->sklad_typ)}));
    }
    auto other = std::make_shared<MenuItem>();
    EXPECT_EQ(t->vytvorInventurnyVypis(other), "chyba!,,nenajdene query 'inventura_insert_0'.");
    EXPECT_EQ(count("vety"), 4);
}

TEST_F(Writers, DailyClosingAndItsExportFile) {
    const std::string sale = cashSale();
    ASSERT_EQ(t->zapisVklad("20.00", ""), "ok!,,cdok=1002");
    const std::string closing = t->zapisUzavierku();
    ASSERT_EQ(closing, "ok!,,1003");
    auto row = query("select pohyb, info, ducis, sumdokz from vety where cdok = 1003");
    EXPECT_EQ(row[0]["pohyb"], "90");
    EXPECT_EQ(row[0]["info"], "uzavierka");
    EXPECT_EQ(row[0]["ducis"], "1");
    EXPECT_DOUBLE_EQ(std::atof(row[0]["sumdokz"].c_str()),
                     20.0 + std::atof(value("select sumdokz from vety where cdok = ?", {sale}).c_str()));
    EXPECT_EQ(value("select count(*) from vety where ducis is null"), "0");

    EXPECT_EQ(t->exportDU(""), "chyba!,,\"\" nie je číslo uzávierky");
    ASSERT_EQ(t->exportDU("1003"), "ok!,,export 1003.db3");
    const std::string file = dir_ + "/out/1003.db3";
    ASSERT_TRUE(std::filesystem::exists(file));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    auto scalar = [&](const char* sql) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        std::string out;
        if (st && sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
            out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        return out;
    };
    EXPECT_EQ(scalar("select group_concat(cdok) from (select cdok from vety order by id)"), "1001,1002,1003");
    EXPECT_EQ(scalar("select count(*) from polo"), "1");
    EXPECT_EQ(scalar("select count(*) from odbe"), "1");
    sqlite3_close(db);

    // Exporting again replaces the closing's rows instead of doubling them.
    ASSERT_EQ(t->exportDU("1003"), "ok!,,export 1003.db3");
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(scalar("select count(*) from vety"), "3");
    sqlite3_close(db);

    // A closing whose number cannot be read back is no success.
    storeQuery("last_insert_cdok", "select null CDOK");
    EXPECT_EQ(t->zapisUzavierku(), "chyba!,,zapis du");
}

TEST_F(Writers, ClosingCountsTheCashOfAnInvoiceOnce) {
    customer("10101-01");
    load(typ("predaj", "faktúra na hotovosť"));
    choose("T002", "2027-03-31", 3);
    const std::string settled = cdokOf(post());
    load(typ("predaj", "faktúra"));
    choose("T002", "2027-03-31", 2);
    const std::string onAccount = cdokOf(post());
    // Both paid in cash: the one settled in cash on writing is counted once.
    ASSERT_EQ(t->vytvorUhraduFaktury(idOf(settled), "20").rfind("ok!", 0), 0u);
    ASSERT_EQ(t->vytvorUhraduFaktury(idOf(onAccount), "20").rfind("ok!", 0), 0u);
    ASSERT_EQ(t->zapisUzavierku().rfind("ok!", 0), 0u);
    EXPECT_EQ(value("select printf('%.2f', sumdokz) from vety where pohyb = 90"),
              value("select printf('%.2f', sum(sumdokz)) from vety where cdok in (?, ?)", {settled, onAccount}));
}

TEST_F(Writers, FiscalWriteBack) {
    const std::string sale = cashSale();
    const std::string id = idOf(sale);
    EXPECT_EQ(t->updateDokladById("U-1", "OKP-1", "2026-12-07", "2026-12-07", "2026-12-07", "202612" "00007", id),
              "ok!,,id=" + id);
    auto row = query("select uid, okp, pardok from vety where id = ?", {id});
    EXPECT_EQ(row[0]["uid"], "U-1");
    EXPECT_EQ(row[0]["okp"], "OKP-1");
    EXPECT_EQ(row[0]["pardok"], "20261200007");
    EXPECT_EQ(t->printingDoklad["OKP"], "OKP-1");
    // No document of that id: nothing was stored, which is no success.
    EXPECT_EQ(t->updateDokladById("U-9", "OKP-9", "", "", "", "9", "999999").rfind("chyba!,,", 0), 0u);
    EXPECT_EQ(t->printingDoklad["OKP"], "OKP-1");
    // Another registration's values never replace those of the document.
    EXPECT_EQ(t->updateDokladByCdok(std::nullopt, "OKP-2", std::nullopt, std::nullopt, std::nullopt, std::nullopt, sale)
                  .rfind("chyba!,,", 0),
              0u);
    EXPECT_EQ(value("select coalesce(uid, 'NULL') || ' ' || okp from vety where id = ?", {id}), "U-1 OKP-1");
    EXPECT_EQ(t->updateDokladByCdok(std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                    std::nullopt),
              "");
}

TEST_F(Writers, TheDocumentBeingPrintedTakesItsIdentifiersOnTheMainQueue) {
    const std::string id = idOf(cashSale());
    t->printingDoklad = {{"ID", id}};
    // The fiscal service's answer is handled on a queue of its own.
    std::string result;
    platform::DispatchSemaphore done(0);
    platform::DispatchQueue::global()->async([&] {
        result = t->updateDokladById("U-1", "OKP-1", std::nullopt, std::nullopt, std::nullopt, "20261200007", id);
        done.signal();
    });
    ASSERT_TRUE(done.wait(5.0));
    EXPECT_EQ(result, "ok!,,id=" + id);
    EXPECT_EQ(t->printingDoklad.count("PARDOK"), 0u);
    platform::MainRunLoop::drain();
    EXPECT_EQ(t->printingDoklad["PARDOK"], "20261200007");
    EXPECT_EQ(t->printingDoklad["UID"], "U-1");
}

}  // namespace
