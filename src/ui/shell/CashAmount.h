#pragma once

#include <optional>
#include <string>

// The amount of a cash withdrawal or deposit as typed in the amount prompt,
// turned into the text that is posted ("12.50", "-12.50").
//
// The typed text may use "," or "." as the decimal separator; leading white
// space is skipped and the longest leading decimal number is read (an
// exponent is allowed), the rest is ignored. The value is rounded to cents
// exactly from its decimal digits, halves away from zero, so every amount
// keeps its cents however large it is.
class CashAmount {
public:
    // The posted amount text: negative (leading "-") for a withdrawal,
    // positive for a deposit. None when nothing is to be posted: an empty
    // text, a text that does not begin with a number, an amount that rounds
    // to zero, a typed negative value, or a value above 99,999,999.99; only
    // the last sets `tooLarge`, so that the caller can say so.
    static std::optional<std::string> amountText(const std::string& typed, bool withdrawal,
                                                 bool* tooLarge = nullptr);
};
