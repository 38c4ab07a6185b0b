#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "db/SqlError.h"

namespace platform {
class DispatchQueue;
class Url;
}  // namespace platform

class SqlDatabase;

// Makes one SqlDatabase usable from several threads: every piece of work
// runs on a serial queue of its own, one at a time, and the caller waits
// for it.
class SqlDatabaseQueue {
public:
    using DatabaseBlock = std::function<void(const std::shared_ptr<SqlDatabase>& db)>;
    using TransactionBlock = std::function<void(const std::shared_ptr<SqlDatabase>& db, bool& rollback)>;

    // SQLite's read-write and create flags.
    static constexpr int kDefaultOpenFlags = 6;

    // Nothing when the database cannot be opened.
    static std::shared_ptr<SqlDatabaseQueue> databaseQueueWithPath(const std::optional<std::string>& path,
                                                                   int flags = kDefaultOpenFlags,
                                                                   const std::optional<std::string>& vfs = std::nullopt);
    static std::shared_ptr<SqlDatabaseQueue> databaseQueueWithURL(const std::optional<std::string>& fileURL,
                                                                  int flags = kDefaultOpenFlags,
                                                                  const std::optional<std::string>& vfs = std::nullopt);
    static std::shared_ptr<SqlDatabaseQueue> databaseQueueWithURL(const platform::Url& fileURL,
                                                                  int flags = kDefaultOpenFlags,
                                                                  const std::optional<std::string>& vfs = std::nullopt);
    // In-memory database.
    static std::shared_ptr<SqlDatabaseQueue> databaseQueue();

    virtual ~SqlDatabaseQueue();
    SqlDatabaseQueue(const SqlDatabaseQueue&) = delete;
    SqlDatabaseQueue& operator=(const SqlDatabaseQueue&) = delete;

    void inDatabase(const DatabaseBlock& block);
    void inTransaction(const TransactionBlock& block);
    void inExclusiveTransaction(const TransactionBlock& block);
    void inDeferredTransaction(const TransactionBlock& block);
    void inImmediateTransaction(const TransactionBlock& block);
    // kind 0 exclusive, 1 deferred, 2 immediate
    void beginTransaction(int kind, const TransactionBlock& block);
    std::optional<SqlError> inSavePoint(const TransactionBlock& block);

    bool checkpoint(int mode, std::optional<SqlError>* error = nullptr);
    bool checkpoint(int mode, const std::optional<std::string>& name, std::optional<SqlError>* error = nullptr);
    bool checkpoint(int mode, const std::optional<std::string>& name, int* logFrameCount, int* checkpointCount,
                    std::optional<SqlError>* error = nullptr);

    void close();
    bool interrupt();

    const std::optional<std::string>& path() const { return _path; }
    void setPath(std::optional<std::string> path) { _path = std::move(path); }
    int openFlags() const { return _openFlags; }
    const std::optional<std::string>& vfsName() const { return _vfsName; }
    void setVfsName(std::optional<std::string> vfsName) { _vfsName = std::move(vfsName); }
    std::string description() const;

protected:
    SqlDatabaseQueue() = default;
    // Completes creation; false when the first open fails.
    bool initWithPath(const std::optional<std::string>& path, int flags, const std::optional<std::string>& vfs);
    // The connection class: a derived queue may make a derived connection.
    virtual std::shared_ptr<SqlDatabase> makeDatabase(const std::optional<std::string>& path);
    // The open connection, reopened when needed; nothing when that fails.
    std::shared_ptr<SqlDatabase> database();

private:
    // Runs the block on the queue and waits; refuses (and logs `what`) when
    // called from work of this same queue, which would wait for itself.
    bool runSync(const std::function<void()>& work, const char* what);

    std::shared_ptr<platform::DispatchQueue> _queue;
    std::shared_ptr<SqlDatabase> _db;
    std::mutex _dbMutex;  // guards _db against interrupt() from other threads
    int _openFlags = kDefaultOpenFlags;
    std::optional<std::string> _path;
    std::optional<std::string> _vfsName;
};
