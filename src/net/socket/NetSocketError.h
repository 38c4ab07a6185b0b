#pragma once

#include <map>
#include <string>

// An error of the socket layer: a domain, a code and user texts (localized
// description, failure reason, recovery suggestion).
struct NetSocketError {
    static constexpr const char* kDomain = "NetSocketErrorDomain";
    static constexpr const char* kPosixDomain = "NSPOSIXErrorDomain";
    static constexpr const char* kNetDBDomain = "kCFStreamErrorDomainNetDB";
    static constexpr const char* kSSLDomain = "kCFStreamErrorDomainSSL";

    static constexpr const char* kLocalizedDescriptionKey = "NSLocalizedDescription";
    static constexpr const char* kLocalizedFailureReasonKey = "NSLocalizedFailureReason";
    static constexpr const char* kLocalizedRecoverySuggestionKey = "NSLocalizedRecoverySuggestion";

    // Codes of "NetSocketErrorDomain".
    enum Code : long {
        NoError = 0,
        BadConfigError = 1,
        BadParamError = 2,
        ConnectTimeoutError = 3,
        ReadTimeoutError = 4,
        WriteTimeoutError = 5,
        ReadMaxedOutError = 6,
        ClosedError = 7,
        OtherError = 8,
    };

    std::string domain;
    long code = 0;
    std::map<std::string, std::string> userInfo;

    // The description text; when there is none, a generic text of the domain
    // and code, as the platform's error objects give.
    std::string localizedDescription() const;
    std::string failureReason() const;
    std::string recoverySuggestion() const;

    bool is(const char* errorDomain, long errorCode) const { return domain == errorDomain && code == errorCode; }
};
