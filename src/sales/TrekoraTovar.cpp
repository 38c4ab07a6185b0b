// Goods and price lists: the goods list of the document being written, read
// from the customer's price list or, for a return, from the lines of the
// parent document.
#include "core/CoreDb.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/TovarItem.h"
#include "sales/DokladTyp.h"

namespace {

using platform::Console;

// The stock of a good of the parent document is what the parent sold less
// what earlier returns against it already gave back. The loyalty flag is the
// good's own, the one the written return's lines carry, so that the editor
// shows the loyalty share the return will store.
const char* const kParentDocumentGoods =
    "select p.idtov,p.naztov1,p.naztov2,p.EAN,p.EAN_OB,p.CENA\n"
    ",p.DPH,(1+(cast(p.dph as float)/100))*p.cena sdph,p.zlava1,p.zlava2,null datum_od,null datum_do,p.zlavac zlava3\n"
    ",p.CENA1 cena1,p.CENA2 cena2,p.CENAC cena3,p.zlava1 maxzla,p.zlava2 akczla,p.mj\n"
    ",(select t.korunka from tovar t where t.idtov=p.idtov) korunka\n"
    ",0 VYBRANE,sum(p.mnoz)+coalesce((select sum(r.mnoz) from polo r join vety v on v.id=r.vety_id\n"
    "  where v.parcdok=p.cdok and r.mnoz<0 and r.idtov=p.idtov),0) SKLAD_STAV\n"
    "from polo p\n"
    "where cdok=@CDOK\n"
    "group by 1\n"
    "--group by 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,16,17,19,20\n"
    "order by p.idtov;";

// The 22 price-list columns; the working fields of the recomputation are
// left as a new record has them.
std::shared_ptr<TovarItem> tovarFromRow(const RowDictionary& row) {
    auto get = [&](const char* column) {
        auto it = row.find(column);
        return it == row.end() ? std::string() : it->second;
    };
    auto t = std::make_shared<TovarItem>();
    t->IDTOV = get("IDTOV");
    t->NAZTOV1 = get("NAZTOV1");
    t->NAZTOV2 = get("NAZTOV2");
    t->EAN = get("EAN");
    t->EAN_OB = get("EAN_OB");
    t->SKLAD_STAV = get("SKLAD_STAV");
    t->CENA = get("CENA");
    t->DPH = get("DPH");
    t->SDPH = get("SDPH");
    t->ZLAVA1 = get("ZLAVA1");
    t->ZLAVA2 = get("ZLAVA2");
    t->DATUM_OD = get("DATUM_OD");
    t->DATUM_DO = get("DATUM_DO");
    t->ZLAVA3 = get("ZLAVA3");
    t->CENA1 = get("CENA1");
    t->CENA2 = get("CENA2");
    t->CENA3 = get("CENA3");
    t->MAXZLA = get("MAXZLA");
    t->AKCZLA = get("AKCZLA");
    t->MJ = get("MJ");
    t->VYBRANE = get("VYBRANE");
    t->KORUNKA = get("KORUNKA");
    return t;
}

// Reads the goods on `db`. `held` tells whether the connection is the
// caller's (stored texts then come from it and a missing one is a failure).
void readGoods(Trekora& trekora, SqlDatabase& db, bool held, const std::string& idosc,
               const std::string& selectQueryName) {
    try {
        std::string sql;
        std::string value;
        if (DokladTyp::isReturn(trekora.selectedTypDokladuItem->name)) {
            sql = kParentDocumentGoods;
            value = trekora.parcdok;
        } else {
            std::string name = selectQueryName;
            if (selectQueryName == "lookup_cennik" && trekora.nastaveniaItem->OBJ_PRE_IMPORT == "A")
                name = "lookup_cennik_zavoz";
            Console::print(trekora.selectedTypDokladuItem->description());
            Console::print(trekora.nastaveniaItem->description());
            // On a held connection every text, the replacement price list's
            // too, is read on it: a second connection would wait for the
            // caller's transaction and come back empty.
            sql = held ? trekora.getQueryOrThrow(name, db) : trekora.getQuery(name);
            Console::print(sql);
            value = idosc;
        }
        auto rs = SqlRows::query(db, sql, {value});
        while (rs->next()) trekora.tovarArray.push_back(tovarFromRow(coredb::row(*rs, false)));
        rs->close();
    } catch (const std::exception& e) {
        Console::print(std::string("failed: ") + e.what());
    }
}

void finishGoods(Trekora& trekora) {
    for (const auto& t : trekora.tovarArray) t->MAXZLA = t->ZLAVA1;
    Console::print(std::to_string(trekora.tovarArray.size()));
}

}  // namespace

std::vector<std::shared_ptr<TovarItem>> Trekora::readTovarArray(const std::string& idosc,
                                                                const std::string& selectQueryName) {
    Console::print("start readTovarArray(idosc:selectQueryName:) ...");
    tovarArray.clear();
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return tovarArray;
    }
    readGoods(*this, *db, false, idosc, selectQueryName);
    db->close();
    finishGoods(*this);
    return tovarArray;
}

std::vector<std::shared_ptr<TovarItem>> Trekora::readTovarArrayDB(SqlDatabase& db, const std::string& idosc,
                                                                  const std::string& selectQueryName) {
    Console::print("start readTovarArrayDB(db:idosc:selectQueryName:) ...");
    tovarArray.clear();
    readGoods(*this, db, true, idosc, selectQueryName);
    finishGoods(*this);
    return tovarArray;
}
