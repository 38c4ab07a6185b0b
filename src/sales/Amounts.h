#pragma once

#include <cstdint>
#include <string>

// Number readings and the single-precision money arithmetic of a document
// line. Every conversion is locale-free ("." is the only decimal point).
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

    // A rounding step: the value written with the format and read back.
    static float round(const char* fmt, float value);

    struct Line {
        float cena3 = 0;     // unit price after the three discounts
        float amount = 0;    // line amount without VAT
        float vat = 0;       // VAT of the line
        float total = 0;     // line amount with VAT, not rounded again
        float cenaSDph = 0;  // unit price with VAT after the discounts
    };

    // Prices one line from the texts of its good, in the order and with the
    // rounding steps of the recomputation.
    static Line computeLine(const std::string& cena, const std::string& zlava1, const std::string& zlava2,
                            const std::string& zlava3, const std::string& dph, const std::string& vybrane);
};
