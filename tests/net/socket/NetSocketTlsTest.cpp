#include "fakes/LoopbackPeer.h"
#include "fakes/TlsTestServer.h"
#include "net/socket/SocketRecorder.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <unistd.h>

using platform::DispatchQueue;
using platform::MainRunLoop;
using namespace std::chrono_literals;

namespace {

struct TlsClient {
    std::shared_ptr<SocketRecorder> rec = std::make_shared<SocketRecorder>();
    std::shared_ptr<NetSocket> sock = NetSocket::create(rec, DispatchQueue::main());

    void connect(std::uint16_t port) {
        ASSERT_TRUE(sock->connectToHost("127.0.0.1", port, 10.0));
        ASSERT_TRUE(rec->waitFor("connect"));
    }
};

NetTlsSettings manualTrust() {
    return {{NetSocket::NetSocketManuallyEvaluateTrust, true},
            {NetSocket::kCFStreamSSLPeerName, std::string("localhost")}};
}

const NetSocketError& disconnectError(const SocketRecorder& rec) { return *rec.first("disconnect")->error; }

} // namespace

TEST(NetSocketTls, HandshakeAndDataWithTheDelegatesTrust) {
    TlsTestServer server;
    TlsClient c;
    int verdicts = 0;
    c.rec->trustHandler = [&](std::function<void(bool)> handler) {
        ++verdicts;
        handler(true);
        handler(true); // a second verdict does nothing
    };
    c.connect(server.port());
    c.sock->startTLS(manualTrust());
    c.sock->startTLS(NetTlsSettings{}); // a second start is ignored
    c.sock->writeData(bytesOf("hello over tls\n"), 10.0, 1);
    c.sock->readDataToData(NetSocket::LFData(), 10.0, 2);
    ASSERT_TRUE(c.rec->waitFor("read")) << ::testing::PrintToString(c.rec->kinds());
    EXPECT_EQ("hello over tls\n", textOf(c.rec->first("read")->data));
    EXPECT_EQ(1, verdicts);
    EXPECT_EQ(1, c.rec->count("secure"));
    ASSERT_NE(nullptr, c.rec->first("trust"));
    EXPECT_EQ(1u, c.rec->first("trust")->length); // one self-signed certificate
    EXPECT_TRUE(c.sock->isSecure());
    EXPECT_EQ(1, server.handshakesCompleted());

    // A larger exchange through the TLS engine in both directions.
    NetBytes big(300000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i % 251);
    c.sock->writeData(big, 5.0, 3);
    c.sock->readDataToLength(big.size(), 5.0, 4);
    ASSERT_TRUE(c.rec->waitFor("read", 2, 6000));
    EXPECT_TRUE(c.rec->last("read")->data == big);
    c.sock->disconnect();
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_FALSE(c.rec->first("disconnect")->error.has_value());
}

TEST(NetSocketTls, RejectedTrustClosesWithBadCertificate) {
    TlsTestServer server;
    TlsClient c;
    c.rec->trustHandler = [](std::function<void(bool)> handler) { handler(false); };
    c.connect(server.port());
    c.sock->startTLS(manualTrust());
    c.sock->writeData(bytesOf("never"), 10.0, 1);
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_EQ("kCFStreamErrorDomainSSL", disconnectError(*c.rec).domain);
    EXPECT_EQ(-9825, disconnectError(*c.rec).code);
    EXPECT_EQ("Error code definition can be found in Apple's SecureTransport.h",
              disconnectError(*c.rec).recoverySuggestion());
    EXPECT_EQ(0, c.rec->count("secure"));
    EXPECT_EQ(0, c.rec->count("write"));
}

TEST(NetSocketTls, VerdictAfterDisconnectIsIgnored) {
    TlsTestServer server;
    TlsClient c;
    std::function<void(bool)> kept;
    c.rec->trustHandler = [&](std::function<void(bool)> handler) { kept = std::move(handler); };
    c.connect(server.port());
    c.sock->startTLS(manualTrust());
    ASSERT_TRUE(c.rec->waitFor("trust"));
    c.sock->disconnect();
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    kept(true);
    MainRunLoop::runFor(50ms);
    EXPECT_EQ(0, c.rec->count("secure"));
    EXPECT_EQ(1, c.rec->count("disconnect"));
}

TEST(NetSocketTls, SelfSignedPeerFailsTheDefaultEvaluation) {
    TlsTestServer server;
    TlsClient c;
    c.connect(server.port());
    c.sock->startTLS(NetTlsSettings{{NetSocket::kCFStreamSSLPeerName, std::string("localhost")}});
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_EQ("kCFStreamErrorDomainSSL", disconnectError(*c.rec).domain);
    EXPECT_EQ(-9807, disconnectError(*c.rec).code);
}

TEST(NetSocketTls, ManualTrustNeedsTheDelegatesMethod) {
    TlsTestServer server;
    TlsClient c; // no trust handler: the method counts as not implemented
    c.connect(server.port());
    c.sock->startTLS(manualTrust());
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_EQ(8, disconnectError(*c.rec).code);
    EXPECT_EQ("NetSocketManuallyEvaluateTrust specified in tlsSettings, but delegate doesn't implement "
              "socket:shouldTrustPeer:",
              disconnectError(*c.rec).localizedDescription());
}

TEST(NetSocketTls, SettingsThatAreRefused) {
    struct Case {
        NetTlsSettings settings;
        std::string message;
    };
    std::vector<Case> cases = {
        {{{NetSocket::kCFStreamSSLLevel, std::string("TLSv1.2")}}, "Security option unavailable - kCFStreamSSLLevel"},
        {{{NetSocket::NetSocketSSLCipherSuites, std::string("AES")}}, "Invalid value for NetSocketSSLCipherSuites."},
        {{{NetSocket::kCFStreamSSLPeerName, std::int64_t(5)}}, "Invalid value for kCFStreamSSLPeerName."},
        {{{NetSocket::kCFStreamSSLIsServer, true}, {NetSocket::NetSocketManuallyEvaluateTrust, true}},
         "Manual trust validation is not supported for server sockets"},
        {{{NetSocket::NetSocketUseCFStreamForTLS, true}}, "Error in CFStreamCreatePairWithSocket"},
    };
    for (const auto& tc : cases) {
        LoopbackPeer peer;
        TlsClient c;
        c.connect(peer.port());
        ASSERT_TRUE(peer.accept());
        c.sock->startTLS(tc.settings);
        ASSERT_TRUE(c.rec->waitFor("disconnect")) << tc.message;
        EXPECT_EQ(8, disconnectError(*c.rec).code) << tc.message;
        EXPECT_EQ(tc.message, disconnectError(*c.rec).localizedDescription());
    }

    // Over the stream pair with bytes already read ahead: the transition is refused first.
    LoopbackPeer peer;
    TlsClient c;
    c.connect(peer.port());
    ASSERT_TRUE(peer.accept());
    c.sock->readDataToData(NetSocket::LFData(), 10.0, 1);
    peer.send("a\nb"); // "b" stays read ahead
    ASSERT_TRUE(c.rec->waitFor("read"));
    c.sock->startTLS(NetTlsSettings{{NetSocket::NetSocketUseCFStreamForTLS, true}});
    ASSERT_TRUE(c.rec->waitFor("disconnect"));
    EXPECT_EQ("Invalid TLS transition. Handshake has already been read from socket.",
              disconnectError(*c.rec).localizedDescription());
}

TEST(NetSocketTls, BothEndsOfTheLayerTalkTls) {
    std::string cert, key;
    TlsTestServer::makeSelfSigned("localhost", &cert, &key);
    std::string identity = key + cert;

    auto serverRec = std::make_shared<SocketRecorder>();
    auto server = NetSocket::create(serverRec, DispatchQueue::main());
    ASSERT_TRUE(server->acceptOnInterface(std::string("127.0.0.1"), 0));
    TlsClient c;
    c.rec->trustHandler = [](std::function<void(bool)> handler) { handler(true); };
    c.connect(server->localPort());
    ASSERT_TRUE(serverRec->waitFor("accept"));
    auto child = serverRec->accepted[0];
    child->startTLS(NetTlsSettings{{NetSocket::kCFStreamSSLIsServer, true},
                                   {NetSocket::kCFStreamSSLCertificates,
                                    std::vector<NetBytes>{NetBytes(identity.begin(), identity.end())}}});
    c.sock->startTLS(manualTrust());
    child->readDataToData(NetSocket::CRLFData(), 10.0, 1);
    c.sock->writeData(bytesOf("secret\r\n"), 10.0, 1);
    ASSERT_TRUE(serverRec->waitFor("read"));
    EXPECT_EQ("secret\r\n", textOf(serverRec->first("read")->data));
    EXPECT_EQ(1, serverRec->count("secure"));
    EXPECT_EQ(1, c.rec->count("secure"));
    c.sock->disconnect();
    ASSERT_TRUE(serverRec->waitFor("disconnect"));
    server->disconnect();
}

TEST(NetSocketTls, HandshakeBytesReadAheadBeforeTheStartAreFedToTheTlsEngine) {
    std::string cert, key;
    TlsTestServer::makeSelfSigned("localhost", &cert, &key);
    std::string identity = key + cert;

    LoopbackPeer listener;
    TlsClient c;
    c.rec->trustHandler = [](std::function<void(bool)> handler) { handler(true); };
    c.connect(listener.port());
    ASSERT_TRUE(listener.accept());
    // The client says "go", then at once opens its handshake.
    c.sock->writeData(bytesOf("go\n"), 10.0, 1);
    c.sock->startTLS(manualTrust());
    auto pending = [&](int fd) {
        int n = 0;
        ::ioctl(fd, FIONREAD, &n);
        return n;
    };
    ASSERT_TRUE(MainRunLoop::runUntil([&] { return pending(listener.fd()) > 3; }, 10000ms));

    // Only now does a server socket take the connection: its first read
    // takes "go\n" and the client's first handshake message with it.
    auto serverRec = std::make_shared<SocketRecorder>();
    std::optional<NetSocketError> err;
    auto server = NetSocket::socketFromConnectedSocketFD(::dup(listener.fd()), serverRec, DispatchQueue::main(), &err);
    ASSERT_NE(nullptr, server);
    server->readDataToData(NetSocket::LFData(), 10.0, 1);
    ASSERT_TRUE(serverRec->waitFor("read"));
    EXPECT_EQ("go\n", textOf(serverRec->first("read")->data));
    EXPECT_EQ(0, pending(listener.fd())); // the handshake message waits read ahead
    server->startTLS(NetTlsSettings{{NetSocket::kCFStreamSSLIsServer, true},
                                    {NetSocket::kCFStreamSSLCertificates,
                                     std::vector<NetBytes>{NetBytes(identity.begin(), identity.end())}}});
    ASSERT_TRUE(serverRec->waitFor("secure")) << ::testing::PrintToString(serverRec->kinds());
    ASSERT_TRUE(c.rec->waitFor("secure")) << ::testing::PrintToString(c.rec->kinds());
    server->readDataToData(NetSocket::LFData(), 10.0, 2);
    c.sock->writeData(bytesOf("secret\n"), 10.0, 2);
    ASSERT_TRUE(serverRec->waitFor("read", 2));
    EXPECT_EQ("secret\n", textOf(serverRec->last("read")->data));
    c.sock->disconnect();
    server->disconnect();
}
