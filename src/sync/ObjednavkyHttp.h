#pragma once

#include "platform/DispatchSemaphore.h"
#include "platform/Error.h"
#include "platform/HttpUrlResponse.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>

// The HTTP leg of the order exchange and of the stock transfer: one POST of
// "request=" and a JSON text to an address taken whole from the settings.
// Every request has an idle time-out of 60 seconds and an overall deadline;
// its completion runs exactly once, on the session's own queue (never the
// main queue), also for an address that cannot be used.
class ObjednavkyHttp {
public:
    // How the body travels: the export side (and the stock transfer) sends
    // UTF-8 and sets no header of its own; the import side sends ASCII (a
    // character outside it becomes "?") with its own "Content-Length".
    enum class Side { exportSide, importSide };

    struct Reply {
        std::optional<std::string> data;
        std::shared_ptr<platform::HttpUrlResponse> response;
        std::optional<platform::Error> error;
    };
    using Completion = std::function<void(const Reply&)>;

    // Starts the POST; returns at once.
    static void post(const std::string& address, const std::string& body, Side side, Completion completion);
    // Posts and waits (see await) for the completion; the result is what
    // `judge` makes of the reply, or "chyba!,," and timeoutText when the wait
    // ran out. `judge` runs on the session's queue, possibly after a wait
    // that ran out: what it captures must outlive the call.
    static std::string postAndWait(const std::string& address, const std::string& body, Side side,
                                   std::function<std::string(const Reply&)> judge);

    // The common reading of a reply: a transport error, a status other than
    // 200, no body, or a body that is not one JSON object end it with the
    // console line "<operation>: <reason>" and `failure` set to
    // "chyba!,,<reason>"; otherwise the object. The "statusCode: " and
    // "statusMessage: " lines and the body text go to the console too.
    static std::optional<nlohmann::json> replyObject(const std::string& operation, const Reply& reply,
                                                     std::string& failure);
    // A reply object whose "RESULT" is a text other than "OK" is a refusal:
    // `failure` is set.
    static bool refused(const nlohmann::json& object, std::string& failure);

    // The body bytes as they go on the wire for a side.
    static std::string bodyBytes(const std::string& body, Side side);

    // The overall deadline of a request in seconds (90 unless set; tests
    // shorten it).
    static void setDeadline(double seconds);
    static double deadline();

    // Waits for a completion's signal: at most the deadline and a grace of
    // five seconds, a backstop that the request's own deadline never reaches.
    // False when the wait ran out.
    static bool await(platform::DispatchSemaphore& semaphore);

    // "chyba!,,..." text of a request that could not be answered in time.
    static const char* const timeoutText;
    // The reason of a request that never reached the office or got no answer
    // (a transport error) begins with this text.
    static const char* const unreachableText;
    // True for a result of a request that the office did not answer at all:
    // a transport error or a wait that ran out.
    static bool unreachable(const std::string& result);
};
