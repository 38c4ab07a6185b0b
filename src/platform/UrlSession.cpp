#include "platform/UrlSession.h"

#include <algorithm>

namespace platform {

namespace {
std::mutex capMutex;
std::optional<double> timeoutCap;
}  // namespace

UrlSession::UrlSession(UrlSessionConfiguration configuration,
                       std::shared_ptr<UrlSessionDelegate> delegate, DispatchQueuePtr delegateQueue)
    : configuration_(configuration),
      delegateQueue_(delegateQueue ? std::move(delegateQueue)
                                   : DispatchQueue::createSerial("UrlSession.delegate")),
      delegate_(std::move(delegate)) {}

std::shared_ptr<UrlSession> UrlSession::shared() {
    static std::shared_ptr<UrlSession> session = make();
    return session;
}

std::shared_ptr<UrlSession> UrlSession::make(UrlSessionConfiguration configuration,
                                             std::shared_ptr<UrlSessionDelegate> delegate,
                                             DispatchQueuePtr delegateQueue) {
    return std::shared_ptr<UrlSession>(
        new UrlSession(configuration, std::move(delegate), std::move(delegateQueue)));
}

std::shared_ptr<UrlSessionDelegate> UrlSession::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_;
}

namespace {
UrlSessionTaskPtr makeTask(std::vector<std::weak_ptr<UrlSessionTask>>& tasks,
                           UrlSessionTask* raw) {
    UrlSessionTaskPtr task(raw);
    tasks.erase(std::remove_if(tasks.begin(), tasks.end(),
                               [](const auto& w) { return w.expired(); }),
                tasks.end());
    tasks.push_back(task);
    return task;
}
}  // namespace

UrlSessionTaskPtr UrlSession::dataTask(UrlRequest request, DataTaskCompletion completion) {
    std::lock_guard lock(mutex_);
    std::optional<Error> preset;
    if (invalidated_) preset = Error("URLError", UrlSessionTask::cancelled, "cancelled");
    return makeTask(tasks_, new UrlSessionTask(shared_from_this(), UrlSessionTask::Kind::data,
                                               std::move(request), std::nullopt,
                                               std::move(completion), nullptr, preset));
}

UrlSessionTaskPtr UrlSession::dataTask(const std::string& address, DataTaskCompletion completion) {
    auto url = Url::parse(address);
    if (url) return dataTask(UrlRequest(*url), std::move(completion));
    std::lock_guard lock(mutex_);
    auto placeholder = Url::parse("about:blank");
    return makeTask(tasks_, new UrlSessionTask(shared_from_this(), UrlSessionTask::Kind::data,
                                               UrlRequest(*placeholder), std::nullopt,
                                               std::move(completion), nullptr,
                                               Error("URLError", UrlSessionTask::badUrl, "bad URL")));
}

UrlSessionTaskPtr UrlSession::uploadTask(UrlRequest request, std::string body,
                                         DataTaskCompletion completion) {
    std::lock_guard lock(mutex_);
    std::optional<Error> preset;
    if (invalidated_) preset = Error("URLError", UrlSessionTask::cancelled, "cancelled");
    return makeTask(tasks_, new UrlSessionTask(shared_from_this(), UrlSessionTask::Kind::upload,
                                               std::move(request), std::move(body),
                                               std::move(completion), nullptr, preset));
}

UrlSessionTaskPtr UrlSession::downloadTask(UrlRequest request, DownloadTaskCompletion completion) {
    std::lock_guard lock(mutex_);
    std::optional<Error> preset;
    if (invalidated_) preset = Error("URLError", UrlSessionTask::cancelled, "cancelled");
    return makeTask(tasks_, new UrlSessionTask(shared_from_this(), UrlSessionTask::Kind::download,
                                               std::move(request), std::nullopt, nullptr,
                                               std::move(completion), preset));
}

void UrlSession::invalidateAndCancel() {
    std::vector<UrlSessionTaskPtr> alive;
    {
        std::lock_guard lock(mutex_);
        invalidated_ = true;
        invalidateWhenDone_ = true;
        for (auto& w : tasks_)
            if (auto t = w.lock()) alive.push_back(t);
    }
    for (auto& t : alive) t->cancel();
    taskEnded();
}

void UrlSession::finishTasksAndInvalidate() {
    {
        std::lock_guard lock(mutex_);
        invalidated_ = true;
        invalidateWhenDone_ = true;
    }
    taskEnded();
}

void UrlSession::taskEnded() {
    std::lock_guard lock(mutex_);
    tasks_.erase(std::remove_if(tasks_.begin(), tasks_.end(),
                                [](const auto& w) {
                                    auto t = w.lock();
                                    return !t || t->delivered_;
                                }),
                 tasks_.end());
    if (invalidateWhenDone_ && tasks_.empty()) delegate_.reset();
}

void UrlSession::setMaximumTimeout(std::optional<double> seconds) {
    std::lock_guard lock(capMutex);
    timeoutCap = seconds;
}

std::optional<double> UrlSession::maximumTimeout() {
    std::lock_guard lock(capMutex);
    return timeoutCap;
}

namespace {
std::mutex trustMutex;
std::vector<std::string> trusted;
}  // namespace

void UrlSession::addTrustedCertificate(const std::string& pem) {
    std::lock_guard lock(trustMutex);
    trusted.push_back(pem);
}

void UrlSession::removeTrustedCertificates() {
    std::lock_guard lock(trustMutex);
    trusted.clear();
}

std::vector<std::string> UrlSession::trustedCertificates() {
    std::lock_guard lock(trustMutex);
    return trusted;
}

}  // namespace platform
