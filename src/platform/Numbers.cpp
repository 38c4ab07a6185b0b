#include "platform/Numbers.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <vector>

namespace platform {

namespace {

locale_t cLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

// Switches the calling thread to the "C" locale for its lifetime.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_;
};

}  // namespace

std::string formatV(const char* fmt, va_list args) {
    CLocaleScope scope;
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::vector<char> big(static_cast<size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, args);
    return std::string(big.data(), static_cast<size_t>(n));
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = formatV(fmt, args);
    va_end(args);
    return s;
}

double parseDouble(const std::string& text, size_t* consumed) {
    const char* begin = text.c_str();
    char* end = nullptr;
    double v = strtod_l(begin, &end, cLocale());
    if (consumed) *consumed = static_cast<size_t>(end - begin);
    return end == begin ? 0.0 : v;
}

float parseFloat(const std::string& text, size_t* consumed) {
    const char* begin = text.c_str();
    char* end = nullptr;
    float v = strtof_l(begin, &end, cLocale());
    if (consumed) *consumed = static_cast<size_t>(end - begin);
    return end == begin ? 0.0f : v;
}

int64_t parseInt64(const std::string& text, size_t* consumed, int base) {
    const char* begin = text.c_str();
    char* end = nullptr;
    long long v = strtoll_l(begin, &end, base, cLocale());
    if (consumed) *consumed = static_cast<size_t>(end - begin);
    return end == begin ? 0 : static_cast<int64_t>(v);
}

}  // namespace platform
