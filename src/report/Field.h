#pragma once

#include "report/ReportFormat.h"

#include <cstdint>
#include <string>

// A result-set column placed in a report band.
class Field {
public:
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::string name;
    std::string format;

    std::string description() const;

    // `format` checked once; checked again only when the text changes.
    const ReportFormat& checkedFormat() const;

private:
    mutable std::string checkedText_;
    mutable ReportFormat checked_;
};
