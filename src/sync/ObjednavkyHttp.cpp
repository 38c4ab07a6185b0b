#include "sync/ObjednavkyHttp.h"

#include "core/BackgroundJobs.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/Numbers.h"
#include "platform/Url.h"
#include "platform/UrlRequest.h"
#include "platform/UrlSession.h"
#include "platform/UrlSessionTask.h"

#include <atomic>
#include <utility>

using platform::Error;
using platform::UrlSession;
using platform::UrlSessionTask;

namespace {

std::atomic<double> overallDeadline{90.0};

// Replaces every character outside ASCII (one UTF-8 sequence) by "?".
std::string lossyAscii(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        std::size_t length = 1;
        if ((c & 0xE0) == 0xC0) length = 2;
        else if ((c & 0xF0) == 0xE0) length = 3;
        else if ((c & 0xF8) == 0xF0) length = 4;
        std::size_t taken = 1;
        while (taken < length && i + taken < text.size() &&
               (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80)
            ++taken;
        out += '?';
        i += taken;
    }
    return out;
}

}  // namespace

const char* const ObjednavkyHttp::timeoutText = "server neodpovedal včas";
const char* const ObjednavkyHttp::unreachableText = "spojenie zlyhalo: ";

bool ObjednavkyHttp::unreachable(const std::string& result) {
    const std::string failed = "chyba!,,";
    return result == failed + timeoutText || result.rfind(failed + unreachableText, 0) == 0;
}

void ObjednavkyHttp::setDeadline(double seconds) { overallDeadline.store(seconds > 0 ? seconds : 90.0); }

double ObjednavkyHttp::deadline() { return overallDeadline.load(); }

bool ObjednavkyHttp::await(platform::DispatchSemaphore& semaphore) { return semaphore.wait(deadline() + 5.0); }

std::string ObjednavkyHttp::bodyBytes(const std::string& body, Side side) {
    return side == Side::importSide ? lossyAscii(body) : body;
}

void ObjednavkyHttp::post(const std::string& address, const std::string& body, Side side, Completion completion) {
    platform::UrlSessionConfiguration configuration;
    configuration.timeoutIntervalForRequest = 60.0;
    configuration.timeoutIntervalForResource = deadline();
    auto session = UrlSession::make(configuration);

    // The completion works for the shared object: it holds a ticket of its
    // jobs, and ending the jobs cancels the request.
    auto job = sharedTrekora().jobs->begin();
    auto handler = [completion = std::move(completion), job](std::optional<std::string> data,
                                                             std::shared_ptr<platform::HttpUrlResponse> response,
                                                             std::optional<Error> error) {
        completion(Reply{std::move(data), std::move(response), std::move(error)});
    };

    auto url = platform::Url::parse(address);
    if (!url || address.empty()) {
        // The session's task for a text that is no URL ends with "bad URL".
        BackgroundJobs::resume(job,
                               session->dataTask(address.empty() ? std::string(" ") : address, std::move(handler)));
        session->finishTasksAndInvalidate();
        return;
    }
    platform::UrlRequest request(*url, 60.0, 0);
    request.httpMethod = "POST";
    const std::string bytes = bodyBytes(body, side);
    if (side == Side::importSide)
        request.setValue(platform::format("%lu", static_cast<unsigned long>(bytes.size())), "Content-Length");
    request.httpBody = bytes;
    BackgroundJobs::resume(job, session->dataTask(std::move(request), std::move(handler)));
    session->finishTasksAndInvalidate();
}

std::string ObjednavkyHttp::postAndWait(const std::string& address, const std::string& body, Side side,
                                        std::function<std::string(const Reply&)> judge) {
    auto semaphore = std::make_shared<platform::DispatchSemaphore>(0);
    auto result = std::make_shared<std::string>();
    post(address, body, side, [semaphore, result, judge = std::move(judge)](const Reply& reply) {
        *result = judge(reply);
        semaphore->signal();
    });
    if (!await(*semaphore)) return std::string("chyba!,,") + timeoutText;
    return *result;
}

std::optional<nlohmann::json> ObjednavkyHttp::replyObject(const std::string& operation, const Reply& reply,
                                                          std::string& failure) {
    using platform::Console;
    auto fail = [&](const std::string& reason, const std::string& line) -> std::optional<nlohmann::json> {
        Console::print(operation + line);
        failure = "chyba!,," + reason;
        return std::nullopt;
    };
    if (reply.error) {
        const std::string& text = reply.error->localizedDescription();
        return fail(unreachableText + text, ": " + text);
    }
    if (!reply.response) return fail("ziadna odpoved", ": ziadna odpoved");
    const int status = reply.response->statusCode();
    const std::string statusText = platform::HttpUrlResponse::localizedString(status);
    Console::print("statusCode: " + std::to_string(status));
    Console::print("statusMessage: " + statusText);
    if (status != 200) return fail(reply.response->statusDescription(), ": " + statusText);
    if (!reply.data) return fail("ziadne data!", ": ziadne data!");
    Console::print("jsonString:\n " + *reply.data);
    nlohmann::json object = nlohmann::json::parse(*reply.data, nullptr, false);
    if (object.is_discarded() || !object.is_object())
        return fail("odpoveď servera nie je JSON objekt", ": odpoveď nie je JSON objekt");
    Console::print(object.dump());
    return object;
}

bool ObjednavkyHttp::refused(const nlohmann::json& object, std::string& failure) {
    auto it = object.find("RESULT");
    if (it == object.end() || !it->is_string() || it->get<std::string>() == "OK") return false;
    failure = "chyba!,,server odmietol požiadavku (RESULT " + it->get<std::string>() + ")";
    return true;
}
