#include "report/ReportFormat.h"

#include "core/StringValue.h"
#include "platform/Numbers.h"
#include "platform/TextEncoding.h"

namespace {

// Reads the digits at `i`; -1 for a number beyond `limit`.
int readNumber(const std::string& format, std::size_t& i, int limit) {
    long value = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        value = value * 10 + (format[i] - '0');
        if (value > limit) return -1;
        ++i;
    }
    return static_cast<int>(value);
}

}  // namespace

std::int64_t ReportFormat::columns(const std::string& text) {
    // Below U+0300 (Latin letters, Slovak ones included) every code point is
    // a character of its own; anything else goes to the full segmentation.
    std::int64_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++count;
        } else if (c >= 0xC2 && c <= 0xCB && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            ++count;
            ++i;
        } else {
            return characterCount(text);
        }
    }
    return count;
}

ReportFormat::ReportFormat(const std::string& format) {
    if (!check(format)) {
        kind_ = Kind::unusable;
        prefix_.clear();
        suffix_.clear();
        conversion_.clear();
    }
}

bool ReportFormat::check(const std::string& format) {
    std::string* literal = &prefix_;
    bool seen = false;
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i++];
        if (c != '%') {
            *literal += c;
            continue;
        }
        if (i < format.size() && format[i] == '%') {
            *literal += '%';
            ++i;
            continue;
        }
        if (seen) return false;  // a second conversion
        seen = true;
        std::string flags;
        while (i < format.size() && std::string("-+ 0#").find(format[i]) != std::string::npos) flags += format[i++];
        int width = -1;
        if (i < format.size() && format[i] >= '0' && format[i] <= '9') {
            width = readNumber(format, i, kMaxWidth);
            if (width < 0) return false;
        }
        int precision = -1;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = readNumber(format, i, kMaxPrecision);
            if (precision < 0) return false;
        }
        std::string length;
        while (i < format.size() && (format[i] == 'l' || format[i] == 'h')) length += format[i++];
        if (i >= format.size()) return false;
        const char conversion = format[i++];
        std::string directive = "%" + flags + (width >= 0 ? std::to_string(width) : std::string()) +
                           (precision >= 0 ? "." + std::to_string(precision) : std::string());
        if (conversion == 's') {
            if (!length.empty() || flags.find_first_of("+ 0#") != std::string::npos) return false;
            kind_ = Kind::text;
            leftAlign_ = flags.find('-') != std::string::npos;
            width_ = width;
            precision_ = precision;
        } else if (conversion == 'f') {
            if (!length.empty() && length != "l") return false;
            kind_ = Kind::real;
            conversion_ = directive + "f";
        } else if (conversion == 'i' || conversion == 'd') {
            if (length.size() > 2 || flags.find('#') != std::string::npos) return false;
            kind_ = Kind::integer;
            conversion_ = directive + "lld";
        } else {
            return false;
        }
        literal = &suffix_;
    }
    return seen;
}

std::string ReportFormat::text(const std::string& value) const {
    std::string shown = value;
    std::int64_t length = columns(shown);
    if (precision_ >= 0 && length > precision_) {
        shown = platform::TextEncoding::isAscii(shown) ? shown.substr(0, static_cast<std::size_t>(precision_))
                               : substring(shown, 0, precision_);
        length = precision_;
    }
    if (width_ > length) {
        const std::string pad(static_cast<std::size_t>(width_ - length), ' ');
        shown = leftAlign_ ? shown + pad : pad + shown;
    }
    return prefix_ + shown + suffix_;
}

std::string ReportFormat::real(double value) const {
    return prefix_ + platform::format(conversion_.c_str(), value) + suffix_;
}

std::string ReportFormat::integer(std::int64_t value) const {
    return prefix_ + platform::format(conversion_.c_str(), static_cast<long long>(value)) + suffix_;
}
