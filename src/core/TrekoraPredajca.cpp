#include "core/Trekora.h"

#include "core/CoreDb.h"
#include "platform/Error.h"
#include "platform/TextReader.h"

#include <atomic>

namespace {
std::atomic<long long> predajcaTimeoutMs{15000};
}

void Trekora::setPredajcaTimeout(std::chrono::milliseconds timeout) { predajcaTimeoutMs = timeout.count(); }

std::string Trekora::readPredajcaJson(const std::string& urlString) {
    coredb::traceStart("readPredajcaJson(urlString:)");
    std::string answer;
    platform::Error error;
    // The read has a time-out of its own: an unreachable server must not hold
    // the main thread for ever; on expiry the answer is the empty text.
    auto text = platform::TextReader::read(urlString, std::chrono::milliseconds(predajcaTimeoutMs.load()), &error);
    if (text) {
        answer = *text;
        coredb::trace(answer);
    } else {
        coredb::trace(error.localizedDescription());
    }
    coredb::trace(answer);
    return answer;
}
