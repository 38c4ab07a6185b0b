#include "fakes/EchoServer.h"
#include "fakes/LoopbackPeer.h"
#include "net/socket/SocketRecorder.h"

#include <gtest/gtest.h>

using platform::DispatchQueue;
using platform::MainRunLoop;
using namespace std::chrono_literals;

namespace {

// Descriptors are closed by cancel handlers a moment after the disconnect
// callback: wait for the count to settle.
bool descriptorsBackTo(int expected) {
    return MainRunLoop::runUntil([&] { return openDescriptorCount() <= expected; }, 10000ms);
}

NetBytes pattern(std::size_t n, int seed) {
    NetBytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 13 + seed);
    return b;
}

} // namespace

TEST(NetSocketStress, SequentialCyclesLeakNoDescriptor) {
    EchoServer echo;
    // Warm up the dispatch threads and the reactor before counting.
    {
        auto rec = std::make_shared<SocketRecorder>();
        auto sock = NetSocket::create(rec, DispatchQueue::main());
        ASSERT_TRUE(sock->connectToHost("127.0.0.1", echo.port(), 10.0));
        ASSERT_TRUE(rec->waitFor("connect"));
        sock->disconnect();
        ASSERT_TRUE(rec->waitFor("disconnect"));
    }
    MainRunLoop::runUntil([&] { return echo.openConnections() == 0; }, 10000ms);
    const int before = openDescriptorCount();

    for (int cycle = 0; cycle < 200; ++cycle) {
        auto rec = std::make_shared<SocketRecorder>();
        auto sock = NetSocket::create(rec, DispatchQueue::main());
        ASSERT_TRUE(sock->connectToHost("127.0.0.1", echo.port(), 10.0));
        NetBytes payload = pattern(100 + cycle, cycle);
        rec->onConnect = [&](const std::shared_ptr<NetSocket>& s) {
            s->writeData(payload, 10.0, 1);
            s->readDataToLength(payload.size(), 10.0, 2);
            s->disconnectAfterReadingAndWriting();
        };
        ASSERT_TRUE(rec->waitFor("disconnect")) << "cycle " << cycle;
        ASSERT_EQ(1, rec->count("read")) << "cycle " << cycle;
        ASSERT_TRUE(rec->first("read")->data == payload);
        ASSERT_FALSE(rec->first("disconnect")->error.has_value());
    }
    MainRunLoop::runUntil([&] { return echo.openConnections() == 0; }, 10000ms);
    EXPECT_TRUE(descriptorsBackTo(before)) << openDescriptorCount() << " open, " << before << " before";
}

TEST(NetSocketStress, ConcurrentSocketsLeakNoDescriptor) {
    EchoServer echo;
    {
        auto rec = std::make_shared<SocketRecorder>();
        auto sock = NetSocket::create(rec, DispatchQueue::main());
        ASSERT_TRUE(sock->connectToHost("127.0.0.1", echo.port(), 10.0));
        ASSERT_TRUE(rec->waitFor("connect"));
    }
    MainRunLoop::runUntil([&] { return echo.openConnections() == 0; }, 10000ms);
    const int before = openDescriptorCount();

    const int kSockets = 50;
    std::vector<std::shared_ptr<SocketRecorder>> recs;
    std::vector<std::shared_ptr<NetSocket>> socks;
    std::vector<NetBytes> payloads;
    for (int i = 0; i < kSockets; ++i)
        payloads.push_back(pattern(4096 + i * 97, i));
    for (int i = 0; i < kSockets; ++i) {
        auto rec = std::make_shared<SocketRecorder>();
        auto sock = NetSocket::create(rec, DispatchQueue::main());
        const NetBytes* payload = &payloads[i];
        rec->onConnect = [payload](const std::shared_ptr<NetSocket>& s) {
            // Half the payload in two writes, read back in one go.
            NetBytes a(payload->begin(), payload->begin() + payload->size() / 2);
            NetBytes b(payload->begin() + payload->size() / 2, payload->end());
            s->writeData(a, 10.0, 1);
            s->writeData(b, 10.0, 2);
            s->readDataToLength(payload->size(), 10.0, 3);
            s->disconnectAfterReadingAndWriting();
        };
        ASSERT_TRUE(sock->connectToHost("127.0.0.1", echo.port(), 10.0));
        recs.push_back(rec);
        socks.push_back(sock);
    }
    ASSERT_TRUE(MainRunLoop::runUntil(
        [&] {
            for (auto& r : recs)
                if (r->count("disconnect") == 0)
                    return false;
            return true;
        },
        30000ms));
    for (int i = 0; i < kSockets; ++i) {
        ASSERT_EQ(1, recs[i]->count("read")) << i;
        EXPECT_TRUE(recs[i]->first("read")->data == payloads[i]) << i;
        EXPECT_FALSE(recs[i]->first("disconnect")->error.has_value()) << i;
        EXPECT_EQ(1, recs[i]->count("disconnect")) << i;
    }
    socks.clear();
    MainRunLoop::runUntil([&] { return echo.openConnections() == 0; }, 10000ms);
    EXPECT_TRUE(descriptorsBackTo(before)) << openDescriptorCount() << " open, " << before << " before";
}
