#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Numbers typed by the salesman in the document dialogs, read as every typed
// number is (DecimalText::readTyped): a "," is read as the decimal point;
// blanks around the number are ignored; anything else that is not part of
// one number makes the text no number at all (never 0).
class TypedNumber {
public:
    // Whether the text, trimmed, is empty.
    static bool isEmpty(const std::string& text);
    // The decimal number of the text; none when the text is not one number.
    static std::optional<double> decimal(const std::string& text);
    // The whole number of the text; none when the text is not a number or
    // has a fraction other than zero ("12.0" is 12, "12.7" is none).
    static std::optional<std::int64_t> whole(const std::string& text);
    // Whether the number of the text has a digit other than 0 beyond the
    // hundredths ("7,995" has, "7,990" has not); false for no number.
    static bool beyondHundredths(const std::string& text);
    // The number in hundredths, rounded half away from zero (the unit of
    // comparison of discounts and decimal parameters).
    static std::int64_t hundredths(double value);
    // What to tell about a typed text that a check refused: `outOfRange` for
    // a number (and for an empty text, read as 0), "zadaný text nie je číslo"
    // for a text that is no number at all.
    static std::string refusal(const std::string& text, const std::string& outOfRange);
    // The same where a whole number is asked: a number with a fraction is
    // told as such, not as out of range.
    static std::string refusalOfWhole(const std::string& text, const std::string& outOfRange);
    // The refusal of a discount finer than hundredths (beyondHundredths).
    static const std::string tooManyPlaces;
    // The refusal of a typed text that is no number at all.
    static const std::string notANumber;
};
