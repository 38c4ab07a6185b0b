#include "fiscal/EkasaNeiste.h"

#include "core/Trekora.h"
#include "records/JsonNumberText.h"
#include "platform/Clock.h"
#include "platform/FileManager.h"
#include "platform/Places.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

namespace {

using Json = nlohmann::json;

// The driver's completions run on the URL session's queue, the requests on
// the main thread: one reader or writer of the file at a time.
std::mutex& fileLock() {
    static std::mutex lock;
    return lock;
}

// A text member read leniently: a text, a number (its decimal text), or ""
// when absent or null; nothing when it is anything else.
std::optional<std::string> text(const Json& item, const char* name) {
    auto it = item.find(name);
    if (it == item.end() || it->is_null()) return std::string();
    if (it->is_string()) return it->get<std::string>();
    if (it->is_number()) return JsonNumberText::of(*it);
    return std::nullopt;
}

// The time member: a number, or a text that is one number whole.
std::optional<double> seconds(const Json& item) {
    auto it = item.find("od");
    if (it == item.end()) return std::nullopt;
    if (it->is_number()) return it->get<double>();
    if (!it->is_string()) return std::nullopt;
    const std::string s = it->get<std::string>();
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<EkasaNeiste::Zaznam> entry(const Json& item) {
    if (!item.is_object()) return std::nullopt;
    EkasaNeiste::Zaznam z;
    auto cdok = text(item, "cdok"), id = text(item, "id"), predtym = text(item, "predtym"),
         predtymPardok = text(item, "predtymPardok"), odlozeny = text(item, "odlozeny");
    auto od = seconds(item);
    auto neznamy = item.find("neznamy");
    if (!cdok || !id || !predtym || !predtymPardok || !odlozeny || !od) return std::nullopt;
    if (neznamy != item.end() && !neznamy->is_boolean() && !neznamy->is_null()) return std::nullopt;
    z.cdok = *cdok;
    z.id = *id;
    z.predtym = *predtym;
    z.predtymPardok = *predtymPardok;
    z.od = *od;
    z.neznamy = neznamy != item.end() && neznamy->is_boolean() && neznamy->get<bool>();
    z.odlozeny = *odlozeny;
    if (!z.neznamy && z.cdok.empty() && z.id.empty()) return std::nullopt;
    return z;
}

Json toJson(const std::vector<EkasaNeiste::Zaznam>& list) {
    Json json = Json::array();
    for (const auto& z : list) {
        Json item = {{"cdok", z.cdok}, {"id", z.id}, {"od", z.od}, {"predtym", z.predtym}};
        if (!z.predtymPardok.empty()) item["predtymPardok"] = z.predtymPardok;
        if (z.neznamy) {
            item["neznamy"] = true;
            item["odlozeny"] = z.odlozeny;
        }
        json.push_back(std::move(item));
    }
    return json;
}

// The list is written whole and on the disk before this returns (a
// registration is sent only after), so that a crash or a power cut leaves
// either the old list or the new one.
bool write(const std::string& path, const std::vector<EkasaNeiste::Zaznam>& list) {
    if (list.empty()) return platform::FileManager::removeItem(path) || !platform::FileManager::fileExists(path);
    return platform::FileManager::writeFile(path, toJson(list).dump(1), true);
}

// Reads the list. A file that cannot be read whole is kept aside, and the
// entries read from it, with an unknown document's entry, replace it.
std::vector<EkasaNeiste::Zaznam> read(const std::string& path) {
    std::vector<EkasaNeiste::Zaznam> list;
    if (!platform::FileManager::fileExists(path)) return list;
    auto& trekora = sharedTrekora();
    auto bytes = platform::FileManager::contents(path);
    bool damaged = !bytes;
    if (bytes) {
        auto json = Json::parse(*bytes, nullptr, false);
        damaged = !json.is_array();
        if (!damaged)
            for (const auto& item : json) {
                if (auto z = entry(item)) list.push_back(*z);
                else damaged = true;
            }
    }
    if (!damaged) return list;

    EkasaNeiste::Zaznam unknown;
    unknown.neznamy = true;
    unknown.od = platform::Clock::now().timeIntervalSince1970();
    unknown.odlozeny = bytes ? platform::FileManager::keepAside(platform::FileManager::deletingLastPathComponent(path),
                                                             trekora.neistePoskodenyPrefix, ".json", *bytes)
                             : std::string();
    trekora.log("EkasaNeiste: zoznam neistych dokladov " + path + " je poskodeny" +
                (unknown.odlozeny.empty() ? std::string(" a nepodarilo sa ho odlozit")
                                          : ", odlozeny ako " + unknown.odlozeny) +
                "; kazda registracia pocka, kym sa neukaze, co sa s poslednou odoslanou stalo");
    list.push_back(unknown);
    // While the damaged bytes could not be kept aside, they stay where they are.
    if (!unknown.odlozeny.empty() && !write(path, list))
        trekora.log("EkasaNeiste: opraveny zoznam neistych dokladov sa nepodarilo zapisat");
    return list;
}

// Entries that stand for one another in the list: they mark the same
// document, or both stand for the same damaged list.
bool rovnakyZaznam(const EkasaNeiste::Zaznam& a, const EkasaNeiste::Zaznam& b) {
    if (a.neznamy || b.neznamy) return a.neznamy && b.neznamy && a.odlozeny == b.odlozeny;
    return EkasaNeiste::oznacuje(a, b.cdok, b.id);
}

}  // namespace

std::string EkasaNeiste::path() {
    return platform::FileManager::appendingPathComponent(platform::Places::documentsDirectory(), sharedTrekora().neisteFileName);
}

bool EkasaNeiste::oznacuje(const Zaznam& zaznam, const std::string& cdok, const std::string& id) {
    if (zaznam.neznamy) return false;
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
    std::erase_if(list, [&](const Zaznam& z) { return rovnakyZaznam(z, zaznam); });
    list.push_back(zaznam);
    return write(file, list);
}

bool EkasaNeiste::odober(const Zaznam& zaznam) {
    std::lock_guard guard(fileLock());
    const std::string file = path();
    auto list = read(file);
    const auto before = list.size();
    std::erase_if(list, [&](const Zaznam& z) { return rovnakyZaznam(z, zaznam); });
    return list.size() == before || write(file, list);
}
