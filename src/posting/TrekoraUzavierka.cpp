// Daily closing with its export file.
#include "core/BackgroundJobs.h"
#include "core/CoreDb.h"
#include "core/OdoslaneCisla.h"
#include "core/SqlFailure.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/FileManager.h"
#include "platform/Url.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

using platform::Console;

namespace {

namespace fs = std::filesystem;

// The number names the export file inside "out": only digits, so that no
// text can lead the file elsewhere.
bool isClosingNumber(const std::string& cdok) {
    return !cdok.empty() && cdok.size() <= 18 &&
           std::all_of(cdok.begin(), cdok.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A closing's export is written under a hidden temporary name in "out" and
// renamed to "NUMBER.db3" once it is whole, so that "out" never offers a
// partial export for sending. The temporary file also marks an export that
// is still owed: the closing puts it there before its commit (a closing that
// cannot is not written), and only the rename of a whole export takes it away.
fs::path outFolder(Trekora& trekora) { return fs::path(trekora.getDocumentsDirectory()) / "out"; }
fs::path exportFile(const fs::path& out, const std::string& cdok) { return out / (cdok + ".db3"); }
fs::path exportTemp(const fs::path& out, const std::string& cdok) { return out / ("." + cdok + ".db3.tmp"); }

void removeJournals(const fs::path& file) {
    std::error_code ec;
    for (const char* suffix : {"-journal", "-wal", "-shm"}) fs::remove(file.string() + suffix, ec);
}

std::string firstText(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    std::string text;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW &&
        sqlite3_column_text(stmt, 0))
        text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    return text;
}

// True when `file` is a whole export: an SQLite file without a journal
// beside it that passes its integrity check and holds a table with rows.
bool isWholeExport(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return false;
    for (const char* suffix : {"-journal", "-wal"})
        if (fs::exists(file.string() + suffix, ec)) return false;
    sqlite3* db = nullptr;
    bool whole = false;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        firstText(db, "pragma integrity_check") == "ok") {
        sqlite3_stmt* stmt = nullptr;
        std::vector<std::string> tables;
        if (sqlite3_prepare_v2(db, "select name from sqlite_master where type = 'table'", -1, &stmt, nullptr) ==
            SQLITE_OK)
            while (sqlite3_step(stmt) == SQLITE_ROW)
                tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        for (std::string table : tables) {
            for (std::size_t at = 0; (at = table.find('"', at)) != std::string::npos; at += 2) table.insert(at, 1, '"');
            if (firstText(db, "select exists (select 1 from \"" + table + "\")") == "1") whole = true;
        }
    }
    sqlite3_close(db);
    return whole;
}

// The closing number in the name of an export ("NUMBER.db3") or of its
// temporary file (".NUMBER.db3.tmp"), which marks an export still owed;
// "" for any other name. `owed` tells which of the two it is.
std::string exportNumberOf(const std::string& name, bool* owed) {
    std::string cdok;
    *owed = name.size() > 9 && name.front() == '.' && name.compare(name.size() - 8, 8, ".db3.tmp") == 0;
    if (*owed) cdok = name.substr(1, name.size() - 9);
    else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".db3") == 0) cdok = name.substr(0, name.size() - 4);
    return isClosingNumber(cdok) ? cdok : std::string();
}

// The number of the first row of `sql` on the database file `path`, opened
// read-only; none when it cannot be read.
std::optional<long long> numberIn(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::optional<long long> number;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            number = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return number;
}

// Puts a new, empty file at the export's temporary name in "out", by the
// durable write: made under a name of its own, flushed, renamed over what
// stood there (a link is replaced, never followed) and the folder flushed.
// The reason when it cannot.
std::optional<std::string> freshExportTemp(const fs::path& out, const std::string& cdok) {
    platform::Error error;
    if (!platform::FileManager::writeFile(exportTemp(out, cdok).string(), "", true, &error))
        return error.localizedDescription();
    return std::nullopt;
}

// Puts the mark of an owed export into "out", on the disk before it answers;
// the reason when it cannot.
std::optional<std::string> markExportOwed(Trekora& trekora, const std::string& cdok) {
    const fs::path out = outFolder(trekora);
    std::error_code ec;
    // A folder made now is a new name in Documents: on the disk too.
    if (fs::create_directories(out, ec) && !platform::FileManager::syncFolder(out.parent_path().string()))
        return std::error_code(errno, std::generic_category()).message();
    return freshExportTemp(out, cdok);
}

}  // namespace

std::string Trekora::zapisUzavierku() {
    std::string result = "chyba!,,zapis du";
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return "chyba! ,,nemôžem otvoriť databázu";
    }
    db->setCrashOnErrors(true);
    // Both stored texts are read first: their lookups run on connections of
    // their own, which the closing's exclusive transaction would block.
    const coredb::Statements statements = coredb::cutStatements(getQuery("du_insert"));
    coredb::traceCounts(statements);
    if (statements.statements.empty()) {
        db->close();
        return result;
    }
    const std::string numberQuery = getQuery("last_insert_cdok");
    std::string marked;
    // One transaction: a closing is written whole or not at all, so that a
    // failed closing leaves no header behind for the next one to count.
    try {
        if (!db->beginTransaction()) throw SqlFailure(db->lastErrorMessage());
        bool first = true;
        for (const auto& statement : statements.statements) {
            Console::print(statement);
            SqlRows::update(*db, statement,
                            first ? SqlDatabase::Values{idu, "uzavierka", km, "0"} : SqlDatabase::Values{});
            first = false;
        }
        std::string cdok;
        auto rs = SqlRows::query(*db, numberQuery, {});
        if (rs->next()) cdok = SqlRows::text(*rs, "CDOK");
        rs->close();
        Console::print("cdok= " + cdok);
        std::optional<std::string> refusal;
        if (isClosingNumber(cdok) && isWholeExport(exportFile(outFolder(*this), cdok))) {
            // The number is new in this database, yet an export of that name
            // waits in "out": the closing of a database restored since. This
            // closing's export would replace it, so the closing waits until
            // that file has been sent.
            refusal = "uzávierka nebola zapísaná: export inej uzávierky " + cdok +
                      ".db3 ešte nebol odoslaný, najprv spustite synchronizáciu";
        } else if (std::error_code ec; isClosingNumber(cdok) && fs::is_directory(fs::symlink_status(
                                           exportFile(outFolder(*this), cdok), ec))) {
            // No export could take its name: the closing would be written
            // with its export owed for good.
            refusal = "uzávierka nebola zapísaná: názov jej exportu " + cdok + ".db3 v priečinku out zaberá priečinok";
        } else if (isClosingNumber(cdok)) {
            // From the commit on the closing's export is owed: its mark goes
            // into "out" first, so that it is found again if the program ends
            // before the export is whole. Without the mark the closing is not
            // written, as its export could be lost.
            if (auto failure = markExportOwed(*this, cdok)) {
                Console::print("export mark failed for " + cdok + ": " + *failure);
                refusal = "uzávierka nebola zapísaná: do priečinka out sa nedá zapísať (" + *failure + ")";
            } else {
                marked = cdok;
            }
        }
        // Without a number the closing cannot be exported or shown.
        if (cdok.empty() || refusal) {
            db->rollback();
            if (refusal) result = "chyba!,," + *refusal;
        } else {
            if (!db->commit()) throw SqlFailure(db->lastErrorMessage());
            marked.clear();
            result = "ok!,," + cdok;
        }
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba,,") + e.what();
        if (db->inTransaction()) db->rollback();
    }
    // A closing that was not written owes no export.
    if (!marked.empty()) {
        std::error_code ec;
        fs::remove(exportTemp(outFolder(*this), marked), ec);
    }
    db->close();
    return result;
}

std::string Trekora::exportDU(const std::string& cdok) {
    std::string result = "chyba!,,exportDU";
    if (!isClosingNumber(cdok)) {
        log("exportDU(cdok:) result: " + result);
        return result;
    }
    auto db = SqlRows::connection(*this);
    // URI file names, so that the export statements can attach the file by
    // its "file:" URL.
    if (!db->openWithFlags(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI)) {
        result = "chyba!,,nemôžem otvoriť databázu";
        log("exportDU(cdok:) result: " + result);
        return result;
    }
    db->setCrashOnErrors(true);

    // Only an existing closing is exported; anything else writes no file.
    std::string ducis;
    try {
        auto rs = SqlRows::query(*db, getQuery("du_getducis"), {cdok});
        const bool closing = rs->next();
        if (closing) ducis = rs->stringForColumnIndex(0).value_or("");
        rs->close();
        if (!closing) {
            db->close();
            log("exportDU(cdok:) result: " + result);
            return result;
        }
    } catch (const std::exception& e) {
        Console::print(e.what());
        db->close();
        result = std::string("chyba!,,") + e.what();
        log("exportDU(cdok:) result: " + result);
        return result;
    }

    const fs::path outDir = outFolder(*this);
    Console::print(platform::Url::fileUrl(outDir.string()).absoluteString());
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec) Console::print("create failed " + ec.message());
    const fs::path file = exportFile(outDir, cdok);
    const fs::path temp = exportTemp(outDir, cdok);
    const std::string location = platform::Url::fileUrl(temp.string()).absoluteString();
    Console::print("filename= " + location);
    // The export starts from a new, empty temporary file: what an interrupted
    // export left there, its journal included, is not built on, and what
    // stands at that name is never written through.
    removeJournals(temp);
    if (auto failure = freshExportTemp(outDir, cdok)) {
        db->close();
        result = "chyba!,," + *failure;
        log("exportDU(cdok:) result: " + result);
        return result;
    }

    bool ran = false;
    try {
        const coredb::Statements statements = coredb::cutStatements(getQuery("du_export"));
        coredb::traceCounts(statements);
        if (statements.statements.size() >= 3) {
            for (std::size_t i = 0; i < statements.statements.size(); ++i) {
                Console::print(statements.statements[i]);
                SqlRows::update(*db, statements.statements[i], {i < 3 ? location : ducis});
            }
            ran = true;
        }
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba!,,") + e.what();
    }
    db->close();
    // Only a whole export takes the file's name; one that failed keeps its
    // mark, so that the next synchronisation exports the closing again.
    if (ran) {
        if (!isWholeExport(temp)) {
            result = "chyba!,,export " + cdok + ".db3 nie je úplný";
        } else if (auto failure = OdoslaneCisla(getDocumentsDirectory()).zaznamenaj(cdok)) {
            // Once the export has its name it may leave the device: its number
            // is recorded first, so that no restore gives it out again.
            result = "chyba!,,záznam exportu " + cdok + " sa nepodarilo zapísať: " + *failure;
        } else {
            fs::rename(temp, file, ec);
            if (ec) {
                result = "chyba!,," + ec.message();
            } else {
                // Journals of a file that stood there before belong to it alone.
                removeJournals(file);
                result = "ok!,,export " + cdok + ".db3";
            }
        }
    }
    log("exportDU(cdok:) result: " + result);
    return result;
}

std::string Trekora::dokonciExportyDU() {
    const fs::path out = outFolder(*this);
    // The closings owed: an export begun and never renamed, or an export
    // file in "out" (not sent yet) that is not whole.
    std::vector<std::string> owed;
    std::error_code ec;
    for (fs::directory_iterator it(out, ec), end; !ec && it != end; it.increment(ec)) {
        bool mark = false;
        const std::string cdok = exportNumberOf(it->path().filename().string(), &mark);
        if (!cdok.empty() && (mark || !isWholeExport(it->path())) &&
            std::find(owed.begin(), owed.end(), cdok) == owed.end())
            owed.push_back(cdok);
    }
    std::sort(owed.begin(), owed.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });

    std::string failures;
    for (const auto& cdok : owed) {
        // A number that is no closing of this database (one rolled back, or a
        // database restored since) owes nothing: its mark goes, and a file of
        // that name is left as it is.
        bool closing = true;
        auto db = SqlRows::connection(*this);
        if (db->open()) {
            try {
                auto rs = SqlRows::query(*db, getQuery("du_getducis"), {cdok});
                closing = rs->next();
                rs->close();
            } catch (const std::exception& e) {
                Console::print(e.what());
            }
            db->close();
        }
        if (!closing) {
            const fs::path temp = exportTemp(out, cdok);
            fs::remove(temp, ec);
            removeJournals(temp);
            continue;
        }
        log("dokonciExportyDU() export " + cdok);
        const std::string result = exportDU(cdok);
        if (!ResultString::isSuccess(result))
            failures += (failures.empty() ? "" : "\n") + std::string("export uzávierky ") + cdok + " zlyhal: " +
                        ResultString::reason(result);
    }
    return failures;
}

std::string Trekora::prekazkaObnovy(const std::string& kopia) {
    // An export owed or waiting in "out" is of the database being replaced:
    // it leaves first.
    std::error_code ec;
    for (fs::directory_iterator it(outFolder(*this), ec), end; !ec && it != end; it.increment(ec)) {
        bool mark = false;
        const std::string cdok = exportNumberOf(it->path().filename().string(), &mark);
        if (!cdok.empty())
            return "obnova nie je možná: export uzávierky " + cdok + " ešte nebol odoslaný, najprv spustite synchronizáciu";
    }
    // The highest closing that has left the device: as its record holds it,
    // and as the database being replaced holds it, when it can be read.
    std::string reason;
    auto last = OdoslaneCisla(getDocumentsDirectory()).posledne(&reason);
    if (!last) return "obnova nie je možná: záznam odoslaných uzávierok sa nedá prečítať (" + reason + ")";
    if (auto own = numberIn(dbURL, "select coalesce(max(cdok), 0) from vety where pohyb = 90")) last = std::max(*last, *own);
    if (*last == 0) return "";
    // The numbers the copy has given out: the document numbers are the
    // header row ids, counted on in the table's sequence. A copy that cannot
    // be read is refused by its own check.
    const auto given = numberIn(kopia, "select max(coalesce((select max(id) from vety), 0), "
                                       "coalesce((select seq from sqlite_sequence where name = 'vety'), 0))");
    const auto ids = given ? given : numberIn(kopia, "select coalesce(max(id), 0) from vety");
    if (!ids || *ids >= *last) return "";
    return "obnova nie je možná: kópia databázy je staršia ako uzávierka " + std::to_string(*last) +
           ", ktorá už bola odoslaná (posledný doklad kópie je " + std::to_string(*ids) + ")";
}
