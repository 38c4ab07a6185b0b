#include "records/JsonNumberText.h"

#include <cmath>
#include <cstdio>

std::string JsonNumberText::of(const nlohmann::json& number) {
    if (number.is_number_float()) {
        const double d = number.get<double>();
        // Whole values up to 15 digits are exact in a double.
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.0f", d == 0 ? 0.0 : d);
            return buffer;
        }
    }
    return number.dump();
}
