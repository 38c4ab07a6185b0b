#pragma once

#include <optional>
#include <string>

// The amount of a cash withdrawal or deposit as typed in the amount prompt,
// turned into the text that is posted ("12.50", "-12.50").
//
// The typed text may use "," or "." as the decimal separator; leading white
// space is skipped and the longest leading decimal number is read (an
// exponent is allowed), the rest is ignored. The amount is taken to the cent
// exactly from its decimal digits, however large it is; an amount finer
// than a cent is refused, never rounded.
class CashAmount {
public:
    // The posted amount text: negative (leading "-") for a withdrawal,
    // positive for a deposit. None when nothing is to be posted; then
    // `refusal` says why (a message for the salesman), except for an empty
    // text, which is simply nothing typed and leaves it empty: a text that
    // does not begin with a number, an amount of zero or below, one with a
    // digit other than 0 beyond the cents, or one above 99,999,999.99.
    static std::optional<std::string> amountText(const std::string& typed, bool withdrawal,
                                                 std::string* refusal = nullptr);
};
