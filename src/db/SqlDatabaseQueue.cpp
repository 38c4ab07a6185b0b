#include "db/SqlDatabaseQueue.h"

#include <atomic>
#include <cstdio>

#include "db/SqlDatabase.h"
#include "db/SqlLog.h"
#include "platform/DispatchQueue.h"
#include "platform/Url.h"

namespace {

// Key of the queue-specific value that names the owning SqlDatabaseQueue.
const int kDispatchQueueSpecificKey = 0;

std::atomic<unsigned long> savePointIdx{0};

}  // namespace

// Creation goes through a derived helper so that the protected constructor
// and initialiser can be reached from the factories.
namespace {
struct QueueMaker : SqlDatabaseQueue {
    static std::shared_ptr<SqlDatabaseQueue> create(const std::optional<std::string>& path, int flags,
                                                    const std::optional<std::string>& vfs) {
        std::shared_ptr<QueueMaker> q(new QueueMaker());
        if (!q->initWithPath(path, flags, vfs)) return nullptr;
        return q;
    }
};
}  // namespace

std::shared_ptr<SqlDatabaseQueue> SqlDatabaseQueue::databaseQueueWithPath(const std::optional<std::string>& path,
                                                                          int flags,
                                                                          const std::optional<std::string>& vfs) {
    return QueueMaker::create(path, flags, vfs);
}

std::shared_ptr<SqlDatabaseQueue> SqlDatabaseQueue::databaseQueueWithURL(const std::optional<std::string>& fileURL,
                                                                         int flags,
                                                                         const std::optional<std::string>& vfs) {
    return QueueMaker::create(SqlDatabase::pathFromFileURL(fileURL), flags, vfs);
}

std::shared_ptr<SqlDatabaseQueue> SqlDatabaseQueue::databaseQueueWithURL(const platform::Url& fileURL, int flags,
                                                                         const std::optional<std::string>& vfs) {
    return QueueMaker::create(fileURL.filePath(), flags, vfs);
}

std::shared_ptr<SqlDatabaseQueue> SqlDatabaseQueue::databaseQueue() {
    return QueueMaker::create(std::nullopt, kDefaultOpenFlags, std::nullopt);
}

bool SqlDatabaseQueue::initWithPath(const std::optional<std::string>& path, int flags,
                                    const std::optional<std::string>& vfs) {
    _db = makeDatabase(path);
    if (!_db->openWithFlags(flags, vfs)) {
        SqlLog::write("Could not create database queue for path " + path.value_or("(null)"));
        _db.reset();
        return false;
    }
    _path = path;
    _queue = platform::DispatchQueue::createSerial("sqldb." + description());
    _queue->setSpecific(&kDispatchQueueSpecificKey, this);
    _openFlags = flags;
    _vfsName = vfs;
    return true;
}

SqlDatabaseQueue::~SqlDatabaseQueue() {
    if (_queue) _queue->setSpecific(&kDispatchQueueSpecificKey, nullptr);
}

std::shared_ptr<SqlDatabase> SqlDatabaseQueue::makeDatabase(const std::optional<std::string>& path) {
    return SqlDatabase::databaseWithPath(path);
}

std::string SqlDatabaseQueue::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "<SqlDatabaseQueue: %p>", static_cast<const void*>(this));
    return buf;
}

std::shared_ptr<SqlDatabase> SqlDatabaseQueue::database() {
    std::lock_guard<std::mutex> lock(_dbMutex);
    if (!_db || !_db->isOpen()) {
        if (!_db) _db = makeDatabase(_path);
        if (!_db->openWithFlags(_openFlags, _vfsName)) {
            SqlLog::write("SqlDatabaseQueue could not reopen database for path " + _path.value_or("(null)"));
            _db.reset();
            return nullptr;
        }
    }
    return _db;
}

bool SqlDatabaseQueue::runSync(const std::function<void()>& work, const char* what) {
    if (platform::DispatchQueue::getSpecific(&kDispatchQueueSpecificKey) == this) {
        // Work of this queue waiting for this queue: refuse instead of
        // waiting for ever or nesting on the connection.
        SqlLog::write(std::string("currentSyncQueue != self && \"") + what +
                      " was called reentrantly on the same queue, which would lead to a deadlock\"");
        return false;
    }
    _queue->sync(work);
    return true;
}

void SqlDatabaseQueue::inDatabase(const DatabaseBlock& block) {
    runSync(
        [&] {
            auto db = database();
            if (block) block(db);
            if (db && db->hasOpenResultSets())
                SqlLog::write(
                    "Warning: there is at least one open result set around after performing "
                    "[SqlDatabaseQueue inDatabase:]");
        },
        "inDatabase:");
}

void SqlDatabaseQueue::inTransaction(const TransactionBlock& block) { beginTransaction(0, block); }
void SqlDatabaseQueue::inExclusiveTransaction(const TransactionBlock& block) { beginTransaction(0, block); }
void SqlDatabaseQueue::inDeferredTransaction(const TransactionBlock& block) { beginTransaction(1, block); }
void SqlDatabaseQueue::inImmediateTransaction(const TransactionBlock& block) { beginTransaction(2, block); }

void SqlDatabaseQueue::beginTransaction(int kind, const TransactionBlock& block) {
    runSync(
        [&] {
            auto db = database();
            if (db) {
                if (kind == 1)
                    db->beginDeferredTransaction();
                else if (kind == 2)
                    db->beginImmediateTransaction();
                else
                    db->beginTransaction();
            }
            bool shouldRollback = false;
            if (block) block(db, shouldRollback);
            if (db) {
                if (shouldRollback)
                    db->rollback();
                else
                    db->commit();
            }
        },
        "beginTransaction:withBlock:");
}

std::optional<SqlError> SqlDatabaseQueue::inSavePoint(const TransactionBlock& block) {
    std::optional<SqlError> err;
    runSync(
        [&] {
            std::string name = "savePoint" + std::to_string(savePointIdx++);
            auto db = database();
            if (!db) return;
            bool shouldRollback = false;
            if (db->startSavePointWithName(name, &err)) {
                if (block) block(db, shouldRollback);
                if (shouldRollback) db->rollbackToSavePointWithName(name, &err);
                db->releaseSavePointWithName(name, &err);
            }
        },
        "inSavePoint:");
    return err;
}

bool SqlDatabaseQueue::checkpoint(int mode, std::optional<SqlError>* error) {
    return checkpoint(mode, std::nullopt, nullptr, nullptr, error);
}

bool SqlDatabaseQueue::checkpoint(int mode, const std::optional<std::string>& name, std::optional<SqlError>* error) {
    return checkpoint(mode, name, nullptr, nullptr, error);
}

bool SqlDatabaseQueue::checkpoint(int mode, const std::optional<std::string>& name, int* logFrameCount,
                                  int* checkpointCount, std::optional<SqlError>* error) {
    bool result = false;
    std::optional<SqlError> err;
    runSync(
        [&] {
            auto db = database();
            if (db) result = db->checkpoint(mode, name, logFrameCount, checkpointCount, &err);
        },
        "checkpoint:");
    if (error && err) *error = err;
    return result;
}

void SqlDatabaseQueue::close() {
    runSync(
        [&] {
            std::shared_ptr<SqlDatabase> db;
            {
                std::lock_guard<std::mutex> lock(_dbMutex);
                db = std::move(_db);
                _db.reset();
            }
            if (db) db->close();
        },
        "close");
}

bool SqlDatabaseQueue::interrupt() {
    // Called on the caller's thread, to stop a statement running on the queue.
    std::shared_ptr<SqlDatabase> db;
    {
        std::lock_guard<std::mutex> lock(_dbMutex);
        db = _db;
    }
    return db ? db->interrupt() : false;
}
