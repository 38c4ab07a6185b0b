#pragma once

#include "fiscal/EkasaDoklad.h"
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

    // What the reply says of the registration it answers: the one rule by
    // which a document's uncertain mark is cleared. Only a definite answer
    // settles it: this document's own record (its number, and not the
    // record the service showed before it was sent), the service's own
    // refusal (its error reply, a 4xx status), or proof that the request
    // never left (no connection made). Anything else leaves it uncertain,
    // as the service may hold it: a transport failure once sent, a
    // redirect, a 5xx, another 2xx, a 200 that cannot be read, that holds no
    // record or another document's. (Identifiers that another document
    // holds already are found by the write-back, which then refuses them:
    // the document stays uncertain as well.)
    enum class Registration { registered, refused, notSent, uncertain };
    struct Outcome {
        Registration registration = Registration::uncertain;
        // The reply's record: this document's when registered; another
        // document's when it holds one that is not this document's.
        std::optional<EkasaDoklad> record;
        // Why it is uncertain, as the print tells it ("" for another
        // document's record, which tells for itself).
        std::string why;
    };
    // `cdok`: the number of the document registered; `shownBefore`: the
    // service's last document before it was sent (EkasaDoklad::podpis).
    Outcome registration(const std::string& cdok, const std::string& shownBefore) const;

    // Where the reply failed, in the order above.
    enum class Failure { none, transport, status, noData, notJson, errorReply };
    Failure failure = Failure::none;
    int statusCode = 0;     // the HTTP status, 0 without an answer
    // A transport failure that proves the request never reached the service.
    bool neverSent = false;

    std::string error;      // "" when the reply passed
    std::string body;       // the reply's bytes
    nlohmann::json object;  // the reply's object when it passed
};
