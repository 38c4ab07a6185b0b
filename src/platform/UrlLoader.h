#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

class UrlSessionTask;

// The one thread that runs every URL transfer (a libcurl multi handle),
// watches their idle and total time-outs and hands their ends back to the
// tasks.
class UrlLoader {
public:
    static UrlLoader& instance();
    ~UrlLoader();

    void start(std::shared_ptr<UrlSessionTask> task);
    void cancel(std::shared_ptr<UrlSessionTask> task);

private:
    UrlLoader();
    void run();

    std::mutex mutex_;
    std::vector<std::shared_ptr<UrlSessionTask>> toStart_;
    std::vector<std::shared_ptr<UrlSessionTask>> toCancel_;
    bool stopping_ = false;
    void* multi_ = nullptr;
    std::thread thread_;
};

}  // namespace platform
