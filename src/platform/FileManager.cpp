#include "platform/FileManager.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

namespace {

bool fail(Error* error, int code, const std::string& what) {
    Error::set(error, "FileManager", code, what + ": " + std::strerror(code));
    return false;
}

bool fail(Error* error, const std::error_code& ec, const std::string& what) {
    return fail(error, ec.value() ? ec.value() : EIO, what);
}

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::mutex& renameHookGuard() {
    static std::mutex mutex;
    return mutex;
}

FileManager::RenameHook& renameHook() {
    static FileManager::RenameHook hook;
    return hook;
}

// Runs the hook set for tests before a name is put in place.
void beforeRename(const std::string& from, const std::string& to) {
    FileManager::RenameHook hook;
    {
        std::lock_guard guard(renameHookGuard());
        hook = renameHook();
    }
    if (hook) hook(from, to);
}

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The lock file of a work folder, and the locks this process holds on its
// own work folders (by folder), released when the folder is removed.
constexpr const char* kLockName = ".lock";

std::mutex& heldLocksGuard() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, int>& heldLocks() {
    static std::map<std::string, int> locks;
    return locks;
}

void releaseLock(const std::string& folder) {
    std::lock_guard guard(heldLocksGuard());
    auto held = heldLocks().find(folder);
    if (held == heldLocks().end()) return;
    ::close(held->second);
    heldLocks().erase(held);
}

// Puts the lock file into the new work folder `folder`, locked by this
// process: made under a name of its own, locked, then renamed, so that a
// ".lock" that stands is always held by its job while the job lives.
bool holdLock(const std::string& folder) {
    std::string name = folder + "/.lock-XXXXXX";
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX) != 0 || ::rename(name.c_str(), (folder + "/" + kLockName).c_str()) != 0) {
        ::unlink(name.c_str());
        ::close(fd);
        return false;
    }
    std::lock_guard guard(heldLocksGuard());
    heldLocks()[folder] = fd;
    return true;
}

}  // namespace

bool FileManager::fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool FileManager::isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

// Opens a new hidden file beside `to`, named ".NAME.partial-XXXXXX" (what a
// start removes when a crash left it); its path goes to `partial`. -1 with
// errno set when it cannot.
int openPartial(const std::string& to, std::string* partial) {
    std::string name = FileManager::deletingLastPathComponent(to);
    name = (name.empty() ? std::string() : name + "/") + "." + FileManager::lastPathComponent(to) + ".partial-XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd >= 0) *partial = buffer.data();
    return fd;
}

// Waits until what was written to the folder of `path` (a new name, a
// rename) is on the disk.
bool flushFolderOf(const std::string& path) {
    return FileManager::syncFolder(FileManager::deletingLastPathComponent(path));
}

// Copies the bytes of the file `from` into a new partial file beside `to`
// (openPartial). False with the errno in `code`; nothing is left behind then.
bool copyToPartial(const std::string& from, const std::string& to, bool flush, std::string* partial, int* code) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *code = errno;
        return false;
    }
    struct stat st;
    ::fstat(in, &st);
    int out = openPartial(to, partial);
    if (out < 0) {
        *code = errno;
        ::close(in);
        return false;
    }
    ::fchmod(out, st.st_mode & 0777);
    char buf[65536];
    bool ok = true;
    int e = 0;
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) { ok = false; e = errno; break; }
        if (n == 0) break;
        if (!writeAll(out, std::string(buf, static_cast<size_t>(n)))) { ok = false; e = errno; break; }
    }
    ::close(in);
    if (ok && flush && ::fsync(out) != 0) { ok = false; e = errno; }
    if (::close(out) != 0 && ok) { ok = false; e = errno; }
    if (!ok) {
        ::unlink(partial->c_str());
        *code = e ? e : EIO;
    }
    return ok;
}

// A NUL ends a path early for the system: such a path would name another file.
bool hasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

}  // namespace

bool FileManager::copyItem(const std::string& from, const std::string& to, Error* error) {
    std::string what = "\"" + lastPathComponent(from) + "\" could not be copied to \"" + to + "\"";
    if (hasNul(from) || hasNul(to)) return fail(error, EINVAL, what);
    if (!exists(from)) return fail(error, ENOENT, what);
    if (exists(to)) return fail(error, EEXIST, what);
    std::error_code ec;
    if (fs::is_directory(from, ec)) {
        fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
        if (ec) return fail(error, ec, what);
        return true;
    }
    // The bytes go to a hidden file beside the destination first and are put
    // in place whole by one link: a copy cut short (crash, full disk) never
    // leaves a partial file under the destination's name, and a file that
    // appears meanwhile is not replaced.
    std::string partial;
    int e = 0;
    if (!copyToPartial(from, to, false, &partial, &e)) return fail(error, e, what);
    beforeRename(partial, to);
    if (::link(partial.c_str(), to.c_str()) != 0) {
        e = errno;
        // A file system without hard links: rename, still never over an
        // existing file.
        if (e != EEXIST && ::renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        ::unlink(partial.c_str());
        return fail(error, e ? e : EIO, what);
    }
    ::unlink(partial.c_str());
    return true;
}

bool FileManager::copyItemReplacing(const std::string& from, const std::string& to, Error* error) {
    std::string what = "\"" + lastPathComponent(from) + "\" could not be copied to \"" + to + "\"";
    if (hasNul(from) || hasNul(to)) return fail(error, EINVAL, what);
    if (!exists(from)) return fail(error, ENOENT, what);
    if (isDirectory(from) || isDirectory(to)) return fail(error, EISDIR, what);
    std::string partial;
    int e = 0;
    if (!copyToPartial(from, to, true, &partial, &e)) return fail(error, e, what);
    beforeRename(partial, to);
    if (::rename(partial.c_str(), to.c_str()) != 0) {
        e = errno;
        ::unlink(partial.c_str());
        return fail(error, e ? e : EIO, what);
    }
    if (!flushFolderOf(to)) return fail(error, errno ? errno : EIO, what);
    return true;
}

void FileManager::removePartialCopies(const std::string& folder) {
    static constexpr std::string_view mark = ".partial-";
    for (const auto& name : contentsOfDirectory(folder).value_or(std::vector<std::string>{})) {
        // ".NAME.partial-XXXXXX", with the six characters of mkostemp.
        if (name.size() < 1 + mark.size() + 6 || name.front() != '.' ||
            name.compare(name.size() - 6 - mark.size(), mark.size(), mark) != 0)
            continue;
        const std::string path = appendingPathComponent(folder, name);
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
    }
}

bool FileManager::moveItem(const std::string& from, const std::string& to, Error* error) {
    std::string what = "\"" + lastPathComponent(from) + "\" could not be moved to \"" + to + "\"";
    if (!exists(from)) return fail(error, ENOENT, what);
    if (exists(to)) return fail(error, EEXIST, what);
    beforeRename(from, to);
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return fail(error, errno, what);
    if (!copyItem(from, to, error)) return false;
    return removeItem(from, error);
}

bool FileManager::removeItem(const std::string& path, Error* error) {
    std::string what = "\"" + lastPathComponent(path) + "\" could not be removed";
    if (!exists(path)) return fail(error, ENOENT, what);
    std::error_code ec;
    fs::remove_all(path, ec);
    // A work folder's lock goes with the folder.
    releaseLock(path);
    if (ec) return fail(error, ec, what);
    return true;
}

bool FileManager::createDirectory(const std::string& path, bool withIntermediateDirectories,
                                  Error* error) {
    std::string what = "The folder \"" + lastPathComponent(path) + "\" could not be created";
    std::error_code ec;
    if (withIntermediateDirectories) {
        fs::create_directories(path, ec);
        if (ec) return fail(error, ec, what);
        if (!isDirectory(path)) return fail(error, EEXIST, what);
        return true;
    }
    if (::mkdir(path.c_str(), 0777) != 0) return fail(error, errno, what);
    return true;
}

std::optional<std::vector<std::string>> FileManager::contentsOfDirectory(const std::string& path,
                                                                         Error* error) {
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    if (ec) {
        fail(error, ec, "The folder \"" + lastPathComponent(path) + "\" could not be read");
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const auto& entry : it) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> FileManager::contents(const std::string& path, Error* error) {
    std::string what = "The file \"" + lastPathComponent(path) + "\" could not be read";
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fail(error, errno, what);
        return std::nullopt;
    }
    std::string data;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int e = errno;
            ::close(fd);
            fail(error, e, what);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

std::string FileManager::keepAside(const std::string& folder, const std::string& stem, const std::string& extension,
                                   const std::string& bytes) {
    for (int n = 1; n < 10000; ++n) {
        const std::string name = stem + std::to_string(n) + extension;
        const std::string aside = appendingPathComponent(folder, name);
        struct stat st;
        // A name standing for anything (a link included) is taken, unless
        // it is a file holding these bytes: a record read again and again
        // is kept once.
        if (::lstat(aside.c_str(), &st) == 0) {
            if (S_ISREG(st.st_mode) && contents(aside) == bytes) return name;
            continue;
        }
        return writeFile(aside, bytes, true) ? name : std::string();
    }
    return "";
}

bool FileManager::writeFile(const std::string& path, const std::string& bytes, bool atomically,
                            Error* error) {
    std::string what = "The file \"" + lastPathComponent(path) + "\" could not be written";
    std::string target = path;
    int fd = atomically ? openPartial(path, &target)
                        : ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return fail(error, errno, what);
    bool ok = writeAll(fd, bytes);
    int e = ok ? 0 : errno;
    if (ok && atomically && ::fsync(fd) != 0) { ok = false; e = errno; }
    if (::close(fd) != 0 && ok) { ok = false; e = errno; }
    if (ok && atomically) beforeRename(target, path);
    if (ok && atomically && ::rename(target.c_str(), path.c_str()) != 0) { ok = false; e = errno; }
    if (!ok) {
        if (atomically) ::unlink(target.c_str());
        return fail(error, e ? e : EIO, what);
    }
    if (atomically && !flushFolderOf(path)) return fail(error, errno ? errno : EIO, what);
    return true;
}

bool FileManager::syncFolder(const std::string& path) {
    int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool FileManager::appendToFile(const std::string& path, const std::string& bytes, Error* error) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    std::string what = "The file \"" + lastPathComponent(path) + "\" could not be appended to";
    if (fd < 0) return fail(error, errno, what);
    bool ok = writeAll(fd, bytes);
    int e = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) { ok = false; e = errno; }
    if (!ok) return fail(error, e ? e : EIO, what);
    return true;
}

std::optional<uint64_t> FileManager::fileSize(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<uint64_t>(st.st_size);
}

std::optional<Date> FileManager::modificationDate(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return Date(static_cast<double>(st.st_mtim.tv_sec) + st.st_mtim.tv_nsec / 1e9);
}

namespace {

fs::path temporaryFolder() {
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    return ec ? fs::path("/tmp") : base;
}

bool isMkdtempTail(std::string_view text) {
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

// Whether the folder `path`, named PREFIX-REST, was left by a job that is
// gone. A job holds the lock on its folder's ".lock" file while it runs, so
// a folder whose lock can be taken is left; the lock is known to every
// process, whatever process ids mean where the job runs. A folder without a
// lock file (made before folders were locked, or one whose job is only
// putting its lock in place) counts as left once it is a day old, as no job
// runs that long. When it is left, `removeLeft` runs while the lock is held.
void removeIfLeft(const std::string& path, std::string_view rest, const struct stat& st,
                  const std::function<void()>& removeLeft) {
    const auto dash = rest.find('-');
    const bool named = isMkdtempTail(rest) ||
                       (dash != std::string_view::npos && dash > 0 && dash <= 9 && isMkdtempTail(rest.substr(dash + 1)) &&
                        std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(dash),
                                    [](char c) { return c >= '0' && c <= '9'; }));
    if (!named) return;
    const int fd = ::open((path + "/" + kLockName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT && std::time(nullptr) - st.st_mtime > 24 * 60 * 60) removeLeft();
        return;
    }
    struct stat lock;
    if (::fstat(fd, &lock) == 0 && S_ISREG(lock.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) removeLeft();
    ::close(fd);
}

}  // namespace

std::string FileManager::makeTemporaryDirectory(const std::string& prefix) {
    std::string templ =
        (temporaryFolder() / (prefix + "-" + std::to_string(::getpid()) + "-XXXXXX")).string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) return {};
    const std::string folder(buf.data());
    if (!holdLock(folder)) {
        std::error_code ec;
        fs::remove_all(folder, ec);
        return {};
    }
    return folder;
}

void FileManager::removeAbandonedTemporaryDirectories(const std::vector<std::string>& prefixes) {
    const fs::path base = temporaryFolder();
    for (const auto& name : contentsOfDirectory(base.string()).value_or(std::vector<std::string>{})) {
        for (const auto& prefix : prefixes) {
            if (name.size() <= prefix.size() + 1 || name.compare(0, prefix.size(), prefix) != 0 ||
                name[prefix.size()] != '-')
                continue;
            const std::string path = (base / name).string();
            struct stat st;
            // Only a real folder of this user: never a link, never another's.
            if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) break;
            removeIfLeft(path, std::string_view(name).substr(prefix.size() + 1), st, [&path] {
                std::error_code ec;
                fs::remove_all(path, ec);
            });
            break;
        }
    }
}

void FileManager::setRenameHook(RenameHook hook) {
    std::lock_guard guard(renameHookGuard());
    renameHook() = std::move(hook);
}

std::string FileManager::appendingPathComponent(const std::string& path, const std::string& name) {
    if (path.empty()) return name;
    if (path.back() == '/') return path + name;
    return path + "/" + name;
}

std::string FileManager::lastPathComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    auto slash = p.rfind('/');
    if (slash == std::string::npos || p == "/") return p;
    return p.substr(slash + 1);
}

std::string FileManager::deletingLastPathComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    auto slash = p.rfind('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return p.substr(0, slash);
}

}  // namespace platform
