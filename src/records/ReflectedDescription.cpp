#include "records/ReflectedDescription.h"

#include <charconv>
#include <cmath>

ReflectedDescription::ReflectedDescription(std::string_view typeName) : text_(typeName) {
    text_ += '(';
}

ReflectedDescription& ReflectedDescription::raw(std::string_view label, std::string_view rendered) {
    if (!first_) text_ += ", ";
    first_ = false;
    text_ += label;
    text_ += ": ";
    text_ += rendered;
    return *this;
}

ReflectedDescription& ReflectedDescription::text(std::string_view label, std::string_view value) {
    return raw(label, value);
}

ReflectedDescription& ReflectedDescription::integer(std::string_view label, std::int64_t value) {
    return raw(label, std::to_string(value));
}

ReflectedDescription& ReflectedDescription::floating(std::string_view label, double value) {
    return raw(label, formatFloating(value));
}

ReflectedDescription& ReflectedDescription::optionalText(std::string_view label,
                                                         const std::optional<std::string>& value) {
    if (!value) return raw(label, "nil");
    return raw(label, "Optional(\"" + *value + "\")");
}

ReflectedDescription& ReflectedDescription::optionalInteger(std::string_view label,
                                                            const std::optional<std::int64_t>& value) {
    if (!value) return raw(label, "nil");
    return raw(label, "Optional(" + std::to_string(*value) + ")");
}

ReflectedDescription& ReflectedDescription::optionalFloating(std::string_view label,
                                                             const std::optional<double>& value) {
    if (!value) return raw(label, "nil");
    return raw(label, "Optional(" + formatFloating(*value) + ")");
}

std::string ReflectedDescription::str() const {
    return text_ + ")";
}

std::string ReflectedDescription::formatFloating(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string out(buffer, result.ptr);
    if (out.find_first_of(".e") == std::string::npos) out += ".0";
    return out;
}

std::string ReflectedDescription::listText(const std::vector<std::string>& parts) {
    std::string out = "[";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out += ", ";
        out += parts[i];
    }
    return out + "]";
}
