// Deletion of the received orders for delivery (service menu).

#include "core/CoreDb.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

bool Trekora::vymazObjednavky() {
    auto db = coredb::openDatabase(dbURL);
    if (!db) return false;
    bool ok = db->beginExclusiveTransaction();
    if (ok) {
        auto rs = db->executeQuery("select cdok from obj_vety");
        ok = rs != nullptr;
        if (rs) {
            while (rs->next()) coredb::trace(rs->stringForColumn("cdok").value_or(""));
            rs->close();
        }
    }
    ok = ok && db->executeUpdate("delete from obj_vety");
    ok = ok && db->executeUpdate("delete from obj_polo");
    ok = ok && db->executeUpdate("delete from obj_odbe");
    ok = ok && db->commit();
    if (!ok) {
        coredb::trace(db->lastErrorMessage());
        if (db->inTransaction()) db->rollback();
    }
    db->close();
    return ok;
}
