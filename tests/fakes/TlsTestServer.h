#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// A TLS echo server on 127.0.0.1 with a self-signed certificate made at
// start with the OpenSSL API (nothing is read from disk). Each connection is
// served in turn: the handshake, then every byte received is sent back.
class TlsTestServer {
public:
    explicit TlsTestServer(const std::string& commonName = "localhost");
    ~TlsTestServer();
    TlsTestServer(const TlsTestServer&) = delete;
    TlsTestServer& operator=(const TlsTestServer&) = delete;

    std::uint16_t port() const { return port_; }
    const std::string& certificatePem() const { return certPem_; }
    // The private key followed by the certificate, as one PEM text.
    const std::string& identityPem() const { return identityPem_; }
    int handshakesCompleted() const { return handshakes_.load(); }

    // A self-signed certificate and key for other servers in tests.
    static void makeSelfSigned(const std::string& commonName, std::string* certPem, std::string* keyPem);

private:
    void serve();

    int listenFD_ = -1;
    int stopFD_ = -1;
    std::uint16_t port_ = 0;
    std::string certPem_;
    std::string keyPem_;
    std::string identityPem_;
    std::atomic<int> handshakes_{0};
    std::thread thread_;
};
