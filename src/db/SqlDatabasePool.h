#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "db/SqlError.h"

namespace platform {
class Url;
}

class SqlDatabase;
class SqlDatabasePool;

// Optional observer of a pool's new connections; either operation may be
// left empty (not offered).
struct SqlDatabasePoolDelegate {
    std::function<bool(SqlDatabasePool& pool, const std::shared_ptr<SqlDatabase>& db)> shouldAddDatabaseToPool;
    std::function<void(SqlDatabasePool& pool, const std::shared_ptr<SqlDatabase>& db)> didAddDatabase;
};

// Hands out open connections on one database file to callers on different
// threads, one connection per caller at a time, and takes them back for
// reuse (last in, first out).
class SqlDatabasePool {
public:
    using DatabaseBlock = std::function<void(const std::shared_ptr<SqlDatabase>& db)>;
    using TransactionBlock = std::function<void(const std::shared_ptr<SqlDatabase>& db, bool& rollback)>;

    static constexpr int kDefaultOpenFlags = 6;  // read-write and create

    static std::shared_ptr<SqlDatabasePool> databasePoolWithPath(const std::optional<std::string>& path,
                                                                 int flags = kDefaultOpenFlags,
                                                                 const std::optional<std::string>& vfs = std::nullopt);
    static std::shared_ptr<SqlDatabasePool> databasePoolWithURL(const std::optional<std::string>& fileURL,
                                                                int flags = kDefaultOpenFlags,
                                                                const std::optional<std::string>& vfs = std::nullopt);
    static std::shared_ptr<SqlDatabasePool> databasePoolWithURL(const platform::Url& fileURL,
                                                                int flags = kDefaultOpenFlags,
                                                                const std::optional<std::string>& vfs = std::nullopt);

    SqlDatabasePool() : SqlDatabasePool(std::nullopt) {}
    explicit SqlDatabasePool(std::optional<std::string> path, int flags = kDefaultOpenFlags,
                             std::optional<std::string> vfs = std::nullopt);
    virtual ~SqlDatabasePool();
    SqlDatabasePool(const SqlDatabasePool&) = delete;
    SqlDatabasePool& operator=(const SqlDatabasePool&) = delete;

    void executeLocked(const std::function<void()>& block);

    // Checkout: a connection (reused or new, open) or nothing.
    std::shared_ptr<SqlDatabase> db();
    // Puts a checked-out connection back. Answers false (and logs the usage
    // error) when it is already in the pool; nothing changes then.
    bool pushDatabaseBackInPool(const std::shared_ptr<SqlDatabase>& db);

    std::size_t countOfCheckedInDatabases();
    std::size_t countOfCheckedOutDatabases();
    std::size_t countOfOpenDatabases();
    void releaseAllDatabases();

    void inDatabase(const DatabaseBlock& block);
    void inTransaction(const TransactionBlock& block);
    void inExclusiveTransaction(const TransactionBlock& block);
    void inDeferredTransaction(const TransactionBlock& block);
    void inImmediateTransaction(const TransactionBlock& block);
    // kind 0 exclusive, 1 deferred, 2 immediate
    void beginTransaction(int kind, const TransactionBlock& block);
    std::optional<SqlError> inSavePoint(const TransactionBlock& block);

    const std::optional<std::string>& path() const { return _path; }
    void setPath(std::optional<std::string> path) { _path = std::move(path); }
    std::shared_ptr<SqlDatabasePoolDelegate> delegate() const { return _delegate.lock(); }
    void setDelegate(const std::shared_ptr<SqlDatabasePoolDelegate>& delegate) { _delegate = delegate; }
    std::uint64_t maximumNumberOfDatabasesToCreate() const { return _maximumNumberOfDatabasesToCreate; }
    void setMaximumNumberOfDatabasesToCreate(std::uint64_t n) { _maximumNumberOfDatabasesToCreate = n; }
    int openFlags() const { return _openFlags; }
    const std::optional<std::string>& vfsName() const { return _vfsName; }
    void setVfsName(std::optional<std::string> vfsName) { _vfsName = std::move(vfsName); }
    std::string description() const;

protected:
    // The connection class: a derived pool may make a derived connection.
    virtual std::shared_ptr<SqlDatabase> makeDatabase(const std::optional<std::string>& path);

private:
    // Guards the two lists; recursive so that a delegate may ask the counts.
    std::recursive_mutex _lockQueue;
    std::vector<std::shared_ptr<SqlDatabase>> _databaseInPool;
    std::vector<std::shared_ptr<SqlDatabase>> _databaseOutPool;
    int _openFlags = kDefaultOpenFlags;
    std::optional<std::string> _path;
    std::weak_ptr<SqlDatabasePoolDelegate> _delegate;
    std::uint64_t _maximumNumberOfDatabasesToCreate = 0;
    std::optional<std::string> _vfsName;
};
