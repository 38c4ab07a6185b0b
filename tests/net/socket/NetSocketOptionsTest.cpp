#include "fakes/LoopbackPeer.h"
#include "net/socket/SocketRecorder.h"

#include <gtest/gtest.h>

#include <netdb.h>
#include <netinet/in.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <thread>

using platform::DispatchQueue;
using platform::MainRunLoop;

TEST(NetSocketErrors, CarryTheirDomainsCodesAndTexts) {
    struct Case {
        NetSocketError error;
        long code;
        const char* text;
    };
    const Case cases[] = {
        {NetSocket::badConfigError("config"), 1, "config"},
        {NetSocket::badParamError("param"), 2, "param"},
        {NetSocket::connectTimeoutError(), 3, "Attempt to connect to host timed out"},
        {NetSocket::readTimeoutError(), 4, "Read operation timed out"},
        {NetSocket::writeTimeoutError(), 5, "Write operation timed out"},
        {NetSocket::readMaxedOutError(), 6, "Read operation reached set maximum length"},
        {NetSocket::connectionClosedError(), 7, "Socket closed by remote peer"},
        {NetSocket::otherError("other"), 8, "other"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ("NetSocketErrorDomain", c.error.domain) << c.text;
        EXPECT_EQ(c.code, c.error.code) << c.text;
        EXPECT_EQ(c.text, c.error.localizedDescription());
        EXPECT_EQ(1u, c.error.userInfo.size()) << c.text; // the description only
    }

    auto posix = NetSocket::errorWithErrno(ECONNRESET, "Error in read() function");
    EXPECT_EQ("NSPOSIXErrorDomain", posix.domain);
    EXPECT_EQ(ECONNRESET, posix.code);
    EXPECT_EQ(std::strerror(ECONNRESET), posix.localizedDescription());
    EXPECT_EQ("Error in read() function", posix.failureReason());

    auto lookup = NetSocket::gaiError(EAI_NONAME);
    EXPECT_EQ("kCFStreamErrorDomainNetDB", lookup.domain);
    EXPECT_EQ(EAI_NONAME, lookup.code);
    EXPECT_EQ(gai_strerror(EAI_NONAME), lookup.localizedDescription());

    auto tls = NetSocket::sslError(-9806);
    EXPECT_EQ("kCFStreamErrorDomainSSL", tls.domain);
    EXPECT_EQ(-9806, tls.code);
    EXPECT_EQ(0u, tls.userInfo.count(NetSocketError::kLocalizedDescriptionKey));
    EXPECT_EQ("Error code definition can be found in Apple's SecureTransport.h", tls.recoverySuggestion());
}

TEST(NetSocketLookup, LoopbackNamesNeedNoLookupAndNumbersKeepThePort) {
    for (const char* name : {"localhost", "loopback"}) {
        std::optional<NetSocketError> err = NetSocket::otherError("stale");
        auto addresses = NetSocket::lookupHost(name, 8080, &err);
        ASSERT_TRUE(addresses) << name;
        EXPECT_FALSE(err) << name;
        ASSERT_EQ(2u, addresses->size()) << name;
        EXPECT_TRUE(NetSocket::isIPv4Address((*addresses)[0]));
        EXPECT_EQ("127.0.0.1", NetSocket::hostFromAddress((*addresses)[0]));
        EXPECT_TRUE(NetSocket::isIPv6Address((*addresses)[1]));
        EXPECT_EQ("::1", NetSocket::hostFromAddress((*addresses)[1]));
        for (const auto& a : *addresses)
            EXPECT_EQ(8080, NetSocket::portFromAddress(a));
    }

    // A numeric address is answered by the resolver itself.
    auto numeric = NetSocket::lookupHost("127.0.0.1", 631, nullptr);
    ASSERT_TRUE(numeric);
    ASSERT_FALSE(numeric->empty());
    std::string host;
    std::uint16_t port = 0;
    int family = 0;
    ASSERT_TRUE(NetSocket::getHost(&host, &port, &family, numeric->front()));
    EXPECT_EQ("127.0.0.1", host);
    EXPECT_EQ(631, port);
    EXPECT_EQ(AF_INET, family);
}

TEST(NetSocketOptions, SettersAndGettersPassThroughTheSocketQueueInOrder) {
    auto rec = std::make_shared<SocketRecorder>();
    auto sock = NetSocket::create(rec, DispatchQueue::main());
    EXPECT_TRUE(sock->isIPv4Enabled());
    EXPECT_TRUE(sock->isIPv6Enabled());
    EXPECT_TRUE(sock->isIPv4PreferredOverIPv6());
    EXPECT_DOUBLE_EQ(0.3, sock->alternateAddressDelay());
    EXPECT_TRUE(sock->autoDisconnectOnClosedReadStream());

    // Asynchronous setters from another thread, read back from this one.
    std::thread([&] {
        sock->setIPv4Enabled(false);
        sock->setIPv4PreferredOverIPv6(false);
        sock->setAlternateAddressDelay(1.5);
        sock->setUserData(std::make_shared<int>(42));
    }).join();
    EXPECT_FALSE(sock->isIPv4Enabled());
    EXPECT_TRUE(sock->isIPv6Enabled());
    EXPECT_FALSE(sock->isIPv4PreferredOverIPv6());
    EXPECT_DOUBLE_EQ(1.5, sock->alternateAddressDelay());
    ASSERT_TRUE(sock->userData());
    EXPECT_EQ(42, *std::static_pointer_cast<int>(sock->userData()));

    NetSocket::DelegatePtr delegate;
    NetSocket::QueuePtr queue;
    sock->getDelegate(&delegate, &queue);
    EXPECT_EQ(rec, delegate);
    EXPECT_EQ(DispatchQueue::main(), queue);
    sock->setDelegateQueue(nullptr);
    EXPECT_EQ(nullptr, sock->delegateQueue());
    sock->synchronouslySetDelegate(std::weak_ptr<NetSocketDelegate>());
    EXPECT_EQ(nullptr, sock->delegate());

    // Getters from inside the socket queue answer in line.
    bool disconnected = false;
    bool ipv6 = true;
    sock->performBlock([&] {
        disconnected = sock->isDisconnected();
        ipv6 = sock->isIPv6Enabled();
    });
    EXPECT_TRUE(disconnected);
    EXPECT_TRUE(ipv6);
}

TEST(NetSocketOptions, AMarkedTargetQueueCountsAsTheSocketQueue) {
    LoopbackPeer peer;
    auto rec = std::make_shared<SocketRecorder>();
    auto sock = NetSocket::create(rec, DispatchQueue::main());
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", peer.port(), 10.0));
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(rec->waitFor("connect"));
    int inside = -1;
    sock->performBlock([&] { inside = sock->socketFD(); });
    ASSERT_GE(inside, 0);

    auto target = DispatchQueue::createSerial("target");
    int onTarget = -1;
    target->sync([&] { onTarget = sock->socketFD(); });
    EXPECT_EQ(-1, onTarget);
    sock->markSocketQueueTargetQueue(target);
    target->sync([&] { onTarget = sock->socketFD(); });
    EXPECT_EQ(inside, onTarget);
    sock->unmarkSocketQueueTargetQueue(target);
    target->sync([&] { onTarget = sock->socketFD(); });
    EXPECT_EQ(-1, onTarget);
    sock->disconnect();
}

TEST(NetSocketOptions, TheSocketQueueRunsOnAMarkedTargetQueue) {
    LoopbackPeer peer;
    auto rec = std::make_shared<SocketRecorder>();
    auto sock = NetSocket::create(rec, DispatchQueue::main());
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", peer.port(), 10.0));
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(rec->waitFor("connect"));

    auto target = DispatchQueue::createSerial("target");
    sock->markSocketQueueTargetQueue(target);
    // Work of the target and work of the socket never run side by side.
    std::atomic<bool> busy{false};
    std::atomic<bool> started{false};
    target->async([&] {
        busy = true;
        started = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        busy = false;
    });
    while (!started) std::this_thread::yield();
    bool overlapped = true;
    sock->performBlock([&] { overlapped = busy; });
    EXPECT_FALSE(overlapped);

    // A queue that runs on the socket queue cannot be its target.
    auto inner = DispatchQueue::createSerial("inner");
    sock->unmarkSocketQueueTargetQueue(target);
    sock->performBlock([&] {});
    ASSERT_TRUE(inner->setTarget(target));
    auto socketQueue = DispatchQueue::createSerial("socket");
    auto own = NetSocket::create(rec, DispatchQueue::main(), socketQueue);
    ASSERT_TRUE(target->setTarget(socketQueue));
    own->markSocketQueueTargetQueue(inner);
    int fd = 0;
    inner->sync([&] { fd = own->socketFD(); });
    EXPECT_EQ(-1, fd);  // not marked
    EXPECT_EQ(nullptr, socketQueue->target());
    sock->disconnect();
}

TEST(NetSocketOptions, StreamPairsAndBackgroundingHaveNoEffectHere) {
    LoopbackPeer peer;
    auto rec = std::make_shared<SocketRecorder>();
    auto sock = NetSocket::create(rec, DispatchQueue::main());
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", peer.port(), 10.0));
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(rec->waitFor("connect"));

    EXPECT_FALSE(sock->enableBackgroundingOnSocket());
    EXPECT_FALSE(sock->enableBackgroundingOnSocketWithCaveat());
    bool background = true, caveat = true;
    void* readStream = &background;
    void* writeStream = &background;
    sock->performBlock([&] {
        background = sock->enableBackgroundingOnSocket();
        caveat = sock->enableBackgroundingOnSocketWithCaveat();
        readStream = sock->readStream();
        writeStream = sock->writeStream();
    });
    EXPECT_FALSE(background);
    EXPECT_FALSE(caveat);
    EXPECT_EQ(nullptr, readStream);
    EXPECT_EQ(nullptr, writeStream);

    // The connection is untouched by all of that.
    EXPECT_TRUE(sock->isConnected());
    sock->writeData(bytesOf("still"), 10.0, 1);
    EXPECT_EQ("still", textOf(peer.receive(5)));

    // No write in progress: zeros and NaN.
    std::int64_t tag = 7;
    std::uint64_t done = 7, total = 7;
    ASSERT_TRUE(rec->waitFor("write"));
    EXPECT_TRUE(std::isnan(sock->progressOfWriteReturningTag(&tag, &done, &total)));
    EXPECT_EQ(0, tag);
    EXPECT_EQ(0u, done);
    EXPECT_EQ(0u, total);
    sock->disconnect();
}
