#pragma once

#include "platform/Date.h"
#include "report/Section.h"

#include <cstdint>
#include <memory>
#include <string>

// One printable report of a report definition: five bands and its queries.
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
};
