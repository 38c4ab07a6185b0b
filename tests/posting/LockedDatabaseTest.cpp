// Writers meeting a database that another connection keeps locked, and the
// posting inside a transaction that the caller holds.
#include "posting/PostingFixture.h"

#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "records/TempVetyItem.h"

using posting_test::PostingFixture;

namespace {

class LockedDatabase : public PostingFixture {
protected:
    void SetUp() override {
        PostingFixture::SetUp();
        // No writer waits long for the lock held below.
        t->postingBusyTimeout = 0.05;
    }

    // Another connection that has begun writing: readers go on, but no
    // second writer gets its exclusive transaction.
    std::shared_ptr<SqlDatabase> holdWriteLock() {
        auto other = SqlDatabase::databaseWithPath(t->dbURL);
        EXPECT_TRUE(other->open());
        EXPECT_TRUE(other->beginImmediateTransaction());
        return other;
    }
};

TEST_F(LockedDatabase, AFailedBeginRunsNothingAndIsAFailure) {
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 2);
    t->prepocitajDoklad(t->getPolozkyArray());
    auto other = holdWriteLock();
    const std::string before = fileBytes();

    EXPECT_EQ(t->zapisDoklad(), "chyba! ,,database is locked");
    EXPECT_EQ(t->zapisVklad("10.00", ""), "chyba!,,database is locked");
    EXPECT_EQ(t->vytvorInventurnyVypis(typ("inventura", "tovar")), "chyba!,,database is locked");
    EXPECT_EQ(t->zapisDokladPreAktivitu("2", "1001"),
              "chyba!,,zapisDokladPreAktivitu(aktivitaId:parCdok:)\ndatabase is locked");
    EXPECT_EQ(t->preberaciCheckParCdok("1", "10"), "chyba!,,database is locked");
    t->printingDoklad["OKP"] = "earlier";
    EXPECT_EQ(t->updateDokladById("U", "OKP", "", "", "", "", "1"), "chyba!,,database is locked");
    EXPECT_EQ(t->printingDoklad["OKP"], "earlier");

    other->rollback();
    other->close();
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(count("vety"), 0);
    EXPECT_EQ(count("temp_vety"), 0);
    EXPECT_EQ(stock("T001"), 36);

    // Once the lock is gone the same document is written.
    EXPECT_EQ(t->zapisDoklad(), "ok! ,,cdok=1001");
    EXPECT_EQ(stock("T001"), 34);
}

TEST_F(LockedDatabase, ReceiptNumberIsReadOnTheHeldConnection) {
    // Fiscal printing off: a cash sale takes its receipt number while the
    // caller's exclusive transaction is open.
    t->nastaveniaItem->FISKAL_PRINT = "N";
    exec("insert into vety (pohyb, info) values (10, 'DC:41')");
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 1);
    t->prepocitajDoklad(t->getPolozkyArray());
    auto db = SqlDatabase::databaseWithPath(t->dbURL);
    ASSERT_TRUE(db->open());
    ASSERT_TRUE(db->beginTransaction());
    EXPECT_EQ(t->getParagonNumberDB(*db), "DC:42");
    const std::string result = t->zapisDokladDB(*db);
    EXPECT_EQ(t->tempVetyArray.front()->INFO, "DC:42");
    ASSERT_TRUE(db->commit());
    db->close();
    ASSERT_EQ(result.rfind("ok! ,,cdok=", 0), 0u) << result;
    EXPECT_EQ(value("select info from vety where cdok = ?", {cdokOf(result)}), "DC:42");

    // Outside a transaction the public reader still opens its own connection.
    EXPECT_EQ(t->getParagonNumber(), "DC:43");
}

TEST_F(LockedDatabase, PriceListOfOrdersForDeliveryIsReadOnTheHeldConnection) {
    t->nastaveniaItem->OBJ_PRE_IMPORT = "A";
    t->selectedTypDokladuItem = typ("predaj", "hotovosť");
    const auto outside = t->readTovarArray(t->selectedOdberatelItem->IDOSC, "lookup_cennik");
    ASSERT_FALSE(outside.empty());
    auto db = SqlDatabase::databaseWithPath(t->dbURL);
    ASSERT_TRUE(db->open());
    ASSERT_TRUE(db->beginTransaction());
    const auto inside = t->readTovarArrayDB(*db, t->selectedOdberatelItem->IDOSC, "lookup_cennik");
    db->rollback();
    db->close();
    ASSERT_EQ(inside.size(), outside.size());
    EXPECT_EQ(inside.front()->IDTOV, outside.front()->IDTOV);
}

TEST_F(LockedDatabase, FrameWritersWithoutTheNumberQueryWriteNothing) {
    const std::string sale = [&] {
        load(typ("predaj", "hotovosť"));
        choose("T001", "2027-05-31", 1);
        return cdokOf(post());
    }();
    ASSERT_EQ(sale, "1001");
    exec("delete from sqliteadmin_queries where name = 'last_insert_cdok'");
    const std::string id = value("select id from vety where cdok = 1001");
    EXPECT_EQ(t->stornoFiskal(id, "10"), "chyba!,,nenajdene query 'last_insert_cdok'.");
    EXPECT_EQ(t->stornoCelehoDokladu(id, "10"), "chyba!,,nenajdene query 'last_insert_cdok'.");
    EXPECT_EQ(t->vytvorInventurnyVypis(typ("inventura", "pos")), "chyba!,,nenajdene query 'last_insert_cdok'.");
    EXPECT_EQ(t->zapisVyber("-1.00", ""), "chyba!,,nenajdene query 'last_insert_cdok'.");
    EXPECT_EQ(count("vety"), 1);
    EXPECT_EQ(stock("T001"), 35);
}

}  // namespace
