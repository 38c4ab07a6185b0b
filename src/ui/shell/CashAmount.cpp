#include "ui/shell/CashAmount.h"

#include "core/Amounts.h"
#include "core/DecimalText.h"
#include "ui/sales/TypedNumber.h"

#include <algorithm>
#include <cstddef>

namespace {

// Largest number of digits before the decimal point that an amount may have;
// beyond it the typed text is not read further.
constexpr std::size_t kMaxIntegerDigits = 38;

constexpr const char* kNotAboveZero = "suma musí byť väčšia ako 0";
constexpr const char* kTooManyPlaces = "suma môže mať najviac dve desatinné miesta";
constexpr const char* kOutOfRange = "suma mimo povoleného rozsahu";

}  // namespace

std::optional<std::string> CashAmount::amountText(const std::string& typed, bool withdrawal, std::string* refusal) {
    if (refusal) refusal->clear();
    auto refuse = [refusal](const std::string& why) -> std::optional<std::string> {
        if (refusal) *refusal = why;
        return std::nullopt;
    };
    if (typed.empty()) return std::nullopt;

    const auto number = DecimalText::readTyped(typed);
    if (!number) return refuse(TypedNumber::notANumber);
    const std::string& digits = number->digits;
    const long long pointPosition = number->point;
    if (digits.empty() || number->negative) return refuse(kNotAboveZero);

    // The value in cents: the digits up to two places after the point; any
    // digit other than 0 beyond them is finer than a cent.
    const long long centsLength = pointPosition + 2;
    const std::size_t whole = centsLength <= 0 ? 0 : static_cast<std::size_t>(centsLength);
    if (whole < digits.size() && digits.find_first_not_of('0', whole) != std::string::npos)
        return refuse(kTooManyPlaces);
    if (pointPosition > static_cast<long long>(kMaxIntegerDigits)) return refuse(kOutOfRange);
    std::string cents = digits.substr(0, std::min(whole, digits.size()));
    cents.append(whole - cents.size(), '0');
    // Leading zeros were dropped from the digits, so the first one is not 0.
    const std::string maxCents = std::to_string(Amounts::maxCashCents);
    if (cents.size() > maxCents.size() || (cents.size() == maxCents.size() && cents > maxCents))
        return refuse(kOutOfRange);
    while (cents.size() < 3) cents.insert(cents.begin(), '0');

    std::string result = withdrawal ? "-" : "";
    result += cents.substr(0, cents.size() - 2);
    result += '.';
    result += cents.substr(cents.size() - 2);
    return result;
}
