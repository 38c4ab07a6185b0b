#include "db/SqlDatabasePool.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "db/SqlDatabase.h"
#include "db/SqlLog.h"
#include "platform/Url.h"

namespace {

std::atomic<unsigned long> savePointIdx{0};

bool contains(const std::vector<std::shared_ptr<SqlDatabase>>& list, const std::shared_ptr<SqlDatabase>& db) {
    return std::find(list.begin(), list.end(), db) != list.end();
}

void remove(std::vector<std::shared_ptr<SqlDatabase>>& list, const std::shared_ptr<SqlDatabase>& db) {
    list.erase(std::remove(list.begin(), list.end(), db), list.end());
}

}  // namespace

std::shared_ptr<SqlDatabasePool> SqlDatabasePool::databasePoolWithPath(const std::optional<std::string>& path,
                                                                       int flags,
                                                                       const std::optional<std::string>& vfs) {
    return std::make_shared<SqlDatabasePool>(path, flags, vfs);
}

std::shared_ptr<SqlDatabasePool> SqlDatabasePool::databasePoolWithURL(const std::optional<std::string>& fileURL,
                                                                      int flags,
                                                                      const std::optional<std::string>& vfs) {
    return std::make_shared<SqlDatabasePool>(SqlDatabase::pathFromFileURL(fileURL), flags, vfs);
}

std::shared_ptr<SqlDatabasePool> SqlDatabasePool::databasePoolWithURL(const platform::Url& fileURL, int flags,
                                                                      const std::optional<std::string>& vfs) {
    return std::make_shared<SqlDatabasePool>(fileURL.filePath(), flags, vfs);
}

SqlDatabasePool::SqlDatabasePool(std::optional<std::string> path, int flags, std::optional<std::string> vfs)
    : _openFlags(flags), _path(std::move(path)), _vfsName(std::move(vfs)) {}

SqlDatabasePool::~SqlDatabasePool() {
    _delegate.reset();
    std::lock_guard<std::recursive_mutex> lock(_lockQueue);
    _databaseInPool.clear();
    _databaseOutPool.clear();
}

std::shared_ptr<SqlDatabase> SqlDatabasePool::makeDatabase(const std::optional<std::string>& path) {
    return SqlDatabase::databaseWithPath(path);
}

std::string SqlDatabasePool::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "<SqlDatabasePool: %p>", static_cast<const void*>(this));
    return buf;
}

void SqlDatabasePool::executeLocked(const std::function<void()>& block) {
    std::lock_guard<std::recursive_mutex> lock(_lockQueue);
    block();
}

std::shared_ptr<SqlDatabase> SqlDatabasePool::db() {
    std::shared_ptr<SqlDatabase> db;
    executeLocked([&] {
        bool shouldNotifyDelegate = false;
        if (!_databaseInPool.empty()) {
            db = _databaseInPool.back();
            _databaseOutPool.push_back(db);
            _databaseInPool.pop_back();
        } else {
            if (_maximumNumberOfDatabasesToCreate != 0) {
                std::size_t currentCount = _databaseOutPool.size() + _databaseInPool.size();
                if (currentCount >= _maximumNumberOfDatabasesToCreate) {
                    SqlLog::write("Maximum number of databases (" + std::to_string(currentCount) +
                                  ") has already been reached!");
                    return;
                }
            }
            db = makeDatabase(_path);
            shouldNotifyDelegate = true;
        }

        if (db->openWithFlags(_openFlags, _vfsName)) {
            auto delegate = _delegate.lock();
            if (delegate && delegate->shouldAddDatabaseToPool && !delegate->shouldAddDatabaseToPool(*this, db)) {
                db->close();
                db.reset();
                return;
            }
            if (!contains(_databaseOutPool, db)) {
                _databaseOutPool.push_back(db);
                if (shouldNotifyDelegate && delegate && delegate->didAddDatabase) delegate->didAddDatabase(*this, db);
            }
        } else {
            SqlLog::write("Could not open up the database at path " + _path.value_or("(null)"));
            db.reset();
        }
    });
    return db;
}

bool SqlDatabasePool::pushDatabaseBackInPool(const std::shared_ptr<SqlDatabase>& db) {
    if (!db) return true;
    bool ok = true;
    executeLocked([&] {
        if (contains(_databaseInPool, db)) {
            SqlLog::write("Database already in pool: The SqlDatabase being put back into the pool is already "
                          "present in the pool");
            ok = false;
            return;
        }
        _databaseInPool.push_back(db);
        remove(_databaseOutPool, db);
    });
    return ok;
}

std::size_t SqlDatabasePool::countOfCheckedInDatabases() {
    std::lock_guard<std::recursive_mutex> lock(_lockQueue);
    return _databaseInPool.size();
}

std::size_t SqlDatabasePool::countOfCheckedOutDatabases() {
    std::lock_guard<std::recursive_mutex> lock(_lockQueue);
    return _databaseOutPool.size();
}

std::size_t SqlDatabasePool::countOfOpenDatabases() {
    std::lock_guard<std::recursive_mutex> lock(_lockQueue);
    return _databaseOutPool.size() + _databaseInPool.size();
}

void SqlDatabasePool::releaseAllDatabases() {
    std::lock_guard<std::recursive_mutex> lock(_lockQueue);
    _databaseOutPool.clear();
    _databaseInPool.clear();
}

void SqlDatabasePool::inDatabase(const DatabaseBlock& block) {
    auto db = this->db();
    if (block) block(db);
    pushDatabaseBackInPool(db);
}

void SqlDatabasePool::inTransaction(const TransactionBlock& block) { beginTransaction(0, block); }
void SqlDatabasePool::inExclusiveTransaction(const TransactionBlock& block) { beginTransaction(0, block); }
void SqlDatabasePool::inDeferredTransaction(const TransactionBlock& block) { beginTransaction(1, block); }
void SqlDatabasePool::inImmediateTransaction(const TransactionBlock& block) { beginTransaction(2, block); }

void SqlDatabasePool::beginTransaction(int kind, const TransactionBlock& block) {
    bool shouldRollback = false;
    auto db = this->db();
    if (db) {
        if (kind == 1)
            db->beginDeferredTransaction();
        else if (kind == 2)
            db->beginImmediateTransaction();
        else
            db->beginTransaction();
    }
    if (block) block(db, shouldRollback);
    if (db) {
        if (shouldRollback)
            db->rollback();
        else
            db->commit();
    }
    pushDatabaseBackInPool(db);
}

std::optional<SqlError> SqlDatabasePool::inSavePoint(const TransactionBlock& block) {
    std::string name = "savePoint" + std::to_string(savePointIdx++);
    auto db = this->db();
    if (!db) return std::nullopt;
    std::optional<SqlError> err;
    bool shouldRollback = false;
    if (db->startSavePointWithName(name, &err)) {
        if (block) block(db, shouldRollback);
        if (shouldRollback) db->rollbackToSavePointWithName(name, &err);
        db->releaseSavePointWithName(name, &err);
    }
    pushDatabaseBackInPool(db);
    return err;
}
