#pragma once

#include <optional>
#include <string>

#include "db/SqlValue.h"

// Fixed-pattern date formatter of the database layer: always UTC, always
// English names. Pattern letters: yyyy/yy, M/MM/MMM/MMMM, d/dd, H/HH,
// h/hh, m/mm, s/ss, S.. (fraction of a second), a, EEE/EEEE, Z, z..; text
// in single quotes is literal, '' is one quote.
class SqlDateFormatter {
public:
    explicit SqlDateFormatter(std::string pattern) : _pattern(std::move(pattern)) {}

    const std::string& pattern() const { return _pattern; }
    std::string stringFromDate(const SqlValue::Date& date) const;
    // nullopt when the text does not match the pattern in full.
    std::optional<SqlValue::Date> dateFromString(const std::string& text) const;

private:
    std::string _pattern;
};
