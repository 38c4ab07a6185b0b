#pragma once

#include <cstdint>
#include <string>

// Number readings and the exact money arithmetic of a document line. Every
// conversion is locale-free ("." is the only decimal point).
//
// Amounts are whole numbers of units: prices in thousandths (mills),
// amounts in cents, discount and VAT rates in hundredths of a percent,
// quantities in thousandths. A text is read to a millionth first and then to
// its unit, each step rounding halves away from zero; the stored statements
// that price the lines read their floating columns the same way, so the
// program and the database agree to the cent.
class Amounts {
public:
    // Leading integer of a text (blanks skipped, optional sign); 0 when the
    // text does not begin with a number.
    static std::int64_t integerOf(const std::string& text);
    // Leading decimal number of a text as a 32-bit float; 0 when none.
    static float floatOf(const std::string& text);

    // printf-style formatting of one double in the "C" locale.
    static std::string format(const char* fmt, double value);
    static std::string formatInt(std::int64_t value);

    // Leading decimal number of a text (blanks skipped, optional sign and
    // exponent) in units of 10^-places (places 0..6), halves away from zero;
    // 0 when the text does not begin with a number. Values beyond what the
    // documents can hold are held at the largest one.
    static std::int64_t unitsOf(const std::string& text, int places);
    // The "%<width>.<places>f" text of an amount in units of 10^-places:
    // right-aligned, never cut.
    static std::string formatUnits(std::int64_t units, int places, int width);
    // Whether an amount in units of 10^-places (places 0..6) lies where
    // every reading takes it exactly and the stored statements work it out
    // in whole numbers: below a trillion (10^12) of its whole unit.
    static bool exact(std::int64_t units, int places);
    // The largest amount of a cash deposit or withdrawal, in cents
    // (99,999,999.99): the keypad refuses more, and so does the posting.
    static constexpr std::int64_t maxCashCents = 9999999999LL;
    // numerator / denominator (denominator > 0), halves away from zero.
    static std::int64_t divideRounded(__int128 numerator, std::int64_t denominator);

    struct Line {
        std::int64_t cena3 = 0;     // unit price after the three discounts, mills
        std::int64_t amount = 0;    // line amount without VAT, cents
        std::int64_t vat = 0;       // VAT of the line, cents
        std::int64_t total = 0;     // line amount with VAT, cents
        std::int64_t cenaSDph = 0;  // unit price with VAT after the discounts, cents
    };

    // Prices one line from the texts of its good, with the rounding steps of
    // the recomputation: each discounted price to the mill, the amount, its
    // VAT and the unit price with VAT to the cent; the total is not rounded
    // again.
    static Line computeLine(const std::string& cena, const std::string& zlava1, const std::string& zlava2,
                            const std::string& zlava3, const std::string& dph, const std::string& vybrane);
};
