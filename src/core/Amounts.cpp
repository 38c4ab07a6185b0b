#include "core/Amounts.h"

#include "core/DecimalText.h"
#include "core/StringValue.h"
#include "platform/Numbers.h"

#include <cstdlib>
#include <limits>

namespace {

// Largest magnitude of a read value in millionths: just under 10^18, a
// trillion of anything, beyond every 32-bit quantity and any amount of a
// document and within 64 bits; the products of one line are worked out in
// 128 bits.
constexpr std::int64_t kMaxMicros = 999999999999999999LL;

std::int64_t power10(int n) {
    std::int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

std::int64_t clamp(__int128 value) {
    constexpr __int128 top = std::numeric_limits<std::int64_t>::max();
    if (value > top) return std::numeric_limits<std::int64_t>::max();
    if (value < -top) return -std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(value);
}

// The leading decimal number of a text in millionths, halves away from zero.
std::int64_t microsOf(const std::string& text) {
    const auto number = DecimalText::read(text);
    if (!number || number->digits.empty()) return 0;
    const bool negative = number->negative;
    const std::string& digits = number->digits;
    const long long point = number->point;
    if (point > 12) return negative ? -kMaxMicros : kMaxMicros;

    // Digits up to six places after the point, rounded by the seventh.
    const long long kept = point + 6;
    if (kept < 0) return 0;
    __int128 micros = 0;
    for (long long k = 0; k < kept; ++k)
        micros = micros * 10 + (k < static_cast<long long>(digits.size()) ? digits[static_cast<std::size_t>(k)] - '0' : 0);
    if (kept < static_cast<long long>(digits.size()) && digits[static_cast<std::size_t>(kept)] >= '5') ++micros;
    if (micros > kMaxMicros) micros = kMaxMicros;
    return static_cast<std::int64_t>(negative ? -micros : micros);
}

}  // namespace

std::int64_t Amounts::integerOf(const std::string& text) {
    return integerValue(text);
}

float Amounts::floatOf(const std::string& text) {
    return floatValue(text);
}

std::string Amounts::format(const char* fmt, double value) {
    return platform::format(fmt, value);
}

std::string Amounts::formatInt(std::int64_t value) {
    return std::to_string(value);
}

std::int64_t Amounts::divideRounded(__int128 numerator, std::int64_t denominator) {
    const bool negative = numerator < 0;
    const __int128 magnitude = negative ? -numerator : numerator;
    const __int128 quotient = (magnitude + denominator / 2) / denominator;
    return clamp(negative ? -quotient : quotient);
}

std::int64_t Amounts::unitsOf(const std::string& text, int places) {
    if (places < 0) places = 0;
    if (places > 6) places = 6;
    return divideRounded(microsOf(text), power10(6 - places));
}

bool Amounts::exact(std::int64_t units, int places) {
    if (places < 0) places = 0;
    if (places > 6) places = 6;
    // A reading is held just under 10^12, so the bound itself is out.
    const std::int64_t bound = power10(12 + places);
    return units > -bound && units < bound;
}

std::string Amounts::formatUnits(std::int64_t units, int places, int width) {
    const bool negative = units < 0;
    // The magnitude as digits, at least one before the point.
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(units) : static_cast<unsigned long long>(units);
    std::string digits = std::to_string(magnitude);
    while (static_cast<int>(digits.size()) <= places) digits.insert(digits.begin(), '0');
    std::string text = negative ? "-" : "";
    text += digits.substr(0, digits.size() - static_cast<std::size_t>(places));
    if (places > 0) text += "." + digits.substr(digits.size() - static_cast<std::size_t>(places));
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

Amounts::Line Amounts::computeLine(const std::string& cenaText, const std::string& zlava1Text,
                                   const std::string& zlava2Text, const std::string& zlava3Text,
                                   const std::string& dphText, const std::string& vybraneText) {
    // Rates in hundredths of a percent: 100 % is 10000.
    constexpr std::int64_t whole = 10000;
    const std::int64_t dph = unitsOf(dphText, 2);
    const std::int64_t vybrane = unitsOf(vybraneText, 3);
    const std::int64_t cena = unitsOf(cenaText, 3);
    const std::int64_t zlava1 = unitsOf(zlava1Text, 2);
    const std::int64_t zlava2 = unitsOf(zlava2Text, 2);
    const std::int64_t zlava3 = unitsOf(zlava3Text, 2);

    const std::int64_t c1 = divideRounded(static_cast<__int128>(cena) * (whole - zlava1), whole);
    const std::int64_t c2 = divideRounded(static_cast<__int128>(c1) * (whole - zlava2), whole);
    const std::int64_t c3 = divideRounded(static_cast<__int128>(c2) * (whole - zlava3), whole);

    Line line;
    line.cena3 = c3;
    // thousandths x mills = millionths; to cents
    line.amount = divideRounded(static_cast<__int128>(vybrane) * c3, 10000);
    line.vat = divideRounded(static_cast<__int128>(dph) * line.amount, whole);
    line.total = clamp(static_cast<__int128>(line.amount) + line.vat);
    // mills x rate to cents: / (10000 x 10)
    line.cenaSDph = divideRounded(static_cast<__int128>(c3) * (whole + dph), whole * 10);
    return line;
}
