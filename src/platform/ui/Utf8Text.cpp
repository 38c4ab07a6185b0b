#include "platform/ui/Utf8Text.h"

namespace platform {

namespace {
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}
}  // namespace

std::vector<std::string> Utf8Text::characters(const std::string& text) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        size_t n = sequenceLength(static_cast<unsigned char>(text[i]));
        bool valid = i + n <= text.size();
        for (size_t k = 1; valid && k < n; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (!valid) n = 1;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

size_t Utf8Text::length(const std::string& text) { return characters(text).size(); }

std::string Utf8Text::substring(const std::string& text, size_t location, size_t count) {
    auto chars = characters(text);
    std::string out;
    for (size_t i = location; i < chars.size() && i - location < count; ++i) out += chars[i];
    return out;
}

}  // namespace platform
