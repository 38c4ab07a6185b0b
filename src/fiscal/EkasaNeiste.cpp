#include "fiscal/EkasaNeiste.h"

#include "core/Trekora.h"
#include "platform/FileManager.h"
#include "platform/Places.h"

#include <nlohmann/json.hpp>

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

// The list is written whole and on the disk before this returns (a
// registration is sent only after), so that a crash or a power cut leaves
// either the old list or the new one.
bool write(const std::string& path, const std::vector<EkasaNeiste::Zaznam>& list) {
    if (list.empty()) return platform::FileManager::removeItem(path) || !platform::FileManager::fileExists(path);
    nlohmann::json json = nlohmann::json::array();
    for (const auto& z : list) json.push_back({{"cdok", z.cdok}, {"id", z.id}, {"od", z.od}, {"predtym", z.predtym}});
    return platform::FileManager::writeFile(path, json.dump(1), true);
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
