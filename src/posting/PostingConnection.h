#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

class SqlDatabase;

// The connection of the document posting, kept open between postings so that
// the stored statements of a posting are prepared once and run again from
// its statement cache. It is opened again when the database file is another
// one (another path, or a new file put in place of the old) and when the last
// posting left anything open on it. Between postings it holds no transaction
// and no statement in progress, so it never stands in another writer's way.
class PostingConnection {
public:
    PostingConnection() = default;
    ~PostingConnection();
    PostingConnection(const PostingConnection&) = delete;
    PostingConnection& operator=(const PostingConnection&) = delete;

    // An open connection to `path` with its busy wait, or nullptr when the
    // file does not open.
    std::shared_ptr<SqlDatabase> acquire(const std::string& path, double busyTimeout);
    // Closes the kept connection.
    void close();

private:
    std::shared_ptr<SqlDatabase> db_;
    std::string path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};
