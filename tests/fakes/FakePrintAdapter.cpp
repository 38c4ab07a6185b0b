#include "fakes/FakePrintAdapter.h"
#include "fakes/LoopbackListener.h"

#include <chrono>

FakePrintAdapter::FakePrintAdapter(int port) {
    server_.set_keep_alive_max_count(1);
    server_.Post("/print", [this](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex_);
        Job job{req.body, {}};
        for (const auto& [name, value] : req.headers) job.headers.emplace(name, value);
        jobs_.push_back(std::move(job));
        res.status = status_;
        res.set_content("printed", "text/plain");
    });
    server_.set_socket_options(LoopbackListener::ownPort);
    if (port == 0) port_ = server_.bind_to_any_port("127.0.0.1");
    else port_ = server_.bind_to_port("127.0.0.1", port) ? port : -1;
    if (port_ <= 0) return;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakePrintAdapter::~FakePrintAdapter() {
    server_.stop();
    if (thread_.joinable()) thread_.join();
}

void FakePrintAdapter::setStatus(int status) {
    std::lock_guard lock(mutex_);
    status_ = status;
}

std::vector<FakePrintAdapter::Job> FakePrintAdapter::jobs() const {
    std::lock_guard lock(mutex_);
    return jobs_;
}
