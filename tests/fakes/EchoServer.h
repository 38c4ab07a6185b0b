#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// A plain TCP echo server on 127.0.0.1: one thread serves every connection
// with poll, sending back whatever arrives; a connection closes when its
// peer closes.
class EchoServer {
public:
    EchoServer();
    ~EchoServer();
    EchoServer(const EchoServer&) = delete;
    EchoServer& operator=(const EchoServer&) = delete;

    std::uint16_t port() const { return port_; }
    int openConnections() const { return open_.load(); }

private:
    void serve();

    int listenFD_ = -1;
    int stopFD_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<int> open_{0};
    std::thread thread_;
};
