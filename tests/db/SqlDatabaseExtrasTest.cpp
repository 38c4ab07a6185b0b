#include <sqlite3.h>

#include "DbTestSupport.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlStatement.h"
#include "platform/DateFormatter.h"

namespace {

class SqlDatabaseExtrasTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        db = SqlDatabase::databaseWithPath(path("extras.db3"));
        ASSERT_TRUE(db->open());
        ASSERT_TRUE(db->executeUpdate("create table vety (cdok integer, str text)"));
    }
    int count() { return db->intForQuery("select count(*) from vety"); }
    std::shared_ptr<SqlDatabase> db;
};

TEST_F(SqlDatabaseExtrasTest, SavepointsRollBackAndRelease) {
    ASSERT_TRUE(db->startSavePointWithName("it's"));
    ASSERT_TRUE(db->executeUpdate("insert into vety values (1, 'a')"));
    ASSERT_TRUE(db->rollbackToSavePointWithName("it's"));
    ASSERT_TRUE(db->releaseSavePointWithName("it's"));
    EXPECT_EQ(count(), 0);

    auto err = db->inSavePoint([&](bool& rollback) {
        db->executeUpdate("insert into vety values (2, 'b')");
        rollback = true;
    });
    EXPECT_FALSE(err);
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(db->releaseSavePointWithName("dbSavePoint0"));  // it was released

    err = db->inSavePoint([&](bool&) { db->executeUpdate("insert into vety values (3, 'c')"); });
    EXPECT_FALSE(err);
    EXPECT_EQ(count(), 1);

    // When the start fails the callback is not called.
    db->close();
    bool called = false;
    err = db->inSavePoint([&](bool&) { called = true; });
    EXPECT_FALSE(called);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->domain, "SqlDatabase");
}

TEST_F(SqlDatabaseExtrasTest, StatementCacheReusesOnlyFreeStatements) {
    db->setShouldCacheStatements(true);
    ASSERT_TRUE(db->executeUpdate("insert into vety values (?, ?)", {1, "a"}));
    ASSERT_TRUE(db->executeUpdate("insert into vety values (?, ?)", {2, "b"}));
    auto set = db->cachedStatements()->at("insert into vety values (?, ?)");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ((*set.begin())->useCount(), 2);

    const std::string q = "select cdok from vety where cdok > ? order by cdok";
    auto rs1 = db->executeQuery(q, {0});
    ASSERT_TRUE(rs1 && rs1->next());
    auto rs2 = db->executeQuery(q, {1});  // first still reading: a second statement
    ASSERT_TRUE(rs2 && rs2->next());
    EXPECT_EQ(db->cachedStatements()->at(q).size(), 2u);
    EXPECT_EQ(rs1->intForColumn("cdok"), 1);
    EXPECT_EQ(rs2->intForColumn("cdok"), 2);
    rs1->close();
    rs2->close();
    auto rs3 = db->executeQuery(q, {0});
    ASSERT_TRUE(rs3 && rs3->next());
    EXPECT_EQ(rs3->intForColumn("CDOK"), 1);
    rs3->close();
    EXPECT_EQ(db->cachedStatements()->at(q).size(), 2u);

    // A cached statement that fails its bind check leaves the cache and is
    // never handed out again.
    EXPECT_FALSE(db->executeQuery(q, {}));
    EXPECT_EQ(db->cachedStatements()->at(q).size(), 1u);
    EXPECT_FALSE(db->executeUpdate("insert into vety values (?, ?)", {9}));
    EXPECT_EQ(db->cachedStatements()->count("insert into vety values (?, ?)"), 0u);
    ASSERT_TRUE(db->executeUpdate("insert into vety values (?, ?)", {3, "c"}));
    for (int i = 0; i < 2; ++i) {
        auto rs = db->executeQuery(q, {2});
        ASSERT_TRUE(rs && rs->next());
        EXPECT_EQ(rs->intForColumn("cdok"), 3);
    }

    // Clearing the cache under an open cursor leaves the cursor readable.
    auto reading = db->executeQuery(q, {0});
    ASSERT_TRUE(reading && reading->next());
    db->clearCachedStatements();
    ASSERT_TRUE(reading->next());
    EXPECT_EQ(reading->intForColumn("cdok"), 2);
    reading->close();

    db->setShouldCacheStatements(false);
    EXPECT_FALSE(db->cachedStatements());
}

TEST_F(SqlDatabaseExtrasTest, BlankTextsStayOutOfTheStatementCache) {
    db->setShouldCacheStatements(true);
    for (const char* blank : {"", "   ", "-- nothing", ";"}) {
        for (int i = 0; i < 3; ++i) {
            auto rs = db->executeQuery(blank);
            ASSERT_TRUE(rs) << blank;
            EXPECT_FALSE(rs->next());
            db->executeUpdate(blank);
        }
    }
    EXPECT_TRUE(!db->cachedStatements() || db->cachedStatements()->empty());
}

TEST_F(SqlDatabaseExtrasTest, ACursorFollowsAStatementPreparedAgainWithMoreColumns) {
    db->setShouldCacheStatements(true);
    const std::string q = "select * from vety order by cdok";
    ASSERT_TRUE(db->executeUpdate("insert into vety values (?, ?)", {1, "a"}));
    auto first = db->executeQuery(q);
    ASSERT_TRUE(first && first->next());
    EXPECT_EQ(first->columnCount(), 2);
    first->close();
    // The cached statement is prepared again by SQLite with the new column.
    ASSERT_TRUE(db->executeUpdate("alter table vety add column poznamka text default 'nova'"));
    auto again = db->executeQuery(q);
    ASSERT_TRUE(again && again->next());
    EXPECT_EQ(again->columnCount(), 3);
    EXPECT_EQ(again->stringForColumnIndex(2), "nova");
    EXPECT_EQ(again->stringForColumn("poznamka"), "nova");
    EXPECT_EQ(again->columnNameForIndex(2), "poznamka");
    again->close();
}

TEST_F(SqlDatabaseExtrasTest, TextThatIsNotUtf8ReadsAsNothing) {
    struct Case {
        const char* hex;
        bool valid;
    };
    const Case cases[] = {
        {"41", true},          {"C3A9", true},        {"EFBFBF", true},       {"F09F9880", true},
        {"F48FBFBF", true},    {"C0AF", false},       {"C1BF", false},        {"E080AF", false},
        {"F08082AF", false},   {"EDA080", false},     {"EDBFBF", false},      {"F4908080", false},
        {"F5808080", false},   {"80", false},         {"E282", false},        {"414243444546474849C3", false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(db->executeStatements(std::string("delete from vety; insert into vety values (1, cast(x'") +
                                          c.hex + "' as text))"));
        auto rs = db->executeQuery("select str from vety");
        ASSERT_TRUE(rs && rs->next());
        EXPECT_EQ(rs->stringForColumnIndex(0).has_value(), c.valid) << c.hex;
        rs->close();
        std::optional<std::string> batch;
        db->executeStatements("select str from vety", [&](const SqlDatabase::BatchRow& row) {
            batch = row.at("str");
            return 0;
        });
        EXPECT_EQ(batch.has_value(), c.valid) << c.hex;
    }
}

TEST_F(SqlDatabaseExtrasTest, FormatExtractionMakesParameters) {
    SqlValue text("x");
    ASSERT_TRUE(db->executeUpdateWithFormat("insert into vety values (%d, %@)", 5, &text));
    ASSERT_TRUE(db->executeUpdateWithFormat("insert into vety values (%lld, %s)", 6LL, "y"));
    ASSERT_TRUE(db->executeUpdateWithFormat("insert into vety values (%hi, %@)", 7, static_cast<SqlValue*>(nullptr)));
    EXPECT_EQ(db->intForQuery("select count(*) from vety where str is null"), 1);
    auto rs = db->executeQueryWithFormat("select cdok from vety where str = %s", "y");
    ASSERT_TRUE(rs && rs->next());
    EXPECT_EQ(rs->intForColumn("cdok"), 6);
    rs->close();

    auto extract = [](const char* format, ...) {
        va_list args;
        va_start(args, format);
        std::string sql;
        SqlDatabase::Values values;
        SqlDatabase::extractSQL(format, args, sql, values);
        va_end(args);
        return std::make_pair(sql, values);
    };
    auto [sql1, v1] = extract("like '100%%d' %@", 3, static_cast<SqlValue*>(nullptr));
    EXPECT_EQ(sql1, "like '100%?' NULL");
    EXPECT_EQ(v1, (SqlDatabase::Values{3}));
    auto [sql2, v2] = extract("%u %hz %g %c", 4u, 2.5, 'q');
    EXPECT_EQ(sql2, "? hz ? ?");
    EXPECT_EQ(v2, (SqlDatabase::Values{4u, 2.5f, std::string("q")}));
}

TEST_F(SqlDatabaseExtrasTest, BatchRunsEveryStatement) {
    EXPECT_TRUE(db->executeStatements("insert into vety values (1, 'a'); insert into vety values (2, null);"));
    std::vector<SqlDatabase::BatchRow> rows;
    EXPECT_TRUE(db->executeStatements("select cdok, str from vety order by cdok", [&](const SqlDatabase::BatchRow& r) {
        rows.push_back(r);
        return 0;
    }));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at("str"), "a");
    EXPECT_EQ(rows[1].at("str"), std::nullopt);
    EXPECT_FALSE(db->executeStatements("insert into nosuch values (1)"));
    EXPECT_TRUE(logContains("Error inserting batch: no such table: nosuch"));
}

TEST_F(SqlDatabaseExtrasTest, CustomFunctionsAndDates) {
    db->makeFunctionNamed("twice", 1, [](sqlite3_context* ctx, int, sqlite3_value** argv) {
        if (SqlDatabase::valueType(argv[0]) == SQLITE_NULL)
            SqlDatabase::resultError("no value", ctx);
        else
            SqlDatabase::resultString(*SqlDatabase::valueString(argv[0]) + *SqlDatabase::valueString(argv[0]), ctx);
    });
    EXPECT_EQ(db->stringForQuery("select twice(?)", {"ab"}), "abab");
    EXPECT_EQ(db->stringForQuery("select twice(null)"), std::nullopt);
    EXPECT_EQ(db->lastErrorMessage(), "no value");

    // Without a formatter dates are seconds since 1970; with one, UTC text.
    ASSERT_TRUE(db->executeUpdate("create table d (v)"));
    ASSERT_TRUE(db->executeUpdate("insert into d values (?)", {platform::Date(90061)}));
    EXPECT_DOUBLE_EQ(db->doubleForQuery("select v from d"), 90061.0);
    EXPECT_EQ(db->dateForQuery("select v from d"), platform::Date(90061));
    db->setDateFormat(SqlDatabase::storeableDateFormat("yyyy-MM-dd HH:mm:ss"));
    EXPECT_TRUE(db->hasDateFormatter());
    ASSERT_TRUE(db->executeUpdate("update d set v = ?", {platform::Date(90061)}));
    EXPECT_EQ(db->stringForQuery("select v from d"), "1970-01-02 01:01:01");
    EXPECT_EQ(db->dateForQuery("select v from d"), platform::Date(90061));

    EXPECT_FALSE(db->setKey("secret"));
    EXPECT_EQ(count(), 0);
}

TEST_F(SqlDatabaseExtrasTest, CheckpointsOfTheWriteAheadLog) {
    EXPECT_EQ(db->stringForQuery("pragma journal_mode = wal"), "wal");
    ASSERT_TRUE(db->executeUpdate("insert into vety values (1, 'a')"));
    int logFrames = -1, checkpointed = -1;
    std::optional<SqlError> err;
    EXPECT_TRUE(db->checkpoint(SQLITE_CHECKPOINT_TRUNCATE, std::nullopt, &logFrames, &checkpointed, &err));
    EXPECT_FALSE(err);
    EXPECT_EQ(logFrames, 0);  // truncated
    EXPECT_FALSE(db->checkpoint(SQLITE_CHECKPOINT_PASSIVE, std::string("nosuch"), &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, "unknown database: nosuch");
}

TEST_F(SqlDatabaseExtrasTest, SchemaQuestions) {
    EXPECT_TRUE(db->tableExists("VETY"));
    EXPECT_FALSE(db->tableExists("polo"));
    EXPECT_TRUE(db->columnExists("CDOK", "vety"));
    EXPECT_TRUE(db->columnExistsInTable("Vety", "str"));
    EXPECT_FALSE(db->columnExists("cdok", "nosuch"));

    // A name with a quote is quoted, not spliced raw into the statement.
    ASSERT_TRUE(db->executeUpdate("create table \"it's\" (x integer)"));
    auto rs = db->getTableSchema("it's");
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->next());
    EXPECT_EQ(rs->stringForColumn("name"), "x");
    rs->close();
    EXPECT_TRUE(db->columnExists("X", "it's"));

    auto schema = db->getSchema();
    ASSERT_TRUE(schema && schema->next());
    EXPECT_EQ(schema->stringForColumn("tbl_name"), "it's");
    schema->close();

    db->setUserVersion(7);
    EXPECT_EQ(db->userVersion(), 7u);
    db->setApplicationID(0x54524b);
    EXPECT_EQ(db->applicationID(), 0x54524bu);

    std::optional<SqlError> err;
    EXPECT_FALSE(db->validateSQL("selct 1", &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->description, "near \"selct\": syntax error");
    EXPECT_TRUE(db->validateSQL("delete from vety"));
}

}  // namespace
