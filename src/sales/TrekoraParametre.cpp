// Parameter forms of the document types and the pick lists of their lookup
// parameters.
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DateFormatter.h"
#include "records/KorunkaItem.h"
#include "records/MenuItem.h"
#include "records/OdberatelItem.h"
#include "records/ParameterItem.h"

using platform::Console;

namespace {

// The invoices a credit note may be written against, paid in cash or not:
// neither a whole cancellation of an invoice nor an invoice cancelled whole.
// `facvset` is the condition on the invoice's cash flag.
std::string fakturyNaDobropis(const char* facvset) {
    return std::string("select V.ID,V.DATUM,V.CDOK,V.SUMDOKZ,V.IDO,O.NAZOV1 from vety V,odbe O where V.pohyb in (20) "
                       "and V.id=O.vety_id and O.IDO=@IDO and V.FACVSET") +
           facvset +
           " and not (V.parcdok is not null and V.info like 'STORNO %') "
           "and not exists (select 1 from vety C where C.parcdok=V.CDOK and C.pohyb=V.pohyb and "
           "C.info='STORNO '||V.CDOK) order by V.ID desc;";
}
const char* const kHotovostiSOkp =
    "select V.ID,V.DATUM,V.CDOK,V.SUMDOKZ,V.IDO,O.NAZOV1 from vety V,odbe O where V.pohyb in (10) and "
    "V.sumdokz>0 and V.okp is not NULL and V.id=O.vety_id and O.IDO=@IDO order by V.ID desc;";

std::shared_ptr<ParameterItem> parameter(const std::string& group, const char* name, const char* type,
                                         const char* caption) {
    auto p = std::make_shared<ParameterItem>();
    p->GROUPNAME = group;
    p->NAME = name;
    p->TYPE = type;
    p->CAPTION = caption;
    return p;
}

std::shared_ptr<ParameterItem> datumDodania(const std::string& group) {
    auto p = parameter(group, "DATUMDODANIA", "DATE", "dátum dodania");
    p->VALUE = platform::DateFormatter("dd.MM.yyyy").string(platform::Clock::now());
    p->DISPLAYVALUE = p->VALUE;
    return p;
}

std::shared_ptr<ParameterItem> naviaznyDoklad(const std::string& group, const std::string& query) {
    auto p = parameter(group, "CDOK", "LOOKUP", "náväznosť na doklad");
    p->LOOKUPQUERY = query;
    p->LOOKUPFIELD = "CDOK";
    p->DISPLAYFIELD = "CDOK";
    return p;
}

}  // namespace

std::vector<std::shared_ptr<ParameterItem>> Trekora::getParameterArray(const std::shared_ptr<MenuItem>& menuItem) {
    const std::string key = menuItem ? menuItem->name : std::string();
    std::vector<std::shared_ptr<ParameterItem>> form;
    if (key == "STORNO_HOTOVOSTI") {
        form.push_back(naviaznyDoklad(key, kHotovostiSOkp));
    } else if (key == "FAKTURA_NA_HOTOVOST" || key == "FAKTURA") {
        form.push_back(datumDodania(key));
    } else if (key == "DOBROPIS_NA_HOTOVOST") {
        form.push_back(datumDodania(key));
        form.push_back(naviaznyDoklad(key, fakturyNaDobropis("=1")));
    } else if (key == "DOBROPIS") {
        form.push_back(datumDodania(key));
        form.push_back(naviaznyDoklad(key, fakturyNaDobropis("<>1")));
    } else if (key == "AKTIVITA") {
        auto aktivita = parameter(key, "ID", "LOOKUP", "aktivita");
        aktivita->LOOKUPQUERY = getQuery("aktivita_lookup_zoznam");
        aktivita->LOOKUPFIELD = "ID";
        aktivita->DISPLAYFIELD = "NAZOV";
        form.push_back(aktivita);
        auto doklad = naviaznyDoklad(key, "");
        doklad->LOOKUPQUERY = getQuery("aktivita_lookup_doklad");
        form.push_back(doklad);
    } else if (key == "PREVOD_BODOV") {
        auto mnozstvo = parameter(key, "MNOZSTVO", "INTEGER", "množstvo");
        mnozstvo->VALUE = "0";
        mnozstvo->MIN = "0";
        mnozstvo->MAX = selectedKorunkaItem->ZOSTATOK;
        form.push_back(mnozstvo);
        auto ido = parameter(key, "IDO", "LOOKUP", "na odberateľa");
        ido->LOOKUPQUERY = getQuery("korunka_lookup_prevod_odberatel");
        ido->LOOKUPFIELD = "LOOKUPFIELD";
        ido->DISPLAYFIELD = "DISPLAYFIELD";
        form.push_back(ido);
    }
    parameterArray = form;
    return form;
}

std::vector<RowDictionary> Trekora::getLookupData(const std::shared_ptr<ParameterItem>& parameterItem) {
    const std::string key = selectedTypDokladuItem->name;
    const std::string ido = selectedOdberatelItem->IDO;
    SqlDatabase::Values values;
    if (key == "STORNO_HOTOVOSTI" || key == "FAKTURA_NA_HOTOVOST" || key == "DOBROPIS_NA_HOTOVOST" ||
        key == "FAKTURA" || key == "DOBROPIS") {
        values = {ido};
    } else if (key == "AKTIVITA") {
        const std::string aktivita = parameterArray.empty() ? std::string() : parameterArray.front()->VALUE;
        Console::print("aktivitaId: " + aktivita);
        values = {ido, aktivita, aktivita};
    } else if (key == "PREVOD_BODOV") {
        values = {ido, ido};
    }
    return SqlRows::readAll(*this, parameterItem->LOOKUPQUERY, values).value_or(std::vector<RowDictionary>{});
}
