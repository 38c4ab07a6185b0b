#pragma once

#include <string>

// Error value of the database layer: a domain, a numeric code and a text.
// Errors made by SqlDatabase carry the domain "SqlDatabase" and the
// connection's current result code.
struct SqlError {
    std::string domain;
    int code = 0;
    std::string description;

    bool operator==(const SqlError&) const = default;
};
