// Expiry batches of the document being written: the batches of every good,
// or for a return the lines of the parent document, and the batches of one
// good picked out of that list.
#include "core/CoreDb.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "records/DatumSpotrebyItem.h"
#include "records/MenuItem.h"
#include "sales/DokladTyp.h"

namespace {

using platform::Console;

// A batch of the parent document holds what the parent took from it less
// what earlier returns against the parent (documents linked to it by
// parcdok, with negative quantities) already gave back.
const char* const kParentDocumentBatches =
    "select b.IDTOV,b.MNOZ+b.VRATENE SARZA_STAV,b.DATUMSPOTREBY\n"
    ",strftime(\"%d.%m.%Y\",b.DATUMSPOTREBY,'localtime')||' ('||(b.MNOZ+b.VRATENE)||')' FDATSPOT,0 VYBRANE\n"
    "from (select p.idtov IDTOV,sum(p.mnoz) MNOZ,p.datumspotreby DATUMSPOTREBY\n"
    "      ,coalesce((select sum(r.mnoz) from polo r join vety v on v.id=r.vety_id\n"
    "                 where v.parcdok=p.cdok and r.mnoz<0 and r.idtov=p.idtov\n"
    "                   and r.datumspotreby is p.datumspotreby),0) VRATENE\n"
    "      from polo p where p.cdok=@CDOK group by p.idtov,p.datumspotreby) b\n"
    "order by b.DATUMSPOTREBY;";

void readBatches(Trekora& trekora, SqlDatabase& db, bool held) {
    try {
        std::shared_ptr<SqlResultSet> rs;
        if (DokladTyp::isReturn(trekora.selectedTypDokladuItem->name)) {
            rs = SqlRows::query(db, kParentDocumentBatches, {trekora.parcdok});
        } else {
            const std::string sql = held ? trekora.getQueryOrThrow("lookup_datumspotreby", db)
                                         : trekora.getQuery("lookup_datumspotreby");
            Console::print(sql);
            rs = SqlRows::query(db, sql, {});
        }
        while (rs->next()) {
            const RowDictionary row = coredb::row(*rs, false);
            auto item = std::make_shared<DatumSpotrebyItem>();
            item->fillFromRow(row);
            trekora.datumSpotrebyArray.push_back(item);
            Console::print(item->description());
            Console::print("--------------------------------");
        }
        rs->close();
    } catch (const std::exception& e) {
        Console::print(std::string("failed: ") + e.what());
    }
}

// Whether two goods ids are the same regardless of letter case, compared
// in place: a lookup runs for every good of a document.
bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        // Two characters that differ can only be one letter in two cases.
        if ((a[i] ^ b[i]) != 0x20 ||
            std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::shared_ptr<DatumSpotrebyItem>> Trekora::readDatumSpotrebyArray() {
    Console::print("start readDatumSpotrebyArray() ...");
    datumSpotrebyArray.clear();
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return datumSpotrebyArray;
    }
    readBatches(*this, *db, false);
    db->close();
    Console::print(std::to_string(datumSpotrebyArray.size()));
    return datumSpotrebyArray;
}

std::vector<std::shared_ptr<DatumSpotrebyItem>> Trekora::readDatumSpotrebyArrayDB(SqlDatabase& db) {
    Console::print("start readDatumSpotrebyArrayDB(db:) ...");
    datumSpotrebyArray.clear();
    readBatches(*this, db, true);
    Console::print(std::to_string(datumSpotrebyArray.size()));
    return datumSpotrebyArray;
}

std::vector<std::shared_ptr<DatumSpotrebyItem>> Trekora::getDatumSpotrebyArray(const std::string& idtov) {
    Console::print("start getDatumSpotrebyArray(idtov:) ...");
    std::vector<std::shared_ptr<DatumSpotrebyItem>> result;
    for (const auto& item : datumSpotrebyArray)
        if (sameIgnoringCase(item->IDTOV, idtov)) result.push_back(item);
    Console::print(std::to_string(result.size()));
    return result;
}
