#include "platform/TimeZone.h"

#include <cctype>
#include <cmath>
#include <ctime>
#include <string_view>

namespace platform {

namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Days since 1970-01-01 of a Gregorian date (proleptic).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

std::string offsetName(int offset) {
    if (offset == 0) return "GMT";
    int a = std::abs(offset);
    std::string s = offset < 0 ? "GMT-" : "GMT+";
    s += std::to_string(a / 3600);
    if (a % 3600) {
        int m = (a % 3600) / 60;
        s += ':';
        s += static_cast<char>('0' + m / 10);
        s += static_cast<char>('0' + m % 10);
    }
    return s;
}

CalendarFields fieldsFromUtcSeconds(long long secs, double fraction, int offset) {
    long long local = secs + offset;
    long long days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
    long long rest = local - days * 86400;
    // civil from days
    long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    CalendarFields f;
    f.year = static_cast<int>(y + (m <= 2));
    f.month = static_cast<int>(m);
    f.day = static_cast<int>(d);
    f.hour = static_cast<int>(rest / 3600);
    f.minute = static_cast<int>(rest % 3600 / 60);
    f.second = static_cast<int>(rest % 60);
    f.fraction = fraction;
    long long wd = (days % 7 + 7 + 4) % 7;  // 1970-01-01 was a Thursday
    f.weekday = static_cast<int>(wd);
    f.secondsFromGMT = offset;
    f.abbreviation = offsetName(offset);
    return f;
}

struct NamedZone {
    std::string_view name;
    int offset;
};

const NamedZone namedZones[] = {
    {"GMT", 0},          {"UTC", 0},          {"UT", 0},           {"Z", 0},
    {"WET", 0},          {"BST", 3600},       {"WEST", 3600},      {"CET", 3600},
    {"CEST", 7200},      {"MET", 3600},       {"MEST", 7200},      {"EET", 7200},
    {"EEST", 10800},     {"EST", -5 * 3600},  {"EDT", -4 * 3600},  {"CST", -6 * 3600},
    {"CDT", -5 * 3600},  {"MST", -7 * 3600},  {"MDT", -6 * 3600},  {"PST", -8 * 3600},
    {"PDT", -7 * 3600},
};

}  // namespace

TimeZone TimeZone::local() { return TimeZone(true, 0); }
TimeZone TimeZone::gmt() { return TimeZone(false, 0); }
TimeZone TimeZone::fixed(int secondsFromGMT) { return TimeZone(false, secondsFromGMT); }

std::optional<TimeZone> TimeZone::named(const std::string& text) {
    std::string upper;
    for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string_view s = upper;
    for (const auto& z : namedZones) {
        if (s == z.name) return fixed(z.offset);
    }
    // "GMT+1", "UTC-05:30", "+0100", "-05:00"
    if (s.starts_with("GMT") || s.starts_with("UTC")) s.remove_prefix(3);
    if (s.empty() || (s[0] != '+' && s[0] != '-')) return std::nullopt;
    int sign = s[0] == '-' ? -1 : 1;
    s.remove_prefix(1);
    std::string digits;
    bool colon = false;
    for (char c : s) {
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
        else if (c == ':' && !colon) colon = true;
        else return std::nullopt;
    }
    int hours = 0, minutes = 0;
    if (colon) {
        auto pos = s.find(':');
        std::string h(s.substr(0, pos)), m(s.substr(pos + 1));
        if (h.empty() || h.size() > 2 || m.size() != 2) return std::nullopt;
        hours = std::stoi(h);
        minutes = std::stoi(m);
    } else if (digits.size() <= 2 && !digits.empty()) {
        hours = std::stoi(digits);
    } else if (digits.size() == 4) {
        hours = std::stoi(digits.substr(0, 2));
        minutes = std::stoi(digits.substr(2));
    } else {
        return std::nullopt;
    }
    if (hours > 18 || minutes > 59) return std::nullopt;
    return fixed(sign * (hours * 3600 + minutes * 60));
}

CalendarFields TimeZone::fields(Date date) const {
    double t = date.timeIntervalSince1970();
    double whole = std::floor(t);
    double fraction = t - whole;
    long long secs = static_cast<long long>(whole);
    if (!local_) return fieldsFromUtcSeconds(secs, fraction, offset_);
    std::time_t tt = static_cast<std::time_t>(secs);
    std::tm tm{};
    localtime_r(&tt, &tm);
    CalendarFields f = fieldsFromUtcSeconds(secs, fraction, static_cast<int>(tm.tm_gmtoff));
    if (tm.tm_zone && *tm.tm_zone) f.abbreviation = tm.tm_zone;
    return f;
}

std::optional<Date> TimeZone::date(const CalendarFields& f) const {
    if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > daysInMonth(f.year, f.month) ||
        f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 ||
        f.second > 60)
        return std::nullopt;
    long long wall = daysFromCivil(f.year, static_cast<unsigned>(f.month),
                                   static_cast<unsigned>(f.day)) *
                         86400 +
                     f.hour * 3600LL + f.minute * 60LL + f.second;
    if (!local_) return Date(static_cast<double>(wall - offset_) + f.fraction);
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_isdst = -1;
    std::time_t t = mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) {
        // Could genuinely be one second before 1970; check against the wall clock.
        std::tm check{};
        std::time_t minusOne = -1;
        localtime_r(&minusOne, &check);
        if (check.tm_year != f.year - 1900 || check.tm_mon != f.month - 1 ||
            check.tm_mday != f.day || check.tm_hour != f.hour || check.tm_min != f.minute ||
            check.tm_sec != f.second)
            return std::nullopt;
    }
    return Date(static_cast<double>(t) + f.fraction);
}

}  // namespace platform
