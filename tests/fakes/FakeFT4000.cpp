#include "fakes/FakeFT4000.h"
#include "fakes/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

FakeFT4000::FakeFT4000(std::string greeting) : greeting_(std::move(greeting)) {
    listenFD_ = LoopbackListener::open(16, false, &port_);
    stopFD_ = eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { serve(); });
}

FakeFT4000::~FakeFT4000() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(stopFD_, &one, sizeof one);
    thread_.join();
    ::close(listenFD_);
    ::close(stopFD_);
}

void FakeFT4000::setStatus(unsigned char byte2, unsigned char byte3) {
    std::lock_guard lock(mutex_);
    byte2_ = byte2;
    byte3_ = byte3;
}

void FakeFT4000::setBusyAfterFirst(int count) {
    std::lock_guard lock(mutex_);
    busyAfterFirst_ = count;
}

void FakeFT4000::closeAtStatusRequest(int n) {
    std::lock_guard lock(mutex_);
    closeAt_ = n;
}

void FakeFT4000::setInfoReply(std::string textWithoutEtx) {
    std::lock_guard lock(mutex_);
    info_ = std::move(textWithoutEtx);
}

void FakeFT4000::setValuesText(std::string text) {
    std::lock_guard lock(mutex_);
    values_ = std::move(text);
}

void FakeFT4000::setClosingTime(int milliseconds) {
    std::lock_guard lock(mutex_);
    closingMs_ = milliseconds;
}

std::string FakeFT4000::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

// Answers the complete requests at the front of `pending` and drops them;
// an escape sequence cut by the end of the bytes waits for the rest.
std::string FakeFT4000::answer(std::string& pending) {
    std::lock_guard lock(mutex_);
    std::string out;
    std::size_t i = 0;
    while (i < pending.size()) {
        if (pending[i] != '\x1b') {
            ++i;
            continue;
        }
        if (i + 1 >= pending.size()) break;
        char c = pending[i + 1];
        if (c == '\x11') {
            int n = ++statusRequests_;
            if (closeAt_ > 0 && n == closeAt_) {
                closeNow_ = true;
                pending.clear();
                return out;
            }
            unsigned char b2 = byte2_;
            if (n > 1 && (busyAfterFirst_ < 0 || n <= 1 + busyAfterFirst_)) b2 |= 0x10;
            out += std::string{'\x06', '\x00', static_cast<char>(b2), static_cast<char>(byte3_), '\x0a'};
            i += 2;
        } else if (c == 'I') {
            if (closingSeen_) pauseMs_ = closingMs_;
            closingSeen_ = false;
            out += info_ + "\x03";
            i += 2;
        } else if (c == '!') {
            if (i + 2 >= pending.size()) break;
            if (pending[i + 2] == 's') {
                std::string text = values_;
                text.resize(453, ' ');
                out += std::string{'\x01', '\xc5'} + text + "\r\n";
            }
            i += 3;
        } else {
            closingSeen_ = closingSeen_ || c == 'd';
            i += 2;
        }
    }
    pending.erase(0, i);
    return out;
}

void FakeFT4000::serve() {
    int client = -1;
    std::string pending;
    char buf[4096];
    for (;;) {
        std::vector<pollfd> fds{{stopFD_, POLLIN, 0}, {listenFD_, POLLIN, 0}};
        if (client >= 0) fds.push_back({client, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) continue;
        if (fds[0].revents & POLLIN) break;
        if (fds[1].revents & POLLIN) {
            int c = ::accept4(listenFD_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {
                if (client >= 0) ::close(client);
                client = c;
                pending.clear();
                ++connections_;
                ::send(client, greeting_.data(), greeting_.size(), MSG_NOSIGNAL);
            }
        }
        if (client >= 0 && fds.size() > 2 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n <= 0) {
                ::close(client);
                client = -1;
                continue;
            }
            {
                std::lock_guard lock(mutex_);
                received_.append(buf, static_cast<std::size_t>(n));
            }
            pending.append(buf, static_cast<std::size_t>(n));
            std::string out = answer(pending);
            int pause;
            {
                std::lock_guard lock(mutex_);
                pause = pauseMs_;
                pauseMs_ = 0;
            }
            if (pause > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pause));
            if (!out.empty()) ::send(client, out.data(), out.size(), MSG_NOSIGNAL);
            bool closeNow;
            {
                std::lock_guard lock(mutex_);
                closeNow = closeNow_;
                closeNow_ = false;
            }
            if (closeNow) {
                ::close(client);
                client = -1;
            }
        }
    }
    if (client >= 0) ::close(client);
}
