#include "sync/DatabaseFile.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/FileManager.h"

using platform::FileManager;

namespace {

// Opens `path` read-only (no file is created); nullptr with the reason.
sqlite3* openReadOnly(const std::string& path, std::string* reason) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        if (reason) *reason = db ? sqlite3_errmsg(db) : "nemôžem otvoriť databázu";
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

// How long a check waits for a database that another connection holds.
constexpr int kBusyWaitMs = 5000;

// Whether `sql` (with the text `value` bound, when given) yields a row. The
// first step that fails (rather than answering) leaves its code in `code`
// and SQLite's message in `reason`: a query that cannot be read is no "no".
bool yieldsRow(sqlite3* db, const char* sql, const std::string* value, int* code, std::string* reason) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK && value) rc = sqlite3_bind_text(stmt, 1, value->c_str(), -1, SQLITE_TRANSIENT);
    if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE && *code == SQLITE_OK) {
        *code = rc;
        *reason = sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_ROW;
}

}  // namespace

const std::vector<std::string>& DatabaseFile::requiredTables() {
    static const std::vector<std::string> tables = {
        "vety",     "polo",     "odbe",   "obj_vety",  "obj_polo", "obj_odbe",    "nastavenia",   "km",
        "verzia",   "uzivatel", "stredisk", "pohyb_typ", "zlava",  "zlava_tovar", "zlava_darcek", "sqliteadmin_queries"};
    return tables;
}

bool DatabaseFile::isBusy(int code) {
    return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED;
}

std::string DatabaseFile::busyMessage(const std::string& reason) {
    return "databáza je práve zaneprázdnená (" + reason + ")";
}

bool DatabaseFile::hasSqliteHeader(const std::string& path) {
    static const char header[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    std::ifstream in(path, std::ios::binary);
    char bytes[16] = {};
    if (!in.read(bytes, sizeof bytes)) return false;
    return std::memcmp(bytes, header, sizeof header) == 0;
}

std::string DatabaseFile::integrityProblem(const std::string& path, bool* busy) {
    if (busy) *busy = false;
    std::string reason;
    sqlite3* db = openReadOnly(path, &reason);
    if (!db) return reason;
    sqlite3_busy_timeout(db, kBusyWaitMs);
    std::string integrity;
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        auto text = sqlite3_column_text(stmt, 0);
        integrity = text ? reinterpret_cast<const char*>(text) : "";
    } else {
        integrity = sqlite3_errmsg(db);
        if (busy) *busy = isBusy(rc);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return integrity == "ok" ? "" : integrity;
}

std::string DatabaseFile::settingsProblem(const std::string& path, const std::string& str) {
    std::string reason;
    sqlite3* db = openReadOnly(path, &reason);
    if (!db) return reason;
    sqlite3_busy_timeout(db, kBusyWaitMs);
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "select * from nastavenia where str = ?", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_bind_text(stmt, 1, str.c_str(), -1, SQLITE_TRANSIENT);
    if (rc == SQLITE_OK)
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
    if (rc != SQLITE_DONE) reason = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return reason;
}

std::string DatabaseFile::checkDatabase(const std::string& path, bool* busy) {
    if (busy) *busy = false;
    if (!hasSqliteHeader(path)) return "súbor nie je databáza";
    bool held = false;
    if (const std::string integrity = integrityProblem(path, &held); !integrity.empty()) {
        if (busy) *busy = held;
        return held ? busyMessage(integrity) : "poškodená databáza: " + integrity;
    }
    std::string reason;
    sqlite3* db = openReadOnly(path, &reason);
    if (!db) return reason;
    sqlite3_busy_timeout(db, kBusyWaitMs);
    int code = SQLITE_OK;
    std::string failure;
    std::string missing;
    for (const auto& table : requiredTables())
        if (!yieldsRow(db, "select 1 from sqlite_master where type='table' and name=?", &table, &code, &failure))
            missing += (missing.empty() ? "" : ", ") + table;
    // The settings of the database's own centre hold the office's addresses:
    // without them the handheld could not reach the office any more.
    const bool settings =
        missing.empty() && yieldsRow(db, "select 1 from nastavenia where str in (select str from stredisk) limit 1",
                                     nullptr, &code, &failure);
    sqlite3_close(db);
    if (code != SQLITE_OK) {
        if (busy) *busy = isBusy(code);
        return isBusy(code) ? busyMessage(failure) : "poškodená databáza: " + failure;
    }
    if (!missing.empty()) return "v databáze chýbajú tabuľky: " + missing;
    if (!settings) return "v databáze chýbajú nastavenia strediska";
    return "";
}

bool DatabaseFile::snapshot(const std::string& from, const std::string& to, std::string* reason, bool* unreadable) {
    auto fail = [&](const std::string& why) {
        if (reason) *reason = why;
        std::remove(to.c_str());
        return false;
    };
    if (!FileManager::fileExists(from)) return fail("databáza chýba");
    std::string why;
    sqlite3* source = openReadOnly(from, &why);
    if (!source) return fail(why);
    sqlite3_busy_timeout(source, kBusyWaitMs);
    std::remove(to.c_str());
    sqlite3* target = nullptr;
    if (sqlite3_open_v2(to.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        why = target ? sqlite3_errmsg(target) : "nemôžem vytvoriť zálohu";
        sqlite3_close(target);
        sqlite3_close(source);
        return fail(why);
    }
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    int rc = SQLITE_ERROR;
    if (backup) {
        // Whole in one step: the copy is the state of one read transaction.
        rc = sqlite3_backup_step(backup, -1);
        sqlite3_backup_finish(backup);
    }
    if (rc != SQLITE_DONE) why = sqlite3_errmsg(target);
    if (unreadable) *unreadable = (rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT;
    const bool closed = sqlite3_close(target) == SQLITE_OK;
    sqlite3_close(source);
    if (rc != SQLITE_DONE) return fail("záloha databázy zlyhala: " + why);
    if (!closed) return fail("záloha databázy zlyhala");
    return true;
}

bool DatabaseFile::placeCopy(const std::string& from, const std::string& to, std::string* reason) {
    platform::Error error;
    if (FileManager::copyItemReplacing(from, to, &error)) return true;
    if (reason) *reason = error.localizedDescription();
    return false;
}

std::string DatabaseFile::replaceWith(const std::string& download, const std::string& database) {
    std::string reason = checkDatabase(download);
    if (!reason.empty()) return reason;
    if (!placeCopy(download, database, &reason)) return reason;
    // Journal files of the old database must not be applied to the new one.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) std::remove((database + suffix).c_str());
    return "";
}
