#pragma once

#include <stdexcept>
#include <string>

// A failed statement or query of the database layer, signalled to the
// operation that owns the connection; what() is the database's message.
class SqlFailure : public std::runtime_error {
public:
    explicit SqlFailure(const std::string& message) : std::runtime_error(message) {}
};
