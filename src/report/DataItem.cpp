#include "report/DataItem.h"

#include "core/CoreDb.h"
#include "core/ReflectedDescription.h"
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
