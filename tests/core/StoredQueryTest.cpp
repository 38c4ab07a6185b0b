#include "support/TrekoraTestEnvironment.h"

#include "core/SqlException.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "report/DataItem.h"

#include <gtest/gtest.h>

namespace {

class StoredQueryTest : public TrekoraTest {};

struct Stored {
    const char* name;
    std::vector<SqlValue> values;
    std::vector<std::string> columns;  // read by name by the program
    bool update;
};

std::vector<std::string> pieces(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        auto pos = text.find(';', start);
        std::string piece = text.substr(start, pos == std::string::npos ? std::string::npos : pos - start);
        if (piece.find_first_not_of(" \t\r\n") != std::string::npos) out.push_back(piece);
        if (pos == std::string::npos) return out;
        start = pos + 1;
    }
}

} // namespace

// Every stored text that the core operations and the posting of the temporary
// document name is in the shipped database and runs with the values bound.
TEST_F(StoredQueryTest, EveryNamedTextExistsAndRunsWithItsValues) {
    Trekora& t = trekora();
    const std::vector<Stored> stored = {
        {"lookup_odberatel_all", {}, {"TRASA_CISLO", "IDO", "IDOSC", "NAZOV1"}, false},
        {"lookup_trasa", {}, {"CISLO", "NAZOV", "POCET"}, false},
        {"lookup_dovod", {}, {"DOVOD"}, false},
        {"last_insert_cdok", {}, {"CDOK"}, false},
        {"vyplata_info", {"1"}, {}, false},
        {"nepredaj_insert", {"1", "10101", "KOM:x", "184310", "", "", ""}, {}, true},
        {"doklad_insert_01_temp_vety",
         {"1", "10101", "", "184310", "0", "", "", "10", "", "12.50", "", ""}, {}, true},
        {"doklad_insert_02_temp_polo",
         {std::int64_t{1}, "10101", "1001", "2", "2026-12-31", "10", "0", "0", "0"}, {}, true},
    };
    auto db = SqlDatabase::databaseWithPath(t.dbURL);
    ASSERT_TRUE(db->open());
    ASSERT_TRUE(db->beginExclusiveTransaction());
    for (const auto& s : stored) {
        SCOPED_TRACE(s.name);
        std::string text;
        ASSERT_NO_THROW(text = t.getQueryOrThrow(s.name, *db));
        auto parts = pieces(text);
        ASSERT_FALSE(parts.empty());
        if (s.update) {
            EXPECT_TRUE(db->executeUpdate(parts[0], s.values)) << db->lastErrorMessage();
            for (std::size_t i = 1; i < parts.size(); ++i)
                EXPECT_TRUE(db->executeUpdate(parts[i], {})) << db->lastErrorMessage();
        } else {
            ASSERT_EQ(parts.size(), 1u);
            auto rs = db->executeQuery(text, s.values);
            ASSERT_TRUE(rs) << db->lastErrorMessage();
            for (const auto& column : s.columns) EXPECT_GE(rs->columnIndexForName(column), 0) << column;
            EXPECT_TRUE(rs->next()) << "no row";
            rs->close();
        }
    }
    db->rollback();
    db->close();

    // The stock lists of the stock screen are report definitions that run.
    for (const char* name : {"sklad_nenulove", "sklad_pos_nenulove", "sklad_vzo_nenulove", "sklad_kor_nenulove"}) {
        SCOPED_TRACE(name);
        std::shared_ptr<DataItem> item;
        for (const auto& d : t.dataItems)
            if (d->name == name && !item) item = d;
        ASSERT_TRUE(item);
        console().clear();
        item->getData();
        bool ranQuery = false;
        for (const auto& line : console().lines()) ranQuery |= line.rfind("colcount: ", 0) == 0;
        EXPECT_TRUE(ranQuery);
    }
}

TEST_F(StoredQueryTest, LookupVariantsOnMissingNullAndBlankTexts) {
    Trekora& t = trekora();
    execute("insert into sqliteadmin_queries (name, sql) values ('test_null', null);"
            "insert into sqliteadmin_queries (name, sql) values ('test_blank', '   ');"
            "insert into sqliteadmin_queries (name, sql) values ('test_multi', 'select 1; select 2;');");
    EXPECT_EQ(t.getQuery("no_such_name"), "");
    EXPECT_EQ(t.getQueryOrThrow("no_such_name"), "");
    EXPECT_EQ(t.getQuery("test_null"), "");
    EXPECT_EQ(t.getQuery("test_blank"), "   ");
    EXPECT_EQ(t.getQuery("test_multi"), "select 1; select 2;");

    auto db = SqlDatabase::databaseWithPath(t.dbURL);
    ASSERT_TRUE(db->open());
    EXPECT_EQ(t.getQuery("no_such_name", *db), "");
    EXPECT_EQ(t.getQueryOrThrow("test_blank", *db), "   ");
    console().clear();
    try {
        t.getQueryOrThrow("lookup_cennik_x", *db);
        FAIL() << "no error";
    } catch (const TrekoraError& e) {
        EXPECT_EQ(e, TrekoraError::nenajdeneQuery("lookup_cennik_x"));
        EXPECT_STREQ(e.what(), "nenajdene query 'lookup_cennik_x'.");
    }
    EXPECT_TRUE(console().contains("failed: nenajdene query 'lookup_cennik_x'."));
    EXPECT_THROW(t.getQueryOrThrow("test_null", *db), TrekoraError);
    // Changed rows are seen at the next call: nothing is cached.
    db->executeUpdate("update sqliteadmin_queries set sql = 'select 3' where name = 'test_multi'");
    EXPECT_EQ(t.getQuery("test_multi"), "select 3");
    db->close();
}

TEST_F(StoredQueryTest, ADatabaseWithoutTheTable) {
    Trekora& t = trekora();
    auto other = SqlDatabase::databaseWithPath(env().documentsPath("empty.db3"));
    ASSERT_TRUE(other->open());
    console().clear();
    EXPECT_EQ(t.getQuery("lookup_trasa", *other), "");
    EXPECT_EQ(console().lines().size(), 1u);
    EXPECT_THROW(t.getQueryOrThrow("lookup_trasa", *other), SqlException);
    other->close();

    t.dbURL = env().documentsPath("empty.db3");
    EXPECT_EQ(t.getQuery("lookup_trasa"), "");
    EXPECT_THROW(t.getQueryOrThrow("lookup_trasa"), SqlException);
    t.dbURL = env().documentsPath("missing-dir/x.db3");
    console().clear();
    EXPECT_EQ(t.getQuery("lookup_trasa"), "Unable to open database");
    EXPECT_TRUE(console().contains("Unable to open database"));
}
