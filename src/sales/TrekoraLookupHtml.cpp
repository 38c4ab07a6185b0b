// Detail pages beside a pick list: the lines of a linked document and the
// description of an activity, as HTML for the information screen.
#include "core/SqlRows.h"
#include "core/StringValue.h"
#include "core/Trekora.h"

namespace {

const char* const kPageHead =
    "<html><head><meta name='viewport' content='width=device-width, initial-scale=1, shrink-to-fit=yes'>"
    "<style>td{height: 20px;text-align: right;}</style></head><body style='font-family: arial;'>";

std::string value(const RowDictionary& row, const char* key) {
    auto it = row.find(key);
    return it == row.end() ? std::string() : escapeHtml(it->second);
}

}  // namespace

std::string Trekora::getDokladHtml(const std::string& cdok) {
    const auto rows = SqlRows::readAll(
        *this, "select CDOK,IDTOV,NAZTOV1,MNOZ,CENA00,CCSUM,CENAC,CCMNOZ,1 from polo where cdok = @cdok", {cdok});
    if (!rows) return "";
    std::string table;
    for (const RowDictionary& row : *rows) {
        table += "<tr><td>" + value(row, "IDTOV") + "</td><td colspan=3>" + value(row, "NAZTOV1") + "</td></tr>";
        table += "<tr><td> </td><td><b>" + value(row, "MNOZ") + " x</b></td><td>" + value(row, "CENA00") +
                 "</td><td>" + value(row, "CCSUM") + "</td></tr>";
    }
    return std::string(kPageHead) + "<table>" + table + "</table></body></html>";
}

std::string Trekora::getAktivitaHtml(const std::string& id) {
    const auto rows = SqlRows::readAll(*this, getQuery("aktivita_info"), {id});
    if (!rows) return "";
    std::string body;
    for (const RowDictionary& row : *rows) {
        // The pieces of an activity page are markup prepared with the
        // activity; they are joined as they come.
        auto it = row.find("RIADOK");
        if (it != row.end()) body += it->second;
    }
    return std::string(kPageHead) + body + "</body></html>";
}
