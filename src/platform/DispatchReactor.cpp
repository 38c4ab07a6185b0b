#include "platform/DispatchReactor.h"

#include "platform/DispatchSource.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace platform {

DispatchReactor& DispatchReactor::shared() {
    static DispatchReactor* reactor = new DispatchReactor(); // never destroyed: its thread runs to the end
    return *reactor;
}

DispatchReactor::DispatchReactor() {
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epollFd_ < 0 || wakeFd_ < 0) {
        std::perror("dispatch reactor");
        std::abort();
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = ~std::uint64_t(0);
    epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &ev);
    std::thread([this] { loop(); }).detach();
}

void DispatchReactor::addTimer(std::chrono::steady_clock::time_point deadline, std::function<void()> fire) {
    bool earliest;
    {
        std::lock_guard lock(timerMutex_);
        auto it = timers_.emplace(deadline, std::move(fire));
        earliest = it == timers_.begin();
    }
    if (earliest) {
        std::uint64_t one = 1;
        [[maybe_unused]] auto n = write(wakeFd_, &one, sizeof one);
    }
}

void DispatchReactor::attachLocked(const std::shared_ptr<DispatchSource>& source) {
    FdEntry& e = fds_[source->fd()];
    if (source->type() == DispatchSource::Type::Read)
        e.read = source;
    else
        e.write = source;
    updateFdLocked(source->fd());
}

void DispatchReactor::detachLocked(DispatchSource* source) {
    auto it = fds_.find(source->fd());
    if (it == fds_.end())
        return;
    if (it->second.read.get() == source)
        it->second.read.reset();
    if (it->second.write.get() == source)
        it->second.write.reset();
    updateFdLocked(source->fd());
}

void DispatchReactor::updateFdLocked(int fd) {
    auto it = fds_.find(fd);
    if (it == fds_.end())
        return;
    FdEntry& e = it->second;
    std::uint32_t mask = 0;
    if (e.read && e.read->armedLocked())
        mask |= EPOLLIN | EPOLLRDHUP;
    if (e.write && e.write->armedLocked())
        mask |= EPOLLOUT;
    if (mask != e.mask || (mask != 0 && !e.registered)) {
        if (mask == 0) {
            if (e.registered)
                epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
            e.registered = false;
        } else {
            epoll_event ev{};
            ev.events = mask;
            if (!e.registered)
                e.gen = ++nextGen_;
            ev.data.u64 = (std::uint64_t(e.gen) << 32) | std::uint32_t(fd);
            int op = e.registered ? EPOLL_CTL_MOD : EPOLL_CTL_ADD;
            if (epoll_ctl(epollFd_, op, fd, &ev) != 0) {
                // The descriptor was closed and reopened behind our back
                // (epoll forgets closed descriptors), or was never added.
                if (errno == ENOENT)
                    epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev);
                else if (errno == EEXIST)
                    epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &ev);
            }
            e.registered = true;
        }
        e.mask = mask;
    }
    if (!e.read && !e.write) {
        if (e.registered)
            epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
        fds_.erase(it);
    }
}

void DispatchReactor::handleEvent(std::uint64_t key, std::uint32_t events) {
    int fd = static_cast<int>(key & 0xffffffffu);
    std::uint32_t gen = static_cast<std::uint32_t>(key >> 32);
    const std::uint32_t hangup = EPOLLERR | EPOLLHUP | EPOLLRDHUP;

    // The readable count as of this event (a query only: harmless should
    // the descriptor turn out stale below). 0 means end of file, so it is
    // reported only with a hang-up; without one the bytes have already been
    // taken by their reader and there is nothing to report.
    unsigned long readData = 1;
    bool readEvent = events & (EPOLLIN | hangup);
    if (readEvent) {
        int n = 0;
        if (ioctl(fd, FIONREAD, &n) == 0) {
            readData = n > 0 ? static_cast<unsigned long>(n) : 0;
            if (readData == 0 && !(events & hangup))
                readEvent = false;
        }
    }

    std::lock_guard lock(sourceMutex_);
    auto it = fds_.find(fd);
    if (it == fds_.end() || !it->second.registered || it->second.gen != gen)
        return; // stale: the descriptor has since been dropped (and maybe reused)
    FdEntry& e = it->second;
    bool any = false;
    if (e.read && readEvent && e.read->armedLocked()) {
        e.read->scheduleDeliveryLocked(readData);
        any = true;
    }
    if (e.write && (events & (EPOLLOUT | EPOLLERR | EPOLLHUP)) && e.write->armedLocked()) {
        e.write->scheduleDeliveryLocked(1);
        any = true;
    }
    if (any)
        updateFdLocked(fd);
}

void DispatchReactor::loop() {
    std::vector<epoll_event> events(128);
    std::vector<std::function<void()>> due;
    for (;;) {
        int timeoutMs = -1;
        {
            std::lock_guard lock(timerMutex_);
            if (!timers_.empty()) {
                auto wait = timers_.begin()->first - std::chrono::steady_clock::now();
                if (wait.count() <= 0)
                    timeoutMs = 0;
                else
                    timeoutMs = static_cast<int>(
                        std::chrono::ceil<std::chrono::milliseconds>(wait).count());
            }
        }
        int n = epoll_wait(epollFd_, events.data(), static_cast<int>(events.size()), timeoutMs);
        for (int i = 0; i < n; ++i) {
            if (events[i].data.u64 == ~std::uint64_t(0)) {
                std::uint64_t count;
                [[maybe_unused]] auto r = read(wakeFd_, &count, sizeof count);
                continue;
            }
            handleEvent(events[i].data.u64, events[i].events);
        }
        {
            std::lock_guard lock(timerMutex_);
            auto now = std::chrono::steady_clock::now();
            while (!timers_.empty() && timers_.begin()->first <= now) {
                due.push_back(std::move(timers_.begin()->second));
                timers_.erase(timers_.begin());
            }
        }
        for (auto& f : due)
            f();
        due.clear();
    }
}

} // namespace platform
