#include "core/Trekora.h"
#include "core/StringValue.h"

#include "core/CoreDb.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

std::string Trekora::getHtmlTable(const std::string& sql, const std::optional<std::vector<SqlValue>>& values) {
    std::string result;
    auto db = coredb::openDatabase(dbURL);
    if (!db) return "Unable to open database";
    std::optional<SqlError> error;
    auto rs = db->executeQuery(sql, values.value_or(std::vector<SqlValue>{}), &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return result;
    }
    result += "<table border=1 cellpadding=0>";
    result += "<tr>";
    const int count = rs->columnCount();
    for (int i = 0; i < count; ++i) result += "<th>" + escapeHtml(rs->columnNameForIndex(i)) + "</th>";
    result += "</tr>";
    while (rs->next()) {
        result += "<tr>";
        for (int i = 0; i < count; ++i) result += "<td>" + escapeHtml(coredb::textAt(*rs, i)) + "</td>";
        result += "</tr>";
    }
    result += "</table>";
    rs->close();
    db->close();
    return result;
}

std::string Trekora::getUzivatelHtml() {
    std::string html;
    html += "<html><head><meta name='viewport' content='width=device-width, initial-scale=1, shrink-to-fit=yes'>"
            "</head><body style='font-family: arial;'><h3>stredisko:</h3><h2><font color='RED'>" +
            escapeHtml(str) + "</font></h2><h3>uzivatel:</h3><h2> <font color='RED'>" + escapeHtml(idu) + " " +
            escapeHtml(meno) + " " + escapeHtml(priezvisko) + "</font></h2>";
    html += "<h3>mesačné počty jedinečných odberateľov rozdelené podľa užívateľov</h3>";
    html += getHtmlTable(
        "SELECT distinct strftime('%Y-%m',datum) as mesiac,str as stredisko,idu as uzivatel,count(distinct ido) as "
        "pocet_odb FROM vety where pohyb in (10,20,21,30,31) group by mesiac,stredisko,uzivatel order by mesiac "
        "desc,stredisko,uzivatel",
        std::nullopt);
    html += "<h3>mesačné obraty rozdelené podľa užívateľov a typov dokladov</h3>";
    html += getHtmlTable(
        "select strftime('%Y-%m',datum) mesiac, str as stredisko,idu, pohyb,nazov,sum(obccsd) spolu_s_dph from vety "
        "left outer join pohyb_typ on(pohyb_typ.CISLO=vety.pohyb) where pohyb in (10,20,21,30,31) group by "
        "mesiac,str,idu,pohyb,nazov order by mesiac desc,str,idu,pohyb",
        std::nullopt);
    html += "<h3>vyplata</h3>";
    html += getHtmlTable(getQuery("vyplata_info"), std::vector<SqlValue>{idu});
    html += "</body></html>";
    return html;
}
