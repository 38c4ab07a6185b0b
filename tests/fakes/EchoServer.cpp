#include "fakes/EchoServer.h"
#include "fakes/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>

EchoServer::EchoServer() {
    listenFD_ = LoopbackListener::open(128, true, &port_);
    stopFD_ = eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { serve(); });
}

EchoServer::~EchoServer() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(stopFD_, &one, sizeof one);
    thread_.join();
    ::close(listenFD_);
    ::close(stopFD_);
}

void EchoServer::serve() {
    std::map<int, std::string> pending; // connection -> bytes not yet sent back
    char buf[65536];
    for (;;) {
        std::vector<pollfd> fds{{stopFD_, POLLIN, 0}, {listenFD_, POLLIN, 0}};
        for (auto& [fd, out] : pending)
            fds.push_back({fd, static_cast<short>(POLLIN | (out.empty() ? 0 : POLLOUT)), 0});
        if (poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & POLLIN) {
            int c;
            while ((c = ::accept4(listenFD_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0) {
                pending[c];
                ++open_;
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            int fd = fds[i].fd;
            auto& out = pending[fd];
            bool closed = false;
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) {
                ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n > 0)
                    out.append(buf, static_cast<std::size_t>(n));
                else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                    closed = true;
            }
            if (!closed && !out.empty()) {
                ssize_t n = ::send(fd, out.data(), out.size(), MSG_NOSIGNAL);
                if (n > 0)
                    out.erase(0, static_cast<std::size_t>(n));
                else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                    closed = true;
            }
            if (closed) {
                ::close(fd);
                pending.erase(fd);
                --open_;
            }
        }
    }
    for (auto& [fd, out] : pending)
        ::close(fd);
}
