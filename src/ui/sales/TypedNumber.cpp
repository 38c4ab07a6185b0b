#include "ui/sales/TypedNumber.h"

#include "core/DecimalText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\n\v\f\r");
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(" \t\n\v\f\r");
    return text.substr(first, last - first + 1);
}

// The text, when it is one typed number, trimmed with "," read as ".", and
// with at most 15 digits (what a double holds exactly).
bool wellFormed(const std::string& text, std::string& normalised) {
    if (!DecimalText::readTyped(text)) return false;
    normalised = trimmed(text);
    std::replace(normalised.begin(), normalised.end(), ',', '.');
    return std::count_if(normalised.begin(), normalised.end(), [](char c) { return c >= '0' && c <= '9'; }) <= 15;
}

}  // namespace

bool TypedNumber::isEmpty(const std::string& text) { return trimmed(text).empty(); }

std::optional<double> TypedNumber::decimal(const std::string& text) {
    std::string normalised;
    if (!wellFormed(trimmed(text), normalised)) return std::nullopt;
    return std::strtod(normalised.c_str(), nullptr);
}

std::optional<std::int64_t> TypedNumber::whole(const std::string& text) {
    std::string normalised;
    if (!wellFormed(trimmed(text), normalised)) return std::nullopt;
    const auto point = normalised.find('.');
    if (point != std::string::npos) {
        if (normalised.find_first_not_of('0', point + 1) != std::string::npos) return std::nullopt;
        normalised.erase(point);
        if (normalised.empty() || normalised == "-" || normalised == "+") return std::int64_t{0};
    }
    return std::strtoll(normalised.c_str(), nullptr, 10);
}

bool TypedNumber::beyondHundredths(const std::string& text) {
    std::string normalised;
    if (!wellFormed(trimmed(text), normalised)) return false;
    const auto point = normalised.find('.');
    return point != std::string::npos && normalised.size() > point + 3 &&
           normalised.find_first_not_of('0', point + 3) != std::string::npos;
}

std::int64_t TypedNumber::hundredths(double value) { return std::llround(value * 100.0); }

const std::string TypedNumber::tooManyPlaces = "zľava môže mať najviac dve desatinné miesta!";

std::string TypedNumber::refusalOfWhole(const std::string& text, const std::string& outOfRange) {
    return decimal(text) && !whole(text) ? "zadané číslo nie je celé" : refusal(text, outOfRange);
}

const std::string TypedNumber::notANumber = "zadaný text nie je číslo";

std::string TypedNumber::refusal(const std::string& text, const std::string& outOfRange) {
    if (isEmpty(text) || DecimalText::readTyped(text)) return outOfRange;
    return notANumber;
}
