#pragma once

#include "net/socket/NetBytes.h"

#include <string>
#include <vector>

// The peer's certificate chain as the TLS layer received it, for the
// delegate's verdict when trust is evaluated by hand.
class NetSocketTrust {
public:
    NetSocketTrust(std::vector<NetBytes> certificates, std::vector<std::string> subjects)
        : certificates_(std::move(certificates)), subjects_(std::move(subjects)) {}

    // DER bytes of each certificate, the peer's own first.
    const std::vector<NetBytes>& certificates() const { return certificates_; }
    // One-line subject names, in the same order.
    const std::vector<std::string>& subjects() const { return subjects_; }

private:
    std::vector<NetBytes> certificates_;
    std::vector<std::string> subjects_;
};
