#pragma once

#include "platform/Date.h"
#include "report/Section.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// One printable report of a report definition: five bands and its queries.
class SqlResultSet;

class Report {
public:
    Report();

    std::int64_t ido = 0;
    std::string name;
    std::int64_t pageWidth = 0;
    std::int64_t pageHeight = 0;
    std::int64_t top = 0;
    std::string description;
    std::string selectQuery;
    std::int64_t rowNumber = 0;
    std::int64_t pageNumber = 0;
    std::int64_t pageCount = 0;
    platform::Date date;  // the moment the object was made
    std::shared_ptr<Section> reportHeader;
    std::shared_ptr<Section> pageHeader;
    std::shared_ptr<Section> pageBody;
    std::shared_ptr<Section> pageFooter;
    std::shared_ptr<Section> reportFooter;
    std::int64_t dbId = 0;
    std::string dbFileName;
    std::string resultString;

    // A report prints as its own description text.
    std::string printedForm() const { return description; }

    // The largest page width and band height a report lays out; items beyond
    // them (like items left of column 1 or above line 1) are skipped.
    static constexpr std::int64_t kMaxPageWidth = 1024;
    static constexpr std::int64_t kMaxBandHeight = 1024;

    // Lays `section` out for the current row of `resultSet` (the bands'
    // functions, then texts, then fields; a later item wins its cell) and
    // appends its lines to resultString.
    void render(const Section& section, SqlResultSet& resultSet);

    // Renders the document `param` on the database at `dbURL`: the leading
    // statements of selectQuery run as updates, the last one is the main
    // query; per main row the five bands, the page body once per row of its
    // own query when it has one. Every statement gets `param` as its one
    // value. Answers the text, or one line "chyba! <reason>".
    std::string run(const std::string& param, const std::string& dbURL);

};
