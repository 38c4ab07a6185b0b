#pragma once

#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DispatchQueue.h"
#include "platform/UrlSessionConfiguration.h"
#include "platform/UrlSessionDelegate.h"
#include "platform/UrlSessionTask.h"

namespace platform {

// URL loading over libcurl: data tasks (any method, header fields, body),
// upload tasks (body from memory) and download tasks (to a temporary file).
// Transfers run on one loader thread; every callback and completion runs on
// the session's delegate queue (a serial queue of its own unless given).
// The session keeps its delegate until invalidated.
class UrlSession : public std::enable_shared_from_this<UrlSession> {
public:
    static std::shared_ptr<UrlSession> shared();
    static std::shared_ptr<UrlSession> make(
        UrlSessionConfiguration configuration = UrlSessionConfiguration::defaultConfiguration(),
        std::shared_ptr<UrlSessionDelegate> delegate = nullptr,
        DispatchQueuePtr delegateQueue = nullptr);

    UrlSessionTaskPtr dataTask(UrlRequest request, DataTaskCompletion completion = nullptr);
    // From an address text; a text that is no valid URL gives a task that
    // ends with the error "bad URL" once resumed.
    UrlSessionTaskPtr dataTask(const std::string& address, DataTaskCompletion completion = nullptr);
    UrlSessionTaskPtr uploadTask(UrlRequest request, std::string body,
                                 DataTaskCompletion completion = nullptr);
    UrlSessionTaskPtr downloadTask(UrlRequest request, DownloadTaskCompletion completion = nullptr);

    // Cancels running tasks and drops the delegate.
    void invalidateAndCancel();
    // Drops the delegate once the running tasks have ended.
    void finishTasksAndInvalidate();

    const UrlSessionConfiguration& configuration() const { return configuration_; }
    const DispatchQueuePtr& delegateQueue() const { return delegateQueue_; }
    std::shared_ptr<UrlSessionDelegate> delegate() const;

    // Process-wide ceiling on every time-out (tests use short ones so that
    // nobody waits a minute for a silent peer); absent removes it.
    static void setMaximumTimeout(std::optional<double> seconds);
    static std::optional<double> maximumTimeout();

    // Certificates (PEM) trusted for https beside the system's authorities,
    // process-wide, as a device trusts an installed certificate. Server
    // certificates are always verified, host name included.
    static void addTrustedCertificate(const std::string& pem);
    static void removeTrustedCertificates();
    static std::vector<std::string> trustedCertificates();

private:
    friend class UrlSessionTask;
    friend class UrlLoader;
    UrlSession(UrlSessionConfiguration configuration, std::shared_ptr<UrlSessionDelegate> delegate,
               DispatchQueuePtr delegateQueue);
    void taskEnded();

    UrlSessionConfiguration configuration_;
    DispatchQueuePtr delegateQueue_;
    mutable std::mutex mutex_;
    std::shared_ptr<UrlSessionDelegate> delegate_;
    std::vector<std::weak_ptr<UrlSessionTask>> tasks_;
    bool invalidateWhenDone_ = false;
    bool invalidated_ = false;
};

using UrlSessionPtr = std::shared_ptr<UrlSession>;

}  // namespace platform
