#pragma once

#include <optional>
#include <string>

#include "platform/Date.h"

namespace platform {

// Broken-down calendar fields of a date in some time zone (Gregorian).
struct CalendarFields {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
    double fraction = 0;  // 0 <= fraction < 1
    int weekday = 0;      // 0 = Sunday
    int secondsFromGMT = 0;
    std::string abbreviation;  // e.g. "GMT", "CET"
};

// A time zone: the device's local zone (the TZ of the process) or a fixed
// offset from GMT (GMT/UTC itself is offset 0).
class TimeZone {
public:
    static TimeZone local();
    static TimeZone gmt();
    static TimeZone fixed(int secondsFromGMT);
    // "GMT", "UTC", "GMT+1", "+0100", "CET", ... (see DateFormatter for the
    // abbreviations understood); absent when not recognised.
    static std::optional<TimeZone> named(const std::string& name);

    bool isLocal() const { return local_; }
    int fixedOffset() const { return offset_; }

    CalendarFields fields(Date date) const;
    // The date of the given fields in this zone; absent when the fields do
    // not name a real calendar day or time.
    std::optional<Date> date(const CalendarFields& fields) const;

    bool operator==(const TimeZone&) const = default;

private:
    TimeZone(bool local, int offset) : local_(local), offset_(offset) {}
    bool local_;
    int offset_;
};

}  // namespace platform
