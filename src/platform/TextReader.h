#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/Error.h"

namespace platform {

// Reads the whole text at an address synchronously as UTF-8: a file path,
// a "file:" URL or an http(s) address. Absent (with `error` filled) when the
// address is invalid, the read fails, the server answers an error status,
// the time-out expires, or the content is not UTF-8.
class TextReader {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{60000};

    static std::optional<std::string> read(const std::string& address,
                                           std::chrono::milliseconds timeout = defaultTimeout,
                                           Error* error = nullptr);
};

}  // namespace platform
