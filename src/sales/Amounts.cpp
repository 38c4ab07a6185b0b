#include "sales/Amounts.h"

#include "core/StringValue.h"
#include "platform/Numbers.h"


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

float Amounts::round(const char* fmt, float value) {
    return floatOf(format(fmt, static_cast<double>(value)));
}

Amounts::Line Amounts::computeLine(const std::string& cenaText, const std::string& zlava1Text,
                                   const std::string& zlava2Text, const std::string& zlava3Text,
                                   const std::string& dphText, const std::string& vybraneText) {
    const float dph = floatOf(dphText);
    const float vybrane = floatOf(vybraneText);
    const float cena = floatOf(cenaText);
    const float zlava1 = floatOf(zlava1Text);
    const float zlava2 = floatOf(zlava2Text);
    const float zlava3 = floatOf(zlava3Text);
    const float hundred = 100.0f;
    const float one = 1.0f;

    // Each intermediate is a named float so that every operation rounds to
    // single precision on its own.
    float q = zlava1 / hundred;
    float f = one - q;
    float p = cena * f;
    const float c1 = round("%8.3f", p);
    q = zlava2 / hundred;
    f = one - q;
    p = c1 * f;
    const float c2 = round("%8.3f", p);
    q = zlava3 / hundred;
    f = one - q;
    p = c2 * f;
    const float c3 = round("%8.3f", p);

    Line line;
    line.cena3 = c3;
    p = vybrane * c3;
    line.amount = round("%8.2f", p);
    q = dph / hundred;
    p = q * line.amount;
    line.vat = round("%8.2f", p);
    line.total = line.amount + line.vat;
    q = dph / hundred;
    f = one + q;
    p = c3 * f;
    line.cenaSDph = round("%8.2f", p);
    return line;
}
