#include "records/JsonCodingError.h"

namespace {

std::string describe(const std::string& path, const std::string& message) {
    if (path.empty()) return message;
    return message + " (at " + path + ")";
}

}  // namespace

JsonCodingError::JsonCodingError(Kind kind, std::string path, const std::string& message)
    : std::runtime_error(describe(path, message)), kind_(kind), path_(std::move(path)) {}
