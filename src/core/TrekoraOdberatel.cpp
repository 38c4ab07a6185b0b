#include "core/Trekora.h"

#include "core/CoreDb.h"
#include "core/StringValue.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "records/OdberatelItem.h"

namespace {
const char* const kLine = "--------------------------------";
}

std::vector<std::shared_ptr<OdberatelItem>> Trekora::readOdberatelArray() {
    coredb::traceStart("readOdberatelArray()");
    odberatelArray.clear();
    const std::string sql = getQuery("lookup_odberatel_all");
    coredb::trace(sql);
    const bool opened = coredb::eachRow(dbURL, sql, [&](SqlResultSet& rs) {
        RowDictionary row = coredb::row(rs, true);
        std::string dump;
        for (const auto& [key, value] : row) dump += key + ": " + value + "\n";
        coredb::trace(dump);
        coredb::trace(kLine);
        odberatelArray.push_back(OdberatelItem::fromRow(row));
    });
    if (!opened) return odberatelArray;
    coredb::trace(std::to_string(odberatelArray.size()));
    return odberatelArray;
}

std::vector<RowDictionary> Trekora::readOdberatelAll() {
    std::vector<RowDictionary> result;
    const std::string sql = getQuery("lookup_odberatel_all");
    coredb::trace(sql);
    const bool opened = coredb::eachRow(dbURL, sql, [&](SqlResultSet& rs) {
        result.push_back(coredb::row(rs, false));
        coredb::trace(kLine);
    });
    if (!opened) return result;
    coredb::trace(std::to_string(result.size()));
    return result;
}

std::vector<std::shared_ptr<OdberatelItem>> Trekora::getOdberatelArray(std::int64_t trasa) {
    coredb::traceStart("getOdberatelArray(trasa:)");
    std::vector<std::shared_ptr<OdberatelItem>> result;
    for (const auto& odberatel : odberatelArray)
        if (integerValue(odberatel->TRASA_CISLO) == trasa) result.push_back(odberatel);
    coredb::trace(std::to_string(result.size()));
    return result;
}
