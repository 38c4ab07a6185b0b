#include "report/DataItem.h"

#include "core/CoreDb.h"
#include "core/StringValue.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "records/ReflectedDescription.h"

#include <functional>

namespace {

// Runs the data item's query on its own connection and hands the result to
// `read` while it is open; false when the query could not run.
bool withRows(const std::string& query, const std::function<void(SqlResultSet&)>& read) {
    auto db = coredb::openDatabase(sharedTrekora().dbURL);
    if (!db) return false;
    std::optional<SqlError> error;
    auto rs = db->executeQuery(query, {}, &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return false;
    }
    coredb::trace("colcount: " + std::to_string(rs->columnCount()));
    read(*rs);
    rs->close();
    db->close();
    return true;
}

}  // namespace

std::vector<std::map<std::string, std::string>> DataItem::getData() const {
    std::vector<std::map<std::string, std::string>> result;
    withRows(selectQuery, [&](SqlResultSet& rs) {
        while (rs.next()) result.push_back(coredb::row(rs, false));
    });
    return result;
}

std::optional<std::map<std::string, std::string>> DataItem::findRow(const std::string& key,
                                                                 const std::string& value) const {
    std::optional<std::map<std::string, std::string>> found;
    withRows(selectQuery, [&](SqlResultSet& rs) {
        // Of two columns of the name the later counts, as in the rows of getData.
        int column = -1;
        for (int i = 0; i < rs.columnCount(); ++i)
            if (coredb::upper(rs.columnNameForIndex(i)) == key) column = i;
        while (column >= 0 && rs.next()) {
            if (coredb::textAt(rs, column) != value) continue;
            found = coredb::row(rs, false);
            break;
        }
    });
    return found;
}

std::string DataItem::getReport(const std::string& param, const std::string& index) const {
    std::int64_t position = integerValue(index);
    if (reports.empty() || position < 0) {
        coredb::trace("getReport: no report " + index + " in " + name);
        return {};
    }
    if (position >= static_cast<std::int64_t>(reports.size())) position = 0;
    const auto& report = reports[static_cast<std::size_t>(position)];
    const std::string text = report ? report->run(param, sharedTrekora().dbURL) : std::string();
    coredb::trace(text);
    return text;
}

std::string DataItem::description() const {
    std::string list = "[";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        if (i) list += ", ";
        list += reports[i]->printedForm();
    }
    list += "]";
    return ReflectedDescription("DataItem")
        .text("name", name)
        .text("parentName", parentName)
        .text("caption", caption)
        .text("dbFileName", dbFileName)
        .text("selectQuery", selectQuery)
        .integer("pohyb", pohyb)
        .text("actions", actions)
        .raw("reports", list)
        .str();
}
