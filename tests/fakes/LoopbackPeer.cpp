#include "fakes/LoopbackPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

namespace {

bool waitReadable(int fd, int timeoutMs) {
    pollfd p{};
    p.fd = fd;
    p.events = POLLIN;
    return poll(&p, 1, timeoutMs) > 0;
}

} // namespace

LoopbackPeer::LoopbackPeer(bool ipv6, int backlog, std::uint16_t port) {
    listenFD_ = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFD_ < 0)
        return;
    int on = 1;
    setsockopt(listenFD_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    int rc;
    if (ipv6) {
        sockaddr_in6 a{};
        a.sin6_family = AF_INET6;
        a.sin6_addr = in6addr_loopback;
        a.sin6_port = htons(port);
        rc = ::bind(listenFD_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    } else {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        rc = ::bind(listenFD_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    if (rc != 0 || ::listen(listenFD_, backlog) != 0) {
        ::close(listenFD_);
        listenFD_ = -1;
        return;
    }
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    getsockname(listenFD_, reinterpret_cast<sockaddr*>(&ss), &len);
    port_ = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port
                       : reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
}

LoopbackPeer::~LoopbackPeer() {
    closeConnection();
    if (listenFD_ >= 0)
        ::close(listenFD_);
}

bool LoopbackPeer::accept(int timeoutMs) {
    if (!waitReadable(listenFD_, timeoutMs))
        return false;
    closeConnection();
    connFD_ = ::accept4(listenFD_, nullptr, nullptr, SOCK_CLOEXEC);
    return connFD_ >= 0;
}

bool LoopbackPeer::send(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(connFD_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool LoopbackPeer::send(const std::string& text) { return send(std::vector<std::uint8_t>(text.begin(), text.end())); }

std::vector<std::uint8_t> LoopbackPeer::receive(std::size_t n, int timeoutMs) {
    std::vector<std::uint8_t> out;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::uint8_t> buf(65536);
    while (out.size() < n) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !waitReadable(connFD_, static_cast<int>(left.count())))
            break;
        ssize_t got = ::recv(connFD_, buf.data(), std::min(buf.size(), n - out.size()), 0);
        if (got <= 0)
            break;
        out.insert(out.end(), buf.begin(), buf.begin() + got);
    }
    return out;
}

std::vector<std::uint8_t> LoopbackPeer::receiveAll(int timeoutMs) {
    std::vector<std::uint8_t> out;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::uint8_t> buf(65536);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !waitReadable(connFD_, static_cast<int>(left.count())))
            break;
        ssize_t got = ::recv(connFD_, buf.data(), buf.size(), 0);
        if (got <= 0)
            break;
        out.insert(out.end(), buf.begin(), buf.begin() + got);
    }
    return out;
}

bool LoopbackPeer::waitForClose(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !waitReadable(connFD_, static_cast<int>(left.count())))
            return false;
        ssize_t got = ::recv(connFD_, buf, sizeof buf, 0);
        if (got <= 0)
            return true;
    }
}

void LoopbackPeer::closeConnection() {
    if (connFD_ >= 0) {
        ::close(connFD_);
        connFD_ = -1;
    }
}

void LoopbackPeer::setReceiveBuffer(int bytes) { setsockopt(connFD_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes); }

bool LoopbackPeer::ipv6Available() {
    LoopbackPeer probe(true);
    return probe.ok();
}

int openDescriptorCount() {
    int n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        ++n;
    return n;
}
