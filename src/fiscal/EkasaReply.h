#pragma once

#include "platform/Error.h"
#include "platform/HttpUrlResponse.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>

// The judgement of one reply of the fiscal service, in the order the service
// is read: the transport, the HTTP status, the body, the JSON object and
// its "error" member. What passes is a JSON object.
class EkasaReply {
public:
    // The error texts of one kind of request; each failure text is its
    // prefix followed by the detail (the error's description, the status's
    // phrase, the service's error text).
    struct Texts {
        std::string transport;  // + the error's description
        std::string status;     // + the phrase of the HTTP status
        std::string noData;     // the whole text
        std::string notJson;    // the whole text
        std::string error;      // + the reply's "error" text
    };
    // The texts of the main request of a print job.
    static Texts requestTexts();
    // The texts of the preliminary print check and duplicate check.
    static Texts zapisZnakTexts();
    static Texts overDokladTexts();

    static EkasaReply judge(const std::optional<std::string>& data,
                            const std::shared_ptr<platform::HttpUrlResponse>& response,
                            const std::optional<platform::Error>& error, const Texts& texts);

    bool ok() const { return error.empty(); }

    // Where the reply failed, in the order above.
    enum class Failure { none, transport, status, noData, notJson, errorReply };
    Failure failure = Failure::none;
    int statusCode = 0;     // the HTTP status, 0 without an answer

    std::string error;      // "" when the reply passed
    std::string body;       // the reply's bytes
    nlohmann::json object;  // the reply's object when it passed
};
