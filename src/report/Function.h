#pragma once

#include <cstdint>
#include <string>

// A built-in value (row number, page number, date) placed in a report band.
class Function {
public:
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::string name;
    std::string format;

    std::string description() const;
};
