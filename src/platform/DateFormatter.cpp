#include "platform/DateFormatter.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

const char* const monthShort[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const monthLong[] = {"January", "February", "March",     "April",
                                 "May",     "June",     "July",      "August",
                                 "September", "October", "November", "December"};
const char* const dayShort[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const dayLong[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                               "Thursday", "Friday", "Saturday"};

bool isPatternLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool isNumericField(char letter, int count) {
    switch (letter) {
        case 'y': case 'd': case 'H': case 'h': case 'm': case 's': case 'S':
            return true;
        case 'M':
            return count <= 2;
        default:
            return false;
    }
}

std::string padded(long long value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
    return value < 0 ? "-" + digits : digits;
}

bool equalsIgnoringCase(const std::string& text, size_t pos, const char* word) {
    size_t n = std::char_traits<char>::length(word);
    if (pos + n > text.size()) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[pos + i])) !=
            std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    }
    return true;
}

// Matches one of the names (longest first wins because callers try long names first).
int matchName(const std::string& text, size_t& pos, const char* const* names, int n) {
    for (int i = 0; i < n; ++i) {
        if (equalsIgnoringCase(text, pos, names[i])) {
            pos += std::char_traits<char>::length(names[i]);
            return i;
        }
    }
    return -1;
}

}  // namespace

DateFormatter::DateFormatter(std::string pattern, TimeZone zone)
    : pattern_(std::move(pattern)), zone_(zone), tokens_(tokenize(pattern_)) {}

std::vector<DateFormatter::Token> DateFormatter::tokenize(const std::string& p) {
    std::vector<Token> tokens;
    auto addLiteral = [&](const std::string& s) {
        if (!tokens.empty() && tokens.back().letter == 0) tokens.back().literal += s;
        else tokens.push_back(Token{0, 0, s});
    };
    for (size_t i = 0; i < p.size();) {
        char c = p[i];
        if (c == '\'') {
            if (i + 1 < p.size() && p[i + 1] == '\'') {
                addLiteral("'");
                i += 2;
                continue;
            }
            std::string lit;
            size_t j = i + 1;
            while (j < p.size()) {
                if (p[j] == '\'') {
                    if (j + 1 < p.size() && p[j + 1] == '\'') {
                        lit += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                lit += p[j++];
            }
            addLiteral(lit);
            i = j + 1;
        } else if (isPatternLetter(c)) {
            size_t j = i;
            while (j < p.size() && p[j] == c) ++j;
            tokens.push_back(Token{c, static_cast<int>(j - i), {}});
            i = j;
        } else {
            addLiteral(std::string(1, c));
            ++i;
        }
    }
    return tokens;
}

std::string DateFormatter::string(Date date) const {
    CalendarFields f = zone_.fields(date);
    std::string out;
    for (const Token& t : tokens_) {
        switch (t.letter) {
            case 0: out += t.literal; break;
            case 'y':
                if (t.count == 2) out += padded(f.year % 100, 2);
                else out += padded(f.year, t.count);
                break;
            case 'M':
                if (t.count >= 4) out += monthLong[f.month - 1];
                else if (t.count == 3) out += monthShort[f.month - 1];
                else out += padded(f.month, t.count);
                break;
            case 'd': out += padded(f.day, t.count); break;
            case 'H': out += padded(f.hour, t.count); break;
            case 'h': out += padded(f.hour % 12 == 0 ? 12 : f.hour % 12, t.count); break;
            case 'a': out += f.hour < 12 ? "AM" : "PM"; break;
            case 'm': out += padded(f.minute, t.count); break;
            case 's': out += padded(f.second, t.count); break;
            case 'S': {
                long long scaled = static_cast<long long>(
                    std::floor(f.fraction * std::pow(10.0, t.count) + 1e-6));
                out += padded(scaled, t.count);
                break;
            }
            case 'E': out += t.count >= 4 ? dayLong[f.weekday] : dayShort[f.weekday]; break;
            case 'z': out += f.abbreviation; break;
            case 'Z': {
                int o = std::abs(f.secondsFromGMT);
                out += f.secondsFromGMT < 0 ? '-' : '+';
                out += padded(o / 3600, 2) + padded(o % 3600 / 60, 2);
                break;
            }
            default: out += std::string(t.count, t.letter); break;
        }
    }
    return out;
}

std::optional<Date> DateFormatter::date(const std::string& text) const {
    CalendarFields f;
    std::optional<TimeZone> parsedZone;
    int pm = -1;
    int hour12 = -1;
    size_t pos = 0;
    for (size_t k = 0; k < tokens_.size(); ++k) {
        const Token& t = tokens_[k];
        if (t.letter == 0) {
            if (text.compare(pos, t.literal.size(), t.literal) != 0) return std::nullopt;
            pos += t.literal.size();
            continue;
        }
        if (isNumericField(t.letter, t.count)) {
            // Adjacent numeric fields ("yyyyMMdd") take exactly their width;
            // otherwise one digit up to a field-dependent maximum.
            bool adjacent = k + 1 < tokens_.size() && tokens_[k + 1].letter != 0 &&
                            isNumericField(tokens_[k + 1].letter, tokens_[k + 1].count);
            int minDigits = adjacent ? t.count : 1;
            int maxDigits = adjacent ? t.count : (t.letter == 'y' ? 9 : t.letter == 'S' ? 9 : 2);
            if (t.letter == 'y' && t.count == 2) minDigits = maxDigits = 2;
            size_t start = pos;
            while (pos < text.size() && static_cast<int>(pos - start) < maxDigits &&
                   std::isdigit(static_cast<unsigned char>(text[pos])))
                ++pos;
            int n = static_cast<int>(pos - start);
            if (n < minDigits) return std::nullopt;
            std::string digits = text.substr(start, n);
            long long v = std::stoll(digits);
            switch (t.letter) {
                case 'y': f.year = static_cast<int>(t.count == 2 ? 2000 + v : v); break;
                case 'M': f.month = static_cast<int>(v); break;
                case 'd': f.day = static_cast<int>(v); break;
                case 'H': f.hour = static_cast<int>(v); break;
                case 'h': hour12 = static_cast<int>(v); break;
                case 'm': f.minute = static_cast<int>(v); break;
                case 's': f.second = static_cast<int>(v); break;
                case 'S': f.fraction = v / std::pow(10.0, n); break;
            }
            continue;
        }
        switch (t.letter) {
            case 'M': {
                int m = matchName(text, pos, monthLong, 12);
                if (m < 0) m = matchName(text, pos, monthShort, 12);
                if (m < 0) return std::nullopt;
                f.month = m + 1;
                break;
            }
            case 'E': {
                int d = matchName(text, pos, dayLong, 7);
                if (d < 0) d = matchName(text, pos, dayShort, 7);
                if (d < 0) return std::nullopt;
                break;
            }
            case 'a':
                if (equalsIgnoringCase(text, pos, "AM")) pm = 0;
                else if (equalsIgnoringCase(text, pos, "PM")) pm = 1;
                else return std::nullopt;
                pos += 2;
                break;
            case 'z':
            case 'Z': {
                size_t start = pos;
                while (pos < text.size() &&
                       (std::isalnum(static_cast<unsigned char>(text[pos])) ||
                        text[pos] == '+' || text[pos] == '-' || text[pos] == ':'))
                    ++pos;
                parsedZone = TimeZone::named(text.substr(start, pos - start));
                if (!parsedZone) return std::nullopt;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    if (pos != text.size()) return std::nullopt;
    if (hour12 >= 0) {
        if (hour12 < 1 || hour12 > 12) return std::nullopt;
        f.hour = hour12 % 12 + (pm == 1 ? 12 : 0);
    } else if (pm == 1 && f.hour < 12) {
        f.hour += 12;
    }
    return (parsedZone ? *parsedZone : zone_).date(f);
}

std::string DateFormatter::format(Date date, const std::string& pattern, TimeZone zone) {
    return DateFormatter(pattern, zone).string(date);
}

std::optional<Date> DateFormatter::parse(const std::string& text, const std::string& pattern,
                                         TimeZone zone) {
    return DateFormatter(pattern, zone).date(text);
}

}  // namespace platform
