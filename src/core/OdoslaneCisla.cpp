#include "core/OdoslaneCisla.h"

#include "platform/Error.h"
#include "platform/FileManager.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <utility>

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
const std::string OdoslaneCisla::poskodenyPrefix = "posledna_uzavierka.poskodeny-";

OdoslaneCisla::OdoslaneCisla(std::string documentsDirectory, std::string dbPath)
    : documents_(std::move(documentsDirectory)),
      path_(platform::FileManager::appendingPathComponent(documents_, fileName)),
      dbPath_(std::move(dbPath)) {}

std::optional<long long> OdoslaneCisla::cislo(const std::string& text) {
    if (text.empty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), [](char c) {
            return c >= '0' && c <= '9';
        }))
        return std::nullopt;
    return std::stoll(text);
}

std::optional<std::string> OdoslaneCisla::chybaCisla(const std::string& cdok) {
    if (cdok.empty() || cislo(cdok)) return std::nullopt;
    if (std::all_of(cdok.begin(), cdok.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return "číslo dokladu " + cdok + " je väčšie ako najväčšie číslo, ktoré doklad môže mať (" +
               std::to_string(najvacsie) + "); obráťte sa na servis";
    return "\"" + cdok + "\" nie je číslo dokladu";
}

std::optional<long long> OdoslaneCisla::posledne(std::string* reason) const {
    std::lock_guard<std::mutex> lock(recordMutex);
    return citaj(reason);
}

std::optional<long long> OdoslaneCisla::citaj(std::string* reason, std::string* damaged) const {
    struct stat st;
    if (::lstat(path_.c_str(), &st) != 0 && errno == ENOENT) return 0;
    platform::Error error;
    auto text = platform::FileManager::contents(path_, &error);
    std::string why;
    std::optional<long long> number;
    if (!text) {
        why = "záznam odoslaných čísel " + fileName + " sa nedá prečítať (" + error.localizedDescription() + ")";
    } else {
        const char* blanks = " \t\r\n";
        const auto from = text->find_first_not_of(blanks);
        const std::string digits =
            from == std::string::npos ? "" : text->substr(from, text->find_last_not_of(blanks) - from + 1);
        number = cislo(digits);
        if (!number) {
            const bool tooLarge = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
                return c >= '0' && c <= '9';
            });
            const std::string aside = odloz(*text);
            why = "záznam odoslaných čísel " + fileName +
                  (tooLarge ? " má číslo väčšie ako najväčšie číslo dokladu " + std::to_string(najvacsie)
                            : " neobsahuje číslo dokladu") +
                  (aside.empty() ? ", jeho obsah sa nepodarilo odložiť" : ", je odložený ako " + aside) +
                  "; kým sa záznam neopraví, žiadne číslo dokladu neodíde";
            if (damaged) *damaged = *text;
        }
    }
    if (!number && reason) *reason = why;
    return number;
}

std::string OdoslaneCisla::odloz(const std::string& bytes) const {
    return platform::FileManager::keepAside(documents_, poskodenyPrefix, ".txt", bytes);
}

std::optional<std::string> OdoslaneCisla::zaznamenaj(long long number) const {
    if (number > najvacsie) return std::to_string(number) + " nie je číslo dokladu";
    std::lock_guard<std::mutex> lock(recordMutex);
    // A record that cannot be read may hold a higher number: it is never
    // written over.
    std::string reason, damaged;
    const auto last = citaj(&reason, &damaged);
    if (!last) {
        if (!damaged.empty())
            if (auto written = zapisZnova(damaged, number)) return *written;
        return reason;
    }
    if (*last >= number) return std::nullopt;
    platform::Error error;
    if (!platform::FileManager::writeFile(path_, std::to_string(number) + "\n", true, &error))
        return error.localizedDescription();
    return std::nullopt;
}

std::optional<std::string> OdoslaneCisla::zapisZnova(const std::string& bytes, long long number) const {
    if (dbPath_.empty()) return std::nullopt;
    // The database's numbering: its sequence and its highest document.
    Connection c;
    if (sqlite3_open_v2(dbPath_.c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return std::nullopt;
    sqlite3_busy_timeout(c.db, 5000);
    sqlite3_stmt* statement = nullptr;
    const char* sql =
        "select max(coalesce((select seq from sqlite_sequence where name = 'vety'), 0),"
        " coalesce((select max(id) from vety), 0))";
    if (sqlite3_prepare_v2(c.db, sql, -1, &statement, nullptr) != SQLITE_OK) return std::nullopt;
    const bool read = sqlite3_step(statement) == SQLITE_ROW;
    const long long database = read ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    if (!read) return std::nullopt;
    // A number left in the bytes (a record cut or mistyped) may lie above.
    long long left = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t end = std::min(bytes.find_first_not_of("0123456789", i), bytes.size());
        if (end > i) {
            if (const auto n = cislo(bytes.substr(i, end - i))) left = std::max(left, *n);
            i = end;
        } else {
            ++i;
        }
    }
    const long long anew = std::min(najvacsie, std::max({database, left, number}));
    if (!platform::FileManager::writeFile(path_, std::to_string(anew) + "\n", true)) return std::nullopt;
    const std::string aside = odloz(bytes);
    return "záznam odoslaných čísel " + fileName + " bol poškodený" +
           (aside.empty() ? std::string() : " (odložený ako " + aside + ")") + " a zapísal sa znova s číslom " +
           std::to_string(anew) +
           ", najvyšším, ktoré databáza a poškodený záznam poznajú; číslo dokladu tentoraz neodišlo, skúste to znova";
}

std::optional<std::string> OdoslaneCisla::zaznamenaj(const std::string& cdok) const {
    const auto number = cislo(cdok);
    if (!number) return "\"" + cdok + "\" nie je číslo dokladu";
    return zaznamenaj(*number);
}

std::optional<std::string> OdoslaneCisla::pokracujNad(const std::string& dbPath) const {
    std::string reason, damaged;
    std::optional<long long> last;
    {
        std::lock_guard<std::mutex> lock(recordMutex);
        last = citaj(&reason, &damaged);
        if (!last && !damaged.empty())
            if (auto written = zapisZnova(damaged, 0)) return *written;
    }
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
