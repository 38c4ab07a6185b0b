#pragma once

#include "db/SqlError.h"

#include <exception>
#include <string>

// A database failure signalled across calls: carries the layer's SqlError;
// what() is its description (the SQLite message).
class SqlException : public std::exception {
public:
    explicit SqlException(SqlError error) : error_(std::move(error)) {}
    const SqlError& error() const { return error_; }
    const char* what() const noexcept override { return error_.description.c_str(); }

private:
    SqlError error_;
};
