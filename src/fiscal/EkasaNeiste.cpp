#include "fiscal/EkasaNeiste.h"

#include "core/Trekora.h"
#include "platform/FileManager.h"
#include "platform/Places.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

namespace {

// The driver's completions run on the URL session's queue, the requests on
// the main thread: one reader or writer of the file at a time.
std::mutex& fileLock() {
    static std::mutex lock;
    return lock;
}

std::vector<EkasaNeiste::Zaznam> read(const std::string& path) {
    std::vector<EkasaNeiste::Zaznam> list;
    auto bytes = platform::FileManager::contents(path);
    if (!bytes) return list;
    auto json = nlohmann::json::parse(*bytes, nullptr, false);
    if (!json.is_array()) {
        sharedTrekora().log("EkasaNeiste: zoznam neistych dokladov je necitatelny: " + path);
        return list;
    }
    for (const auto& item : json) {
        if (!item.is_object()) continue;
        EkasaNeiste::Zaznam z;
        z.cdok = item.value("cdok", "");
        z.id = item.value("id", "");
        z.od = item.value("od", 0.0);
        z.predtym = item.value("predtym", "");
        if (!z.cdok.empty() || !z.id.empty()) list.push_back(z);
    }
    return list;
}

// Waits until what was written to `path` (a file or a folder) is on the disk.
bool flushToDisk(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The list goes to a hidden partial file beside the list (one that a start
// removes when a crash left it), reaches the disk, and is renamed over the
// list; the folder is flushed too, so that the rename itself survives a
// crash or a power cut. A registration is sent only after this returned.
bool write(const std::string& path, const std::vector<EkasaNeiste::Zaznam>& list) {
    const std::string folder = platform::FileManager::deletingLastPathComponent(path);
    if (list.empty()) {
        if (platform::FileManager::fileExists(path) && !platform::FileManager::removeItem(path)) return false;
        return flushToDisk(folder);
    }
    nlohmann::json json = nlohmann::json::array();
    for (const auto& z : list) json.push_back({{"cdok", z.cdok}, {"id", z.id}, {"od", z.od}, {"predtym", z.predtym}});
    const std::string name = platform::FileManager::appendingPathComponent(
        folder, "." + platform::FileManager::lastPathComponent(path) + ".partial-XXXXXX");
    std::vector<char> partial(name.begin(), name.end());
    partial.push_back('\0');
    int fd = ::mkostemp(partial.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = writeAll(fd, json.dump(1)) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(partial.data(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(partial.data());
        return false;
    }
    return flushToDisk(folder);
}

}  // namespace

std::string EkasaNeiste::path() {
    return platform::FileManager::appendingPathComponent(platform::Places::documentsDirectory(), sharedTrekora().neisteFileName);
}

bool EkasaNeiste::jeTo(const Zaznam& zaznam, const std::string& cdok, const std::string& id) {
    if (!cdok.empty() || !zaznam.cdok.empty()) return zaznam.cdok == cdok;
    return !id.empty() && zaznam.id == id;
}

std::vector<EkasaNeiste::Zaznam> EkasaNeiste::zoznam() {
    std::lock_guard guard(fileLock());
    return read(path());
}

bool EkasaNeiste::pridaj(const Zaznam& zaznam) {
    std::lock_guard guard(fileLock());
    const std::string file = path();
    auto list = read(file);
    std::erase_if(list, [&](const Zaznam& z) { return jeTo(z, zaznam.cdok, zaznam.id); });
    list.push_back(zaznam);
    return write(file, list);
}

bool EkasaNeiste::odober(const Zaznam& zaznam) {
    std::lock_guard guard(fileLock());
    const std::string file = path();
    auto list = read(file);
    const auto before = list.size();
    std::erase_if(list, [&](const Zaznam& z) { return jeTo(z, zaznam.cdok, zaznam.id); });
    return list.size() == before || write(file, list);
}
