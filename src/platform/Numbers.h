#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

namespace platform {

// printf-style formatting in the "C" locale, whatever locale the process runs in.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string formatV(const char* fmt, va_list args);

// C-locale text-to-number conversions in the manner of strtod/strtoll: white
// space skipped, the longest valid prefix read, "." the only decimal
// separator. `consumed` (when given) receives the number of bytes read; 0
// means no number was found and the result is 0.
double parseDouble(const std::string& text, size_t* consumed = nullptr);
float parseFloat(const std::string& text, size_t* consumed = nullptr);
int64_t parseInt64(const std::string& text, size_t* consumed = nullptr, int base = 10);

}  // namespace platform
