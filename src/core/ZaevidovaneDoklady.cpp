#include "core/ZaevidovaneDoklady.h"

#include "core/OdoslaneCisla.h"
#include "platform/Error.h"
#include "platform/FileManager.h"
#include "records/JsonNumberText.h"

#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <algorithm>
#include <mutex>

using platform::FileManager;

namespace {

using Json = nlohmann::json;
using Registracia = ZaevidovaneDoklady::Registracia;

// The fiscal driver's completions, the synchronisation and the start read
// and write the record: one at a time.
std::mutex recordMutex;

// The members of an entry, as the file names them.
struct Member {
    const char* name;
    std::string Registracia::*field;
};
const Member kMembers[] = {
    {"cdok", &Registracia::cdok},
    {"uid", &Registracia::uid},
    {"okp", &Registracia::okp},
    {"pardok", &Registracia::pardok},
    {"datum_vytvor", &Registracia::datumVytvor},
    {"datum_vystav", &Registracia::datumVystav},
    {"datum_evid", &Registracia::datumEvid},
};

// An entry read leniently: each member a text, a number (its decimal text),
// null or absent; nothing when it is anything else or names no number.
std::optional<Registracia> entry(const Json& item) {
    if (!item.is_object()) return std::nullopt;
    Registracia r;
    for (const auto& m : kMembers) {
        auto it = item.find(m.name);
        if (it == item.end() || it->is_null()) continue;
        if (it->is_string()) r.*m.field = it->get<std::string>();
        else if (it->is_number()) r.*m.field = JsonNumberText::of(*it);
        else return std::nullopt;
    }
    if (!OdoslaneCisla::cislo(r.cdok)) return std::nullopt;
    return r;
}

bool write(const std::string& path, const std::vector<Registracia>& list, std::string* reason) {
    Json json = Json::array();
    for (const auto& r : list) {
        Json item = Json::object();
        for (const auto& m : kMembers) item[m.name] = r.*m.field;
        json.push_back(std::move(item));
    }
    platform::Error error;
    if (FileManager::writeFile(path, json.dump(1), true, &error)) return true;
    *reason = error.localizedDescription();
    return false;
}

// Reads the record (under the lock). A file that cannot be read whole is
// kept aside and the entries read from it replace it.
std::optional<std::vector<Registracia>> read(const std::string& path, std::string* hlasenie) {
    std::vector<Registracia> list;
    if (!FileManager::fileExists(path)) return list;
    platform::Error error;
    const auto bytes = FileManager::contents(path, &error);
    if (!bytes) {
        if (hlasenie) *hlasenie = ZaevidovaneDoklady::fileName + " sa nedá prečítať (" + error.localizedDescription() + ")";
        return std::nullopt;
    }
    const auto json = Json::parse(*bytes, nullptr, false);
    bool damaged = !json.is_array();
    if (!damaged)
        for (const auto& item : json) {
            if (auto r = entry(item)) list.push_back(*r);
            else damaged = true;
        }
    if (!damaged) return list;
    const std::string aside = FileManager::keepAside(FileManager::deletingLastPathComponent(path),
                                                     ZaevidovaneDoklady::poskodenyPrefix, ".json", *bytes);
    std::string reason = ZaevidovaneDoklady::fileName + " je poškodený";
    if (aside.empty()) {
        if (hlasenie) *hlasenie = reason + " a nedá sa odložiť";
        return std::nullopt;
    }
    reason += " (odložený ako " + aside + ")";
    std::string failure;
    if (!write(path, list, &failure)) {
        if (hlasenie) *hlasenie = reason + " a čitateľné záznamy sa nedajú zapísať (" + failure + ")";
        return std::nullopt;
    }
    if (hlasenie) *hlasenie = reason;
    return list;
}

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close(db); }
    std::string message() const { return db ? sqlite3_errmsg(db) : "nedostatok pamäte"; }
};

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
    void bind(int index, const std::string& text) const {
        sqlite3_bind_text(stmt, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    std::string text(int column) const {
        const auto* value = sqlite3_column_text(stmt, column);
        return value ? reinterpret_cast<const char*>(value) : "";
    }
};

std::optional<std::string> open(Connection& c, const std::string& dbPath, int flags) {
    if (sqlite3_open_v2(dbPath.c_str(), &c.db, flags, nullptr) != SQLITE_OK) return c.message();
    sqlite3_busy_timeout(c.db, 5000);
    return std::nullopt;
}

// A document with any identifier, in SQL.
const std::string kMaUdaje = "(coalesce(uid, '') <> '' or coalesce(okp, '') <> '' or coalesce(pardok, '') <> '')";

}  // namespace

const std::string ZaevidovaneDoklady::fileName = "zaevidovane_doklady.json";
const std::string ZaevidovaneDoklady::poskodenyPrefix = "zaevidovane_doklady.poskodeny-";

ZaevidovaneDoklady::ZaevidovaneDoklady(const std::string& documentsDirectory)
    : path_(FileManager::appendingPathComponent(documentsDirectory, fileName)) {}

std::optional<std::vector<Registracia>> ZaevidovaneDoklady::zoznam(std::string* hlasenie) const {
    std::lock_guard lock(recordMutex);
    return read(path_, hlasenie);
}

std::optional<std::string> ZaevidovaneDoklady::zapis(const Registracia& registracia, Registracia* ina) const {
    std::lock_guard lock(recordMutex);
    std::string reason;
    auto list = read(path_, &reason);
    if (!list) return reason;
    if (auto held = najdi(*list, registracia.cdok)) {
        if (held->rovnaka(registracia)) return std::nullopt;
        if (ina) *ina = *held;
        return "číslo dokladu " + registracia.cdok + " je zaznamenané s inou registráciou (pardok " + held->pardok +
               ", uid " + held->uid + ")";
    }
    list->push_back(registracia);
    if (!write(path_, *list, &reason)) return reason;
    return std::nullopt;
}

std::optional<std::string> ZaevidovaneDoklady::odober(const std::vector<Registracia>& dorucene) const {
    std::lock_guard lock(recordMutex);
    std::string reason;
    auto list = read(path_, &reason);
    if (!list) return reason;
    const auto before = list->size();
    std::erase_if(*list, [&](const Registracia& r) {
        return std::any_of(dorucene.begin(), dorucene.end(),
                           [&](const Registracia& d) { return d.cdok == r.cdok && d.rovnaka(r); });
    });
    if (list->size() == before || write(path_, *list, &reason)) return std::nullopt;
    return reason;
}

std::optional<std::string> ZaevidovaneDoklady::vratDo(const std::string& dbPath, std::vector<std::string>* ine) const {
    std::string reason;
    const auto list = zoznam(&reason);
    if (!list) return reason;
    if (list->empty()) return std::nullopt;
    return vrat(dbPath, *list, ine);
}

std::optional<Registracia> ZaevidovaneDoklady::najdi(const std::vector<Registracia>& zoznam, const std::string& cdok) {
    for (const auto& r : zoznam)
        if (r.cdok == cdok) return r;
    return std::nullopt;
}

std::optional<std::string> ZaevidovaneDoklady::drzane(const std::string& dbPath, const std::vector<Registracia>& zoznam,
                                                      std::vector<Registracia>* drzane) {
    Connection c;
    if (auto failure = open(c, dbPath, SQLITE_OPEN_READONLY)) return failure;
    Statement s;
    if (sqlite3_prepare_v2(c.db,
                           "select 1 from vety where cdok = ?1 and coalesce(uid, '') = ?2 and coalesce(pardok, '') = ?3",
                           -1, &s.stmt, nullptr) != SQLITE_OK)
        return c.message();
    for (const auto& r : zoznam) {
        sqlite3_reset(s.stmt);
        s.bind(1, r.cdok);
        s.bind(2, r.uid);
        s.bind(3, r.pardok);
        const int rc = sqlite3_step(s.stmt);
        if (rc == SQLITE_ROW) drzane->push_back(r);
        else if (rc != SQLITE_DONE) return c.message();
    }
    return std::nullopt;
}

std::optional<std::string> ZaevidovaneDoklady::vDatabaze(const std::string& dbPath, std::vector<Registracia>* zoznam) {
    Connection c;
    if (auto failure = open(c, dbPath, SQLITE_OPEN_READONLY)) return failure;
    Statement s;
    const std::string sql =
        "select cdok, coalesce(uid, ''), coalesce(okp, ''), coalesce(pardok, ''), coalesce(datum_vytvor, ''), "
        "coalesce(datum_vystav, ''), coalesce(datum_evid, '') from vety where cdok is not null and " + kMaUdaje +
        " order by id";
    if (sqlite3_prepare_v2(c.db, sql.c_str(), -1, &s.stmt, nullptr) != SQLITE_OK) return c.message();
    int rc;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        Registracia r;
        int column = 0;
        for (const auto& m : kMembers) r.*m.field = s.text(column++);
        zoznam->push_back(std::move(r));
    }
    // Only rows read to their end are the whole answer.
    if (rc != SQLITE_DONE) return c.message();
    return std::nullopt;
}

std::optional<std::string> ZaevidovaneDoklady::vrat(const std::string& dbPath, const std::vector<Registracia>& zoznam,
                                                    std::vector<std::string>* ine) {
    Connection c;
    if (auto failure = open(c, dbPath, SQLITE_OPEN_READWRITE)) return failure;
    Statement other, update;
    const std::string otherSql = "select 1 from vety where cdok = ?1 and " + kMaUdaje +
                                 " and (coalesce(uid, '') <> ?2 or coalesce(pardok, '') <> ?3)";
    const std::string updateSql =
        "update vety set uid = nullif(?2, ''), okp = nullif(?3, ''), pardok = nullif(?4, ''), "
        "datum_vytvor = nullif(?5, ''), datum_vystav = nullif(?6, ''), datum_evid = nullif(?7, '') "
        "where cdok = ?1 and not " + kMaUdaje;
    if (sqlite3_exec(c.db, "begin immediate", nullptr, nullptr, nullptr) != SQLITE_OK) return c.message();
    std::optional<std::string> failure;
    if (sqlite3_prepare_v2(c.db, otherSql.c_str(), -1, &other.stmt, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(c.db, updateSql.c_str(), -1, &update.stmt, nullptr) != SQLITE_OK)
        failure = c.message();
    long long highest = 0;
    for (const auto& r : zoznam) {
        if (failure) break;
        const auto number = OdoslaneCisla::cislo(r.cdok);
        if (!number || !r.maUdaje()) continue;
        highest = std::max(highest, *number);
        sqlite3_reset(other.stmt);
        other.bind(1, r.cdok);
        other.bind(2, r.uid);
        other.bind(3, r.pardok);
        const int rc = sqlite3_step(other.stmt);
        if (rc == SQLITE_ROW) {
            if (ine) ine->push_back(r.cdok);
            continue;
        }
        if (rc != SQLITE_DONE) {
            failure = c.message();
            break;
        }
        sqlite3_reset(update.stmt);
        int index = 1;
        for (const auto& m : kMembers) update.bind(index++, r.*m.field);
        if (sqlite3_step(update.stmt) != SQLITE_DONE) failure = c.message();
    }
    sqlite3_reset(other.stmt);
    sqlite3_reset(update.stmt);
    // The numbers recorded are never given to another document: the
    // sequence is raised where it lies below them.
    const std::string n = std::to_string(highest);
    const std::string sequence =
        highest == 0 ? std::string()
                     : "update sqlite_sequence set seq = " + n + " where name = 'vety' and seq < " + n + ";"
                       "insert into sqlite_sequence (name, seq) select 'vety', max(" + n +
                           ", coalesce((select max(id) from vety), 0)) where not exists "
                           "(select 1 from sqlite_sequence where name = 'vety');";
    if (!failure && sqlite3_exec(c.db, (sequence + "commit").c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        failure = c.message();
    if (failure) {
        sqlite3_exec(c.db, "rollback", nullptr, nullptr, nullptr);
        if (ine) ine->clear();
    }
    return failure;
}
