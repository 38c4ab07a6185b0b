#include "core/BackgroundJobs.h"

#include "platform/DispatchQueue.h"

#include <algorithm>

std::shared_ptr<BackgroundJobs> BackgroundJobs::make() {
    return std::shared_ptr<BackgroundJobs>(new BackgroundJobs());
}

BackgroundJobs::TicketPtr BackgroundJobs::begin() {
    std::lock_guard lock(mutex_);
    if (ending_) return nullptr;
    TicketPtr ticket(new Ticket(shared_from_this()));
    out_.push_back(ticket.get());
    return ticket;
}

bool BackgroundJobs::ending() const {
    std::lock_guard lock(mutex_);
    return ending_;
}

std::size_t BackgroundJobs::running() const {
    std::lock_guard lock(mutex_);
    return out_.size();
}

void BackgroundJobs::onMain(std::function<void()> work) {
    platform::DispatchQueue::main()->async([jobs = weak_from_this(), work = std::move(work)] {
        auto running = jobs.lock();
        if (running && !running->ending()) work();
    });
}

void BackgroundJobs::resume(const TicketPtr& job, const platform::UrlSessionTaskPtr& task) {
    if (!job) return task->cancel();
    job->onCancel([weak = std::weak_ptr<platform::UrlSessionTask>(task)] {
        if (auto t = weak.lock()) t->cancel();
    });
    task->resume();
}

bool BackgroundJobs::end(std::chrono::milliseconds bound) {
    std::vector<std::function<void()>> actions;
    {
        std::lock_guard lock(mutex_);
        if (!ending_) {
            ending_ = true;
            for (Ticket* ticket : out_) {
                for (auto& action : ticket->cancelActions_) actions.push_back(std::move(action));
                ticket->cancelActions_.clear();
            }
        }
    }
    // Outside the lock: an action may end its work, and so return a ticket,
    // at once.
    for (auto& action : actions) action();
    std::unique_lock lock(mutex_);
    return returned_.wait_for(lock, bound, [this] { return out_.empty(); });
}

BackgroundJobs::Ticket::~Ticket() {
    std::lock_guard lock(jobs_->mutex_);
    auto& out = jobs_->out_;
    out.erase(std::remove(out.begin(), out.end(), this), out.end());
    jobs_->returned_.notify_all();
}

void BackgroundJobs::Ticket::onCancel(std::function<void()> action) {
    {
        std::lock_guard lock(jobs_->mutex_);
        if (!jobs_->ending_) {
            cancelActions_.push_back(std::move(action));
            return;
        }
    }
    action();
}
