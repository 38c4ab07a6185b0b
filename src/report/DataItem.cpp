#include "report/DataItem.h"

#include "core/CoreDb.h"
#include "core/ReflectedDescription.h"
#include "core/StringValue.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

std::vector<std::map<std::string, std::string>> DataItem::getData() const {
    std::vector<std::map<std::string, std::string>> result;
    auto db = coredb::openDatabase(sharedTrekora().dbURL);
    if (!db) return result;
    std::optional<SqlError> error;
    auto rs = db->executeQuery(selectQuery, {}, &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
        db->close();
        return result;
    }
    coredb::trace("colcount: " + std::to_string(rs->columnCount()));
    while (rs->next()) result.push_back(coredb::row(*rs, false));
    rs->close();
    db->close();
    return result;
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
