#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/TimeZone.h"

namespace platform {

// Formats and parses dates with a fixed pattern, independent of the
// process locale (English month and day names). Pattern letters:
//   yyyy yy y  year       MMMM MMM MM M  month     dd d  day
//   HH H  hour 0-23       hh h  hour 1-12          a     AM/PM
//   mm m  minute          ss s  second             S...  fraction of second
//   EEEE EEE  weekday     zzz z  zone name ("GMT", "CET", "GMT+1")
//   Z  zone offset "+0100"   '...' quoted literal, '' one apostrophe
// Any other character stands for itself.
// Parsing needs the whole text to match; a zone in the text wins over the
// formatter's zone; invalid calendar dates give no result.
class DateFormatter {
public:
    explicit DateFormatter(std::string pattern, TimeZone zone = TimeZone::local());

    const std::string& pattern() const { return pattern_; }
    const TimeZone& timeZone() const { return zone_; }
    void setTimeZone(TimeZone zone) { zone_ = zone; }

    std::string string(Date date) const;
    std::optional<Date> date(const std::string& text) const;

    // Convenience: one-off formatting / parsing.
    static std::string format(Date date, const std::string& pattern,
                              TimeZone zone = TimeZone::local());
    static std::optional<Date> parse(const std::string& text, const std::string& pattern,
                                     TimeZone zone = TimeZone::local());

private:
    struct Token {
        char letter = 0;  // 0 for a literal
        int count = 0;
        std::string literal;
    };
    static std::vector<Token> tokenize(const std::string& pattern);

    std::string pattern_;
    TimeZone zone_;
    std::vector<Token> tokens_;
};

}  // namespace platform
