#include "fakes/LoopbackPeer.h"
#include "net/socket/SocketRecorder.h"
#include "platform/Url.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <cerrno>
#include <cmath>
#include <thread>

using platform::DispatchQueue;
using platform::MainRunLoop;
using namespace std::chrono_literals;

namespace {

// A socket connected to a LoopbackPeer, reporting to a recorder on the main queue.
struct Connected {
    LoopbackPeer peer;
    std::shared_ptr<SocketRecorder> rec = std::make_shared<SocketRecorder>();
    std::shared_ptr<NetSocket> sock = NetSocket::create(rec, DispatchQueue::main());

    explicit Connected(bool ipv6 = false) : peer(ipv6) {}

    void connect(const std::string& host = "127.0.0.1") {
        std::optional<NetSocketError> err;
        ASSERT_TRUE(sock->connectToHost(host, peer.port(), 10.0, &err));
        EXPECT_FALSE(err.has_value());
        ASSERT_TRUE(peer.accept());
        ASSERT_TRUE(rec->waitFor("connect"));
    }
};

} // namespace

TEST(NetSocketConnect, ConnectsAndReportsTheAddresses) {
    Connected c;
    c.connect();
    const SocketEvent* e = c.rec->first("connect");
    EXPECT_EQ("127.0.0.1", e->host);
    EXPECT_EQ(c.peer.port(), e->port);
    EXPECT_TRUE(c.sock->isConnected());
    EXPECT_TRUE(c.sock->isIPv4());
    EXPECT_FALSE(c.sock->isIPv6());
    EXPECT_EQ("127.0.0.1", c.sock->connectedHost().value_or(""));
    EXPECT_EQ(c.peer.port(), c.sock->connectedPort());
    EXPECT_EQ(-1, c.sock->socketFD()); // outside performBlock
    int inside = -1;
    c.sock->performBlock([&] { inside = c.sock->socketFD(); });
    EXPECT_GE(inside, 0);

    // A second connect while connected is refused and leaves the connection alone.
    std::optional<NetSocketError> err;
    EXPECT_FALSE(c.sock->connectToHost("127.0.0.1", c.peer.port(), 10.0, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ("Attempting to connect while connected or accepting connections. Disconnect first.",
              err->localizedDescription());
    EXPECT_TRUE(c.sock->isConnected());

    c.sock->disconnect();
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_FALSE(c.rec->first("disconnect")->error.has_value());
    EXPECT_FALSE(c.sock->connectedHost().has_value());
    EXPECT_EQ(0, c.sock->connectedPort());
    EXPECT_TRUE(c.peer.waitForClose());
    MainRunLoop::runFor(20ms);
    EXPECT_EQ(1, c.rec->count("disconnect"));
}

TEST(NetSocketConnect, RefusedConnectReportsThePosixError) {
    auto rec = std::make_shared<SocketRecorder>();
    auto sock = NetSocket::create(rec, DispatchQueue::main());
    std::uint16_t closedPort;
    {
        LoopbackPeer gone;
        closedPort = gone.port();
    }
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", closedPort, 10.0));
    ASSERT_TRUE(rec->waitFor("disconnect"));
    const auto& err = rec->first("disconnect")->error;
    ASSERT_TRUE(err);
    EXPECT_EQ("NSPOSIXErrorDomain", err->domain);
    EXPECT_EQ(ECONNREFUSED, err->code);
    EXPECT_EQ("Error in connect() function", err->failureReason());
    EXPECT_EQ(0, rec->count("connect"));
}

TEST(NetSocketConnect, RefusesBadRequestsWithoutCallbacks) {
    auto placeholder = NetSocket::create();
    std::optional<NetSocketError> err;
    EXPECT_FALSE(placeholder->connectToHost("127.0.0.1", 9, 10.0, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ("NetSocketErrorDomain", err->domain);
    EXPECT_EQ(1, err->code);
    EXPECT_EQ("Attempting to connect without a delegate. Set a delegate first.", err->localizedDescription());

    auto rec = std::make_shared<SocketRecorder>();
    auto noQueue = NetSocket::create(rec);
    EXPECT_FALSE(noQueue->connectToHost("127.0.0.1", 9, 10.0, &err));
    EXPECT_EQ("Attempting to connect without a delegate queue. Set a delegate queue first.",
              err->localizedDescription());

    auto sock = NetSocket::create(rec, DispatchQueue::main());
    EXPECT_FALSE(sock->connectToHost("", 9, 10.0, &err));
    EXPECT_EQ(2, err->code);
    EXPECT_EQ("Invalid host parameter (nil or \"\"). Should be a domain name or IP address string.",
              err->localizedDescription());
    sock->setIPv4Enabled(false);
    sock->setIPv6Enabled(false);
    EXPECT_FALSE(sock->isIPv4Enabled());
    EXPECT_FALSE(sock->connectToHost("127.0.0.1", 9, 10.0, &err));
    EXPECT_EQ("Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.",
              err->localizedDescription());
    EXPECT_TRUE(sock->isDisconnected());
    MainRunLoop::runFor(20ms);
    EXPECT_TRUE(rec->events.empty());
}

TEST(NetSocketConnect, TimesOutAndALateResultTouchesNoReusedDescriptor) {
    // A listener whose backlog is full drops further handshakes: connects hang.
    LoopbackPeer full(false, 0);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(full.port());
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(50ms);
    // The IPv6 side of the same port answers, so a stray late attempt would connect.
    LoopbackPeer six(true, 16, full.port());

    auto rec = std::make_shared<SocketRecorder>();
    auto sock = NetSocket::create(rec, DispatchQueue::main());
    sock->setAlternateAddressDelay(0.25);
    // "localhost": IPv4 first; the IPv6 attempt is due 0.25 s later, after the time-out.
    ASSERT_TRUE(sock->connectToHost("localhost", full.port(), 0.1));
    ASSERT_TRUE(rec->waitFor("disconnect"));
    const auto& err = rec->first("disconnect")->error;
    ASSERT_TRUE(err);
    EXPECT_EQ("NetSocketErrorDomain", err->domain);
    EXPECT_EQ(3, err->code);
    EXPECT_EQ("Attempt to connect to host timed out", err->localizedDescription());

    // New descriptors now take the numbers the attempt used; the delayed
    // IPv6 attempt must leave them alone.
    std::vector<int> reused;
    for (int i = 0; i < 4; ++i)
        reused.push_back(::socket(AF_INET6, SOCK_STREAM, 0));
    MainRunLoop::runFor(350ms);
    for (int fd : reused) {
        EXPECT_NE(-1, fcntl(fd, F_GETFD)) << "descriptor " << fd << " was closed";
        sockaddr_in6 peer{};
        socklen_t len = sizeof peer;
        EXPECT_EQ(-1, getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &len)) << "descriptor " << fd
                                                                                   << " was connected";
        ::close(fd);
    }
    EXPECT_EQ(1, rec->count("disconnect"));
    EXPECT_EQ(0, rec->count("connect"));
    for (int fd : fillers)
        ::close(fd);
}

TEST(NetSocketConnect, TimeOutZeroFiresAtOnceAndNegativeNever) {
    LoopbackPeer full(false, 0);
    int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(full.port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(filler, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int filler2 = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ::connect(filler2, reinterpret_cast<sockaddr*>(&a), sizeof a);
    std::this_thread::sleep_for(30ms);

    auto rec = std::make_shared<SocketRecorder>();
    auto sock = NetSocket::create(rec, DispatchQueue::main());
    sock->setIPv6Enabled(false);
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", full.port(), -1));
    MainRunLoop::runFor(150ms);
    EXPECT_TRUE(rec->events.empty());
    sock->disconnect();
    ASSERT_TRUE(rec->waitFor("disconnect"));
    EXPECT_FALSE(rec->first("disconnect")->error.has_value());

    // A time-out of 0 fires as soon as the socket queue is free.
    auto zeroRec = std::make_shared<SocketRecorder>();
    auto zero = NetSocket::create(zeroRec, DispatchQueue::main());
    zero->setIPv6Enabled(false);
    ASSERT_TRUE(zero->connectToHost("127.0.0.1", full.port(), 0.0));
    ASSERT_TRUE(zeroRec->waitFor("disconnect"));
    ASSERT_TRUE(zeroRec->first("disconnect")->error.has_value());
    EXPECT_EQ(3, zeroRec->first("disconnect")->error->code);
    EXPECT_EQ(0, zeroRec->count("connect"));
    ::close(filler);
    ::close(filler2);
}

TEST(NetSocketConnect, ConnectsOverIPv6Loopback) {
    if (!LoopbackPeer::ipv6Available())
        GTEST_SKIP() << "no IPv6 loopback on this machine";
    Connected c(true);
    c.connect("::1");
    EXPECT_EQ("::1", c.rec->first("connect")->host);
    EXPECT_TRUE(c.sock->isIPv6());
    EXPECT_FALSE(c.sock->isIPv4());
    EXPECT_FALSE(c.sock->connectedHost4().has_value());
    EXPECT_EQ("::1", c.sock->connectedHost6().value_or(""));
    c.sock->writeData(bytesOf("six"), 10.0, 1);
    EXPECT_EQ("six", textOf(c.peer.receive(3)));
}

TEST(NetSocketConnect, DestroyingAConnectedSocketReportsWithoutASocket) {
    Connected c;
    c.connect();
    c.sock.reset();
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_FALSE(c.rec->first("disconnect")->hadSocket);
    EXPECT_FALSE(c.rec->first("disconnect")->error.has_value());
    EXPECT_TRUE(c.peer.waitForClose());
}

TEST(NetSocketConnect, WrappingADescriptorThatIsNeitherIPv4NorIPv6Fails) {
    int fds[2];
    ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM, 0, fds));
    std::optional<NetSocketError> err;
    auto rec = std::make_shared<SocketRecorder>();
    EXPECT_EQ(nullptr, NetSocket::socketFromConnectedSocketFD(fds[0], rec, DispatchQueue::main(), &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(8, err->code);
    EXPECT_EQ("Attempt to create socket from socket FD failed. socket FD is neither IPv4 nor IPv6",
              err->localizedDescription());
    EXPECT_NE(-1, fcntl(fds[0], F_GETFD)); // left open
    ::close(fds[0]);
    ::close(fds[1]);
}

// ---------------------------------------------------------------- reading

TEST(NetSocketRead, ReadsToLengthWithPartialProgress) {
    Connected c;
    c.connect();
    c.sock->readDataToLength(5, 10.0, 7);
    c.peer.send("abc");
    ASSERT_TRUE(c.rec->waitFor("readPartial"));
    EXPECT_EQ(3u, c.rec->first("readPartial")->length);
    std::int64_t tag = 0;
    std::uint64_t done = 0, total = 0;
    EXPECT_FLOAT_EQ(0.6f, c.sock->progressOfReadReturningTag(&tag, &done, &total));
    EXPECT_EQ(7, tag);
    EXPECT_EQ(3u, done);
    EXPECT_EQ(5u, total);
    c.peer.send("de");
    ASSERT_TRUE(c.rec->waitFor("read"));
    EXPECT_EQ("abcde", textOf(c.rec->first("read")->data));
    EXPECT_EQ(7, c.rec->first("read")->tag);
    EXPECT_TRUE(std::isnan(c.sock->progressOfReadReturningTag(nullptr, nullptr, nullptr)));

    // Ignored requests never report.
    c.sock->readDataToLength(0, 10.0, 1);
    c.sock->readDataToData(NetBytes{}, 10.0, 2);
    c.sock->readDataToData(NetSocket::CRLFData(), 10.0, 1, 3);
    c.sock->readDataWithTimeout(10.0, nullptr, 4, 4); // offset beyond an absent buffer
    MainRunLoop::runFor(30ms);
    EXPECT_EQ(1, c.rec->count("read"));
}

TEST(NetSocketRead, ALargeReadIntoTheCallersBufferArrivesWholeWithItsProgress) {
    Connected c;
    c.connect();
    // More than one readiness event takes, behind a prefix the read keeps.
    const std::size_t big = 20u << 20;
    NetBytes data(big);
    for (std::size_t i = 0; i < big; ++i)
        data[i] = static_cast<std::uint8_t>(i * 13 + i / 4099);
    auto buffer = std::make_shared<NetBytes>(big + 3, 0xee);
    c.sock->readDataToLength(big, 20.0, buffer, 3, 9);
    std::thread sender([&] { c.peer.send(data); });
    ASSERT_TRUE(c.rec->waitFor("read", 1, 20000));
    sender.join();
    EXPECT_TRUE(c.rec->first("read")->data == data);
    EXPECT_EQ(9, c.rec->first("read")->tag);
    EXPECT_EQ(0xee, (*buffer)[2]);
    std::uint64_t reported = 0;
    for (const auto& e : c.rec->events)
        if (e.kind == "readPartial")
            reported += e.length;
    EXPECT_LT(reported, big); // the last bytes come with the completion
}

TEST(NetSocketRead, ReadsToTerminatorsSplitAcrossSegmentsAndServesThePreBuffer) {
    Connected c;
    c.connect();
    c.sock->readDataToData(NetSocket::CRLFData(), 10.0, 1);
    c.peer.send("A\r");
    MainRunLoop::runFor(30ms);
    c.peer.send("\nB");
    ASSERT_TRUE(c.rec->waitFor("read"));
    EXPECT_EQ("A\r\n", textOf(c.rec->first("read")->data));

    // "B" waits in the pre-buffer; an any-available read gets exactly it.
    c.sock->readDataWithTimeout(10.0, 2);
    ASSERT_TRUE(c.rec->waitFor("read", 2));
    EXPECT_EQ("B", textOf(c.rec->events.back().data));

    // Two terminator reads served from one segment.
    NetBytes etx{0x03};
    c.sock->readDataToData(etx, 10.0, 3);
    c.sock->readDataToData(etx, 10.0, 4);
    c.peer.send(std::vector<std::uint8_t>{0x41, 0x42, 0x03, 0x43, 0x44, 0x03});
    ASSERT_TRUE(c.rec->waitFor("read", 4));
    EXPECT_EQ((NetBytes{0x41, 0x42, 0x03}), c.rec->events[c.rec->events.size() - 2].data);
    EXPECT_EQ((NetBytes{0x43, 0x44, 0x03}), c.rec->events.back().data);
    EXPECT_EQ(4, c.rec->events.back().tag);

    // Into a caller's buffer at an offset.
    auto buffer = std::make_shared<NetBytes>(10, 'x');
    c.sock->readDataToLength(4, 10.0, buffer, 10, 5);
    c.peer.send("wxyz");
    ASSERT_TRUE(c.rec->waitFor("read", 5));
    EXPECT_EQ("wxyz", textOf(c.rec->events.back().data));
    EXPECT_EQ(14u, buffer->size());
    EXPECT_EQ("xxxxxxxxxxwxyz", textOf(*buffer));
}

TEST(NetSocketRead, TerminatorReadOverItsMaximumFails) {
    Connected c;
    c.connect();
    c.sock->readDataToData(NetSocket::CRLFData(), 10.0, 8, 1);
    c.peer.send("0123456789\r\n");
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_EQ(6, c.rec->first("disconnect")->error->code);
    EXPECT_EQ("Read operation reached set maximum length", c.rec->first("disconnect")->error->localizedDescription());
    EXPECT_EQ(0, c.rec->count("read"));
}

TEST(NetSocketRead, RemoteCloseMidReadClosesWithCode7AfterServingWhatArrived) {
    Connected c;
    c.connect();
    c.sock->readDataToLength(2, 10.0, 1);
    c.sock->readDataToLength(5, 10.0, 2);
    c.peer.send("xyabc");
    c.peer.closeConnection();
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_EQ("xy", textOf(c.rec->first("read")->data));
    EXPECT_EQ(1, c.rec->count("read"));
    EXPECT_EQ(7, c.rec->first("disconnect")->error->code);
    EXPECT_EQ("Socket closed by remote peer", c.rec->first("disconnect")->error->localizedDescription());

    // After an end of file, queued reads are still served from the pre-buffer.
    Connected d;
    d.connect();
    d.peer.send("12345678");
    d.peer.closeConnection();
    MainRunLoop::runFor(50ms); // the bytes and the end of file arrive with nothing queued
    d.sock->readDataToLength(4, 10.0, 1);
    d.sock->readDataToLength(4, 10.0, 2);
    d.sock->readDataToLength(4, 10.0, 3);
    ASSERT_TRUE(d.rec->waitFor("disconnect"));
    EXPECT_EQ(2, d.rec->count("read"));
    EXPECT_EQ(7, d.rec->first("disconnect")->error->code);
}

TEST(NetSocketRead, HalfDuplexKeepsTheSocketOpenAtEndOfFile) {
    Connected c;
    c.sock->setAutoDisconnectOnClosedReadStream(false);
    EXPECT_FALSE(c.sock->autoDisconnectOnClosedReadStream());
    c.connect();
    c.sock->readDataWithTimeout(10.0, 1);
    ::shutdown(c.peer.fd(), SHUT_WR);
    ASSERT_TRUE(c.rec->waitFor("readClosed"));
    c.sock->writeData(bytesOf("still here"), 10.0, 2);
    EXPECT_EQ("still here", textOf(c.peer.receive(10)));
    MainRunLoop::runFor(30ms);
    EXPECT_EQ(1, c.rec->count("readClosed"));
    EXPECT_EQ(0, c.rec->count("disconnect"));
}

TEST(NetSocketRead, ReadTimeOutClosesWithoutAnExtension) {
    Connected c;
    c.connect();
    auto start = std::chrono::steady_clock::now(); // before the request: its timer may start at once
    c.sock->readDataToLength(4, 0.1, 1);
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 95ms);
    EXPECT_EQ(4, c.rec->first("disconnect")->error->code);
    EXPECT_EQ("Read operation timed out", c.rec->first("disconnect")->error->localizedDescription());
}

TEST(NetSocketRead, ReadTimeOutAsksTheDelegateForAnExtension) {
    Connected c;
    c.rec->readExtensions = std::vector<double>{0.1, 0.0};
    c.connect();
    c.sock->readDataToLength(4, 0.1, 1);
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    ASSERT_EQ(2u, c.rec->readElapsed.size());
    EXPECT_DOUBLE_EQ(0.1, c.rec->readElapsed[0]);
    EXPECT_DOUBLE_EQ(0.2, c.rec->readElapsed[1]);
    EXPECT_EQ(4, c.rec->first("disconnect")->error->code);

    // Data arriving within the extension completes the read.
    Connected d;
    d.rec->readExtensions = std::vector<double>{5.0};
    d.connect();
    d.sock->readDataToLength(4, 0.05, 1);
    ASSERT_TRUE(d.rec->waitFor("readTimeoutQuestion"));
    d.peer.send("late");
    ASSERT_TRUE(d.rec->waitFor("read"));
    EXPECT_EQ("late", textOf(d.rec->first("read")->data));
    EXPECT_EQ(0, d.rec->count("disconnect"));
}

namespace {

// A delegate that holds its answer to a time-out question until the test
// lets it go (or a deadline passes), on a queue of its own.
class SlowAnswer : public NetSocketDelegate {
public:
    std::atomic<int> asked{0};
    bool respondsTo(NetSocketCallback) const override { return true; }
    double socketShouldTimeoutReadWithTag(const std::shared_ptr<NetSocket>&, std::int64_t, double,
                                          std::uint64_t) override {
        return answer();
    }
    double socketShouldTimeoutWriteWithTag(const std::shared_ptr<NetSocket>&, std::int64_t, double,
                                           std::uint64_t) override {
        return answer();
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        cv_.notify_all();
    }
    bool waitAsked() {
        return MainRunLoop::runUntil([&] { return asked > 0; }, std::chrono::milliseconds(10000));
    }

private:
    double answer() {
        ++asked;
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait_for(lock, std::chrono::seconds(10), [&] { return released_; });
        return 0;  // time out now
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    bool released_ = false;
};

bool waitConnected(NetSocket& sock) {
    return MainRunLoop::runUntil([&] { return sock.isConnected(); }, std::chrono::milliseconds(10000));
}

}  // namespace

TEST(NetSocketRead, ALateAnswerAboutAnEndedReadLeavesTheNextOneAlone) {
    for (bool write : {false, true}) {
        LoopbackPeer peer;
        auto slow = std::make_shared<SlowAnswer>();
        auto sock = NetSocket::create(slow, DispatchQueue::createSerial("slow delegate"));
        ASSERT_TRUE(sock->connectToHost("127.0.0.1", peer.port(), 10.0));
        ASSERT_TRUE(peer.accept());
        ASSERT_TRUE(waitConnected(*sock));
        if (write) {
            peer.setReceiveBuffer(4096);
            sock->writeData(NetBytes(16u << 20, 'w'), 0.05, 1);
        } else {
            sock->readDataToLength(4, 0.05, 1);
        }
        ASSERT_TRUE(slow->waitAsked());

        // While the delegate thinks, the connection ends and a new one starts
        // a long read (or write).
        sock->disconnect();
        ASSERT_TRUE(sock->connectToHost("127.0.0.1", peer.port(), 10.0));
        ASSERT_TRUE(peer.accept());
        ASSERT_TRUE(waitConnected(*sock));
        if (write)
            sock->writeData(NetBytes(16u << 20, 'w'), 30.0, 2);
        else
            sock->readDataToLength(4, 30.0, 2);
        slow->release();
        MainRunLoop::runFor(std::chrono::milliseconds(300));
        EXPECT_TRUE(sock->isConnected()) << (write ? "write" : "read");
        EXPECT_EQ(1, slow->asked.load());
        sock->setDelegate({});
        sock->disconnect();
    }
}

// ---------------------------------------------------------------- writing

TEST(NetSocketWrite, WritesGoOutInOrderAndLargeWritesComplete) {
    Connected c;
    c.connect();
    c.sock->writeData(bytesOf("one,"), 10.0, 1);
    c.sock->writeData(bytesOf("two,"), 10.0, 2);
    c.sock->writeData(bytesOf("three"), 10.0, 3);
    c.sock->writeData(NetBytes{}, 10.0, 99); // ignored
    EXPECT_EQ("one,two,three", textOf(c.peer.receive(13)));
    ASSERT_TRUE(c.rec->waitFor("write", 3));
    EXPECT_EQ(1, c.rec->events[1].tag);
    EXPECT_EQ(2, c.rec->events[2].tag);
    EXPECT_EQ(3, c.rec->events[3].tag);

    // Far more than the socket buffers hold: partial progress, then one completion.
    const std::size_t big = 8u << 20;
    NetBytes data(big);
    for (std::size_t i = 0; i < big; ++i)
        data[i] = static_cast<std::uint8_t>(i * 31 + 7);
    auto shared = std::make_shared<const NetBytes>(data);
    c.sock->writeData(shared, 5.0, 10);
    NetBytes got;
    std::thread reader([&] {
        std::this_thread::sleep_for(50ms); // let the buffers fill first
        got = c.peer.receive(big, 20000);
    });
    ASSERT_TRUE(c.rec->waitFor("write", 4, 20000));
    reader.join();
    EXPECT_TRUE(got == data);
    EXPECT_GE(c.rec->count("writePartial"), 1);
    EXPECT_EQ(10, c.rec->last("write")->tag);
}

TEST(NetSocketWrite, WriteTimeOutWithAndWithoutExtension) {
    Connected c;
    c.rec->writeExtensions = std::vector<double>{0.1};
    c.connect();
    c.peer.setReceiveBuffer(4096);
    auto start = std::chrono::steady_clock::now(); // before the request: its timer may start at once
    c.sock->writeData(NetBytes(16u << 20, 'w'), 0.1, 1);
    ASSERT_TRUE(c.rec->waitFor("disconnect", 1, 10000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 190ms);
    ASSERT_EQ(2u, c.rec->writeElapsed.size());
    EXPECT_DOUBLE_EQ(0.2, c.rec->writeElapsed[1]);
    EXPECT_EQ(5, c.rec->first("disconnect")->error->code);
    EXPECT_EQ("Write operation timed out", c.rec->first("disconnect")->error->localizedDescription());

    Connected d;
    d.connect();
    d.peer.setReceiveBuffer(4096);
    d.sock->writeData(NetBytes(16u << 20, 'w'), 0.1, 1);
    ASSERT_TRUE(d.rec->waitFor("disconnect", 1, 10000));
    EXPECT_EQ(5, d.rec->first("disconnect")->error->code);
    EXPECT_EQ(0, d.rec->count("writeTimeoutQuestion"));
}

TEST(NetSocketWrite, WriteToAClosedPeerFailsWithoutASignal) {
    Connected c;
    c.connect();
    c.peer.closeConnection();
    for (int i = 0; i < 50 && c.rec->count("disconnect") == 0; ++i) {
        c.sock->writeData(NetBytes(65536, 'x'), 10.0, i);
        MainRunLoop::runFor(5ms);
    }
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    // Either the write failed (EPIPE / ECONNRESET) or the read side saw the close.
    ASSERT_TRUE(c.rec->first("disconnect")->error.has_value());
}

// ---------------------------------------------------------------- disconnect after

TEST(NetSocketDisconnect, AfterReadingAndWritingWaitsForEverythingQueued) {
    Connected c;
    c.connect();
    c.sock->writeData(bytesOf("w1"), 10.0, 1);
    c.sock->writeData(bytesOf("w2"), 10.0, 2);
    c.sock->readDataToLength(3, 10.0, 3);
    c.sock->disconnectAfterReadingAndWriting();
    c.sock->readDataToLength(1, 10.0, 4); // ignored: no new reads
    EXPECT_EQ("w1w2", textOf(c.peer.receive(4)));
    MainRunLoop::runFor(30ms);
    EXPECT_EQ(0, c.rec->count("disconnect"));
    c.peer.send("r3!");
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_FALSE(c.rec->first("disconnect")->error.has_value());
    EXPECT_EQ((std::vector<std::string>{"connect", "write", "write", "read", "disconnect"}), c.rec->kinds());
    EXPECT_TRUE(c.peer.waitForClose());
}

TEST(NetSocketDisconnect, AfterWritingClosesOnceTheWriteIsDone) {
    Connected c;
    c.connect();
    c.sock->readDataToLength(10, 10.0, 9); // pending read does not hold the close
    c.sock->writeData(bytesOf("bye"), 10.0, 1);
    c.sock->disconnectAfterWriting();
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_EQ((std::vector<std::string>{"connect", "write", "disconnect"}), c.rec->kinds());
    EXPECT_EQ("bye", textOf(c.peer.receive(3)));

    Connected d;
    d.connect();
    d.sock->disconnectAfterWriting(); // nothing queued: closes at once
    ASSERT_TRUE(d.rec->waitFor("disconnect"));
    EXPECT_FALSE(d.rec->first("disconnect")->error.has_value());
}

TEST(NetSocketDisconnect, AfterReadingClosesOnceTheReadIsDone) {
    Connected c;
    c.connect();
    c.sock->readDataToLength(2, 10.0, 1);
    c.sock->disconnectAfterReading();
    c.sock->writeData(bytesOf("dropped"), 10.0, 2);
    c.peer.send("ok");
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_EQ((std::vector<std::string>{"connect", "read", "disconnect"}), c.rec->kinds());
    EXPECT_TRUE(c.peer.receiveAll(100).empty());

    // Never started: nothing at all.
    auto rec = std::make_shared<SocketRecorder>();
    auto idle = NetSocket::create(rec, DispatchQueue::main());
    idle->disconnect();
    idle->disconnectAfterReadingAndWriting();
    MainRunLoop::runFor(20ms);
    EXPECT_TRUE(rec->events.empty());
}

// ---------------------------------------------------------------- accepting

TEST(NetSocketAccept, AcceptsAndTalksToTheChildSocket) {
    auto serverRec = std::make_shared<SocketRecorder>();
    auto server = NetSocket::create(serverRec, DispatchQueue::main());
    std::optional<NetSocketError> err;
    ASSERT_TRUE(server->acceptOnInterface(std::string("127.0.0.1"), 0, &err)) << err->localizedDescription();
    std::uint16_t port = server->localPort();
    ASSERT_NE(0, port);
    EXPECT_FALSE(server->acceptOnPort(0, &err));
    EXPECT_EQ("Attempting to accept while connected or accepting connections. Disconnect first.",
              err->localizedDescription());

    auto clientRec = std::make_shared<SocketRecorder>();
    auto client = NetSocket::create(clientRec, DispatchQueue::main());
    ASSERT_TRUE(client->connectToHost("127.0.0.1", port, 10.0));
    ASSERT_TRUE(serverRec->waitFor("accept"));
    ASSERT_TRUE(clientRec->waitFor("connect"));
    ASSERT_EQ(1u, serverRec->accepted.size());
    auto child = serverRec->accepted[0];
    EXPECT_TRUE(child->isConnected());

    child->readDataToData(NetSocket::LFData(), 10.0, 1);
    client->writeData(bytesOf("ping\n"), 10.0, 1);
    ASSERT_TRUE(serverRec->waitFor("read"));
    EXPECT_EQ("ping\n", textOf(serverRec->first("read")->data));
    client->readDataToData(NetSocket::LFData(), 10.0, 2);
    child->writeData(bytesOf("pong\n"), 10.0, 2);
    ASSERT_TRUE(clientRec->waitFor("read"));
    EXPECT_EQ("pong\n", textOf(clientRec->first("read")->data));

    child->disconnect();
    ASSERT_TRUE(clientRec->waitFor("disconnect"));
    EXPECT_EQ(7, clientRec->first("disconnect")->error->code);
    server->disconnect();
    ASSERT_TRUE(serverRec->waitFor("disconnect", 2)); // the child's and the listener's
}

TEST(NetSocketAccept, OnePortForBothFamiliesAndLocalhostTriesTheFamilyAsConfigured) {
    if (!LoopbackPeer::ipv6Available())
        GTEST_SKIP() << "no IPv6 loopback on this machine";
    auto serverRec = std::make_shared<SocketRecorder>();
    auto server = NetSocket::create(serverRec, DispatchQueue::main());
    ASSERT_TRUE(server->acceptOnPort(0));
    std::uint16_t port = server->localPort();
    ASSERT_NE(0, port);

    // "localhost": IPv4 first; the IPv6 attempt is not due before the test ends.
    auto fourRec = std::make_shared<SocketRecorder>();
    auto four = NetSocket::create(fourRec, DispatchQueue::main());
    four->setAlternateAddressDelay(30.0);
    ASSERT_TRUE(four->connectToHost("localhost", port, 10.0));
    ASSERT_TRUE(fourRec->waitFor("connect"));
    EXPECT_EQ("127.0.0.1", fourRec->first("connect")->host);
    EXPECT_TRUE(four->isIPv4());

    // The same with IPv6 preferred reaches the IPv6 listener on the same port.
    auto sixRec = std::make_shared<SocketRecorder>();
    auto six = NetSocket::create(sixRec, DispatchQueue::main());
    six->setAlternateAddressDelay(30.0);
    six->setIPv4PreferredOverIPv6(false);
    ASSERT_TRUE(six->connectToHost("localhost", port, 10.0));
    ASSERT_TRUE(sixRec->waitFor("connect"));
    EXPECT_EQ("::1", sixRec->first("connect")->host);
    EXPECT_EQ(port, sixRec->first("connect")->port);
    EXPECT_TRUE(six->isIPv6());
    EXPECT_FALSE(six->isIPv4());

    ASSERT_TRUE(serverRec->waitFor("accept", 2));
    four->disconnect();
    six->disconnect();
    server->disconnect();
}

TEST(NetSocketAccept, AConnectionNobodyCanTakeIsClosed) {
    auto serverRec = std::make_shared<SocketRecorder>();
    serverRec->keepAccepted = false;
    auto server = NetSocket::create(serverRec, DispatchQueue::main());
    if (!LoopbackPeer::ipv6Available())
        server->setIPv6Enabled(false);
    ASSERT_TRUE(server->acceptOnPort(0));
    std::uint16_t port = server->localPort();

    // A child the delegate does not keep is closed when released.
    LoopbackPeer dummy;
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a));
    ASSERT_TRUE(serverRec->waitFor("accept"));
    char c;
    timeval tv{2, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    EXPECT_EQ(0, ::recv(fd, &c, 1, 0));
    ::close(fd);

    // With no delegate queue at the moment of the accept the descriptor is closed.
    server->synchronouslySetDelegateQueue(nullptr);
    int fd2 = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(0, ::connect(fd2, reinterpret_cast<sockaddr*>(&a), sizeof a));
    setsockopt(fd2, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    EXPECT_EQ(0, ::recv(fd2, &c, 1, 0));
    ::close(fd2);
    EXPECT_EQ(1, serverRec->count("accept"));
}

TEST(NetSocketAccept, UnixDomainListenerAndClient) {
    std::string path = "/tmp/trekora-sock-" + std::to_string(::getpid());
    std::string url = platform::Url::fileUrl(path).absoluteString();
    auto serverRec = std::make_shared<SocketRecorder>();
    auto server = NetSocket::create(serverRec, DispatchQueue::main());
    std::optional<NetSocketError> err;
    ASSERT_TRUE(server->acceptOnUrl(url, &err));
    struct stat st;
    ASSERT_EQ(0, ::lstat(path.c_str(), &st)); // the socket file lies at the URL's path
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    auto clientRec = std::make_shared<SocketRecorder>();
    auto client = NetSocket::create(clientRec, DispatchQueue::main());
    ASSERT_TRUE(client->connectToUrl(url, 10.0, &err));
    ASSERT_TRUE(clientRec->waitFor("connectUrl"));
    EXPECT_EQ(url, clientRec->first("connectUrl")->host);
    EXPECT_EQ(url, client->connectedUrl().value_or(""));
    ASSERT_TRUE(serverRec->waitFor("accept"));
    serverRec->accepted[0]->readDataToLength(3, 10.0, 1);
    client->writeData(bytesOf("uds"), 10.0, 1);
    ASSERT_TRUE(serverRec->waitFor("read"));
    EXPECT_EQ("uds", textOf(serverRec->first("read")->data));
    client->disconnect();
    server->disconnect();
    serverRec->accepted.clear();
    MainRunLoop::runFor(20ms);
    // A later listener on the same path removes the old socket file first.
    EXPECT_EQ(0, ::lstat(path.c_str(), &st));
    auto again = NetSocket::create(serverRec, DispatchQueue::main());
    EXPECT_TRUE(again->acceptOnUrl(url, &err));
    again->disconnect();
    ::unlink(path.c_str());

    // Refusals.
    auto idle = NetSocket::create(clientRec, DispatchQueue::main());
    EXPECT_FALSE(idle->connectToUrl("file://", 1.0, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ("Invalid unix domain socket url.", err->localizedDescription());
    std::string dir = path + "-dir";
    ASSERT_EQ(0, ::mkdir(dir.c_str(), 0700));
    std::string inside = dir + "/keep";
    ::close(::open(inside.c_str(), O_CREAT | O_WRONLY, 0600));
    err.reset();
    EXPECT_FALSE(idle->acceptOnUrl(platform::Url::fileUrl(dir).absoluteString(), &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(8, err->code);
    EXPECT_EQ("Could not remove previous unix domain socket at given url.", err->localizedDescription());
    ::unlink(inside.c_str());
    ::rmdir(dir.c_str());
    EXPECT_TRUE(idle->isDisconnected());
}

TEST(NetSocketAccept, RefusesBadRequestsAndOpensNothing) {
    const int before = openDescriptorCount();
    std::optional<NetSocketError> err;
    auto placeholder = NetSocket::create();
    EXPECT_FALSE(placeholder->acceptOnPort(0, &err));
    ASSERT_TRUE(err);
    EXPECT_EQ(1, err->code);
    EXPECT_EQ("Attempting to accept without a delegate. Set a delegate first.", err->localizedDescription());
    auto rec = std::make_shared<SocketRecorder>();
    auto noQueue = NetSocket::create(rec);
    EXPECT_FALSE(noQueue->acceptOnUrl("/tmp/never", &err));
    EXPECT_EQ("Attempting to accept without a delegate queue. Set a delegate queue first.",
              err->localizedDescription());

    auto sock = NetSocket::create(rec, DispatchQueue::main());
    EXPECT_FALSE(sock->acceptOnInterface(std::string("no-such-interface0"), 0, &err));
    EXPECT_EQ(2, err->code);
    EXPECT_EQ("Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.",
              err->localizedDescription());
    // An IPv6 literal is split at its colons: "fe80" names no interface.
    EXPECT_FALSE(sock->acceptOnInterface(std::string("fe80::1"), 0, &err));
    EXPECT_EQ("Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.",
              err->localizedDescription());
    sock->setIPv6Enabled(false);
    sock->setIPv4Enabled(false);
    EXPECT_FALSE(sock->acceptOnPort(0, &err));
    EXPECT_EQ("Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.",
              err->localizedDescription());
    EXPECT_TRUE(sock->isDisconnected());
    EXPECT_EQ(before, openDescriptorCount());
}

TEST(NetSocketRead, ReadsQueuedBeforeTheConnectAreDropped) {
    Connected c;
    c.sock->readDataToLength(1, 10.0, 1); // not started yet: dropped
    c.connect();
    c.peer.send("x");
    MainRunLoop::runFor(50ms);
    EXPECT_EQ(0, c.rec->count("read"));
    c.sock->readDataToLength(1, 10.0, 2);
    ASSERT_TRUE(c.rec->waitFor("read"));
    EXPECT_EQ(2, c.rec->first("read")->tag);
    EXPECT_EQ("x", textOf(c.rec->first("read")->data));
}

TEST(NetSocketConnect, ConnectsToAnAddressAndWrapsAConnectedDescriptor) {
    LoopbackPeer peer;
    auto rec = std::make_shared<SocketRecorder>();
    auto sock = NetSocket::create(rec, DispatchQueue::main());
    std::optional<NetSocketError> err;
    EXPECT_FALSE(sock->connectToAddress(NetBytes(15, 0), 10.0, &err));
    EXPECT_EQ("A valid IPv4 or IPv6 address was not given", err->localizedDescription());
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(peer.port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto* p = reinterpret_cast<const std::uint8_t*>(&a);
    NetBytes address(p, p + sizeof a);
    ASSERT_TRUE(sock->connectToAddress(address, 10.0, &err));
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(rec->waitFor("connect"));
    EXPECT_EQ(peer.port(), rec->first("connect")->port);

    // The accepted end, wrapped in a socket of its own.
    int fd = ::dup(peer.fd());
    auto wrappedRec = std::make_shared<SocketRecorder>();
    auto wrapped = NetSocket::socketFromConnectedSocketFD(fd, wrappedRec, DispatchQueue::main(), &err);
    ASSERT_NE(nullptr, wrapped);
    ASSERT_TRUE(wrappedRec->waitFor("connect"));
    wrapped->readDataToLength(4, 10.0, 1);
    sock->writeData(bytesOf("wrap"), 10.0, 1);
    ASSERT_TRUE(wrappedRec->waitFor("read"));
    EXPECT_EQ("wrap", textOf(wrappedRec->first("read")->data));
    wrapped->disconnect();
    ASSERT_TRUE(wrappedRec->waitFor("disconnect"));
}
