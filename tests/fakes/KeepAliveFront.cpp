#include "fakes/KeepAliveFront.h"

#include "fakes/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

// Reads into `buffer` until it holds `marker`; answers its end, or npos when
// the connection ended first.
std::size_t readUntil(int fd, std::string& buffer, const std::string& marker) {
    for (;;) {
        const std::size_t at = buffer.find(marker);
        if (at != std::string::npos) return at + marker.size();
        char chunk[16384];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return std::string::npos;
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

bool readAtLeast(int fd, std::string& buffer, std::size_t size) {
    while (buffer.size() < size) {
        char chunk[16384];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
    return true;
}

bool sendAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool named(const std::string& line, const char* name) {
    const std::size_t length = std::char_traits<char>::length(name);
    return line.size() > length && line[length] == ':' && strncasecmp(line.c_str(), name, length) == 0;
}

// The header lines of a head (without its first line and the empty line),
// and the value of Content-Length among them (-1 when absent).
std::vector<std::string> headerLines(const std::string& head, long long* contentLength) {
    std::vector<std::string> lines;
    *contentLength = -1;
    std::size_t start = head.find("\r\n") + 2;
    for (;;) {
        const std::size_t end = head.find("\r\n", start);
        if (end == std::string::npos || end == start) break;
        std::string line = head.substr(start, end - start);
        if (named(line, "Content-Length")) *contentLength = std::atoll(line.c_str() + 15);
        lines.push_back(std::move(line));
        start = end + 2;
    }
    return lines;
}

}  // namespace

KeepAliveFront::KeepAliveFront(int peerPort) : peerPort_(peerPort) {
    std::uint16_t port = 0;
    listenFD_ = LoopbackListener::open(16, false, &port);
    if (listenFD_ < 0) return;
    port_ = port;
    acceptor_ = std::thread([this] { acceptLoop(); });
}

KeepAliveFront::~KeepAliveFront() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        // Wakes every blocked read: the acceptor's and those of the connections.
        for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
    }
    if (listenFD_ >= 0) ::shutdown(listenFD_, SHUT_RDWR);
    if (acceptor_.joinable()) acceptor_.join();
    {
        std::lock_guard lock(mutex_);
        threads.swap(connections_);
    }
    for (auto& thread : threads) thread.join();
    if (listenFD_ >= 0) ::close(listenFD_);
}

std::string KeepAliveFront::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void KeepAliveFront::resetOnce(std::function<bool(const Request&)> choose) {
    std::lock_guard lock(mutex_);
    choose_ = std::move(choose);
}

std::vector<KeepAliveFront::Request> KeepAliveFront::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int KeepAliveFront::track(int fd) {
    std::lock_guard lock(mutex_);
    if (stopping_) {
        ::close(fd);
        return -1;
    }
    open_.insert(fd);
    return fd;
}

void KeepAliveFront::forget(int fd) {
    std::lock_guard lock(mutex_);
    open_.erase(fd);
    ::close(fd);
}

void KeepAliveFront::acceptLoop() {
    for (int connection = 1;; ++connection) {
        const int fd = ::accept4(listenFD_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            continue;
        }
        if (track(fd) < 0) return;
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, fd, connection] { serve(fd, connection); });
    }
}

void KeepAliveFront::serve(int fd, int connection) {
    std::string pending;
    for (int onConnection = 1;; ++onConnection) {
        const std::size_t headEnd = readUntil(fd, pending, "\r\n\r\n");
        if (headEnd == std::string::npos) break;
        const std::string head = pending.substr(0, headEnd);
        long long length = 0;
        const auto lines = headerLines(head, &length);
        if (!readAtLeast(fd, pending, headEnd + static_cast<std::size_t>(std::max(length, 0LL)))) break;
        Request request;
        request.connection = connection;
        request.onConnection = onConnection;
        std::istringstream first(head.substr(0, head.find("\r\n")));
        first >> request.method >> request.path;
        request.body = pending.substr(headEnd, static_cast<std::size_t>(std::max(length, 0LL)));
        pending.erase(0, headEnd + request.body.size());

        // The peer gets the request as it came, on a connection of its own.
        std::string passed = head.substr(0, head.find("\r\n") + 2);
        for (const auto& line : lines)
            if (!named(line, "Connection")) passed += line + "\r\n";
        passed += "Connection: close\r\n\r\n";
        const std::string answer = passOn(passed, request.body);
        {
            std::lock_guard lock(mutex_);
            if (choose_ && choose_(request)) {
                choose_ = nullptr;
                request.reset = true;
            }
            requests_.push_back(request);
        }
        if (request.reset || answer.empty()) {
            linger hard{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            break;
        }

        // The peer's answer, kept alive: its own length, no "Connection".
        const std::size_t answerHeadEnd = answer.find("\r\n\r\n");
        if (answerHeadEnd == std::string::npos) break;
        const std::string answerHead = answer.substr(0, answerHeadEnd + 4);
        long long answerLength = 0;
        std::string returned = answerHead.substr(0, answerHead.find("\r\n") + 2);
        for (const auto& line : headerLines(answerHead, &answerLength))
            if (!named(line, "Connection") && !named(line, "Content-Length") && !named(line, "Keep-Alive"))
                returned += line + "\r\n";
        std::string body = answer.substr(answerHeadEnd + 4);
        if (answerLength >= 0 && body.size() > static_cast<std::size_t>(answerLength))
            body.resize(static_cast<std::size_t>(answerLength));
        returned += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        if (!sendAll(fd, returned)) break;
    }
    forget(fd);
}

std::string KeepAliveFront::passOn(const std::string& head, const std::string& body) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || track(fd) < 0) return {};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(peerPort_));
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && sendAll(fd, head + body)) {
        char chunk[16384];
        ssize_t n;
        while ((n = ::recv(fd, chunk, sizeof chunk, 0)) > 0) answer.append(chunk, static_cast<std::size_t>(n));
    }
    forget(fd);
    return answer;
}
