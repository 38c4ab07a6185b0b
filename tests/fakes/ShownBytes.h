#pragma once

#include <string>

// What a fake printer received, readable on a terminal: CP852 as text,
// control bytes as their hex code in angle brackets, a line feed as "<0A>"
// and a new line.
class ShownBytes {
public:
    static std::string text(const std::string& bytes);
};
