#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// An HTTP/1.1 front on 127.0.0.1 (an ephemeral port) before a fake peer on
// 127.0.0.1: it keeps its connections alive, takes request after request on
// each, passes every request on to the peer behind it and returns the peer's
// answer. The request a test chooses is passed on as well, so the peer acts
// on it, but its connection is then reset without an answer: a server that
// dies after storing.
//
// It reads requests whose body has a Content-Length (or none); the peer's
// answer is returned with its status line, its headers and a Content-Length.
class KeepAliveFront {
public:
    struct Request {
        int connection = 0;    // 1, 2, ... in the order the connections came
        int onConnection = 0;  // 1 for the first request on its connection
        std::string method;
        std::string path;
        std::string body;
        bool reset = false;    // answered by a reset of its connection
    };

    explicit KeepAliveFront(int peerPort);
    ~KeepAliveFront();
    KeepAliveFront(const KeepAliveFront&) = delete;
    KeepAliveFront& operator=(const KeepAliveFront&) = delete;

    bool ok() const { return port_ != 0; }
    int port() const { return port_; }
    // http://127.0.0.1:port followed by `path`.
    std::string url(const std::string& path = "") const;

    // The first request from now on that `choose` picks is passed on, then
    // its connection is reset (SO_LINGER 0) instead of answered.
    void resetOnce(std::function<bool(const Request&)> choose);
    std::vector<Request> requests() const;

private:
    void acceptLoop();
    void serve(int fd, int connection);
    // The peer's whole answer to one request, "" when it gave none.
    std::string passOn(const std::string& head, const std::string& body);
    int track(int fd);
    void forget(int fd);

    int peerPort_;
    int port_ = 0;
    int listenFD_ = -1;
    std::thread acceptor_;
    mutable std::mutex mutex_;
    bool stopping_ = false;
    std::set<int> open_;
    std::vector<std::thread> connections_;
    std::vector<Request> requests_;
    std::function<bool(const Request&)> choose_;
};
