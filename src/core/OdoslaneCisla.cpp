#include "core/OdoslaneCisla.h"

#include "platform/Error.h"
#include "platform/FileManager.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

namespace {

// The record is read, compared and written by the fiscal driver, the order
// export and the closing's export, which may run at once.
std::mutex recordMutex;

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close(db); }
};

std::string messageOf(sqlite3* db) { return db ? sqlite3_errmsg(db) : "nedostatok pamäte"; }

}  // namespace

const std::string OdoslaneCisla::fileName = "posledna_uzavierka.txt";

OdoslaneCisla::OdoslaneCisla(std::string documentsDirectory)
    : path_(platform::FileManager::appendingPathComponent(documentsDirectory, fileName)) {}

std::optional<long long> OdoslaneCisla::cislo(const std::string& text) {
    if (text.empty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), [](char c) {
            return c >= '0' && c <= '9';
        }))
        return std::nullopt;
    return std::stoll(text);
}

std::optional<long long> OdoslaneCisla::posledne(std::string* reason) const {
    struct stat st;
    if (::lstat(path_.c_str(), &st) != 0 && errno == ENOENT) return 0;
    platform::Error error;
    auto text = platform::FileManager::contents(path_, &error);
    std::string why;
    std::optional<long long> number;
    if (!text) {
        why = error.localizedDescription();
    } else {
        if (!text->empty() && text->back() == '\n') text->pop_back();
        number = cislo(*text);
        if (!number) why = fileName + " neobsahuje číslo dokladu";
    }
    if (!number && reason) *reason = why;
    return number;
}

std::optional<std::string> OdoslaneCisla::zaznamenaj(long long number) const {
    std::lock_guard<std::mutex> lock(recordMutex);
    if (const auto last = posledne(); last && *last >= number) return std::nullopt;
    platform::Error error;
    if (!platform::FileManager::writeFile(path_, std::to_string(number) + "\n", true, &error))
        return error.localizedDescription();
    return std::nullopt;
}

std::optional<std::string> OdoslaneCisla::zaznamenaj(const std::string& cdok) const {
    const auto number = cislo(cdok);
    if (!number) return "\"" + cdok + "\" nie je číslo dokladu";
    return zaznamenaj(*number);
}

std::optional<std::string> OdoslaneCisla::pokracujNad(const std::string& dbPath) const {
    std::string reason;
    const auto last = posledne(&reason);
    if (!last) return reason;
    if (*last == 0) return std::nullopt;
    Connection c;
    if (sqlite3_open_v2(dbPath.c_str(), &c.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return messageOf(c.db);
    sqlite3_busy_timeout(c.db, 5000);
    // In one transaction: the sequence is raised where it lies below the
    // record, or made at the record where the table has none yet; a
    // sequence above the record stays.
    const std::string n = std::to_string(*last);
    const std::string sql =
        "begin immediate;"
        "update sqlite_sequence set seq = " + n + " where name = 'vety' and seq < " + n + ";"
        "insert into sqlite_sequence (name, seq) select 'vety', max(" + n +
        ", coalesce((select max(id) from vety), 0)) where not exists (select 1 from sqlite_sequence where name = 'vety');"
        "commit;";
    char* message = nullptr;
    if (sqlite3_exec(c.db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        reason = message ? message : messageOf(c.db);
        sqlite3_free(message);
        sqlite3_exec(c.db, "rollback", nullptr, nullptr, nullptr);
        return reason;
    }
    return std::nullopt;
}
