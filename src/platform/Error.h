#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A failure reported by a platform service: a domain naming the service,
// a code within that domain and a description meant for people.
class Error {
public:
    Error() = default;
    Error(std::string domain, int64_t code, std::string description);

    const std::string& domain() const { return domain_; }
    int64_t code() const { return code_; }
    const std::string& localizedDescription() const { return description_; }

    // Stores *this into out when out is not null; convenience for the
    // "bool f(..., Error* error)" style of the platform services.
    static void set(Error* out, std::string domain, int64_t code, std::string description);

private:
    std::string domain_;
    int64_t code_ = 0;
    std::string description_;
};

}  // namespace platform
