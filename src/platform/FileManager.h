#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/Error.h"

namespace platform {

// File operations on plain paths. Failures answer false (or absent) and,
// when `error` is given, an Error of domain "FileManager" whose code is the
// errno value.
class FileManager {
public:
    static bool fileExists(const std::string& path);
    static bool isDirectory(const std::string& path);

    // Copies a file or a directory tree. Refuses (EEXIST) when anything is at
    // `to` already: an existing item is never replaced.
    static bool copyItem(const std::string& from, const std::string& to, Error* error = nullptr);
    // Copies the file `from` over the file `to`: the bytes go to a hidden
    // partial file beside `to`, are flushed to disk, one rename puts them in
    // place and the folder is flushed, so `to` is the old file or the whole
    // copy, never missing, and once it answers true the copy stays.
    static bool copyItemReplacing(const std::string& from, const std::string& to, Error* error = nullptr);
    // Removes what copies cut short (a crash, a kill) left in `folder`: the
    // hidden partial files ".NAME.partial-XXXXXX" of the two copies above.
    static void removePartialCopies(const std::string& folder);
    // Moves (renames) an item; refuses when anything is at `to` already.
    static bool moveItem(const std::string& from, const std::string& to, Error* error = nullptr);
    // Removes a file or a whole directory tree; fails when nothing is there.
    static bool removeItem(const std::string& path, Error* error = nullptr);
    static bool createDirectory(const std::string& path, bool withIntermediateDirectories = true,
                                Error* error = nullptr);
    // Names (not paths) of the entries of a directory, sorted by name.
    static std::optional<std::vector<std::string>> contentsOfDirectory(const std::string& path,
                                                                       Error* error = nullptr);

    static std::optional<std::string> contents(const std::string& path, Error* error = nullptr);
    // Writes the whole file. `atomically` writes a hidden partial file beside
    // it (as the copies do), flushes it to the disk, renames it over the file
    // and flushes the folder: once it answers true the file is whole and on
    // the disk, and a crash before leaves the old file (the file then has
    // the owner's permissions only).
    static bool writeFile(const std::string& path, const std::string& bytes,
                          bool atomically = false, Error* error = nullptr);
    // Keeps `bytes` (a damaged record's) beside the record, in `folder`
    // under the first name `stem`N`extension` (N from 1) that holds these
    // very bytes already or is free, written as `atomically` writes: its
    // name, or "" when they could not be kept.
    static std::string keepAside(const std::string& folder, const std::string& stem, const std::string& extension,
                                 const std::string& bytes);
    // Waits until what was written to the folder itself (new names, renames,
    // removals) is on the disk.
    static bool syncFolder(const std::string& path);
    // Appends at the end of the file, creating it when missing.
    static bool appendToFile(const std::string& path, const std::string& bytes,
                             Error* error = nullptr);

    static std::optional<uint64_t> fileSize(const std::string& path);
    static std::optional<Date> modificationDate(const std::string& path);

    // A fresh directory under the system's temporary folder, named
    // PREFIX-PID-XXXXXX, for a job's work. This process holds a lock on the
    // file ".lock" in it until removeItem removes the folder (or the process
    // ends); "" when it cannot be made.
    static std::string makeTemporaryDirectory(const std::string& prefix = "trekora");
    // Removes from the system's temporary folder what jobs that are gone
    // (killed with the program) left there: the directories made above with
    // one of `prefixes` whose lock nobody holds. A folder without a lock file
    // (as made before) goes once a day old.
    static void removeAbandonedTemporaryDirectories(const std::vector<std::string>& prefixes);

    // For tests of steps that must survive the program being killed: runs
    // before each rename or link by which these calls put a name in place
    // (moveItem, the copies, the atomic writes), with its two paths. A hook
    // that throws stops the step right there, as a kill would. None unless
    // set; an empty one takes it away.
    using RenameHook = std::function<void(const std::string& from, const std::string& to)>;
    static void setRenameHook(RenameHook hook);

    // Path helpers.
    static std::string appendingPathComponent(const std::string& path, const std::string& name);
    static std::string lastPathComponent(const std::string& path);
    static std::string deletingLastPathComponent(const std::string& path);
};

}  // namespace platform
