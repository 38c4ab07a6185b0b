#pragma once

#include <httplib.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The HTTP print adapter on 127.0.0.1: takes POST "/print" and records the
// body's bytes and the header fields; answers with a settable status.
class FakePrintAdapter {
public:
    struct Job {
        std::string body;
        std::multimap<std::string, std::string> headers;
    };

    // On 127.0.0.1 at `port`, or at an ephemeral port when it is 0.
    explicit FakePrintAdapter(int port = 0);
    ~FakePrintAdapter();
    FakePrintAdapter(const FakePrintAdapter&) = delete;
    FakePrintAdapter& operator=(const FakePrintAdapter&) = delete;

    int port() const { return port_; }
    void setStatus(int status);
    std::vector<Job> jobs() const;

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    int status_ = 200;
    std::vector<Job> jobs_;
};
