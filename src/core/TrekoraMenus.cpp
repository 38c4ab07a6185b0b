#include "core/Trekora.h"

#include "core/CoreDb.h"
#include "core/Establishment.h"
#include "core/OdoslaneCisla.h"
#include "core/SqlException.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "records/MenuItem.h"
#include "records/OdberatelItem.h"

#include <exception>

std::vector<std::shared_ptr<MenuItem>> Trekora::getTrasaMenuItems() {
    std::vector<std::shared_ptr<MenuItem>> items;
    const std::string sql = getQuery("lookup_trasa");
    coredb::trace(sql);
    coredb::eachRow(dbURL, sql, [&](SqlResultSet& rs) {
        const std::int32_t cislo = rs.intForColumn("CISLO");
        const std::string nazov = coredb::text(rs, "NAZOV");
        const std::string pocet = coredb::text(rs, "POCET");
        items.push_back(std::make_shared<MenuItem>(MenuItem{.image = "generic_box.png",
                                                            .caption = nazov,
                                                            .popis = "pocet odberatelov: " + pocet,
                                                            .segue = "trasa_odberatel_segue",
                                                            .trasa_cislo = cislo}));
        coredb::trace(std::to_string(cislo));
        coredb::trace(nazov);
        coredb::trace(pocet);
    });
    return items;
}

std::vector<std::shared_ptr<MenuItem>> Trekora::getDovodMenuItems() {
    std::vector<std::shared_ptr<MenuItem>> items;
    const std::string sql = getQuery("lookup_dovod");
    coredb::trace(sql);
    coredb::eachRow(dbURL, sql, [&](SqlResultSet& rs) {
        const std::string dovod = coredb::text(rs, "DOVOD");
        coredb::trace(dovod);
        items.push_back(std::make_shared<MenuItem>(
            MenuItem{.image = "xmark.circle.fill", .caption = dovod, .segue = "zapis_dovod"}));
    });
    return items;
}

namespace {

std::string errorName(const std::exception& e) {
    if (auto sql = dynamic_cast<const SqlException*>(&e))
        return "SqlError(domain: " + sql->error().domain + ", code: " + std::to_string(sql->error().code) + ")";
    if (dynamic_cast<const TrekoraError*>(&e)) return "TrekoraError";
    return "Error";
}

SqlException lastFailure(SqlDatabase& db, const std::optional<SqlError>& error) {
    return SqlException(error ? *error : db.lastError());
}

} // namespace

std::string Trekora::zapisNepredaj(const std::string& dovod) {
    coredb::traceStart("zapisNepredaj(dovod:)");
    std::string result;
    auto db = SqlDatabase::databaseWithPath(dbURL);
    if (!db->open()) {
        coredb::trace("Unable to open database");
        return "chyba!,," + db->lastErrorMessage();
    }
    readKm();
    try {
        const std::string lastCdokSql = getQueryOrThrow("last_insert_cdok", *db);
        const std::string insertSql = getQueryOrThrow("nepredaj_insert", *db);
        const coredb::Statements cut = coredb::cutStatements(insertSql);
        coredb::traceCounts(cut);
        const auto& pieces = cut.statements;

        if (!db->beginExclusiveTransaction()) throw SqlException(db->lastError());
        if (pieces.empty()) throw TextError("prázdny príkaz nepredaj_insert");

        std::optional<SqlError> error;
        const std::vector<SqlValue> values = {idu, selectedOdberatelItem->IDO, "KOM:" + dovod, km,
                                              facvset, facnas, trasa};
        // The record is written for the establishment chosen on the screen.
        Establishment establishment(selectedOdberatelItem->IDOSC);
        establishment.beforeStatements(*db);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (!db->executeUpdate(pieces[i], i == 0 ? values : std::vector<SqlValue>{}, &error))
                throw lastFailure(*db, error);
            establishment.afterStatement(*db);
        }

        auto rs = db->executeQuery(lastCdokSql, {}, &error);
        if (!rs) throw lastFailure(*db, error);
        std::string cdok;
        while (rs->next()) {
            cdok = coredb::text(*rs, "CDOK");
            coredb::trace(cdok);
        }
        rs->close();
        if (cdok.empty()) throw SqlException(db->lastError());
        if (auto refusal = OdoslaneCisla::chybaCisla(cdok)) throw TextError("záznam nebol zapísaný: " + *refusal);

        coredb::trace("cdok= " + cdok);
        if (!db->commit()) {
            // A commit that did not happen wrote nothing: never answer ok.
            throw SqlException(db->lastError());
        }
        result = "ok!,,cdok=" + cdok;
        coredb::trace("commit");
    } catch (const std::exception& e) {
        coredb::trace(errorName(e));
        coredb::trace(e.what());
        result = std::string("chyba!,,") + e.what();
        db->rollback();
        coredb::trace("rollback");
    }
    db->close();
    coredb::trace("close");
    return result;
}
