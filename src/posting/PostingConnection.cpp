#include "posting/PostingConnection.h"

#include "db/SqlDatabase.h"

#include <sys/stat.h>

PostingConnection::~PostingConnection() {
    close();
}

std::shared_ptr<SqlDatabase> PostingConnection::acquire(const std::string& path, double busyTimeout) {
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    const bool same = db_ && db_->isOpen() && path == path_ && exists && st.st_dev == device_ &&
                      st.st_ino == inode_ && !db_->inTransaction() && !db_->hasOpenResultSets();
    if (same) {
        db_->setMaxBusyRetryTimeInterval(busyTimeout);
        return db_;
    }
    close();
    auto db = SqlDatabase::databaseWithPath(path);
    db->setMaxBusyRetryTimeInterval(busyTimeout);
    if (!db->open()) return nullptr;
    db->setShouldCacheStatements(true);
    // The file as it is once open (opening may have created it).
    if (::stat(path.c_str(), &st) == 0) {
        device_ = st.st_dev;
        inode_ = st.st_ino;
    }
    db_ = db;
    path_ = path;
    return db_;
}

void PostingConnection::close() {
    if (db_) db_->close();
    db_.reset();
    path_.clear();
}
