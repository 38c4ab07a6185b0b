#include "platform/UrlSessionTask.h"

#include "platform/FileManager.h"
#include "platform/UrlLoader.h"
#include "platform/UrlSession.h"

namespace platform {

namespace {
std::atomic<uint64_t> nextTaskId{1};
}  // namespace

UrlSessionTask::UrlSessionTask(std::shared_ptr<UrlSession> session, Kind kind, UrlRequest request,
                               std::optional<std::string> uploadBody,
                               DataTaskCompletion dataCompletion,
                               DownloadTaskCompletion downloadCompletion,
                               std::optional<Error> preset)
    : id_(nextTaskId++),
      kind_(kind),
      request_(std::move(request)),
      uploadBody_(std::move(uploadBody)),
      dataCompletion_(std::move(dataCompletion)),
      downloadCompletion_(std::move(downloadCompletion)),
      preset_(std::move(preset)),
      session_(std::move(session)) {}

UrlSessionTask::~UrlSessionTask() = default;

UrlSessionTask::State UrlSessionTask::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::shared_ptr<HttpUrlResponse> UrlSessionTask::response() const {
    std::lock_guard lock(mutex_);
    return response_;
}

std::optional<Error> UrlSessionTask::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void UrlSessionTask::resume() {
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::suspended) return;
        state_ = State::running;
    }
    if (preset_) {
        finish(std::nullopt, nullptr, preset_, std::nullopt);
        return;
    }
    UrlLoader::instance().start(shared_from_this());
}

void UrlSessionTask::cancel() {
    bool wasRunning;
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::completed || state_ == State::canceling) return;
        wasRunning = state_ == State::running;
        state_ = State::canceling;
    }
    if (wasRunning && !preset_) {
        UrlLoader::instance().cancel(shared_from_this());
    } else {
        finish(std::nullopt, nullptr, Error("URLError", cancelled, "cancelled"), std::nullopt);
    }
}

void UrlSessionTask::finish(std::optional<std::string> data,
                            std::shared_ptr<HttpUrlResponse> response, std::optional<Error> error,
                            std::optional<std::string> downloadPath) {
    auto removeDownload = [](const std::string& path) {
        FileManager::removeItem(FileManager::deletingLastPathComponent(path));
    };
    if (finished_.exchange(true)) {
        if (downloadPath) removeDownload(*downloadPath);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        state_ = State::completed;
        response_ = response;
        error_ = error;
    }
    auto self = shared_from_this();
    auto session = session_;
    session->delegateQueue()->async([self, session, data = std::move(data), response, error,
                                     downloadPath, removeDownload] {
        auto delegate = session->delegate();
        if (self->kind_ == Kind::download) {
            std::optional<Url> location;
            if (downloadPath) location = Url::fileUrl(*downloadPath);
            // The downloaded file lives until the handler (or the delegate's
            // finish callback) returns, and is gone before the task is
            // reported complete.
            if (self->downloadCompletion_) {
                self->downloadCompletion_(location, response, error);
                if (downloadPath) removeDownload(*downloadPath);
            } else {
                if (delegate && location) delegate->didFinishDownloadingTo(*session, *self, *location);
                if (downloadPath) removeDownload(*downloadPath);
                if (delegate) delegate->didCompleteWithError(*session, *self, error);
            }
        } else if (self->dataCompletion_) {
            self->dataCompletion_(data, response, error);
        } else if (delegate) {
            delegate->didCompleteWithError(*session, *self, error);
        }
        // Completion handlers may hold what holds this task: let them go.
        self->dataCompletion_ = nullptr;
        self->downloadCompletion_ = nullptr;
        self->delivered_ = true;
        session->taskEnded();
    });
}

}  // namespace platform
