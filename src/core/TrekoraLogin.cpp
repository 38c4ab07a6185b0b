#include "core/Trekora.h"

#include "core/CoreDb.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

#include <sqlite3.h>

bool Trekora::checkUzivatelPin(const std::string& pin) {
    coredb::traceStart("checkUzivatelPin(pin:)");
    idu = "";
    meno = "";
    priezvisko = "";
    spz = "";
    str = "";
    chybaDatabazyPriPrihlaseni.clear();
    databazaZaneprazdnena = false;
    auto db = SqlDatabase::databaseWithPath(dbURL);
    // A database held by another connection is busy, not damaged.
    const auto busy = [&db](const std::optional<SqlError>& error) {
        const int code = (error ? error->code : db->lastErrorCode()) & 0xff;
        return code == SQLITE_BUSY || code == SQLITE_LOCKED;
    };
    if (!db->open()) {
        coredb::trace("Unable to open database");
        databazaZaneprazdnena = busy(std::nullopt);
        chybaDatabazyPriPrihlaseni = db->lastErrorMessage();
        if (chybaDatabazyPriPrihlaseni.empty()) chybaDatabazyPriPrihlaseni = "nemôžem otvoriť databázu";
        return false;
    }

    // A query that cannot be prepared or whose rows cannot be read to
    // their end: the database cannot be read, which is no wrong PIN.
    auto failed = [&](const std::optional<SqlError>& error) {
        databazaZaneprazdnena = busy(error);
        chybaDatabazyPriPrihlaseni = error && !error->description.empty() ? error->description : db->lastErrorMessage();
        if (chybaDatabazyPriPrihlaseni.empty()) chybaDatabazyPriPrihlaseni = "chyba čítania";
        coredb::trace("failed: " + chybaDatabazyPriPrihlaseni);
    };
    std::optional<SqlError> error;
    auto rs = db->executeQuery("select idu,meno,priezvisko from uzivatel where upper(trim(pin))=?;", {pin}, &error);
    if (!rs) {
        failed(error);
    } else {
        coredb::trace("colcount: " + std::to_string(rs->columnCount()));
        while (rs->nextWithError(&error)) {
            idu = coredb::text(*rs, "idu");
            meno = coredb::text(*rs, "meno");
            priezvisko = coredb::text(*rs, "priezvisko");
        }
        rs->close();
        auto centre = error ? nullptr : db->executeQuery("select spz,str from stredisk;", {}, &error);
        if (!centre) {
            failed(error);
        } else {
            coredb::trace("colcount: " + std::to_string(centre->columnCount()));
            while (centre->nextWithError(&error)) {
                spz = coredb::text(*centre, "spz");
                str = coredb::text(*centre, "str");
            }
            centre->close();
            if (error) failed(error);
        }
    }
    db->close();
    coredb::trace("----------");
    coredb::trace(spz);
    coredb::trace(str);
    coredb::trace(idu);
    coredb::trace(meno);
    coredb::trace(priezvisko);
    coredb::trace("----------");
    readNastaveniaItem();
    if (!chybaDatabazyPriPrihlaseni.empty() || str.empty()) return false;
    return !idu.empty();
}
