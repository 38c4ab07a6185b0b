#include "core/Trekora.h"

#include "core/CoreDb.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

bool Trekora::checkUzivatelPin(const std::string& pin) {
    coredb::traceStart("checkUzivatelPin(pin:)");
    idu = "";
    meno = "";
    priezvisko = "";
    spz = "";
    str = "";
    auto db = coredb::openDatabase(dbURL);
    if (!db) return false;

    auto failed = [&](const std::optional<SqlError>& error) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
    };
    std::optional<SqlError> error;
    auto rs = db->executeQuery("select idu,meno,priezvisko from uzivatel where upper(trim(pin))=?;", {pin}, &error);
    if (!rs) {
        failed(error);
    } else {
        coredb::trace("colcount: " + std::to_string(rs->columnCount()));
        while (rs->next()) {
            idu = coredb::text(*rs, "idu");
            meno = coredb::text(*rs, "meno");
            priezvisko = coredb::text(*rs, "priezvisko");
        }
        rs->close();
        auto centre = db->executeQuery("select spz,str from stredisk;", {}, &error);
        if (!centre) {
            failed(error);
        } else {
            coredb::trace("colcount: " + std::to_string(centre->columnCount()));
            while (centre->next()) {
                spz = coredb::text(*centre, "spz");
                str = coredb::text(*centre, "str");
            }
            centre->close();
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
    if (str.empty()) return false;
    return !idu.empty();
}
