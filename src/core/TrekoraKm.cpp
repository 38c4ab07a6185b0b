#include "core/Trekora.h"

#include "core/CoreDb.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

void Trekora::readKm() {
    coredb::traceStart("readKm()");
    auto db = coredb::openDatabase(dbURL);
    if (!db) return;
    std::optional<SqlError> error;
    auto rs = db->executeQuery("select hodnota from km", {}, &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
    } else {
        coredb::trace("colcount: " + std::to_string(rs->columnCount()));
        while (rs->next()) {
            for (int i = 0; i < rs->columnCount(); ++i) km = rs->columnIndexIsNull(i) ? "0" : coredb::textAt(*rs, i);
        }
        rs->close();
    }
    coredb::trace(km);
    db->close();
}

void Trekora::writeKm() {
    coredb::traceStart("writeKm()");
    auto db = coredb::openDatabase(dbURL);
    if (!db) return;
    bool ok = db->executeUpdate("update km set hodnota=:HODNOTA", {km});
    if (ok && db->changes() == 0) {
        // The table lost its one row: store the reading in a new one rather
        // than dropping it.
        ok = db->executeUpdate("insert into km (hodnota) values (:HODNOTA)", {km});
    }
    if (ok) {
        coredb::trace("update ok");
    } else {
        coredb::trace("update failed");
        coredb::trace(db->lastErrorMessage());
    }
    coredb::trace(km);
    db->close();
}
