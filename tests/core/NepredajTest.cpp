#include "support/TrekoraTestEnvironment.h"

#include "core/TrekoraError.h"
#include "records/OdberatelItem.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

namespace {

class NepredajTest : public TrekoraTest {
protected:
    std::string documentCount() { return scalar("select count(*) from vety"); }
};

// Every new connection gets a commit hook that turns each COMMIT into a
// rollback: the way a commit fails for real (busy disk, constraint at commit).
int refuseCommit(void*) { return 1; }
int installRefusingHook(sqlite3* db, const char**, const void*) {
    sqlite3_commit_hook(db, refuseCommit, nullptr);
    return SQLITE_OK;
}

// An authoriser that refuses to begin a transaction: the begin fails while
// every other statement would still run (in autocommit).
int refuseBegin(void*, int action, const char* operation, const char*, const char*, const char*) {
    return action == SQLITE_TRANSACTION && operation && std::string(operation) == "BEGIN" ? SQLITE_DENY : SQLITE_OK;
}
int installBeginRefusal(sqlite3* db, const char**, const void*) {
    sqlite3_set_authorizer(db, refuseBegin, nullptr);
    return SQLITE_OK;
}

} // namespace

TEST_F(NepredajTest, WritesTheRecordAndAnswersItsNumber) {
    Trekora& t = trekora();
    ASSERT_TRUE(t.checkUzivatelPin("1234"));
    t.readOdberatelArray();
    t.selectedOdberatelItem = t.odberatelArray.front();
    const std::string before = documentCount();

    const std::string result = t.zapisNepredaj("zatvorené");
    ASSERT_TRUE(ResultString::isSuccess(result)) << result;
    EXPECT_EQ(result.rfind("ok!,,cdok=", 0), 0u);
    const std::string cdok = ResultString::number(result);
    EXPECT_EQ(cdok, scalar("select cdok from vety where id = (select max(id) from vety)"));
    EXPECT_EQ(std::stoi(documentCount()), std::stoi(before) + 1);
    EXPECT_EQ(scalar("select info from vety where cdok = " + cdok), "KOM:zatvorené");
    EXPECT_EQ(scalar("select km from vety where cdok = " + cdok), "184310");  // re-read before writing
    EXPECT_EQ(scalar("select pohyb from vety where cdok = " + cdok), "0");
    EXPECT_EQ(scalar("select idu from vety where cdok = " + cdok), "1");
    EXPECT_EQ(scalar("select ido from vety where cdok = " + cdok), t.selectedOdberatelItem->IDO);
    EXPECT_EQ(t.km, "184310");
    EXPECT_TRUE(console().contains("commit"));
    EXPECT_TRUE(console().contains("cdok= " + cdok));
}

TEST_F(NepredajTest, AVisitAtASecondEstablishmentIsWrittenForIt) {
    Trekora& t = trekora();
    t.readOdberatelArray();
    for (const auto& o : t.odberatelArray)
        if (o->IDOSC == "10306-02") t.selectedOdberatelItem = o;  // Žabokreky, the second establishment of Sučany
    ASSERT_EQ(t.selectedOdberatelItem->IDOSC, "10306-02");
    const std::string cdok = ResultString::number(t.zapisNepredaj("zatvorené"));
    EXPECT_EQ(scalar("select idosc from vety where cdok = '" + cdok + "'"), "10306-02");
    EXPECT_EQ(scalar("select idosc || ' ' || mesto from odbe where cdok = '" + cdok + "'"), "10306-02 Žabokreky");
}

TEST_F(NepredajTest, AMissingStoredTextStopsBeforeAnythingIsWritten) {
    execute("delete from sqliteadmin_queries where name = 'last_insert_cdok';");
    const std::string before = documentCount();
    const std::string result = trekora().zapisNepredaj("zatvorené");
    EXPECT_EQ(result, "chyba!,,nenajdene query 'last_insert_cdok'.");
    EXPECT_EQ(documentCount(), before);
    EXPECT_TRUE(console().contains("rollback"));

    execute("insert into sqliteadmin_queries (name, sql) values ('last_insert_cdok', 'select max(cdok) CDOK from vety');"
            "update sqliteadmin_queries set sql = ' ; ' where name = 'nepredaj_insert';");
    const std::string empty = trekora().zapisNepredaj("x");
    EXPECT_EQ(empty.rfind("chyba!,,", 0), 0u) << empty;
    EXPECT_EQ(documentCount(), before);
}

TEST_F(NepredajTest, AFailingSecondStatementRollsBackTheWholeRecord) {
    execute("update sqliteadmin_queries set sql = "
            "'insert into km (hodnota) values (?3); insert into km (hodnota) values (?1);' "
            "where name = 'nepredaj_insert';");
    const std::string before = scalar("select count(*) from km");
    const std::string result = trekora().zapisNepredaj("r");
    EXPECT_EQ(result.rfind("chyba!,,", 0), 0u) << result;
    EXPECT_EQ(scalar("select count(*) from km"), before);
}

TEST_F(NepredajTest, AFirstStatementWithFewerParametersTakesTheFirstValues) {
    execute("update sqliteadmin_queries set sql = 'insert into km (hodnota) values (?1 || ''/'' || ?3)' "
            "where name = 'nepredaj_insert';"
            "update sqliteadmin_queries set sql = 'select ''77'' CDOK' where name = 'last_insert_cdok';");
    trekora().idu = "5";
    EXPECT_EQ(trekora().zapisNepredaj(""), "ok!,,cdok=77");
    EXPECT_EQ(scalar("select count(*) from km where hodnota = '5/KOM:'"), "1");
}

TEST_F(NepredajTest, NoNumberFromTheLastQueryIsAFailure) {
    execute("update sqliteadmin_queries set sql = 'select null CDOK' where name = 'last_insert_cdok';");
    const std::string before = documentCount();
    const std::string result = trekora().zapisNepredaj("zatvorené");
    EXPECT_EQ(result.rfind("chyba!,,", 0), 0u) << result;
    EXPECT_EQ(documentCount(), before);
}

TEST_F(NepredajTest, AFailedCommitIsReportedAndLeavesNothing) {
    Trekora& t = trekora();
    const std::string before = documentCount();
    sqlite3_auto_extension(reinterpret_cast<void (*)(void)>(installRefusingHook));
    const std::string result = t.zapisNepredaj("zatvorené");
    sqlite3_reset_auto_extension();
    EXPECT_EQ(result.rfind("chyba!,,", 0), 0u) << result;
    EXPECT_FALSE(console().contains("commit"));
    EXPECT_EQ(documentCount(), before);
}

TEST_F(NepredajTest, AFailedBeginWritesNothingAndIsReported) {
    Trekora& t = trekora();
    const std::string before = documentCount();
    sqlite3_auto_extension(reinterpret_cast<void (*)(void)>(installBeginRefusal));
    const std::string result = t.zapisNepredaj("zatvorené");
    sqlite3_reset_auto_extension();
    EXPECT_EQ(result.rfind("chyba!,,", 0), 0u) << result;
    EXPECT_EQ(documentCount(), before);
}
