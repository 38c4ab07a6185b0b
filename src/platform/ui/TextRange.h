#pragma once

#include <cstddef>

namespace platform {

// A range of characters in a text: start and count.
struct TextRange {
    size_t location = 0;
    size_t length = 0;
};

}  // namespace platform
