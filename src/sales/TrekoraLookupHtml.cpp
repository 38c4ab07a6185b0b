// Detail pages beside a pick list: the lines of a linked document and the
// description of an activity, as HTML for the information screen.
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "posting/SqlRows.h"

using platform::Console;

namespace {

const char* const kPageHead =
    "<html><head><meta name='viewport' content='width=device-width, initial-scale=1, shrink-to-fit=yes'>"
    "<style>td{height: 20px;text-align: right;}</style></head><body style='font-family: arial;'>";

// Goods names and codes come from the office's master data; they go into
// the page as text, never as markup.
std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string value(const RowDictionary& row, const char* key) {
    auto it = row.find(key);
    return it == row.end() ? std::string() : escapeHtml(it->second);
}

}  // namespace

std::string Trekora::getDokladHtml(const std::string& cdok) {
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return "";
    }
    std::optional<SqlError> error;
    auto rs = db->executeQuery("select CDOK,IDTOV,NAZTOV1,MNOZ,CENA00,CCSUM,CENAC,CCMNOZ,1 from polo where cdok = @cdok",
                               {cdok}, &error);
    if (!rs) {
        Console::print("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return "";
    }
    Console::print("colcount:  " + std::to_string(rs->columnCount()));
    std::string rows;
    while (rs->next()) {
        const RowDictionary row = SqlRows::row(*rs);
        rows += "<tr><td>" + value(row, "IDTOV") + "</td><td colspan=3>" + value(row, "NAZTOV1") + "</td></tr>";
        rows += "<tr><td> </td><td><b>" + value(row, "MNOZ") + " x</b></td><td>" + value(row, "CENA00") +
                "</td><td>" + value(row, "CCSUM") + "</td></tr>";
    }
    rs->close();
    db->close();
    return std::string(kPageHead) + "<table>" + rows + "</table></body></html>";
}

std::string Trekora::getAktivitaHtml(const std::string& id) {
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return "";
    }
    const std::string sql = getQuery("aktivita_info");
    std::optional<SqlError> error;
    auto rs = db->executeQuery(sql, {id}, &error);
    if (!rs) {
        Console::print("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return "";
    }
    Console::print("colcount:  " + std::to_string(rs->columnCount()));
    std::string body;
    while (rs->next()) {
        // The pieces of an activity page are markup prepared with the
        // activity; they are joined as they come.
        const RowDictionary row = SqlRows::row(*rs);
        auto it = row.find("RIADOK");
        if (it != row.end()) body += it->second;
    }
    rs->close();
    db->close();
    return std::string(kPageHead) + body + "</body></html>";
}
