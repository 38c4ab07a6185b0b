#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Error.h"
#include "platform/HttpUrlResponse.h"
#include "platform/UrlRequest.h"

namespace platform {

class UrlSession;

// Completion of a data or upload task: the body (absent on error), the
// response (absent when no answer came) and the error (absent on success;
// an HTTP error status is an answer, not an error).
using DataTaskCompletion = std::function<void(std::optional<std::string> data,
                                              std::shared_ptr<HttpUrlResponse> response,
                                              std::optional<Error> error)>;
// Completion of a download task: the temporary file (removed when the
// handler returns), the response and the error.
using DownloadTaskCompletion = std::function<void(std::optional<Url> location,
                                                  std::shared_ptr<HttpUrlResponse> response,
                                                  std::optional<Error> error)>;

// One transfer of a URL session. Made suspended; `resume()` starts it. It
// ends exactly once: success, error (bad or unsupported address, refused,
// time-out, lost connection) or cancellation, reported on the session's
// delegate queue.
class UrlSessionTask : public std::enable_shared_from_this<UrlSessionTask> {
public:
    enum class Kind { data, upload, download };
    enum class State { running = 0, suspended = 1, canceling = 2, completed = 3 };

    // Error codes (domain "URLError").
    static constexpr int64_t cancelled = -999;
    static constexpr int64_t badUrl = -1000;
    static constexpr int64_t timedOut = -1001;
    static constexpr int64_t unsupportedUrl = -1002;
    static constexpr int64_t cannotFindHost = -1003;
    static constexpr int64_t cannotConnectToHost = -1004;
    static constexpr int64_t networkConnectionLost = -1005;
    // An answer came, but not one of HTTP (no status line of its own).
    static constexpr int64_t badServerResponse = -1011;
    static constexpr int64_t secureConnectionFailed = -1200;
    // A download could not be written to its file here.
    static constexpr int64_t cannotWriteDownload = -3000;

    ~UrlSessionTask();

    uint64_t taskIdentifier() const { return id_; }
    Kind kind() const { return kind_; }
    State state() const;
    const UrlRequest& originalRequest() const { return request_; }
    std::shared_ptr<HttpUrlResponse> response() const;
    std::optional<Error> error() const;

    void resume();
    void cancel();

    // Used by the loader: the bytes of an upload task, and the end of the
    // task, reported on the delegate queue (only the first call counts).
    // A download's temporary file lives in a folder of its own, removed with it.
    const std::optional<std::string>& uploadBody() const { return uploadBody_; }
    void finish(std::optional<std::string> data, std::shared_ptr<HttpUrlResponse> response,
                std::optional<Error> error, std::optional<std::string> downloadPath);

private:
    friend class UrlSession;
    friend class UrlLoader;
    UrlSessionTask(std::shared_ptr<UrlSession> session, Kind kind, UrlRequest request,
                   std::optional<std::string> uploadBody, DataTaskCompletion dataCompletion,
                   DownloadTaskCompletion downloadCompletion, std::optional<Error> preset);

    uint64_t id_;
    Kind kind_;
    UrlRequest request_;
    std::optional<std::string> uploadBody_;
    DataTaskCompletion dataCompletion_;
    DownloadTaskCompletion downloadCompletion_;
    std::optional<Error> preset_;  // an address that cannot be loaded at all
    std::shared_ptr<UrlSession> session_;

    mutable std::mutex mutex_;
    State state_ = State::suspended;
    std::atomic<bool> finished_{false};
    std::atomic<bool> delivered_{false};  // the end has been reported
    std::shared_ptr<HttpUrlResponse> response_;
    std::optional<Error> error_;
};

using UrlSessionTaskPtr = std::shared_ptr<UrlSessionTask>;

}  // namespace platform
