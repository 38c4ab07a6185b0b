#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Error.h"
#include "platform/Url.h"

namespace platform {

class UrlSession;
class UrlSessionTask;

// Callbacks of a URL session, all on the session's delegate queue. Tasks
// made with a completion handler get the progress callbacks only; their end
// goes to the handler. Override what you need.
class UrlSessionDelegate {
public:
    virtual ~UrlSessionDelegate() = default;

    virtual void didSendBodyData(UrlSession&, UrlSessionTask&, int64_t /*bytesSent*/,
                                 int64_t /*totalBytesSent*/,
                                 int64_t /*totalBytesExpectedToSend*/) {}
    // totalBytesExpectedToWrite is -1 when the size is unknown.
    virtual void didWriteData(UrlSession&, UrlSessionTask&, int64_t /*bytesWritten*/,
                              int64_t /*totalBytesWritten*/,
                              int64_t /*totalBytesExpectedToWrite*/) {}
    // The file at `location` is removed when this returns.
    virtual void didFinishDownloadingTo(UrlSession&, UrlSessionTask&, const Url& /*location*/) {}
    virtual void didCompleteWithError(UrlSession&, UrlSessionTask&,
                                      const std::optional<Error>& /*error*/) {}
};

}  // namespace platform
