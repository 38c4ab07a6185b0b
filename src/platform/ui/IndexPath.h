#pragma once

#include <compare>

namespace platform {

struct IndexPath {
    int section = 0;
    int row = 0;
    auto operator<=>(const IndexPath&) const = default;
};

}  // namespace platform
