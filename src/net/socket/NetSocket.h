#pragma once

#include "net/socket/NetBytes.h"
#include "net/socket/NetSocketDelegate.h"
#include "net/socket/NetSocketError.h"
#include "net/socket/NetSpecialPacket.h"
#include "platform/DispatchQueue.h"
#include "platform/DispatchSource.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sockaddr_in;
struct sockaddr_in6;
struct sockaddr_un;

class NetPacket;
class NetReadPacket;
class NetWritePacket;
class NetSocketPreBuffer;
class NetSecureContext;

// The asynchronous TCP socket. One object is one connection (or one
// listening socket). All of its state belongs to its own serial queue, the
// socket queue; every operation is thread-safe and hops onto that queue (in
// line when the caller already runs on it). Events reach the delegate
// asynchronously on the delegate queue.
//
// Errors are handed out through optional out-parameters
// (`std::optional<NetSocketError>*`, may be null).
class NetSocket : public std::enable_shared_from_this<NetSocket> {
public:
    using ErrorOut = std::optional<NetSocketError>*;
    using DelegatePtr = std::shared_ptr<NetSocketDelegate>;
    using WeakDelegate = std::weak_ptr<NetSocketDelegate>;
    using QueuePtr = platform::DispatchQueuePtr;

    // State flags.
    static constexpr std::uint32_t kFlagStarted = 0x00001;
    static constexpr std::uint32_t kFlagConnected = 0x00002;
    static constexpr std::uint32_t kFlagNoNewReadsWrites = 0x00004;
    static constexpr std::uint32_t kFlagReadsPaused = 0x00008;
    static constexpr std::uint32_t kFlagWritesPaused = 0x00010;
    static constexpr std::uint32_t kFlagCloseAfterReads = 0x00020;
    static constexpr std::uint32_t kFlagCloseAfterWrites = 0x00040;
    static constexpr std::uint32_t kFlagCanAcceptBytes = 0x00080;
    static constexpr std::uint32_t kFlagReadSourceSuspended = 0x00100;
    static constexpr std::uint32_t kFlagWriteSourceSuspended = 0x00200;
    static constexpr std::uint32_t kFlagTLSQueued = 0x00400;
    static constexpr std::uint32_t kFlagStartingReadTLS = 0x00800;
    static constexpr std::uint32_t kFlagStartingWriteTLS = 0x01000;
    static constexpr std::uint32_t kFlagSecure = 0x02000;
    static constexpr std::uint32_t kFlagReadEOF = 0x04000;
    static constexpr std::uint32_t kFlagReadStreamClosed = 0x08000;
    static constexpr std::uint32_t kFlagDeallocating = 0x10000;
    static constexpr std::uint32_t kFlagStreamsOnRunLoop = 0x20000;
    static constexpr std::uint32_t kFlagCFStreamTLS = 0x40000;
    static constexpr std::uint32_t kFlagSecureBytesAvailable = 0x80000;

    // Configuration flags.
    static constexpr std::uint16_t kConfigIPv4Disabled = 0x1;
    static constexpr std::uint16_t kConfigIPv6Disabled = 0x2;
    static constexpr std::uint16_t kConfigPreferIPv6 = 0x4;
    static constexpr std::uint16_t kConfigHalfDuplex = 0x8;

    // Keys of the TLS settings.
    static constexpr const char* kCFStreamSSLIsServer = "kCFStreamSSLIsServer";
    static constexpr const char* kCFStreamSSLPeerName = "kCFStreamSSLPeerName";
    static constexpr const char* kCFStreamSSLCertificates = "kCFStreamSSLCertificates";
    static constexpr const char* kCFStreamSSLAllowsAnyRoot = "kCFStreamSSLAllowsAnyRoot";
    static constexpr const char* kCFStreamSSLAllowsExpiredRoots = "kCFStreamSSLAllowsExpiredRoots";
    static constexpr const char* kCFStreamSSLValidatesCertificateChain = "kCFStreamSSLValidatesCertificateChain";
    static constexpr const char* kCFStreamSSLAllowsExpiredCertificates = "kCFStreamSSLAllowsExpiredCertificates";
    static constexpr const char* kCFStreamSSLLevel = "kCFStreamSSLLevel";
    static constexpr const char* NetSocketManuallyEvaluateTrust = "NetSocketManuallyEvaluateTrust";
    static constexpr const char* NetSocketUseCFStreamForTLS = "NetSocketUseCFStreamForTLS";
    static constexpr const char* NetSocketSSLPeerID = "NetSocketSSLPeerID";
    static constexpr const char* NetSocketSSLProtocolVersionMin = "NetSocketSSLProtocolVersionMin";
    static constexpr const char* NetSocketSSLProtocolVersionMax = "NetSocketSSLProtocolVersionMax";
    static constexpr const char* NetSocketSSLSessionOptionFalseStart = "NetSocketSSLSessionOptionFalseStart";
    static constexpr const char* NetSocketSSLSessionOptionSendOneByteRecord =
        "NetSocketSSLSessionOptionSendOneByteRecord";
    static constexpr const char* NetSocketSSLCipherSuites = "NetSocketSSLCipherSuites";

    // ---- Creation (the designated form takes all three; each may be absent)
    static std::shared_ptr<NetSocket> create(WeakDelegate delegate = {}, QueuePtr delegateQueue = nullptr,
                                             QueuePtr socketQueue = nullptr);
    static std::shared_ptr<NetSocket> createWithSocketQueue(QueuePtr socketQueue);
    // Wraps an already connected IPv4 or IPv6 descriptor.
    static std::shared_ptr<NetSocket> socketFromConnectedSocketFD(int socketFD, WeakDelegate delegate,
                                                                  QueuePtr delegateQueue, QueuePtr socketQueue,
                                                                  ErrorOut error);
    static std::shared_ptr<NetSocket> socketFromConnectedSocketFD(int socketFD, WeakDelegate delegate,
                                                                  QueuePtr delegateQueue, ErrorOut error);
    static std::shared_ptr<NetSocket> socketFromConnectedSocketFD(int socketFD, QueuePtr socketQueue,
                                                                  ErrorOut error);

    ~NetSocket();
    NetSocket(const NetSocket&) = delete;
    NetSocket& operator=(const NetSocket&) = delete;

    // ---- Delegate and delegate queue
    DelegatePtr delegate();
    QueuePtr delegateQueue();
    void getDelegate(DelegatePtr* delegatePtr, QueuePtr* delegateQueuePtr);
    void setDelegate(WeakDelegate delegate, bool synchronously = false);
    void setDelegateQueue(QueuePtr delegateQueue, bool synchronously = false);
    void setDelegate(WeakDelegate delegate, QueuePtr delegateQueue, bool synchronously = false);
    void synchronouslySetDelegate(WeakDelegate delegate) { setDelegate(std::move(delegate), true); }
    void synchronouslySetDelegateQueue(QueuePtr q) { setDelegateQueue(std::move(q), true); }
    void synchronouslySetDelegate(WeakDelegate delegate, QueuePtr q) {
        setDelegate(std::move(delegate), std::move(q), true);
    }

    // ---- Options
    bool isIPv4Enabled();
    void setIPv4Enabled(bool flag);
    bool isIPv6Enabled();
    void setIPv6Enabled(bool flag);
    bool isIPv4PreferredOverIPv6();
    void setIPv4PreferredOverIPv6(bool flag);
    double alternateAddressDelay();
    void setAlternateAddressDelay(double delay);
    std::shared_ptr<void> userData();
    void setUserData(std::shared_ptr<void> userData);

    // ---- Connecting
    bool connectToHost(const std::string& host, std::uint16_t port, ErrorOut error = nullptr);
    bool connectToHost(const std::string& host, std::uint16_t port, double timeout, ErrorOut error = nullptr);
    bool connectToHost(const std::string& host, std::uint16_t port, const std::optional<std::string>& viaInterface,
                       double timeout, ErrorOut error = nullptr);
    bool connectToAddress(const NetBytes& remoteAddr, ErrorOut error = nullptr);
    bool connectToAddress(const NetBytes& remoteAddr, double timeout, ErrorOut error = nullptr);
    bool connectToAddress(const NetBytes& remoteAddr, const std::optional<std::string>& viaInterface, double timeout,
                          ErrorOut error = nullptr);
    // Unix-domain socket at the path of a file URL.
    bool connectToUrl(const std::string& url, double timeout, ErrorOut error = nullptr);
    // Connects to the first of the resolved addresses of a service that takes.
    bool connectToNetService(const std::vector<NetBytes>& addresses, ErrorOut error = nullptr);
    // Any thread. "localhost" and "loopback" are answered without a lookup.
    static std::optional<std::vector<NetBytes>> lookupHost(const std::string& host, std::uint16_t port,
                                                           ErrorOut error);

    // ---- Disconnecting
    void disconnect();
    void disconnectAfterReading();
    void disconnectAfterWriting();
    void disconnectAfterReadingAndWriting();

    // ---- Status and addresses
    bool isDisconnected();
    bool isConnected();
    bool isIPv4();
    bool isIPv6();
    bool isSecure();
    std::optional<std::string> connectedHost();
    std::uint16_t connectedPort();
    std::optional<std::string> connectedUrl();
    std::optional<std::string> localHost();
    std::uint16_t localPort();
    std::optional<NetBytes> connectedAddress();
    std::optional<NetBytes> localAddress();
    std::optional<std::string> connectedHost4();
    std::optional<std::string> connectedHost6();
    std::uint16_t connectedPort4();
    std::uint16_t connectedPort6();
    std::optional<std::string> localHost4();
    std::optional<std::string> localHost6();
    std::uint16_t localPort4();
    std::uint16_t localPort6();

    static std::string hostFromSockaddr4(const sockaddr_in& addr);
    static std::string hostFromSockaddr6(const sockaddr_in6& addr);
    static std::uint16_t portFromSockaddr4(const sockaddr_in& addr);
    static std::uint16_t portFromSockaddr6(const sockaddr_in6& addr);
    static std::string urlFromSockaddrUN(const sockaddr_un& addr);
    static bool isIPv4Address(const NetBytes& address);
    static bool isIPv6Address(const NetBytes& address);
    static bool getHost(std::string* hostPtr, std::uint16_t* portPtr, int* familyPtr, const NetBytes& address);
    static bool getHost(std::string* hostPtr, std::uint16_t* portPtr, const NetBytes& address);
    static std::optional<std::string> hostFromAddress(const NetBytes& address);
    static std::uint16_t portFromAddress(const NetBytes& address);
    void getInterfaceAddress4(std::optional<NetBytes>* interfaceAddr4Ptr, std::optional<NetBytes>* interfaceAddr6Ptr,
                              const std::optional<std::string>& interfaceDescription, std::uint16_t port);
    // `url`: a file URL ("file:///tmp/socket"); a plain path is taken as it is.
    std::optional<NetBytes> getInterfaceAddressFromUrl(const std::string& url);
    // The file system path of a file URL (a plain path stays as it is).
    static std::string filePathFromUrl(const std::string& url);

    // ---- Reading (time-outs in seconds, negative for none)
    void readDataWithTimeout(double timeout, std::int64_t tag);
    void readDataWithTimeout(double timeout, NetBytesPtr buffer, std::uint64_t offset, std::int64_t tag);
    void readDataWithTimeout(double timeout, NetBytesPtr buffer, std::uint64_t offset, std::uint64_t maxLength,
                             std::int64_t tag);
    void readDataToLength(std::uint64_t length, double timeout, std::int64_t tag);
    void readDataToLength(std::uint64_t length, double timeout, NetBytesPtr buffer, std::uint64_t offset,
                          std::int64_t tag);
    void readDataToData(const NetBytes& data, double timeout, std::int64_t tag);
    void readDataToData(const NetBytes& data, double timeout, NetBytesPtr buffer, std::uint64_t offset,
                        std::int64_t tag);
    void readDataToData(const NetBytes& data, double timeout, std::uint64_t maxLength, std::int64_t tag);
    void readDataToData(const NetBytes& data, double timeout, NetBytesPtr buffer, std::uint64_t offset,
                        std::uint64_t maxLength, std::int64_t tag);
    float progressOfReadReturningTag(std::int64_t* tagPtr, std::uint64_t* donePtr, std::uint64_t* totalPtr);

    // ---- Writing: the data object is shared, not copied, until written.
    void writeData(NetConstBytesPtr data, double timeout, std::int64_t tag);
    void writeData(NetBytes data, double timeout, std::int64_t tag);
    float progressOfWriteReturningTag(std::int64_t* tagPtr, std::uint64_t* donePtr, std::uint64_t* totalPtr);
    // Bytes written to this TCP connection that the peer's stack has not
    // acknowledged yet: those still queued here and those in the system's
    // send queue, unsent or unacknowledged. 0 means the peer's stack has every
    // byte. None, with the reason in `error`, when the connection is not
    // established any more or holds a pending error (which this call takes):
    // a reset empties the system's queue too, so its emptiness alone proves
    // nothing. A connection whose peer has only closed its own side still
    // answers (see setAutoDisconnectOnClosedReadStream). Neither a
    // Unix-domain nor a TLS connection answers.
    std::optional<std::uint64_t> unacknowledgedWriteBytes(ErrorOut error = nullptr);

    // ---- Accepting
    bool acceptOnPort(std::uint16_t port, ErrorOut error = nullptr);
    bool acceptOnInterface(const std::optional<std::string>& interface, std::uint16_t port, ErrorOut error = nullptr);
    bool acceptOnUrl(const std::string& url, ErrorOut error = nullptr);

    // ---- TLS
    void startTLS(std::optional<NetTlsSettings> tlsSettings);

    // ---- Stream pairs and backgrounding: this platform has no stream pairs;
    // a connection opens none, and backgrounding answers false.
    void* readStream();
    void* writeStream();
    // True (the default): the peer's close of its side closes the
    // connection. False: it ends only the peer's direction (reported as
    // socketDidCloseReadStream) and writes go on, also while the send queue
    // is full; a reset still closes the connection with its error. Set it
    // before connecting to have it from the peer's first byte on.
    bool autoDisconnectOnClosedReadStream();
    void setAutoDisconnectOnClosedReadStream(bool flag);
    bool enableBackgroundingOnSocket();
    bool enableBackgroundingOnSocketWithCaveat();

    // ---- Work on the socket queue
    void performBlock(const std::function<void()>& block);
    int socketFD();
    int socket4FD();
    int socket6FD();
    // The TLS context (an OpenSSL `SSL*`), inside performBlock only.
    void* sslContext();
    // Marks a queue on which code may act as on the socket queue, and makes
    // it the socket queue's target so that the two are serialised; a queue
    // that cannot be the target is not marked. Unmarking lets the socket
    // queue run on its own again.
    void markSocketQueueTargetQueue(const QueuePtr& socketNewTargetQueue);
    void unmarkSocketQueueTargetQueue(const QueuePtr& socketOldTargetQueue);

    // ---- Usual terminators (a new array each call)
    static NetBytes CRLFData();
    static NetBytes CRData();
    static NetBytes LFData();
    static NetBytes ZeroData();

    // ---- Error builders
    static NetSocketError badConfigError(const std::string& errMsg);
    static NetSocketError badParamError(const std::string& errMsg);
    static NetSocketError gaiError(int gai_error);
    static NetSocketError errnoError();
    static NetSocketError errorWithErrno(int err, const std::string& reason);
    static NetSocketError sslError(int ssl_error);
    static NetSocketError connectTimeoutError();
    static NetSocketError readMaxedOutError();
    static NetSocketError readTimeoutError();
    static NetSocketError writeTimeoutError();
    static NetSocketError connectionClosedError();
    static NetSocketError otherError(const std::string& errMsg);

private:
    NetSocket(WeakDelegate delegate, QueuePtr delegateQueue, QueuePtr socketQueue);

    bool onSocketQueue() const;
    // Runs `block` on the socket queue: in line when already there, else
    // synchronously or asynchronously.
    void runSync(const std::function<void()>& block);
    void runAsync(std::function<void()> block);

    // Sends a callback to the delegate on the delegate queue when it has one
    // and implements the callback. Socket queue only.
    void notify(NetSocketCallback callback,
                std::function<void(NetSocketDelegate&, const std::shared_ptr<NetSocket>&)> call);

    void suspendReadSource();
    void resumeReadSource();
    void suspendWriteSource();
    void resumeWriteSource();
    int connectedFD() const;
    bool usingCFStreamForTLS() const { return (flags_ & kFlagSecure) && (flags_ & kFlagCFStreamTLS); }
    bool usingSecureTransportForTLS() const { return !usingCFStreamForTLS(); }

    // Connecting
    bool preConnectWithInterface(const std::optional<std::string>& interface, ErrorOut errPtr);
    bool preConnectWithUrl(const std::string& url, ErrorOut errPtr);
    void lookupDidSucceed(int aStateIndex, const std::optional<NetBytes>& address4,
                          const std::optional<NetBytes>& address6);
    void lookupDidFail(int aStateIndex, const NetSocketError& error);
    int createSocket(int family, const std::optional<NetBytes>& connectInterface, ErrorOut errPtr);
    bool bindSocket(int socketFD, const std::optional<NetBytes>& connectInterface, ErrorOut errPtr);
    bool connectWithAddress4(const std::optional<NetBytes>& address4, const std::optional<NetBytes>& address6,
                             ErrorOut errPtr);
    void connectSocket(int socketFD, const NetBytes& address, int aStateIndex);
    void connectSocketDidFinish(int socketFD, int aStateIndex, int err);
    bool connectWithAddressUN(const NetBytes& address, ErrorOut errPtr);
    void closeSocket(int socketFD);
    void closeUnusedSocket(int usedSocketFD);
    void didConnect(int aStateIndex);
    void didNotConnect(int aStateIndex, const NetSocketError& error);
    void startConnectTimeout(double timeout);
    void endConnectTimeout();
    void doConnectTimeout();
    void setupReadAndWriteSourcesForNewlyConnectedSocket(int socketFD);

    // Closing
    void closeWithError(const std::optional<NetSocketError>& error);
    void maybeClose();

    // Addresses
    std::optional<std::string> connectedHostFromSocket4(int fd);
    std::optional<std::string> connectedHostFromSocket6(int fd);
    std::uint16_t connectedPortFromSocket4(int fd);
    std::uint16_t connectedPortFromSocket6(int fd);
    std::optional<std::string> connectedUrlFromSocketUN(int fd);
    std::optional<std::string> localHostFromSocket4(int fd);
    std::optional<std::string> localHostFromSocket6(int fd);
    std::uint16_t localPortFromSocket4(int fd);
    std::uint16_t localPortFromSocket6(int fd);

    // Time-out timers: a one-shot timer on the socket queue that calls
    // `onFire` unless the socket is gone; none for a negative time-out.
    platform::DispatchSourcePtr startTimeoutTimer(double timeout, void (NetSocket::*onFire)());
    static void stopTimer(platform::DispatchSourcePtr& timer);

    // Reading
    void queueRead(std::shared_ptr<NetReadPacket> packet);
    void maybeDequeueRead();
    void doReadData();
    void doReadEOF();
    void completeCurrentRead();
    void endCurrentRead();
    void setupReadTimerWithTimeout(double timeout);
    void doReadTimeout();
    // `read` is the read the delegate was asked about: an answer that comes
    // after that read has ended (and another may have begun) is dropped.
    void doReadTimeoutWithExtension(double timeoutExtension, const std::shared_ptr<NetPacket>& read);
    void flushSSLBuffers();

    // Writing
    void maybeDequeueWrite();
    void doWriteData();
    void completeCurrentWrite();
    void endCurrentWrite();
    void setupWriteTimerWithTimeout(double timeout);
    void doWriteTimeout();
    // As for reads: only an answer about the current write counts.
    void doWriteTimeoutWithExtension(double timeoutExtension, const std::shared_ptr<NetPacket>& write);

    // Accepting
    int createListeningSocket(int domain, const NetBytes& interfaceAddr, ErrorOut errPtr);
    platform::DispatchSourcePtr makeAcceptSource(int socketFD, bool strong);
    bool doAccept(int parentSocketFD);

    // TLS
    void maybeStartTLS();
    void ssl_startTLS();
    void ssl_continueSSLHandshake();
    void ssl_shouldTrustPeer(bool shouldTrust, int aStateIndex);
    int sslReadWithBuffer(void* buffer, std::size_t* bufferLength);
    int sslWriteWithBuffer(const void* buffer, std::size_t* bufferLength);
    void cf_startTLS();

    // ---- Fields (socket queue only)
    std::uint32_t flags_ = 0;
    std::uint16_t config_ = 0;
    WeakDelegate delegate_;
    QueuePtr delegateQueue_;
    int socket4FD_ = -1;
    int socket6FD_ = -1;
    int socketUN_ = -1;
    std::optional<std::string> socketUrl_;
    int stateIndex_ = 0;
    std::optional<NetBytes> connectInterface4_;
    std::optional<NetBytes> connectInterface6_;
    std::optional<NetBytes> connectInterfaceUN_;
    QueuePtr socketQueue_;
    platform::DispatchSourcePtr accept4Source_;
    platform::DispatchSourcePtr accept6Source_;
    platform::DispatchSourcePtr acceptUNSource_;
    platform::DispatchSourcePtr connectTimer_;
    // Writability watches of the non-blocking connects in flight, per family.
    platform::DispatchSourcePtr connect4Source_;
    platform::DispatchSourcePtr connect6Source_;
    platform::DispatchSourcePtr readSource_;
    platform::DispatchSourcePtr writeSource_;
    platform::DispatchSourcePtr readTimer_;
    platform::DispatchSourcePtr writeTimer_;
    std::deque<std::shared_ptr<NetPacket>> readQueue_;
    std::deque<std::shared_ptr<NetPacket>> writeQueue_;
    std::shared_ptr<NetPacket> currentRead_;
    std::shared_ptr<NetPacket> currentWrite_;
    std::uint64_t socketFDBytesAvailable_ = 0;
    std::unique_ptr<NetSocketPreBuffer> preBuffer_;
    std::unique_ptr<NetSecureContext> sslContext_;
    std::unique_ptr<NetSocketPreBuffer> sslPreBuffer_;
    std::uint64_t sslWriteCachedLength_ = 0;
    int sslErrCode_ = 0;
    int lastSSLHandshakeError_ = 0;
    void* IsOnSocketQueueOrTargetQueueKey_;
    std::shared_ptr<void> userData_;
    double alternateAddressDelay_ = 0.3;

    friend class NetSecureContext;
};
