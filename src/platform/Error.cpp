#include "platform/Error.h"

namespace platform {

Error::Error(std::string domain, int64_t code, std::string description)
    : domain_(std::move(domain)), code_(code), description_(std::move(description)) {}

void Error::set(Error* out, std::string domain, int64_t code, std::string description) {
    if (out) *out = Error(std::move(domain), code, std::move(description));
}

}  // namespace platform
