// Posting on a connection the caller holds, the statement runner and the
// document number reader.
#include "posting/PostingFixture.h"

#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "report/DataItem.h"

using posting_test::PostingFixture;

namespace {

class HeldConnection : public PostingFixture {};

TEST_F(HeldConnection, FailuresReachTheCallerWhoseRollbackUndoesEverything) {
    exec("delete from sqliteadmin_queries where name = 'cdok_set'");
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 2);
    t->prepocitajDoklad(t->getPolozkyArray());
    auto db = SqlDatabase::databaseWithPath(t->dbURL);
    ASSERT_TRUE(db->open());
    ASSERT_TRUE(db->beginTransaction());
    try {
        t->zapisDokladDB(*db);
        ADD_FAILURE() << "no failure signalled";
    } catch (const TrekoraError& e) {
        EXPECT_EQ(std::string(e.what()), "nenajdene query 'cdok_set'.");
    }
    EXPECT_TRUE(db->inTransaction());
    db->rollback();
    db->close();
    EXPECT_EQ(count("vety"), 0);
    EXPECT_EQ(count("temp_vety"), 0);
    EXPECT_EQ(batch("T001", "2027-05-31"), 12);
}

TEST_F(HeldConnection, SuccessStaysInTheCallersTransaction) {
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 2);
    t->prepocitajDoklad(t->getPolozkyArray());
    auto db = SqlDatabase::databaseWithPath(t->dbURL);
    ASSERT_TRUE(db->open());
    ASSERT_TRUE(db->beginTransaction());
    EXPECT_EQ(t->zapisDokladDB(*db), "ok! ,,cdok=1001");
    db->rollback();
    db->close();
    EXPECT_EQ(count("vety"), 0);
}

TEST_F(HeldConnection, RunnerRunsEveryStatementWithTheSameValues) {
    storeQuery("skuska", "-- two statements\ninsert into km (hodnota) values (?1);\n\n  ;\ninsert into km (hodnota) "
                         "values (:b || 'x');");
    auto db = SqlDatabase::databaseWithPath(t->dbURL);
    ASSERT_TRUE(db->open());
    t->executeQueryDB(*db, "skuska", {std::string("7")});
    EXPECT_EQ(value("select group_concat(hodnota) from km"), "184310,7,7x");
    EXPECT_THROW(t->executeQueryDB(*db, "nic", {}), TrekoraError);
    storeQuery("zle", "insert into km (hodnota) values ('a');\ninsert into nic values (1)");
    EXPECT_THROW(t->executeQueryDB(*db, "zle", {}), std::exception);
    db->close();
}

TEST_F(HeldConnection, DocumentNumberForTheStockTransfer) {
    EXPECT_EQ(t->getCdok("19"), "1001");
    exec("delete from sqliteadmin_queries where name = 'cdok_get'");
    EXPECT_EQ(t->getCdok("19"), "");
}

TEST_F(HeldConnection, ReportDefinitionsByName) {
    ASSERT_TRUE(t->findDataItem("sklad_nenulove"));
    EXPECT_FALSE(t->findDataItem("Sklad_nenulove"));
    auto rows = t->getData("sklad_nenulove");
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].at("IDTOV"), "T001");
    EXPECT_TRUE(t->getData("nic").empty());
}

}  // namespace
