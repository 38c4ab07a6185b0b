#pragma once

#include "report/Report.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One named entry of a report-definition file: a list query (selectQuery)
// and a set of printable reports.
class DataItem {
public:
    std::string name;
    std::string parentName;
    std::string caption;
    std::string dbFileName;
    std::string selectQuery;
    std::int64_t pohyb = 0;
    std::string actions;
    std::vector<std::shared_ptr<Report>> reports;

    // The rows of selectQuery on the application database, each as upper-cased
    // column name -> text ("" for NULL; of two equal names the later wins);
    // an empty list on any failure.
    std::vector<std::map<std::string, std::string>> getData() const;
    // The first row of getData whose column `key` (upper-cased) holds
    // `value`, read without holding the rows before it; none when no row
    // does or on any failure.
    std::optional<std::map<std::string, std::string>> findRow(const std::string& key, const std::string& value) const;

    // The text of report number `index` (read by its leading number; one past
    // the last gives the first) for the document `param`. The empty text when
    // there is no report or the index is negative.
    std::string getReport(const std::string& param, const std::string& index) const;

    std::string description() const;
};
