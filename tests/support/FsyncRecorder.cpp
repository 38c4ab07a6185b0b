#include "support/FsyncRecorder.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <vector>

namespace {

std::mutex& guard() {
    static std::mutex mutex;
    return mutex;
}

std::vector<std::string>& flushed() {
    static std::vector<std::string> paths;
    return paths;
}

void record(int fd) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target - 1);
    if (n <= 0) return;
    std::lock_guard lock(guard());
    flushed().emplace_back(target, static_cast<std::size_t>(n));
}

std::string canonical(const std::string& path) {
    std::error_code ec;
    const auto resolved = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : resolved.string();
}

int find(const std::string& path, bool last) {
    const std::string wanted = canonical(path);
    std::lock_guard lock(guard());
    const auto& all = flushed();
    int found = -1;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] != wanted) continue;
        found = static_cast<int>(i);
        if (!last) break;
    }
    return found;
}

using FlushCall = int (*)(int);

}  // namespace

// Linked into a test program, these take the place of the C library's calls
// for the whole program, the system library included.
extern "C" int fsync(int fd) {
    static const auto next = reinterpret_cast<FlushCall>(::dlsym(RTLD_NEXT, "fsync"));
    record(fd);
    return next(fd);
}

extern "C" int fdatasync(int fd) {
    static const auto next = reinterpret_cast<FlushCall>(::dlsym(RTLD_NEXT, "fdatasync"));
    record(fd);
    return next(fd);
}

void FsyncRecorder::clear() {
    std::lock_guard lock(guard());
    flushed().clear();
}

int FsyncRecorder::firstFlushOf(const std::string& path) { return find(path, false); }

int FsyncRecorder::lastFlushOf(const std::string& path) { return find(path, true); }
