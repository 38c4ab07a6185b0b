// Daily closing with its export file and the fiscal identifier write-back.
#include "core/Trekora.h"
#include "core/CoreDb.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "platform/Url.h"
#include "posting/SqlFailure.h"
#include "posting/SqlRows.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

using platform::Console;

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
        // Without a number the closing cannot be exported or shown.
        if (cdok.empty()) {
            db->rollback();
        } else {
            if (!db->commit()) throw SqlFailure(db->lastErrorMessage());
            result = "ok!,," + cdok;
        }
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba,,") + e.what();
        if (db->inTransaction()) db->rollback();
    }
    db->close();
    return result;
}

std::string Trekora::exportDU(const std::string& cdok) {
    std::string result = "chyba!,,exportDU";
    // The number names the export file inside "out": only digits, so that
    // no text can lead the file elsewhere.
    const bool digits = !cdok.empty() && cdok.size() <= 18 &&
                        std::all_of(cdok.begin(), cdok.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) {
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

    const std::filesystem::path outDir = std::filesystem::path(getDocumentsDirectory()) / "out";
    Console::print(platform::Url::fileUrl(outDir.string()).absoluteString());
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (ec) Console::print("create failed " + ec.message());
    const std::filesystem::path file = outDir / (cdok + ".db3");
    const std::string location = platform::Url::fileUrl(file.string()).absoluteString();
    Console::print("filename= " + location);

    try {
        const coredb::Statements statements = coredb::cutStatements(getQuery("du_export"));
        coredb::traceCounts(statements);
        if (statements.statements.size() >= 3) {
            for (std::size_t i = 0; i < statements.statements.size(); ++i) {
                Console::print(statements.statements[i]);
                SqlRows::update(*db, statements.statements[i], {i < 3 ? location : ducis});
            }
            result = "ok!,,export " + cdok + ".db3";
        }
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba!,,") + e.what();
    }
    db->close();
    log("exportDU(cdok:) result: " + result);
    return result;
}

namespace {

std::string updateDoklad(Trekora& trekora, const std::string& name, const char* sql, const char* argumentsLabel,
                         const SqlDatabase::Values& values, const std::optional<std::string>& key,
                         const std::string& okPrefix, const std::function<void()>& afterCommit, bool oneRow) {
    trekora.log(name);
    std::string result;
    auto db = SqlRows::connection(trekora);
    if (!db->open()) {
        trekora.log(name + " chyba!,,nemôžem otvoriť databázu");
        return "chyba!,,nemôžem otvoriť databázu";
    }
    db->setCrashOnErrors(true);
    // A write-back that could not begin, run or commit is reported as a
    // failure, never as stored.
    std::optional<std::string> failure;
    if (!db->beginTransaction()) failure = db->lastErrorMessage();
    std::string shown;
    for (const auto& v : values) {
        if (!shown.empty()) shown += ", ";
        shown += v.isAbsentOrNull() ? std::string("nil") : "Optional(\"" + v.text().value_or("") + "\")";
    }
    trekora.log(name + argumentsLabel + "[" + shown + "]");
    if (key) {
        std::optional<SqlError> error;
        if (!failure && !db->executeUpdate(sql, values, &error))
            failure = error ? error->description : db->lastErrorMessage();
        // Identifiers that found no document were stored nowhere.
        if (!failure && oneRow && db->changes() == 0) failure = "doklad s id=" + *key + " neexistuje";
        if (!failure && !db->commit()) failure = db->lastErrorMessage();
        if (!failure) {
            result = okPrefix + *key;
            trekora.log(name + " commit!");
            if (afterCommit) afterCommit();
        } else {
            Console::print(*failure);
            result = "chyba!,," + *failure;
            if (db->inTransaction()) db->rollback();
            trekora.log(name + " rollback!");
        }
    }
    db->close();
    trekora.log(name + " close!");
    trekora.log(name + " result: " + result);
    return result;
}

}  // namespace

std::string Trekora::updateDokladById(const std::optional<std::string>& uid, const std::optional<std::string>& okp,
                                      const std::optional<std::string>& datum_vytvor,
                                      const std::optional<std::string>& datum_vystav,
                                      const std::optional<std::string>& datum_evid,
                                      const std::optional<std::string>& pardok, const std::optional<std::string>& id) {
    return updateDoklad(
        *this, "updateDokladById(uid:okp:datum_vytvor:datum_vystav:datum_evid:pardok:id:)",
        "update vety set uid=@uid, okp=@okp,datum_vytvor=@datum_vytvor, datum_vystav=@datum_vystav, "
        "datum_evid=@datum_evid,pardok=@pardok where id=@id",
        " argumentsArray[uid,okp,datum_vytvor,datum_vystav,datum_evid,pardok,id]: ",
        {uid, okp, datum_vytvor, datum_vystav, datum_evid, pardok, id}, id, "ok!,,id=", [&] {
            auto assign = [this](const char* key, const std::optional<std::string>& value) {
                if (value) printingDoklad[key] = *value;
                else printingDoklad.erase(key);
            };
            assign("PARDOK", pardok);
            assign("UID", uid);
            assign("OKP", okp);
        }, true);
}

std::string Trekora::updateDokladByCdok(const std::optional<std::string>& uid, const std::optional<std::string>& okp,
                                        const std::optional<std::string>& datum_vytvor,
                                        const std::optional<std::string>& datum_vystav,
                                        const std::optional<std::string>& datum_evid,
                                        const std::optional<std::string>& pardok,
                                        const std::optional<std::string>& cdok) {
    return updateDoklad(*this, "updateDokladByCdok(uid:okp:datum_vytvor:datum_vystav:datum_evid:pardok:cdok:)",
                        "update vety set uid=@uid, okp=@okp, datum_vytvor=@datum_vytvor, datum_vystav=@datum_vystav, "
                        "datum_evid=@datum_evid, pardok=@pardok where cdok=@cdok",
                        " argumentsArray[uid,okp,datum_vytvor,datum_vystav,datum_evid,pardok,cdok]: ",
                        {uid, okp, datum_vytvor, datum_vystav, datum_evid, pardok, cdok}, cdok, "ok!,,cdok=", {},
                        false);
}
