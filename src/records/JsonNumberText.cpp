#include "records/JsonNumberText.h"

#include <cmath>
#include <cstdio>

std::optional<std::string> JsonNumberText::whole(double d) {
    // Whole values up to 15 digits are exact in a double.
    if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) >= 1e15) return std::nullopt;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.0f", d == 0 ? 0.0 : d);
    return std::string(buffer);
}
