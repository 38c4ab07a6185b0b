#include "core/PrevodObjednavok.h"

#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlValue.h"
#include "platform/FileManager.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

const char* const kLinks = "obj_riadky";
const char* const kHeader = "obj_vety";
const char* const kLinked[] = {"obj_polo", "obj_odbe"};

std::string messageOf(SqlDatabase& db, const std::optional<SqlError>& error) {
    std::string message = error ? error->description : db.lastErrorMessage();
    return message.empty() ? "chyba databázy" : message;
}

}  // namespace

const std::string PrevodObjednavok::chyba = "objednávky predchádzajúcej verzie sa nedajú previesť";

std::string PrevodObjednavok::tabulky(SqlDatabase& db, std::vector<std::string>& tabulky) {
    // The schema's own order: a table made again after the links stands
    // after them (a VACUUM keeps the tables in their order).
    tabulky.clear();
    std::optional<SqlError> error;
    auto rs = db.executeQuery("select name from main.sqlite_master where type = 'table' order by rowid", {}, &error);
    if (!rs) return messageOf(db, error);
    while (rs->nextWithError(&error)) tabulky.push_back(rs->stringForColumnIndex(0).value_or(""));
    rs->close();
    return error ? messageOf(db, error) : "";
}

std::string PrevodObjednavok::ocislujRiadky(SqlDatabase& db, const std::vector<std::string>& tabulky) {
    const auto links = std::find(tabulky.begin(), tabulky.end(), kLinks);
    auto madeBeforeLinks = [&](const char* table) { return std::find(tabulky.begin(), links, table) != links; };
    if (!madeBeforeLinks(kHeader)) return "";
    for (const char* table : kLinked) {
        if (!madeBeforeLinks(table)) continue;
        const std::string t = table;
        const std::string sql = "update " + t +
                                " set cdok = v.cdok from obj_riadky r join obj_vety v on v.id = r.vety_id"
                                " where r.tabulka = ?1 and r.riadok = " + t + ".id and (" + t + ".cdok is null or " +
                                t + ".cdok = '') and v.cdok <> ''";
        std::optional<SqlError> error;
        if (!db.executeUpdate(sql, {SqlValue(t)}, &error)) return messageOf(db, error);
    }
    return "";
}

std::string PrevodObjednavok::prevedV(SqlDatabase& db) {
    std::vector<std::string> names;
    if (std::string failure = tabulky(db, names); !failure.empty()) return failure;
    if (std::find(names.begin(), names.end(), kLinks) == names.end()) return "";
    if (std::string failure = ocislujRiadky(db, names); !failure.empty()) return failure;
    std::optional<SqlError> error;
    if (!db.executeUpdate(std::string("drop table ") + kLinks, {}, &error)) return messageOf(db, error);
    return "";
}

std::optional<std::string> PrevodObjednavok::preved(const std::string& dbPath) {
    // No database holds no links; none is made here.
    if (!platform::FileManager::fileExists(dbPath)) return std::nullopt;
    auto db = SqlDatabase::databaseWithPath(dbPath);
    if (!db->openWithFlags(SQLITE_OPEN_READWRITE)) {
        const std::string failure = messageOf(*db, std::nullopt);
        db->close();
        return failure;
    }
    // Most databases hold no links: they are looked for before a write is
    // begun, and once more inside it.
    std::vector<std::string> names;
    std::string failure = tabulky(*db, names);
    const bool linked = std::find(names.begin(), names.end(), kLinks) != names.end();
    if (failure.empty() && linked) {
        if (!db->beginExclusiveTransaction()) failure = messageOf(*db, std::nullopt);
        if (failure.empty()) failure = prevedV(*db);
        if (failure.empty() && !db->commit()) failure = messageOf(*db, std::nullopt);
        if (!failure.empty() && db->inTransaction()) db->rollback();
    }
    db->close();
    if (failure.empty()) return std::nullopt;
    return failure;
}
