#pragma once

#include <string>

// Records what the process flushes to the disk (fsync, fdatasync), in order,
// by the path of the flushed descriptor: a test that uses it sees whether a
// file or a folder was made durable. The flushes themselves still happen.
class FsyncRecorder {
public:
    static void clear();
    // Position of the first flush of `path` (a file or a folder), -1 when none.
    static int firstFlushOf(const std::string& path);
    // Position of the last flush of `path`, -1 when none.
    static int lastFlushOf(const std::string& path);
};
