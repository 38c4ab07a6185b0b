// The posting's kept connection: it follows the database file, stands in no
// other writer's way between postings, and the receipt number is read from
// an index.
#include "posting/PostingFixture.h"

#include <filesystem>

using posting_test::PostingFixture;

namespace {

class PostingConnectionTest : public PostingFixture {
protected:
    std::string sale() {
        load(typ("predaj", "hotovosť"));
        choose("T001", "2027-05-31", 1);
        return post();
    }
};

TEST_F(PostingConnectionTest, APostingAfterTheFileWasReplacedWritesIntoTheNewFile) {
    ASSERT_EQ(sale(), "ok! ,,cdok=1001");
    const std::string copy = dir_ + "/replacement.db3";
    std::filesystem::copy_file(t->dbURL, copy);
    exec("delete from vety where cdok = 1001");  // the old file changes after the copy
    std::filesystem::rename(copy, t->dbURL);
    ASSERT_EQ(sale(), "ok! ,,cdok=1002");
    EXPECT_EQ(value("select group_concat(cdok) from (select cdok from vety order by id)"), "1001,1002");
}

TEST_F(PostingConnectionTest, BetweenPostingsOtherWritersAreNotBlocked) {
    t->postingBusyTimeout = 0.05;
    ASSERT_EQ(sale(), "ok! ,,cdok=1001");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(t->dbURL.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "begin exclusive; update sklad set stav = stav; commit", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(t->zapisVklad("1.00", ""), "ok!,,cdok=1002");
    ASSERT_EQ(sale(), "ok! ,,cdok=1003");
}

TEST_F(PostingConnectionTest, TheReceiptNumberIsReadFromAnIndex) {
    auto plan = query("explain query plan select 'DC:'||coalesce(max(substr(info,4)+1),1) from vety "
                      "where pohyb=10 and info like 'DC:%';");
    ASSERT_FALSE(plan.empty());
    EXPECT_NE(plan[0]["detail"].find("USING INDEX vety_paragon"), std::string::npos) << plan[0]["detail"];
}

}  // namespace
