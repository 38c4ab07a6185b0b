#include "platform/DispatchQueue.h"
#include "platform/DispatchSemaphore.h"
#include "platform/DispatchSource.h"
#include "platform/MainRunLoop.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace platform;
using namespace std::chrono_literals;

namespace {

struct SocketPair {
    int a = -1, b = -1;
    SocketPair() {
        int fds[2];
        EXPECT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds));
        a = fds[0];
        b = fds[1];
    }
    ~SocketPair() {
        if (a >= 0) close(a);
        if (b >= 0) close(b);
    }
};

} // namespace

TEST(DispatchQueue, SerialQueueRunsBlocksInOrderOneAtATime) {
    auto q = DispatchQueue::createSerial("order");
    std::vector<int> seen;
    std::atomic<int> running{0};
    bool overlapped = false;
    DispatchSemaphore done;
    for (int i = 0; i < 500; ++i) {
        q->async([&, i] {
            if (running.fetch_add(1) != 0) overlapped = true;
            seen.push_back(i);
            running.fetch_sub(1);
            if (i == 499) done.signal();
        });
    }
    ASSERT_TRUE(done.wait(10s));
    EXPECT_FALSE(overlapped);
    ASSERT_EQ(500u, seen.size());
    for (int i = 0; i < 500; ++i) EXPECT_EQ(i, seen[i]);
}

TEST(DispatchQueue, SyncFromInsideTheSameQueueRunsInLine) {
    auto q = DispatchQueue::createSerial("inline");
    int value = 0;
    q->sync([&] {
        EXPECT_TRUE(q->isCurrent());
        q->sync([&] { value = 42; }); // would lock a real serial queue against itself
    });
    EXPECT_EQ(42, value);
    EXPECT_FALSE(q->isCurrent());
}

TEST(DispatchQueue, SyncWaitsForEarlierWork) {
    auto q = DispatchQueue::createSerial("wait");
    std::atomic<int> step{0};
    q->async([&] {
        std::this_thread::sleep_for(20ms);
        step = 1;
    });
    int seen = -1;
    q->sync([&] { seen = step; });
    EXPECT_EQ(1, seen);
}

TEST(DispatchQueue, SpecificValuesAreSeenOnlyOnTheirQueue) {
    static int key;
    int marker = 7;
    auto q = DispatchQueue::createSerial("specific");
    auto other = DispatchQueue::createSerial("other");
    q->setSpecific(&key, &marker);
    EXPECT_EQ(&marker, q->specific(&key));
    void* onQ = nullptr;
    void* onOther = &marker;
    q->sync([&] { onQ = DispatchQueue::getSpecific(&key); });
    other->sync([&] { onOther = DispatchQueue::getSpecific(&key); });
    EXPECT_EQ(&marker, onQ);
    EXPECT_EQ(nullptr, onOther);
    q->setSpecific(&key, nullptr);
    q->sync([&] { onQ = DispatchQueue::getSpecific(&key); });
    EXPECT_EQ(nullptr, onQ);
}

TEST(DispatchQueue, GlobalQueueRunsConcurrently) {
    auto g = DispatchQueue::global();
    DispatchSemaphore first, second;
    // Each block waits for the other: only concurrent execution finishes.
    std::atomic<bool> ok1{false}, ok2{false};
    DispatchSemaphore done;
    g->async([&] { second.signal(); ok1 = first.wait(10s); done.signal(); });
    g->async([&] { first.signal(); ok2 = second.wait(10s); done.signal(); });
    ASSERT_TRUE(done.wait(10s));
    ASSERT_TRUE(done.wait(10s));
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
}

TEST(DispatchQueue, MainQueueIsDrainedByTheRunLoop) {
    MainRunLoop::drain();
    EXPECT_TRUE(DispatchQueue::main()->isCurrent());
    bool ran = false;
    bool onMain = false;
    DispatchQueue::global()->async([&] {
        DispatchQueue::main()->async([&] {
            ran = true;
            onMain = DispatchQueue::main()->isCurrent();
        });
    });
    EXPECT_TRUE(MainRunLoop::runUntil([&] { return ran; }, 10000ms));
    EXPECT_TRUE(onMain);
    // A predicate that never comes true ends at the time-out.
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(MainRunLoop::runUntil([] { return false; }, 30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
    // sync onto the main queue from the main thread runs in line.
    int v = 0;
    DispatchQueue::main()->sync([&] { v = 1; });
    EXPECT_EQ(1, v);
}

TEST(DispatchQueue, RunStopsWhenAsked) {
    std::vector<int> order;
    DispatchQueue::main()->async([&] { order.push_back(1); });
    DispatchQueue::main()->async([&] { order.push_back(2); MainRunLoop::stop(); });
    MainRunLoop::run();
    EXPECT_EQ((std::vector<int>{1, 2}), order);
    int count = 0;
    DispatchQueue::main()->async([&] { ++count; });
    DispatchQueue::main()->async([&] { ++count; });
    EXPECT_EQ(2u, MainRunLoop::drain());
    EXPECT_EQ(2, count);
}

TEST(DispatchQueue, AsyncAfterWaitsAtLeastTheDelay) {
    auto q = DispatchQueue::createSerial("after");
    auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration elapsed{};
    std::vector<int> order;
    DispatchSemaphore done;
    q->asyncAfter(40ms, [&] { order.push_back(2); elapsed = std::chrono::steady_clock::now() - start; done.signal(); });
    q->asyncAfter(10ms, [&] { order.push_back(1); });
    ASSERT_TRUE(done.wait(10s));
    EXPECT_GE(elapsed, 40ms);
    EXPECT_EQ((std::vector<int>{1, 2}), order);
}

TEST(DispatchSemaphore, CountsAndTimesOut) {
    DispatchSemaphore s(2);
    EXPECT_TRUE(s.wait(0ns));
    EXPECT_TRUE(s.wait(0ns));
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(s.wait(20ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
    std::thread t([&] { std::this_thread::sleep_for(10ms); s.signal(); });
    s.wait(); // unbounded
    t.join();
    EXPECT_FALSE(s.wait(0ns));
}

TEST(DispatchSource, TimerFiresOnceOnItsQueue) {
    auto q = DispatchQueue::createSerial("timer");
    auto timer = DispatchSource::makeTimer(q);
    std::atomic<int> fired{0};
    std::atomic<bool> onQueue{false};
    DispatchSemaphore firedOnce;
    timer->setEventHandler([&] { ++fired; onQueue = q->isCurrent(); firedOnce.signal(); });
    timer->setTimer(5ms);
    timer->resume();
    ASSERT_TRUE(firedOnce.wait(10s));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(1, fired.load());
    EXPECT_TRUE(onQueue);
    // Re-arming fires once more; re-arming before it fires moves it.
    timer->setTimer(500ms);
    timer->setTimer(5ms);
    ASSERT_TRUE(firedOnce.wait(10s));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(2, fired.load());
    timer->cancel();
}

TEST(DispatchSource, CancelledOrSuspendedTimerDoesNotFire) {
    auto q = DispatchQueue::createSerial("timer2");
    auto timer = DispatchSource::makeTimer(q);
    std::atomic<int> fired{0};
    std::atomic<int> cancelled{0};
    DispatchSemaphore firedOnce;
    timer->setEventHandler([&] { ++fired; firedOnce.signal(); });
    timer->setCancelHandler([&] { ++cancelled; });
    timer->resume();
    timer->suspend();
    // Armed only while suspended, so no descheduling of this thread can let
    // it fire before the check.
    timer->setTimer(5ms);
    std::this_thread::sleep_for(20ms);
    q->sync([] {});
    EXPECT_EQ(0, fired.load());
    timer->resume(); // a fire missed while suspended is delivered on resume
    ASSERT_TRUE(firedOnce.wait(10s));
    q->sync([] {});
    EXPECT_EQ(1, fired.load());
    timer->setTimer(10ms);
    timer->cancel();
    timer->cancel();
    std::this_thread::sleep_for(30ms);
    q->sync([] {});
    EXPECT_EQ(1, fired.load());
    EXPECT_EQ(1, cancelled.load());
}

TEST(DispatchSource, ReadSourceReportsAvailableBytesAndEndOfFile) {
    SocketPair sp;
    auto q = DispatchQueue::createSerial("read");
    auto src = DispatchSource::makeRead(sp.a, q);
    std::mutex m;
    std::vector<unsigned long> seen;
    DispatchSemaphore event;
    src->setEventHandler([&] {
        unsigned long n = src->data();
        char buf[64];
        if (n > 0) [[maybe_unused]] auto r = read(sp.a, buf, sizeof buf);
        else src->suspend(); // end of file: stop watching
        std::lock_guard lock(m);
        seen.push_back(n);
        event.signal();
    });
    src->resume();
    ASSERT_EQ(5, write(sp.b, "hello", 5));
    ASSERT_TRUE(event.wait(10s));
    close(sp.b);
    sp.b = -1;
    ASSERT_TRUE(event.wait(10s));
    std::lock_guard lock(m);
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(5u, seen[0]);
    EXPECT_EQ(0u, seen[1]);
    src->cancel();
    src->resume();
}

TEST(DispatchSource, HandlerIsNeverReEntered) {
    SocketPair sp;
    auto g = DispatchQueue::global(); // concurrent target: only the source keeps order
    auto src = DispatchSource::makeRead(sp.a, g);
    std::atomic<int> inside{0};
    std::atomic<bool> reentered{false};
    std::atomic<int> calls{0};
    DispatchSemaphore fifth, cancelled;
    src->setEventHandler([&] {
        if (inside.fetch_add(1) != 0) reentered = true;
        std::this_thread::sleep_for(2ms); // data stays unread: the level stays high
        if (++calls == 5) {
            char buf[16];
            [[maybe_unused]] auto r = read(sp.a, buf, sizeof buf);
            fifth.signal();
        }
        inside.fetch_sub(1);
    });
    src->setCancelHandler([&] { cancelled.signal(); });
    ASSERT_EQ(1, write(sp.b, "x", 1));
    src->resume();
    // Counted, not timed: a loaded machine only makes the calls slower.
    ASSERT_TRUE(fifth.wait(10s));
    src->cancel();
    // The cancel handler runs after any running event handler: once it has
    // run, nothing touches the locals of this test any more.
    ASSERT_TRUE(cancelled.wait(10s));
    EXPECT_FALSE(reentered);
    EXPECT_EQ(5, calls.load());
}

TEST(DispatchSource, CancelHandlerRunsOnceAfterTheRunningHandlerAndMayCloseTheDescriptor) {
    auto q = DispatchQueue::createSerial("cancel");
    int fds[2];
    ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds));
    auto readSrc = DispatchSource::makeRead(fds[0], q);
    auto writeSrc = DispatchSource::makeWrite(fds[0], q);
    std::atomic<int> refs{2};
    std::atomic<int> cancels{0};
    std::atomic<bool> handlerDone{false};
    std::atomic<bool> cancelAfterHandler{true};
    DispatchSemaphore inHandler, firstCancel, closed;
    auto cancelHandler = [&] {
        ++cancels;
        if (!handlerDone) cancelAfterHandler = false;
        firstCancel.signal();
        if (--refs == 0) {
            close(fds[0]);
            closed.signal();
        }
    };
    writeSrc->setEventHandler([&] {
        if (handlerDone) return;
        inHandler.signal();
        std::this_thread::sleep_for(20ms);
        handlerDone = true;
    });
    readSrc->setCancelHandler(cancelHandler);
    writeSrc->setCancelHandler(cancelHandler);
    // The read source stays suspended (as created): its cancel handler waits
    // for a resume.
    writeSrc->resume(); // writable at once
    ASSERT_TRUE(inHandler.wait(10s));
    readSrc->cancel();
    writeSrc->cancel();
    ASSERT_TRUE(firstCancel.wait(10s)); // the write source's, once its handler is done
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(1, cancels.load());
    readSrc->resume();
    ASSERT_TRUE(closed.wait(10s));
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(2, cancels.load());
    EXPECT_TRUE(cancelAfterHandler);
    close(fds[1]);
}

TEST(DispatchSource, ReusedDescriptorNumberGetsNoStaleEvents) {
    auto q = DispatchQueue::createSerial("reuse");
    for (int round = 0; round < 50; ++round) {
        int fds[2];
        ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds));
        auto src = DispatchSource::makeRead(fds[0], q);
        std::atomic<int> events{0};
        DispatchSemaphore cancelled;
        src->setEventHandler([&] { ++events; });
        src->setCancelHandler([&] { close(fds[0]); cancelled.signal(); });
        src->resume();
        ASSERT_EQ(1, write(fds[1], "x", 1)); // readable now
        src->cancel();
        ASSERT_TRUE(cancelled.wait(10s));
        close(fds[1]);
        // The next pair likely reuses the numbers; it is quiet, so any event is stale.
        int fds2[2];
        ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds2));
        auto src2 = DispatchSource::makeRead(fds2[0], q);
        std::atomic<int> events2{0};
        src2->setEventHandler([&] { ++events2; });
        src2->resume();
        q->sync([] {});
        EXPECT_EQ(0, events2.load());
        DispatchSemaphore c2;
        src2->setCancelHandler([&] { c2.signal(); });
        src2->cancel();
        ASSERT_TRUE(c2.wait(10s));
        close(fds2[0]);
        close(fds2[1]);
    }
}
