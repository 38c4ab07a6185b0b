#pragma once

// The work that runs for the shared object away from the main thread: the
// jobs of the connection screen, their transfers, the update check, the
// order runs. Each piece holds a ticket while it runs, and a transfer's
// completion holds one until it has run. The owner ends them before it goes,
// so that no piece touches it afterwards:
//   - no ticket is given out once the end has begun (a piece that would
//     start then does not start),
//   - the cancel actions of the pieces still out run (a transfer is
//     cancelled, so that its completion comes at once), and pieces see that
//     they are to stop at their next step,
//   - the owner waits for every ticket to come back, at most for a bound.
// A ticket keeps this object alive, not the owner.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/UrlSessionTask.h"

class BackgroundJobs : public std::enable_shared_from_this<BackgroundJobs> {
public:
    class Ticket;
    using TicketPtr = std::shared_ptr<Ticket>;

    static std::shared_ptr<BackgroundJobs> make();

    // A ticket for a piece of work that starts now; none once the end has
    // begun.
    TicketPtr begin();
    // True once the end has begun.
    bool ending() const;
    // Begins the end (the first call) and waits at most `bound` for the
    // tickets still out; true when every one came back.
    bool end(std::chrono::milliseconds bound);
    // The tickets out now.
    std::size_t running() const;

    // Runs `work` on the main queue unless the end has begun by then: once
    // the owner is going, nothing of the jobs reaches it any more.
    void onMain(std::function<void()> work);

    // Resumes a transfer made for the work of `job`: ending the jobs cancels
    // it. Without a ticket (the jobs have ended) it is cancelled instead, and
    // so ends at once with its "cancelled" error.
    static void resume(const TicketPtr& job, const platform::UrlSessionTaskPtr& task);

private:
    BackgroundJobs() = default;

    mutable std::mutex mutex_;
    std::condition_variable returned_;
    bool ending_ = false;
    std::vector<Ticket*> out_;
};

class BackgroundJobs::Ticket {
public:
    ~Ticket();
    Ticket(const Ticket&) = delete;
    Ticket& operator=(const Ticket&) = delete;

    // True once the owner is ending its work: stop at the next step.
    bool cancelled() const { return jobs_->ending(); }
    // `action` runs once when the end begins while this ticket is out, at
    // once when it has begun already. It must not wait for the work.
    void onCancel(std::function<void()> action);

private:
    friend class BackgroundJobs;
    explicit Ticket(std::shared_ptr<BackgroundJobs> jobs) : jobs_(std::move(jobs)) {}

    std::shared_ptr<BackgroundJobs> jobs_;
    std::vector<std::function<void()>> cancelActions_;  // under the jobs' lock
};
