#include "fakes/FakePrinter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

FakePrinter::FakePrinter(std::string greeting, Mode mode, std::uint16_t port)
    : greeting_(std::move(greeting)), mode_(mode) {
    listenFD_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFD_ < 0) return;
    int on = 1;
    setsockopt(listenFD_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (mode_ == Mode::stopReading || mode_ == Mode::closeMidway || mode_ == Mode::halfCloseMidway ||
        mode_ == Mode::closeSideEarly) {
        // A small window, so that a client's writes stall soon.
        int small = 4096;
        setsockopt(listenFD_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    if (::bind(listenFD_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listenFD_, 8) != 0) {
        ::close(listenFD_);
        listenFD_ = -1;
        return;
    }
    socklen_t len = sizeof a;
    getsockname(listenFD_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    if (mode_ == Mode::refuse) {
        // The port was free a moment ago and nothing listens on it now.
        ::close(listenFD_);
        listenFD_ = -1;
        return;
    }
    if (::pipe2(wakeFD_, O_CLOEXEC) != 0) return;
    thread_ = std::thread([this] { serve(); });
}

FakePrinter::~FakePrinter() {
    if (wakeFD_[1] >= 0) {
        char c = 'x';
        [[maybe_unused]] auto n = ::write(wakeFD_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
    if (listenFD_ >= 0) ::close(listenFD_);
    for (int fd : wakeFD_)
        if (fd >= 0) ::close(fd);
}

std::string FakePrinter::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

bool FakePrinter::waitForClose(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return closed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return closedCount_ > 0; });
}

void FakePrinter::serve() {
    for (;;) {
        pollfd p[2] = {{listenFD_, POLLIN, 0}, {wakeFD_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) continue;
        if (p[1].revents) return;
        if (!(p[0].revents & POLLIN)) continue;
        int fd = ::accept4(listenFD_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++connections_;
        handle(fd);
        ::close(fd);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++closedCount_;
        }
        closed_.notify_all();
    }
}

void FakePrinter::handle(int fd) {
    std::string greeting = greeting_;
    if (mode_ == Mode::silent) greeting.clear();
    if (mode_ == Mode::shortGreeting) greeting = greeting.substr(0, greeting.size() / 2);
    if (!greeting.empty()) ::send(fd, greeting.data(), greeting.size(), MSG_NOSIGNAL);
    std::size_t total = 0;
    bool sideClosed = false;
    if (mode_ == Mode::closeSideEarly && closeAfterBytes_ == 0) sideClosed = ::shutdown(fd, SHUT_WR) == 0;
    char buffer[65536];
    for (;;) {
        pollfd p[2] = {{fd, static_cast<short>(mode_ == Mode::stopReading ? 0 : POLLIN), 0},
                       {wakeFD_[0], POLLIN, 0}};
        // Once bytes have come, a quiet pause ends the document.
        const int wait = mode_ == Mode::closeWhenDone && total > 0 ? closePauseMs_ : -1;
        const int ready = ::poll(p, 2, wait);
        if (ready < 0) continue;
        if (ready == 0) return;
        if (p[1].revents) return;
        if (!(p[0].revents & POLLIN)) {
            if (p[0].revents & (POLLHUP | POLLERR)) return;
            continue;
        }
        std::size_t want = sizeof buffer;
        const bool midway = mode_ == Mode::closeMidway || mode_ == Mode::halfCloseMidway ||
                            (mode_ == Mode::closeSideEarly && !sideClosed);
        if (midway) want = std::min(want, closeAfterBytes_ - total);
        ssize_t n = ::recv(fd, buffer, want, 0);
        if (n <= 0) return;
        total += static_cast<std::size_t>(n);
        std::string chunk(buffer, static_cast<std::size_t>(n));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            received_ += chunk;
        }
        if (onBytes_) onBytes_(chunk);
        if (mode_ == Mode::closeSideEarly && !sideClosed && total >= closeAfterBytes_)
            sideClosed = ::shutdown(fd, SHUT_WR) == 0;
        if (mode_ == Mode::halfCloseMidway && total >= closeAfterBytes_) {
            // Its side closed in order, the client's bytes still unread.
            ::shutdown(fd, SHUT_WR);
            std::this_thread::sleep_for(std::chrono::milliseconds(closePauseMs_));
            return;
        }
        if (mode_ == Mode::closeMidway && total >= closeAfterBytes_) {
            // Close hard, with the client's remaining bytes unread.
            if (closePauseMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(closePauseMs_));
            linger l{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
            return;
        }
    }
}
