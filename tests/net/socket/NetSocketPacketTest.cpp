#include "net/socket/NetReadPacket.h"
#include "net/socket/NetSocket.h"
#include "net/socket/NetSocketPreBuffer.h"

#include <gtest/gtest.h>

#include <sys/un.h>

#include <cstring>

namespace {

void put(NetSocketPreBuffer& b, const NetBytes& bytes) {
    b.ensureCapacityForWrite(bytes.size());
    std::memcpy(b.writeBuffer(), bytes.data(), bytes.size());
    b.didWrite(bytes.size());
}

} // namespace

TEST(NetSocketPreBuffer, RewindsWhenDrainedAndGrowsByWhatIsMissing) {
    NetSocketPreBuffer b(4096);
    put(b, NetBytes(100, 1));
    b.didRead(100);
    EXPECT_EQ(4096u, b.availableSpace());

    put(b, NetBytes(4096, 2));
    b.didRead(100);
    EXPECT_EQ(0u, b.availableSpace());
    EXPECT_EQ(3996u, b.availableBytes());
    std::uint8_t* before = b.readBuffer();
    std::ptrdiff_t offset = before - (b.writeBuffer() - 4096);
    b.ensureCapacityForWrite(10);
    EXPECT_EQ(4106u, b.size());
    EXPECT_EQ(10u, b.availableSpace());
    EXPECT_EQ(3996u, b.availableBytes());
    EXPECT_EQ(offset, b.readBuffer() - (b.writeBuffer() - 4096));
    EXPECT_EQ(2, b.readBuffer()[0]);
}

TEST(NetReadPacket, SizesReadsByKind) {
    NetReadPacket exact(nullptr, 7, 0, -1, 5, nullptr, 1);
    EXPECT_EQ(5u, exact.buffer->size());
    EXPECT_EQ(0u, exact.startOffset);
    EXPECT_TRUE(exact.bufferOwner);

    NetReadPacket eight(nullptr, 0, 0, -1, 8, nullptr, 1);
    eight.bytesDone = 3;
    EXPECT_EQ(5u, eight.readLengthForNonTermWithHint(100));
    NetReadPacket capped(nullptr, 0, 50, -1, 0, nullptr, 1);
    capped.bytesDone = 45;
    EXPECT_EQ(5u, capped.readLengthForNonTermWithHint(100));
    NetReadPacket any(nullptr, 0, 0, -1, 0, nullptr, 1);
    EXPECT_EQ(100u, any.readLengthForNonTermWithHint(100));
    bool preBuffer = false;
    EXPECT_EQ(32768u, any.optimalReadLengthWithDefault(32768, &preBuffer));
    EXPECT_TRUE(preBuffer); // a speculative read larger than the buffer's room
}

TEST(NetReadPacket, FindsTerminatorsAcrossBufferAndPreBuffer) {
    NetBytes crlf = NetSocket::CRLFData();
    // Terminator starts in the bytes already read.
    NetReadPacket p(nullptr, 0, 0, -1, 0, &crlf, 1);
    p.buffer->assign({'a', 'b', 'c', 0x0D, 0x0A, 'A', 'B'});
    p.bytesDone = 4;
    EXPECT_EQ(2, p.searchForTermAfterPreBuffering(3));
    // Only the first byte of the terminator among the new bytes.
    NetReadPacket q(nullptr, 0, 0, -1, 0, &crlf, 1);
    q.buffer->assign({'a', 0x0D});
    EXPECT_EQ(-1, q.searchForTermAfterPreBuffering(2));

    // Buffer ends with 0D, pre-buffer holds 0A 41.
    NetReadPacket r(nullptr, 0, 0, -1, 0, &crlf, 1);
    r.buffer->assign({'x', 0x0D});
    r.bytesDone = 2;
    NetSocketPreBuffer pre(16);
    put(pre, {0x0A, 0x41});
    bool found = false;
    EXPECT_EQ(1u, r.readLengthForTermWithPreBuffer(pre, &found));
    EXPECT_TRUE(found);

    // Too few bytes for a terminator: everything moves, found untouched.
    NetReadPacket s(nullptr, 0, 0, -1, 0, &crlf, 1);
    NetSocketPreBuffer one(16);
    put(one, {'z'});
    bool untouched = true;
    EXPECT_EQ(1u, s.readLengthForTermWithPreBuffer(one, &untouched));
    EXPECT_TRUE(untouched);

    // Terminator in the middle of the pre-buffer.
    NetReadPacket t(nullptr, 0, 0, -1, 0, &crlf, 1);
    NetSocketPreBuffer mid(16);
    put(mid, {'1', '2', 0x0D, 0x0A, '3'});
    found = false;
    EXPECT_EQ(4u, t.readLengthForTermWithPreBuffer(mid, &found));
    EXPECT_TRUE(found);
}

TEST(NetSocketTerminators, AreFreshArrays) {
    NetBytes a = NetSocket::CRLFData();
    a[0] = 'x';
    EXPECT_EQ((NetBytes{0x0D, 0x0A}), NetSocket::CRLFData());
    EXPECT_EQ((NetBytes{0x0D}), NetSocket::CRData());
    EXPECT_EQ((NetBytes{0x0A}), NetSocket::LFData());
    EXPECT_EQ((NetBytes{0x00}), NetSocket::ZeroData());
}

TEST(NetSocketAddresses, ConvertsInterfaceDescriptions) {
    auto sock = NetSocket::create();
    std::optional<NetBytes> a4, a6;
    sock->getInterfaceAddress4(&a4, &a6, std::string("localhost:8080"), 0);
    ASSERT_TRUE(a4 && a6);
    EXPECT_EQ("127.0.0.1", NetSocket::hostFromAddress(*a4));
    EXPECT_EQ("::1", NetSocket::hostFromAddress(*a6));
    EXPECT_EQ(8080, NetSocket::portFromAddress(*a4));
    EXPECT_EQ(8080, NetSocket::portFromAddress(*a6));
    sock->getInterfaceAddress4(&a4, &a6, std::string("localhost:8080"), 80);
    EXPECT_EQ(80, NetSocket::portFromAddress(*a4));
    sock->getInterfaceAddress4(&a4, &a6, std::string(":8080"), 0);
    EXPECT_EQ("0.0.0.0", NetSocket::hostFromAddress(*a4));
    EXPECT_EQ("::", NetSocket::hostFromAddress(*a6));
    sock->getInterfaceAddress4(&a4, &a6, std::string("localhost:70000"), 5);
    EXPECT_EQ(5, NetSocket::portFromAddress(*a4));
    sock->getInterfaceAddress4(&a4, &a6, std::string("127.0.0.1"), 0);
    EXPECT_TRUE(a4.has_value());
    EXPECT_FALSE(a6.has_value());
    sock->getInterfaceAddress4(&a4, &a6, std::string("no-such-interface0"), 0);
    EXPECT_FALSE(a4 || a6);

    NetBytes shortAddress(15, 0);
    EXPECT_FALSE(NetSocket::isIPv4Address(shortAddress));
    // A file URL's path goes into the address, cut to the path field.
    auto un = sock->getInterfaceAddressFromUrl("file:///" + std::string(199, 'p'));
    ASSERT_TRUE(un.has_value());
    const auto& sun = *reinterpret_cast<const sockaddr_un*>(un->data());
    EXPECT_EQ("/" + std::string(106, 'p'), std::string(sun.sun_path));
    EXPECT_EQ("file:///" + std::string(106, 'p'), NetSocket::urlFromSockaddrUN(sun));
    auto plain = sock->getInterfaceAddressFromUrl("/tmp/a%20b");
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ("/tmp/a%20b", std::string(reinterpret_cast<const sockaddr_un*>(plain->data())->sun_path));
    auto decoded = sock->getInterfaceAddressFromUrl("file:///tmp/a%20b");
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ("/tmp/a b", std::string(reinterpret_cast<const sockaddr_un*>(decoded->data())->sun_path));
    EXPECT_FALSE(sock->getInterfaceAddressFromUrl("").has_value());
    EXPECT_FALSE(sock->getInterfaceAddressFromUrl("file://").has_value());
}
