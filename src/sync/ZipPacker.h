#pragma once

// Writes zip archives (deflate at the default level, no Zip64, so entries
// stay below 4 GiB) and extracts them. The synchronisation packs the backup
// of the database with it; the reading side is used to check archives.
// Every operation answers a success flag.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "platform/Date.h"
#include "sync/ZipPackerDelegate.h"

class ZipPacker {
public:
    ZipPacker();
    ~ZipPacker();
    ZipPacker(const ZipPacker&) = delete;
    ZipPacker& operator=(const ZipPacker&) = delete;

    std::shared_ptr<ZipPackerDelegate> delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<ZipPackerDelegate> delegate) { delegate_ = std::move(delegate); }

    // --- writing ---------------------------------------------------------------
    // Creates a new archive at `path` (an existing file there is replaced).
    bool createZip(const std::string& path);
    // The same; the entries are then encrypted with `password`.
    bool createZip(const std::string& path, const std::string& password);
    // Adds the file at `path` under `entryName`, dated from the file's
    // modification time. A source that cannot be read, or that is 4 GiB or
    // larger, answers false and adds nothing.
    bool addFile(const std::string& path, const std::string& entryName);
    // Closes the archive; false when none is open or closing fails.
    bool closeZip();

    // --- reading ------------------------------------------------------------------
    bool openForReading(const std::string& path);
    bool openForReading(const std::string& path, const std::string& password);
    // Extracts every entry below `folder`. Entries whose names would lead
    // outside it (absolute, with a ".." component) or are empty are refused
    // with an error to the delegate. True when every entry was extracted.
    bool extractTo(const std::string& folder, bool overwrite);
    bool closeReading();

    void reportError(const std::string& message);
    bool mayOverwrite(const std::string& path);
    // 1 January 1980, 00:00 local time: the earliest date an entry can carry.
    static platform::Date dosEpoch();

private:
    bool addEncrypted(std::FILE* source, const std::string& entryName, const void* fileInfo);
    // The current entry's content, deciphered and checked; none with a
    // wrong or missing password.
    std::optional<std::string> readEncrypted(const void* fileInfo);

    void* zipFile_ = nullptr;
    void* unzFile_ = nullptr;
    std::optional<std::string> password_;
    std::shared_ptr<ZipPackerDelegate> delegate_;
};
