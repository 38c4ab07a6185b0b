#pragma once

#include "net/socket/NetBytes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class NetSocketTrust;
typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;
typedef struct x509_store_ctx_st X509_STORE_CTX;

// The TLS engine of the socket layer: OpenSSL behind the secure-transport
// operations and status codes that the socket expects. It never blocks: its
// I/O callbacks answer would-block and so does every operation then.
class NetSecureContext {
public:
    // Status codes.
    static constexpr int noErr = 0;
    static constexpr int errSecParam = -50;
    static constexpr int errSSLProtocol = -9800;
    static constexpr int errSSLWouldBlock = -9803;
    static constexpr int errSSLClosedGraceful = -9805;
    static constexpr int errSSLClosedAbort = -9806;
    static constexpr int errSSLXCertChainInvalid = -9807;
    static constexpr int errSSLPeerBadCert = -9825;
    static constexpr int errSSLPeerAuthCompleted = -9841;

    enum class SessionOption { BreakOnServerAuth, FalseStart, SendOneByteRecord };

    // The I/O callbacks: move up to *length bytes, store how many moved.
    using ReadFunc = std::function<int(void* data, std::size_t* length)>;
    using WriteFunc = std::function<int(const void* data, std::size_t* length)>;

    // None when the engine cannot make a context.
    static std::unique_ptr<NetSecureContext> create(bool isServer);
    ~NetSecureContext();
    NetSecureContext(const NetSecureContext&) = delete;
    NetSecureContext& operator=(const NetSecureContext&) = delete;

    int setIOFuncs(ReadFunc readFunc, WriteFunc writeFunc);
    int setConnection(void* connection);
    int setSessionOption(SessionOption option, bool value);
    int setPeerDomainName(const std::string& peerName);
    // The first element holds the private key and the certificate (PEM);
    // the others are further certificates of the chain (PEM or DER).
    int setCertificate(const std::vector<NetBytes>& chain);
    int setPeerID(const NetBytes& peerID);
    // Protocol versions in the engine's numbering (0x0303 is TLS 1.2).
    int setProtocolVersionMin(int version);
    int setProtocolVersionMax(int version);
    // Cipher suites by their 16-bit codes.
    int setEnabledCiphers(const std::vector<std::uint16_t>& ciphers);

    int handshake();
    // Manual trust evaluation: the delegate trusted the peer; the next
    // handshake step goes on past the peer's authentication.
    void setPeerTrusted() { trustGranted_ = true; }
    int copyPeerTrust(std::shared_ptr<NetSocketTrust>* trust);
    int read(void* data, std::size_t dataLength, std::size_t* processed);
    // With no data, pushes out the chunk that an earlier call left pending.
    int write(const void* data, std::size_t dataLength, std::size_t* processed);
    int getBufferedReadSize(std::size_t* bufSize);
    int close();

    SSL* native() const { return ssl_; }

private:
    NetSecureContext() = default;
    static int verifyCallback(X509_STORE_CTX* store, void* arg);
    int statusFor(int result);

    friend struct NetSecureContextBio;
    SSL_CTX* ctx_ = nullptr;
    SSL* ssl_ = nullptr;
    bool isServer_ = false;
    ReadFunc readFunc_;
    WriteFunc writeFunc_;
    void* connection_ = nullptr;
    bool breakOnServerAuth_ = false;
    bool trustGranted_ = false;
    bool verifyFailed_ = false;
    std::vector<NetBytes> peerChain_;
    std::vector<std::string> peerSubjects_;
    NetBytes peerID_;
    const void* pendingWrite_ = nullptr;
    std::size_t pendingWriteLength_ = 0;
    int lastIOStatus_ = 0;
};
