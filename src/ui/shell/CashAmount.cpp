#include "ui/shell/CashAmount.h"

#include "core/Amounts.h"
#include "core/DecimalText.h"

#include <algorithm>
#include <cstddef>

namespace {

// Largest number of digits before the decimal point that an amount may have;
// beyond it the typed text is not read further.
constexpr std::size_t kMaxIntegerDigits = 38;

}  // namespace

std::optional<std::string> CashAmount::amountText(const std::string& typed, bool withdrawal, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    auto beyondBound = [tooLarge]() -> std::optional<std::string> {
        if (tooLarge) *tooLarge = true;
        return std::nullopt;
    };
    if (typed.empty()) return std::nullopt;
    std::string text = typed;
    std::replace(text.begin(), text.end(), ',', '.');

    const auto number = DecimalText::read(text);
    if (!number) return std::nullopt;                  // not a number: reads as zero
    if (number->digits.empty()) return std::nullopt;  // zero
    const std::string& digits = number->digits;
    const long long pointPosition = number->point;

    if (number->negative) return std::nullopt;
    if (pointPosition > static_cast<long long>(kMaxIntegerDigits)) return beyondBound();

    // Cents as a decimal digit string: the digits up to two places after the
    // point, rounded by the third place (halves away from zero).
    long long centsLength = pointPosition + 2;  // digits of the value in cents
    std::string cents;
    bool roundUp = false;
    if (centsLength <= 0) {
        // Less than a cent: it becomes one cent from half a cent up.
        roundUp = centsLength == 0 && digits[0] >= '5';
    } else {
        for (long long k = 0; k < centsLength; ++k)
            cents += k < static_cast<long long>(digits.size()) ? digits[static_cast<std::size_t>(k)] : '0';
        roundUp = centsLength < static_cast<long long>(digits.size()) &&
                  digits[static_cast<std::size_t>(centsLength)] >= '5';
    }
    if (cents.empty()) cents.push_back('0');
    if (roundUp) {
        long long k = static_cast<long long>(cents.size()) - 1;
        while (k >= 0 && cents[static_cast<std::size_t>(k)] == '9') cents[static_cast<std::size_t>(k--)] = '0';
        if (k < 0)
            cents.insert(cents.begin(), '1');
        else
            ++cents[static_cast<std::size_t>(k)];
    }
    std::size_t nonZero = cents.find_first_not_of('0');
    if (nonZero == std::string::npos) return std::nullopt;  // rounds to zero
    cents.erase(0, nonZero);
    const std::string maxCents = std::to_string(Amounts::maxCashCents);
    if (cents.size() > maxCents.size() || (cents.size() == maxCents.size() && cents > maxCents)) return beyondBound();
    while (cents.size() < 3) cents.insert(cents.begin(), '0');

    std::string result = withdrawal ? "-" : "";
    result += cents.substr(0, cents.size() - 2);
    result += '.';
    result += cents.substr(cents.size() - 2);
    return result;
}
