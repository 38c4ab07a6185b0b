#include "fakes/ShownBytes.h"

#include "platform/TextEncoding.h"

#include <cstdio>

std::string ShownBytes::text(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\n') {
            out += "<0A>\n";
        } else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += platform::TextEncoding::fromCp852(std::string(1, static_cast<char>(c)));
        }
    }
    return out;
}
