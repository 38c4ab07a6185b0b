#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <limits>

#include "DbTestSupport.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

namespace {

using Values = SqlDatabase::Values;

class SqlDatabaseTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        db = SqlDatabase::databaseWithPath(path("test.db3"));
        ASSERT_TRUE(db->open());
        ASSERT_TRUE(db->executeUpdate("create table t (a integer, b text, c real, d blob, e text)"));
    }
    std::shared_ptr<SqlDatabase> db;
};

TEST_F(SqlDatabaseTest, OpensFromFileUrlAndInMemory) {
    auto byUrl = SqlDatabase::databaseWithURL("file://" + path("a%20b.db3"));
    EXPECT_EQ(byUrl->databasePath(), path("a b.db3"));
    ASSERT_TRUE(byUrl->open());
    EXPECT_TRUE(byUrl->open());  // already open: nothing happens
    EXPECT_TRUE(std::filesystem::exists(path("a b.db3")));
    EXPECT_TRUE(byUrl->close());
    EXPECT_FALSE(byUrl->isOpen());
    EXPECT_TRUE(byUrl->open());  // a closed connection opens again

    auto memory = SqlDatabase::databaseWithURL(std::nullopt);
    EXPECT_EQ(memory->sqlitePath(), ":memory:");
    EXPECT_TRUE(memory->open());
    EXPECT_TRUE(memory->goodConnection());

    auto never = std::make_shared<SqlDatabase>(path("never.db3"));
    EXPECT_TRUE(never->close());
    EXPECT_FALSE(never->goodConnection());

    auto bad = SqlDatabase::databaseWithPath(path("missing/dir/x.db3"));
    EXPECT_FALSE(bad->open());
    EXPECT_TRUE(logContains("error opening!: 14"));
    EXPECT_FALSE(bad->lastErrorMessage().empty());
    EXPECT_FALSE(bad->open());  // the stale handle is released first
    EXPECT_TRUE(bad->close());
    EXPECT_EQ(bad->sqliteHandle(), nullptr);
}

TEST_F(SqlDatabaseTest, BindsByPositionAndByNameOfFirstAppearance) {
    // Plain "?" parameters, by position; values past the count are ignored.
    EXPECT_TRUE(db->executeUpdate("insert into t (a, b) values (?, ?)", {1, "one", "ignored"}));
    // Named parameters take the position of their first appearance; a
    // repeated name shares it.
    EXPECT_TRUE(db->executeUpdate("insert into t (a, b, e) values (:A, @STR, :A || @STR)", {2, "two"}));
    auto rs = db->executeQuery("select a, b, e from t where a = ?", {2});
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->intForColumn("a"), 2);
    EXPECT_EQ(rs->stringForColumn("b"), "two");
    EXPECT_EQ(rs->stringForColumn("e"), "2two");
    EXPECT_FALSE(rs->next());

    // By map: only ":key" parameters are found by name.
    EXPECT_TRUE(db->executeUpdateWithParameterDictionary("insert into t (a, b) values (:a, :b)",
                                                         {{"a", 3}, {"b", "three"}}));
    EXPECT_EQ(db->intForQuery("select count(*) from t where b = :b and a = :b2", {"three", 3}), 1);
    EXPECT_FALSE(db->executeUpdateWithParameterDictionary("insert into t (a, b) values (:a, @b)",
                                                          {{"a", 4}, {"b", "four"}}));

    // No parameters with an empty list runs.
    EXPECT_TRUE(db->executeUpdate("delete from t where a = 3"));
    EXPECT_EQ(db->changes(), 1);
}

TEST_F(SqlDatabaseTest, BindsEveryValueKind) {
    ASSERT_TRUE(db->executeUpdate("create table k (v)"));
    auto date = SqlValue::Date(86400);
    Values values = {SqlValue(), SqlValue::null(), SqlValue::Blob{}, date,
                     static_cast<std::int8_t>(-5), static_cast<std::uint8_t>(250),
                     static_cast<std::int16_t>(-300), static_cast<std::uint16_t>(65000),
                     -7, 4294967295u, static_cast<std::int64_t>(1) << 40,
                     std::numeric_limits<std::uint64_t>::max(), 1.5f, 2.25, true, "t\xc3\xa9xt"};
    for (const auto& v : values) ASSERT_TRUE(db->executeUpdate("insert into k (v) values (?)", {v}));
    ASSERT_TRUE(db->executeUpdate("insert into k (v) values (?)", {std::string("ab\0cd", 5)}));

    auto rs = db->executeQuery("select v, typeof(v) as ty from k order by rowid");
    ASSERT_TRUE(rs);
    std::vector<std::string> types;
    std::vector<std::optional<std::string>> texts;
    while (rs->next()) {
        types.push_back(*rs->stringForColumn("ty"));
        texts.push_back(rs->stringForColumn("v"));
    }
    EXPECT_EQ(types, (std::vector<std::string>{"null", "null", "blob", "real", "integer", "integer", "integer",
                                               "integer", "integer", "integer", "integer", "integer", "real",
                                               "real", "integer", "text", "text"}));
    EXPECT_EQ(texts[3], "86400.0");
    EXPECT_EQ(texts[4], "-5");
    EXPECT_EQ(texts[5], "250");
    EXPECT_EQ(texts[7], "65000");
    EXPECT_EQ(texts[9], "4294967295");
    EXPECT_EQ(texts[11], "-1");  // 2^64-1 keeps its bits
    EXPECT_EQ(texts[12], "1.5");
    EXPECT_EQ(texts[14], "1");
    EXPECT_EQ(texts[15], "t\xc3\xa9xt");
    EXPECT_EQ(texts[16], "ab");  // text ends at its first zero byte
    EXPECT_EQ(db->intForQuery("select length(v) from k where typeof(v) = 'blob'"), 0);
}

TEST_F(SqlDatabaseTest, CursorDefaultsAndCaseInsensitiveNames) {
    ASSERT_TRUE(db->executeUpdate("insert into t values (null, null, null, null, 'x')"));
    ASSERT_TRUE(db->executeUpdate("insert into t values (42, 'txt', 2.5, x'0102', 'y')"));
    auto rs = db->executeQuery("select a as MixedA, b, c, d, e, e as E2, a as A2, b as a2 from t order by rowid");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->columnCount(), 8);
    EXPECT_EQ(rs->columnNameForIndex(0), "MixedA");
    EXPECT_FALSE(rs->resultDictionary());  // no row yet
    EXPECT_TRUE(logContains("Warning: There seem to be no columns in this set."));

    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->intForColumn("MIXEDA"), 0);
    EXPECT_TRUE(rs->columnIsNull("mixeda"));
    EXPECT_EQ(rs->stringForColumn("b"), std::nullopt);
    EXPECT_EQ(rs->doubleForColumn("C"), 0.0);
    EXPECT_FALSE(rs->dataForColumn("d"));
    EXPECT_EQ(rs->objectForColumn("b"), SqlValue::null());
    EXPECT_EQ(rs->UTF8StringForColumn("b"), nullptr);
    EXPECT_FALSE(rs->boolForColumn("a2"));

    // Unknown names: logged with the lower-cased name, read as index -1.
    clearLog();
    EXPECT_EQ(rs->columnIndexForName("NoSuch"), -1);
    EXPECT_EQ(logCount("Warning: I could not find the column named 'nosuch'."), 1);
    EXPECT_EQ(rs->intForColumn("nosuch"), 0);
    EXPECT_EQ(rs->stringForColumn("nosuch"), std::nullopt);
    EXPECT_TRUE(rs->columnIsNull("nosuch"));
    EXPECT_EQ(rs->objectForColumn("nosuch"), std::nullopt);
    EXPECT_EQ(rs->stringForColumnIndex(99), std::nullopt);
    EXPECT_EQ(rs->stringForColumnIndex(-1), std::nullopt);

    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->intForColumn("mixeda"), 42);
    EXPECT_EQ(rs->stringForColumn("MixedA"), "42");  // an integer read as text
    EXPECT_EQ(rs->longForColumn("MIXEDa"), 42);
    EXPECT_DOUBLE_EQ(rs->doubleForColumn("c"), 2.5);
    EXPECT_EQ(rs->stringForColumn("c"), "2.5");
    EXPECT_EQ(rs->dataForColumn("D"), (SqlValue::Blob{1, 2}));
    EXPECT_STREQ(rs->UTF8StringForColumn("B"), "txt");
    EXPECT_EQ(rs->objectForColumnIndex(0), SqlValue(static_cast<std::int64_t>(42)));
    // "A2" and "a2" differ only in case: a lookup reads the later column.
    EXPECT_EQ(rs->stringForColumn("A2"), "txt");
    auto row = rs->resultDictionary();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->at("A2"), SqlValue(static_cast<std::int64_t>(42)));
    EXPECT_EQ(row->at("a2"), SqlValue("txt"));

    // Remembered spellings never confuse names of equal length, whatever order
    // they are asked in.
    const std::vector<std::pair<std::string, int>> expected = {
        {"b", 1}, {"c", 2}, {"E", 4}, {"e2", 5}, {"A2", 7}, {"a2", 7}, {"d", 3}, {"mixedA", 0}};
    std::string name;  // one buffer, refilled: lookups must compare contents
    for (int round = 0; round < 3; ++round) {
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const auto& [n, idx] = expected[(k * (round + 3)) % expected.size()];
            name = n;
            EXPECT_EQ(rs->columnIndexForName(name), idx) << n;
        }
    }

    EXPECT_FALSE(rs->next());  // closes itself
    EXPECT_EQ(rs->columnCount(), 0);
    EXPECT_FALSE(db->hasOpenResultSets());
    clearLog();
    std::optional<SqlError> err;
    EXPECT_FALSE(rs->nextWithError(&err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, 21);
    EXPECT_EQ(err->description, "parentDB does not exist");
    EXPECT_TRUE(logContains("Error calling sqlite3_step (21: "));
}

TEST_F(SqlDatabaseTest, EmptyQueryTextGivesNoRows) {
    auto rs = db->executeQuery("");
    ASSERT_TRUE(rs);
    EXPECT_FALSE(rs->next());
    EXPECT_TRUE(log().empty());
}

TEST_F(SqlDatabaseTest, UpdateThatYieldsRowsFails) {
    std::optional<SqlError> err;
    EXPECT_FALSE(db->executeUpdate("select 1", {}, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->domain, "SqlDatabase");
    EXPECT_EQ(err->description, "A executeUpdate is being called with a query string 'select 1'");
    EXPECT_EQ(db->lastErrorMessage(), err->description);
}

TEST_F(SqlDatabaseTest, PrepareFailureIsReportedNeverFatal) {
    db->setCrashOnErrors(true);
    std::optional<SqlError> err;
    EXPECT_FALSE(db->executeUpdate("insert into nosuch values (1)", {}, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, "no such table: nosuch");
    EXPECT_EQ(err->code, SQLITE_ERROR);
    EXPECT_TRUE(logContains("DB Error: 1 \"no such table: nosuch\""));
    EXPECT_TRUE(logContains("DB Query: insert into nosuch values (1)"));
    err.reset();
    EXPECT_FALSE(db->executeQuery("select * from nosuch", {}, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, "no such table: nosuch");
    EXPECT_TRUE(db->hadError());
}

TEST_F(SqlDatabaseTest, LayerDetectedFailuresReportTheirOwnText) {
    // Too few values.
    std::optional<SqlError> err;
    EXPECT_FALSE(db->executeUpdate("insert into t (a, b) values (?, ?)", {1}, &err));
    const std::string updateText =
        "Error: the bind count (1) is not correct for the # of variables in the query (2) "
        "(insert into t (a, b) values (?, ?)) (executeUpdate)";
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, updateText);
    EXPECT_EQ(db->lastErrorMessage(), updateText);
    EXPECT_NE(db->lastErrorCode(), 0);
    EXPECT_TRUE(db->hadError());
    EXPECT_EQ(db->intForQuery("select count(*) from t"), 0);

    err.reset();
    EXPECT_FALSE(db->executeQuery("select * from t where a = ? and b = ?", {1}, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, "Error: the bind count is not correct for the # of variables (executeQuery)");
    EXPECT_EQ(db->lastError(), *err);
    EXPECT_EQ(db->intForQuery("select count(*) from t where a = ?"), 0);  // no value: 0 and the line

    // The next statement that reaches SQLite clears it.
    EXPECT_TRUE(db->executeUpdate("insert into t (a) values (1)"));
    EXPECT_EQ(db->lastErrorCode(), 0);

    // Not open.
    db->close();
    err.reset();
    EXPECT_FALSE(db->executeUpdate("insert into t (a) values (1)", {}, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, "The SqlDatabase " + db->description() + " is not open.");
    EXPECT_EQ(db->lastErrorMessage(), err->description);
    err.reset();
    EXPECT_FALSE(db->executeQuery("select 1", {}, &err));
    ASSERT_TRUE(err);
    EXPECT_NE(err->description, "not an error");
    EXPECT_EQ(logCount("The SqlDatabase " + db->description() + " is not open."), 2);

    // Calls that hand the connection's handle to SQLite fail the same way
    // on a closed connection instead of passing it a missing handle.
    const std::string notOpen = "The SqlDatabase " + db->description() + " is not open.";
    err.reset();
    EXPECT_FALSE(db->checkpoint(SQLITE_CHECKPOINT_PASSIVE, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, notOpen);
    EXPECT_FALSE(db->executeStatements("create table u (x)"));
    EXPECT_EQ(db->lastErrorMessage(), notOpen);
    err.reset();
    EXPECT_FALSE(db->validateSQL("select 1", &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, notOpen);
    db->makeFunctionNamed("f", 0, [](sqlite3_context* context, int, sqlite3_value**) {
        SqlDatabase::resultInt(1, context);
    });
    EXPECT_EQ(db->lastErrorMessage(), notOpen);
    EXPECT_EQ(logCount(notOpen), 6);
    ASSERT_TRUE(db->open());
    EXPECT_EQ(db->intForQuery("select count(*) from sqlite_master where name = 'u'"), 0);
}

TEST_F(SqlDatabaseTest, InUseGuardRefusesRowBookkeeping) {
    int seen = -1;
    std::string message;
    db->makeFunctionNamed("peek", 0, [&](sqlite3_context* ctx, int, sqlite3_value**) {
        seen = db->changes();
        message = db->lastErrorMessage();
        SqlDatabase::resultInt(7, ctx);
    });
    EXPECT_TRUE(db->executeUpdate("insert into t (a) values (peek())"));
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(message, "The SqlDatabase " + db->description() + " is currently in use.");
    EXPECT_EQ(logCount(message), 1);
    EXPECT_EQ(db->intForQuery("select a from t"), 7);
}

TEST_F(SqlDatabaseTest, LastInsertRowIdAndChanges) {
    EXPECT_EQ(db->lastInsertRowId(), 0);
    ASSERT_TRUE(db->executeUpdate("insert into t (a) values (?)", {10}));
    ASSERT_TRUE(db->executeUpdate("insert into t (a) values (?)", {11}));
    EXPECT_EQ(db->lastInsertRowId(), 2);
    ASSERT_TRUE(db->executeUpdate("update t set b = 'x'"));
    EXPECT_EQ(db->changes(), 2);
}

TEST_F(SqlDatabaseTest, ExclusiveTransactionsCommitAndRollBack) {
    EXPECT_FALSE(db->rollback());  // none open
    EXPECT_FALSE(db->isInTransaction());

    ASSERT_TRUE(db->beginTransaction());
    EXPECT_TRUE(db->inTransaction());
    // Exclusive: another connection cannot even read.
    auto other = SqlDatabase::databaseWithPath(path("test.db3"));
    ASSERT_TRUE(other->open());
    other->setMaxBusyRetryTimeInterval(0);
    auto blocked = other->executeQuery("select count(*) from t");
    EXPECT_FALSE(blocked && blocked->next());
    EXPECT_EQ(other->lastErrorMessage(), "database is locked");
    EXPECT_TRUE(db->executeUpdate("insert into t (a) values (1)"));
    ASSERT_TRUE(db->commit());
    EXPECT_FALSE(db->isInTransaction());
    EXPECT_EQ(other->intForQuery("select count(*) from t"), 1);

    ASSERT_TRUE(db->beginExclusiveTransaction());
    EXPECT_TRUE(db->executeUpdate("insert into t (a) values (2)"));
    ASSERT_TRUE(db->rollback());
    EXPECT_FALSE(db->isInTransaction());
    EXPECT_EQ(db->intForQuery("select count(*) from t"), 1);

    // A commit that fails keeps the flag; a begin that fails leaves it off.
    ASSERT_TRUE(db->beginDeferredTransaction());
    EXPECT_TRUE(db->executeUpdate("insert into t (a) values (3)"));
    auto rs = other->executeQuery("select * from t");  // reader holds a shared lock
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->next());
    db->setMaxBusyRetryTimeInterval(0);
    EXPECT_FALSE(db->commit());
    EXPECT_TRUE(db->isInTransaction());
    rs->close();
    EXPECT_TRUE(db->commit());
    EXPECT_FALSE(db->isInTransaction());

    ASSERT_TRUE(other->beginImmediateTransaction());
    EXPECT_FALSE(db->beginImmediateTransaction());
    EXPECT_FALSE(db->isInTransaction());
    EXPECT_TRUE(other->rollback());
}

TEST_F(SqlDatabaseTest, BusyHandlerGivesUpAfterItsLimit) {
    auto holder = SqlDatabase::databaseWithPath(path("test.db3"));
    ASSERT_TRUE(holder->open());
    ASSERT_TRUE(holder->beginExclusiveTransaction());

    db->setMaxBusyRetryTimeInterval(0.2);
    auto start = std::chrono::steady_clock::now();
    std::optional<SqlError> err;
    EXPECT_FALSE(db->executeUpdate("insert into t (a) values (1)", {}, &err));
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 0.2);
    EXPECT_LT(waited, 1.9);  // the default of 2 s would have been waited out
    ASSERT_TRUE(err);
    EXPECT_EQ(err->code, SQLITE_BUSY);
    EXPECT_EQ(err->description, "database is locked");

    // Without a handler the failure is immediate.
    db->setMaxBusyRetryTimeInterval(0);
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(db->executeUpdate("insert into t (a) values (1)"));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);

    ASSERT_TRUE(holder->commit());
    EXPECT_TRUE(db->executeUpdate("insert into t (a) values (1)"));
}

TEST_F(SqlDatabaseTest, AttachesFileUri) {
    {
        auto exportDb = SqlDatabase::databaseWithPath(path("export 1.db3"));
        ASSERT_TRUE(exportDb->open());
        ASSERT_TRUE(exportDb->executeUpdate("create table q (name text, sql text)"));
        ASSERT_TRUE(exportDb->executeUpdate("insert into q values ('update1', 'select 1')"));
    }
    std::string uri = "file://" + path("export%201.db3") + "?mode=ro";
    ASSERT_TRUE(db->executeUpdate("attach database ? as ex", {uri}));
    EXPECT_EQ(db->stringForQuery("select sql from ex.q where name = ?", {"update1"}), "select 1");
    EXPECT_FALSE(db->executeUpdate("insert into ex.q values ('x', 'y')"));  // read-only by URI
    EXPECT_TRUE(db->executeUpdate("detach database ex"));
}

TEST_F(SqlDatabaseTest, ClosingFinalisesCursorsAndLeakedStatements) {
    ASSERT_TRUE(db->executeUpdate("insert into t (a) values (1)"));
    auto rs = db->executeQuery("select a from t");
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->next());
    EXPECT_TRUE(db->hasOpenResultSets());
    sqlite3_stmt* leaked = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db->sqliteHandle(), "select 1", -1, &leaked, nullptr), SQLITE_OK);
    sqlite3_stmt* leaked2 = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db->sqliteHandle(), "select 2", -1, &leaked2, nullptr), SQLITE_OK);

    EXPECT_TRUE(db->close());
    EXPECT_EQ(logCount("Closing leaked statement"), 2);
    EXPECT_FALSE(db->hasOpenResultSets());
    EXPECT_EQ(rs->parentDB(), nullptr);
    EXPECT_EQ(rs->columnCount(), 0);
    EXPECT_EQ(db->sqliteHandle(), nullptr);
}

TEST_F(SqlDatabaseTest, CursorKeepsItsConnectionAlive) {
    ASSERT_TRUE(db->executeUpdate("insert into t (a) values (5)"));
    auto rs = db->executeQuery("select a from t");
    std::weak_ptr<SqlDatabase> weak = db;
    db.reset();
    EXPECT_FALSE(weak.expired());
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->intForColumn("A"), 5);
    rs->close();
    EXPECT_TRUE(weak.expired());  // the last holder let go: closed and gone
}

TEST_F(SqlDatabaseTest, LibraryFacts) {
    EXPECT_EQ(SqlDatabase::SqlLayerUserVersion(), "1.4.2");
    EXPECT_EQ(SqlDatabase::SqlLayerVersion(), 0x142u);
    EXPECT_TRUE(SqlDatabase::isSQLiteThreadSafe());
    EXPECT_EQ(SqlDatabase::sqliteLibVersion(), sqlite3_libversion());
    EXPECT_EQ(db->busyRetryTimeout(), -1);
    EXPECT_TRUE(logContains("SqlDatabase: busyRetryTimeout no longer works, please use maxBusyRetryTimeInterval"));
}

}  // namespace
