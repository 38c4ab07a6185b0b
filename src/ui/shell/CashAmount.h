#pragma once

#include <optional>
#include <string>

// The amount of a cash withdrawal or deposit as typed in the amount prompt,
// turned into the text that is posted ("12.50", "-12.50").
//
// The amount is taken only when the whole typed text is one number (blanks
// around it allowed): digits with at most one decimal separator, "," or ".".
// Anything else (a second separator, letters, an exponent) is refused, never
// read in part. The amount is taken to the cent exactly from its decimal
// digits, however large it is; an amount finer than a cent is refused, never
// rounded.
class CashAmount {
public:
    // The posted amount text: negative (leading "-") for a withdrawal,
    // positive for a deposit. None when nothing is to be posted; then
    // `refusal` says why (a message for the salesman), except for an empty
    // text, which is simply nothing typed and leaves it empty: a text that
    // is not one number, an amount of zero or below, one with a
    // digit other than 0 beyond the cents, or one above 99,999,999.99.
    static std::optional<std::string> amountText(const std::string& typed, bool withdrawal,
                                                 std::string* refusal = nullptr);
};
