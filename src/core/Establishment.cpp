#include "core/Establishment.h"

#include "core/SqlRows.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

namespace {

std::int64_t newestHeader(SqlDatabase& db) {
    auto rs = SqlRows::query(db, "select coalesce(max(id), 0) from vety", {});
    const std::int64_t id = rs->next() ? rs->longLongIntForColumnIndex(0) : 0;
    rs->close();
    return id;
}

}  // namespace

void Establishment::name(SqlDatabase& db, Header header, std::int64_t id) const {
    const bool temporary = header == Header::Temporary;
    const std::string table = temporary ? "temp_vety" : "vety";
    // The establishment of the parent document, when it is one of the
    // header's customer, else the chosen one, when it is.
    std::string idosc;
    {
        auto rs = SqlRows::query(db,
                                 "select coalesce("
                                 "(select o.idosc from vety p join odberatel o on o.idosc = p.idosc and o.ido = h.ido "
                                 "where p.cdok = h.parcdok order by p.id limit 1), "
                                 "(select o.idosc from odberatel o where o.ido = h.ido and o.idosc = ?2)) "
                                 "from " + table + " h where h.id = ?1",
                                 {id, chosen_});
        if (rs->next()) idosc = rs->stringForColumnIndex(0).value_or("");
        rs->close();
    }
    if (idosc.empty()) return;
    SqlRows::update(db,
                    temporary ? "update temp_vety set (idosc, idopl, ico, ctl) = "
                                "(select o.idosc, o.idopl, o.ico, o.ctlac from odberatel o where o.idosc = ?2) "
                                "where id = ?1"
                              : "update vety set (idosc, idopl, ico) = "
                                "(select o.idosc, o.idopl, o.ico from odberatel o where o.idosc = ?2) "
                                "where id = ?1",
                    {id, idosc});
}

void Establishment::beforeStatements(SqlDatabase& db) {
    newestBefore_ = newestHeader(db);
    named_ = false;
}

void Establishment::afterStatement(SqlDatabase& db) {
    if (named_) return;
    const std::int64_t newest = newestHeader(db);
    if (newest <= newestBefore_) return;
    name(db, Header::Written, newest);
    named_ = true;
}
