#include <atomic>
#include <thread>

#include "DbTestSupport.h"
#include "db/SqlDatabase.h"
#include "db/SqlDatabasePool.h"
#include "db/SqlDatabaseQueue.h"
#include "db/SqlResultSet.h"

namespace {

using DbPtr = std::shared_ptr<SqlDatabase>;

class SqlDatabaseQueueTest : public DbTest {};

TEST_F(SqlDatabaseQueueTest, RunsWorkOneAtATimeFromManyThreads) {
    auto queue = SqlDatabaseQueue::databaseQueueWithPath(path("q.db3"));
    ASSERT_TRUE(queue);
    queue->inDatabase([](const DbPtr& db) { ASSERT_TRUE(db->executeUpdate("create table n (v integer)")); });
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                queue->inDatabase([&](const DbPtr& db) {
                    if (inside.fetch_add(1) != 0) overlapped = true;
                    db->executeUpdate("insert into n values (?)", {t * 100 + i});
                    inside.fetch_sub(1);
                });
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_FALSE(overlapped);
    int n = 0;
    queue->inDatabase([&](const DbPtr& db) { n = db->intForQuery("select count(*) from n"); });
    EXPECT_EQ(n, 40);
}

TEST_F(SqlDatabaseQueueTest, InterruptFromAnotherThreadWhileTheQueueClosesAndReopens) {
    auto queue = SqlDatabaseQueue::databaseQueueWithPath(path("i.db3"));
    ASSERT_TRUE(queue);
    std::atomic<bool> stop{false};
    std::atomic<int> hits{0};
    std::thread interrupter([&] {
        while (!stop) hits += queue->interrupt();
    });
    for (int i = 0; i < 1000; ++i) {
        queue->inDatabase([](const DbPtr& db) { ASSERT_TRUE(db); });  // reopens
        queue->close();
    }
    stop = true;
    interrupter.join();
    EXPECT_GT(hits.load(), 0);  // the interrupts met open connections
    int one = 0;
    queue->inDatabase([&](const DbPtr& db) { one = db->intForQuery("select 1"); });
    EXPECT_EQ(one, 1);
}

TEST_F(SqlDatabaseQueueTest, CreationFailsOnMissingDirectory) {
    EXPECT_FALSE(SqlDatabaseQueue::databaseQueueWithPath(path("missing/q.db3")));
    EXPECT_EQ(logCount("Could not create database queue for path " + path("missing/q.db3")), 1);
}

TEST_F(SqlDatabaseQueueTest, TransactionsSavepointsReopenAndWarnings) {
    auto queue = SqlDatabaseQueue::databaseQueueWithPath(path("q.db3"));
    ASSERT_TRUE(queue);
    queue->inDatabase([](const DbPtr& db) { db->executeUpdate("create table n (v integer)"); });

    queue->inTransaction([](const DbPtr& db, bool& rollback) {
        db->executeUpdate("insert into n values (1)");
        rollback = true;
    });
    queue->inImmediateTransaction([](const DbPtr& db, bool&) { db->executeUpdate("insert into n values (2)"); });
    auto err = queue->inSavePoint([](const DbPtr& db, bool& rollback) {
        db->executeUpdate("insert into n values (3)");
        rollback = true;
    });
    EXPECT_FALSE(err);
    int total = -1;
    queue->inDatabase([&](const DbPtr& db) { total = db->intForQuery("select sum(v) from n"); });
    EXPECT_EQ(total, 2);

    // Savepoint names count up across savepoints.
    std::vector<std::string> names;
    queue->inDatabase([](const DbPtr& db) { db->setTraceExecution(true); });
    queue->inSavePoint([](const DbPtr&, bool&) {});
    queue->inSavePoint([](const DbPtr&, bool&) {});
    for (const auto& l : log()) {
        const std::string marker = "executeUpdate: savepoint 'savePoint";
        auto p = l.find(marker);
        if (p != std::string::npos) names.push_back(l.substr(p + marker.size()));
    }
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(std::stoul(names[1]), std::stoul(names[0]) + 1);

    // After close the next work reopens the database.
    queue->close();
    queue->inDatabase([&](const DbPtr& db) {
        ASSERT_TRUE(db);
        total = db->intForQuery("select sum(v) from n");
    });
    EXPECT_EQ(total, 2);

    // A cursor left open is reported once.
    std::shared_ptr<SqlResultSet> leftOpen;
    queue->inDatabase([&](const DbPtr& db) { leftOpen = db->executeQuery("select v from n"); });
    EXPECT_EQ(logCount("Warning: there is at least one open result set around after performing "
                       "[SqlDatabaseQueue inDatabase:]"),
              1);
    queue->inDatabase([&](const DbPtr&) { leftOpen->close(); });
}

TEST_F(SqlDatabaseQueueTest, ReentrantCallIsRefusedNotDeadlocked) {
    auto queue = SqlDatabaseQueue::databaseQueue();
    ASSERT_TRUE(queue);
    bool innerRan = false;
    queue->inDatabase([&](const DbPtr&) {
        queue->inDatabase([&](const DbPtr&) { innerRan = true; });
        queue->inTransaction([&](const DbPtr&, bool&) { innerRan = true; });
    });
    EXPECT_FALSE(innerRan);
    EXPECT_TRUE(logContains("inDatabase: was called reentrantly on the same queue, which would lead to a deadlock"));
}

class SqlDatabasePoolTest : public DbTest {};

TEST_F(SqlDatabasePoolTest, HandsOutLastInFirstOutWithinItsLimit) {
    auto pool = SqlDatabasePool::databasePoolWithPath(path("p.db3"));
    auto first = pool->db();
    auto second = pool->db();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(pool->countOfCheckedOutDatabases(), 2u);
    pool->pushDatabaseBackInPool(first);
    pool->pushDatabaseBackInPool(second);
    EXPECT_EQ(pool->countOfCheckedInDatabases(), 2u);
    EXPECT_EQ(pool->db(), second);
    EXPECT_FALSE(pool->pushDatabaseBackInPool(first));  // already free: nothing changes
    EXPECT_TRUE(logContains("Database already in pool"));
    EXPECT_EQ(pool->countOfCheckedInDatabases(), 1u);
    EXPECT_EQ(pool->countOfCheckedOutDatabases(), 1u);
    EXPECT_TRUE(pool->db()->isOpen());

    pool->releaseAllDatabases();
    pool->setMaximumNumberOfDatabasesToCreate(2);
    auto a = pool->db();
    auto b = pool->db();
    ASSERT_TRUE(a && b);
    EXPECT_FALSE(pool->db());
    EXPECT_EQ(logCount("Maximum number of databases (2) has already been reached!"), 1);
    pool->pushDatabaseBackInPool(a);
    EXPECT_EQ(pool->db(), a);
    EXPECT_EQ(pool->countOfOpenDatabases(), 2u);
}

TEST_F(SqlDatabasePoolTest, DelegateMayVetoNewConnections) {
    auto pool = SqlDatabasePool::databasePoolWithPath(path("p.db3"));
    auto delegate = std::make_shared<SqlDatabasePoolDelegate>();
    int added = 0;
    bool allow = false;
    delegate->shouldAddDatabaseToPool = [&](SqlDatabasePool&, const DbPtr&) { return allow; };
    delegate->didAddDatabase = [&](SqlDatabasePool&, const DbPtr&) { ++added; };
    pool->setDelegate(delegate);
    EXPECT_FALSE(pool->db());
    EXPECT_EQ(pool->countOfOpenDatabases(), 0u);
    bool called = false;
    DbPtr seen = std::make_shared<SqlDatabase>();
    pool->inDatabase([&](const DbPtr& db) {
        called = true;
        seen = db;
    });
    EXPECT_TRUE(called);
    EXPECT_FALSE(seen);
    EXPECT_FALSE(pool->inSavePoint([&](const DbPtr&, bool&) { FAIL(); }));

    allow = true;
    auto db = pool->db();
    ASSERT_TRUE(db);
    EXPECT_EQ(added, 1);
    pool->pushDatabaseBackInPool(db);
    // A reused connection that is vetoed stays checked out, closed.
    allow = false;
    EXPECT_FALSE(pool->db());
    EXPECT_EQ(added, 1);
    EXPECT_EQ(pool->countOfCheckedOutDatabases(), 1u);
    EXPECT_EQ(pool->countOfOpenDatabases(), 1u);
    EXPECT_FALSE(db->isOpen());
}

TEST_F(SqlDatabasePoolTest, TransactionsReturnTheConnection) {
    auto pool = SqlDatabasePool::databasePoolWithPath(path("p.db3"));
    pool->inDatabase([](const DbPtr& db) { ASSERT_TRUE(db->executeUpdate("create table n (v integer)")); });
    pool->inTransaction([](const DbPtr& db, bool& rollback) {
        db->executeUpdate("insert into n values (1)");
        rollback = true;
    });
    EXPECT_EQ(pool->countOfCheckedInDatabases(), 1u);
    EXPECT_EQ(pool->countOfCheckedOutDatabases(), 0u);
    pool->inDeferredTransaction([](const DbPtr& db, bool&) { db->executeUpdate("insert into n values (2)"); });
    auto err = pool->inSavePoint([](const DbPtr& db, bool&) { db->executeUpdate("insert into n values (3)"); });
    EXPECT_FALSE(err);
    int total = 0;
    pool->inDatabase([&](const DbPtr& db) { total = db->intForQuery("select sum(v) from n"); });
    EXPECT_EQ(total, 5);
    EXPECT_EQ(pool->countOfOpenDatabases(), 1u);

    // Connections from several threads at once.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 5; ++i)
                pool->inDatabase([](const DbPtr& db) { EXPECT_GE(db->intForQuery("select count(*) from n"), 2); });
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(pool->countOfCheckedOutDatabases(), 0u);
    EXPECT_LE(pool->countOfOpenDatabases(), 4u);
}

}  // namespace
