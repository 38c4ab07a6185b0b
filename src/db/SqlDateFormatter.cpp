#include "db/SqlDateFormatter.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

struct Token {
    char letter;        // 0 for literal text
    int count;
    std::string literal;
};

std::vector<Token> tokenize(const std::string& pattern) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    auto addLiteral = [&](const std::string& s) {
        if (!tokens.empty() && tokens.back().letter == 0)
            tokens.back().literal += s;
        else
            tokens.push_back({0, 0, s});
    };
    while (i < pattern.size()) {
        char c = pattern[i];
        if (c == '\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                addLiteral("'");
                i += 2;
                continue;
            }
            std::string lit;
            ++i;
            while (i < pattern.size()) {
                if (pattern[i] == '\'') {
                    if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                        lit += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                lit += pattern[i++];
            }
            addLiteral(lit);
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            int n = 0;
            while (i < pattern.size() && pattern[i] == c) {
                ++n;
                ++i;
            }
            tokens.push_back({c, n, {}});
        } else {
            addLiteral(std::string(1, c));
            ++i;
        }
    }
    return tokens;
}

std::string padded(long long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, v);
    return buf;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

bool prefixNoCase(const std::string& text, std::size_t pos, const std::string& word) {
    if (pos + word.size() > text.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char a = text[pos + i], b = word[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace

std::string SqlDateFormatter::stringFromDate(const SqlValue::Date& date) const {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(date.time_since_epoch()).count();
    long long secs = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    long long millis = ms - secs * 1000;
    std::time_t t = static_cast<std::time_t>(secs);
    std::tm tm{};
    gmtime_r(&t, &tm);

    std::string out;
    for (const Token& tok : tokenize(_pattern)) {
        switch (tok.letter) {
            case 0: out += tok.literal; break;
            case 'y': {
                long long y = tm.tm_year + 1900;
                out += tok.count == 2 ? padded(y % 100, 2) : padded(y, tok.count);
                break;
            }
            case 'M':
                if (tok.count >= 4) out += kMonths[tm.tm_mon];
                else if (tok.count == 3) out += std::string(kMonths[tm.tm_mon]).substr(0, 3);
                else out += padded(tm.tm_mon + 1, tok.count);
                break;
            case 'd': out += padded(tm.tm_mday, tok.count); break;
            case 'H': out += padded(tm.tm_hour, tok.count); break;
            case 'h': out += padded(tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12, tok.count); break;
            case 'm': out += padded(tm.tm_min, tok.count); break;
            case 's': out += padded(tm.tm_sec, tok.count); break;
            case 'S': {
                std::string frac = padded(millis, 3);
                while (static_cast<int>(frac.size()) < tok.count) frac += '0';
                out += frac.substr(0, static_cast<std::size_t>(tok.count));
                break;
            }
            case 'a': out += tm.tm_hour < 12 ? "AM" : "PM"; break;
            case 'E':
                out += tok.count >= 4 ? kDays[tm.tm_wday] : std::string(kDays[tm.tm_wday]).substr(0, 3);
                break;
            case 'Z': out += "+0000"; break;
            case 'z': out += "GMT"; break;
            default: out += std::string(static_cast<std::size_t>(tok.count), tok.letter); break;
        }
    }
    return out;
}

std::optional<SqlValue::Date> SqlDateFormatter::dateFromString(const std::string& text) const {
    long long year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millis = 0;
    bool pm = false, hasAmPm = false;
    std::size_t pos = 0;
    auto number = [&](int minDigits, int maxDigits, long long& value) {
        std::size_t start = pos;
        value = 0;
        while (pos < text.size() && static_cast<int>(pos - start) < maxDigits && text[pos] >= '0' && text[pos] <= '9')
            value = value * 10 + (text[pos++] - '0');
        return static_cast<int>(pos - start) >= minDigits;
    };
    for (const Token& tok : tokenize(_pattern)) {
        switch (tok.letter) {
            case 0:
                if (text.compare(pos, tok.literal.size(), tok.literal) != 0) return std::nullopt;
                pos += tok.literal.size();
                break;
            case 'y':
                if (tok.count == 2) {
                    if (!number(2, 2, year)) return std::nullopt;
                    year += 2000;
                } else if (!number(1, 9, year)) {
                    return std::nullopt;
                }
                break;
            case 'M':
                if (tok.count >= 3) {
                    bool found = false;
                    for (int i = 0; i < 12 && !found; ++i) {
                        std::string name = kMonths[i];
                        if (tok.count == 3) name = name.substr(0, 3);
                        if (prefixNoCase(text, pos, name)) {
                            month = i + 1;
                            pos += name.size();
                            found = true;
                        }
                    }
                    if (!found) return std::nullopt;
                } else if (!number(1, 2, month)) {
                    return std::nullopt;
                }
                break;
            case 'd': if (!number(1, 2, day)) return std::nullopt; break;
            case 'H': if (!number(1, 2, hour)) return std::nullopt; break;
            case 'h': if (!number(1, 2, hour)) return std::nullopt; break;
            case 'm': if (!number(1, 2, minute)) return std::nullopt; break;
            case 's': if (!number(1, 2, second)) return std::nullopt; break;
            case 'S': {
                std::size_t start = pos;
                long long frac = 0;
                if (!number(1, 9, frac)) return std::nullopt;
                int digits = static_cast<int>(pos - start);
                while (digits < 3) {
                    frac *= 10;
                    ++digits;
                }
                while (digits > 3) {
                    frac /= 10;
                    --digits;
                }
                millis = frac;
                break;
            }
            case 'a':
                hasAmPm = true;
                if (prefixNoCase(text, pos, "AM")) pos += 2;
                else if (prefixNoCase(text, pos, "PM")) { pm = true; pos += 2; }
                else return std::nullopt;
                break;
            case 'E': {
                bool found = false;
                for (int i = 0; i < 7 && !found; ++i) {
                    std::string name = kDays[i];
                    if (tok.count < 4) name = name.substr(0, 3);
                    if (prefixNoCase(text, pos, name)) {
                        pos += name.size();
                        found = true;
                    }
                }
                if (!found) return std::nullopt;
                break;
            }
            case 'Z':
                if (text.compare(pos, 5, "+0000") == 0) pos += 5;
                else if (pos < text.size() && text[pos] == 'Z') pos += 1;
                else return std::nullopt;
                break;
            case 'z':
                if (text.compare(pos, 3, "GMT") == 0 || text.compare(pos, 3, "UTC") == 0) pos += 3;
                else return std::nullopt;
                break;
            default:
                return std::nullopt;
        }
    }
    if (pos != text.size()) return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    if (hasAmPm) {
        if (hour == 12) hour = 0;
        if (pm) hour += 12;
    }
    long long days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    long long total = ((days * 24 + hour) * 60 + minute) * 60 + second;
    return SqlValue::Date(std::chrono::duration_cast<SqlValue::Date::duration>(
        std::chrono::milliseconds(total * 1000 + millis)));
}
