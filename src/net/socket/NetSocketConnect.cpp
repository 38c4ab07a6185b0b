// Connecting: name lookup, one non-blocking connect per address family (the
// second after a delay), the connect time-out and the set-up of a new
// connection.
#include "net/socket/NetSocket.h"

#include "net/socket/NetPacket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

using platform::DispatchQueue;
using platform::DispatchSource;

// ---------------------------------------------------------------- checks

bool NetSocket::preConnectWithInterface(const std::optional<std::string>& interface, ErrorOut errPtr) {
    if (!delegate_.lock()) {
        if (errPtr)
            *errPtr = badConfigError("Attempting to connect without a delegate. Set a delegate first.");
        return false;
    }
    if (!delegateQueue_) {
        if (errPtr)
            *errPtr = badConfigError("Attempting to connect without a delegate queue. Set a delegate queue first.");
        return false;
    }
    if (flags_ & kFlagStarted) {
        if (errPtr)
            *errPtr = badConfigError(
                "Attempting to connect while connected or accepting connections. Disconnect first.");
        return false;
    }
    const bool isIPv4Disabled = config_ & kConfigIPv4Disabled;
    const bool isIPv6Disabled = config_ & kConfigIPv6Disabled;
    if (isIPv4Disabled && isIPv6Disabled) {
        if (errPtr)
            *errPtr = badConfigError("Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.");
        return false;
    }
    if (interface) {
        std::optional<NetBytes> interface4, interface6;
        getInterfaceAddress4(&interface4, &interface6, interface, 0);
        if (!interface4 && !interface6) {
            if (errPtr)
                *errPtr = badParamError(
                    "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.");
            return false;
        }
        if (isIPv4Disabled && !interface6) {
            if (errPtr)
                *errPtr = badParamError("IPv4 has been disabled and specified interface doesn't support IPv6.");
            return false;
        }
        if (isIPv6Disabled && !interface4) {
            if (errPtr)
                *errPtr = badParamError("IPv6 has been disabled and specified interface doesn't support IPv4.");
            return false;
        }
        connectInterface4_ = interface4;
        connectInterface6_ = interface6;
    }
    readQueue_.clear();
    writeQueue_.clear();
    return true;
}

bool NetSocket::preConnectWithUrl(const std::string& url, ErrorOut errPtr) {
    if (!delegate_.lock()) {
        if (errPtr)
            *errPtr = badConfigError("Attempting to connect without a delegate. Set a delegate first.");
        return false;
    }
    if (!delegateQueue_) {
        if (errPtr)
            *errPtr = badConfigError("Attempting to connect without a delegate queue. Set a delegate queue first.");
        return false;
    }
    if (flags_ & kFlagStarted) {
        if (errPtr)
            *errPtr = badConfigError(
                "Attempting to connect while connected or accepting connections. Disconnect first.");
        return false;
    }
    auto interface = getInterfaceAddressFromUrl(url);
    if (!interface) {
        if (errPtr)
            *errPtr =
                badParamError("Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.");
        return false;
    }
    connectInterfaceUN_ = interface;
    readQueue_.clear();
    writeQueue_.clear();
    return true;
}

// ---------------------------------------------------------------- entry points

bool NetSocket::connectToHost(const std::string& host, std::uint16_t port, ErrorOut error) {
    return connectToHost(host, port, std::nullopt, -1, error);
}

bool NetSocket::connectToHost(const std::string& host, std::uint16_t port, double timeout, ErrorOut error) {
    return connectToHost(host, port, std::nullopt, timeout, error);
}

bool NetSocket::connectToHost(const std::string& inHost, std::uint16_t port,
                              const std::optional<std::string>& inInterface, double timeout, ErrorOut errPtr) {
    bool result = false;
    std::optional<NetSocketError> preConnectErr;
    runSync([&] {
        if (inHost.empty()) {
            preConnectErr = badParamError(
                "Invalid host parameter (nil or \"\"). Should be a domain name or IP address string.");
            return;
        }
        if (!preConnectWithInterface(inInterface, &preConnectErr))
            return;
        flags_ |= kFlagStarted;
        const int aStateIndex = stateIndex_;
        std::weak_ptr<NetSocket> weakSelf = weak_from_this();
        // The lookup keeps the socket alive until it ends.
        DispatchQueue::global()->async([self = shared_from_this(), host = inHost, port, aStateIndex] {
            std::optional<NetSocketError> lookupErr;
            auto addresses = lookupHost(host, port, &lookupErr);
            if (!addresses) {
                self->socketQueue_->async([self, aStateIndex, lookupErr] {
                    self->lookupDidFail(aStateIndex, *lookupErr);
                });
                return;
            }
            std::optional<NetBytes> address4, address6;
            for (const auto& address : *addresses) {
                if (!address4 && isIPv4Address(address))
                    address4 = address;
                else if (!address6 && isIPv6Address(address))
                    address6 = address;
            }
            self->socketQueue_->async([self, aStateIndex, address4, address6] {
                self->lookupDidSucceed(aStateIndex, address4, address6);
            });
        });
        startConnectTimeout(timeout);
        result = true;
    });
    if (errPtr)
        *errPtr = preConnectErr;
    return result;
}

bool NetSocket::connectToAddress(const NetBytes& remoteAddr, ErrorOut error) {
    return connectToAddress(remoteAddr, std::nullopt, -1, error);
}

bool NetSocket::connectToAddress(const NetBytes& remoteAddr, double timeout, ErrorOut error) {
    return connectToAddress(remoteAddr, std::nullopt, timeout, error);
}

bool NetSocket::connectToAddress(const NetBytes& inRemoteAddr, const std::optional<std::string>& inInterface,
                                 double timeout, ErrorOut errPtr) {
    bool result = false;
    std::optional<NetSocketError> err;
    runSync([&] {
        std::optional<NetBytes> address4, address6;
        if (inRemoteAddr.size() >= sizeof(sockaddr_in)) {
            const auto* sa = reinterpret_cast<const sockaddr*>(inRemoteAddr.data());
            if (sa->sa_family == AF_INET && inRemoteAddr.size() == sizeof(sockaddr_in))
                address4 = inRemoteAddr;
            else if (sa->sa_family == AF_INET6 && inRemoteAddr.size() == sizeof(sockaddr_in6))
                address6 = inRemoteAddr;
        }
        if (!address4 && !address6) {
            err = badParamError("A valid IPv4 or IPv6 address was not given");
            return;
        }
        if (address4 && (config_ & kConfigIPv4Disabled)) {
            err = badParamError("IPv4 has been disabled and an IPv4 address was passed.");
            return;
        }
        if (address6 && (config_ & kConfigIPv6Disabled)) {
            err = badParamError("IPv6 has been disabled and an IPv6 address was passed.");
            return;
        }
        if (!preConnectWithInterface(inInterface, &err))
            return;
        if (!connectWithAddress4(address4, address6, &err))
            return;
        flags_ |= kFlagStarted;
        startConnectTimeout(timeout);
        result = true;
    });
    if (!result && errPtr)
        *errPtr = err;
    return result;
}

bool NetSocket::connectToUrl(const std::string& url, double timeout, ErrorOut errPtr) {
    bool result = false;
    std::optional<NetSocketError> err;
    runSync([&] {
        if (filePathFromUrl(url).empty()) {
            err = badParamError("Invalid unix domain socket url.");
            return;
        }
        if (!preConnectWithUrl(url, &err))
            return;
        flags_ |= kFlagStarted;
        if (!connectWithAddressUN(*connectInterfaceUN_, &err)) {
            closeWithError(err);
            return;
        }
        startConnectTimeout(timeout);
        result = true;
    });
    if (!result && errPtr)
        *errPtr = err;
    return result;
}

bool NetSocket::connectToNetService(const std::vector<NetBytes>& addresses, ErrorOut errPtr) {
    for (const auto& address : addresses) {
        if (connectToAddress(address, errPtr))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------- lookup

std::optional<std::vector<NetBytes>> NetSocket::lookupHost(const std::string& host, std::uint16_t port,
                                                           ErrorOut errPtr) {
    std::vector<NetBytes> addresses;
    if (host == "localhost" || host == "loopback") {
        sockaddr_in nativeAddr4{};
        nativeAddr4.sin_family = AF_INET;
        nativeAddr4.sin_port = htons(port);
        nativeAddr4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sockaddr_in6 nativeAddr6{};
        nativeAddr6.sin6_family = AF_INET6;
        nativeAddr6.sin6_port = htons(port);
        nativeAddr6.sin6_addr = in6addr_loopback;
        const auto* p4 = reinterpret_cast<const std::uint8_t*>(&nativeAddr4);
        const auto* p6 = reinterpret_cast<const std::uint8_t*>(&nativeAddr6);
        addresses.emplace_back(p4, p4 + sizeof nativeAddr4);
        addresses.emplace_back(p6, p6 + sizeof nativeAddr6);
        if (errPtr)
            *errPtr = std::nullopt;
        return addresses;
    }
    char portText[8];
    std::snprintf(portText, sizeof portText, "%hu", port);
    addrinfo hints{};
    hints.ai_family = PF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* res0 = nullptr;
    int gai = getaddrinfo(host.c_str(), portText, &hints, &res0);
    if (gai != 0) {
        if (errPtr)
            *errPtr = gaiError(gai);
        return std::nullopt;
    }
    for (addrinfo* res = res0; res; res = res->ai_next) {
        if (res->ai_family == AF_INET) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(res->ai_addr);
            addresses.emplace_back(p, p + res->ai_addrlen);
        } else if (res->ai_family == AF_INET6) {
            auto* sa6 = reinterpret_cast<sockaddr_in6*>(res->ai_addr);
            if (sa6->sin6_port == 0)
                sa6->sin6_port = htons(port);
            const auto* p = reinterpret_cast<const std::uint8_t*>(res->ai_addr);
            addresses.emplace_back(p, p + res->ai_addrlen);
        }
    }
    freeaddrinfo(res0);
    if (addresses.empty()) {
        if (errPtr)
            *errPtr = gaiError(EAI_FAIL);
        return std::nullopt;
    }
    if (errPtr)
        *errPtr = std::nullopt;
    return addresses;
}

void NetSocket::lookupDidSucceed(int aStateIndex, const std::optional<NetBytes>& address4,
                                 const std::optional<NetBytes>& address6) {
    if (aStateIndex != stateIndex_)
        return; // an attempt that has since ended
    const bool isIPv4Disabled = config_ & kConfigIPv4Disabled;
    const bool isIPv6Disabled = config_ & kConfigIPv6Disabled;
    if (isIPv4Disabled && !address6) {
        closeWithError(otherError("IPv4 has been disabled and DNS lookup found no IPv6 address."));
        return;
    }
    if (isIPv6Disabled && !address4) {
        closeWithError(otherError("IPv6 has been disabled and DNS lookup found no IPv4 address."));
        return;
    }
    std::optional<NetSocketError> err;
    if (!connectWithAddress4(address4, address6, &err))
        closeWithError(err);
}

void NetSocket::lookupDidFail(int aStateIndex, const NetSocketError& error) {
    if (aStateIndex != stateIndex_)
        return;
    endConnectTimeout();
    closeWithError(error);
}

// ---------------------------------------------------------------- sockets

int NetSocket::createSocket(int family, const std::optional<NetBytes>& connectInterface, ErrorOut errPtr) {
    // Non-blocking from the start: the connect is watched for writability
    // instead of holding a thread in connect(). (Writes use MSG_NOSIGNAL, as
    // this platform has no per-socket "no SIGPIPE" option.)
    int socketFD = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socketFD < 0) {
        if (errPtr)
            *errPtr = errorWithErrno(errno, "Error in socket() function");
        return -1;
    }
    if (!bindSocket(socketFD, connectInterface, errPtr)) {
        ::close(socketFD);
        return -1;
    }
    return socketFD;
}

bool NetSocket::bindSocket(int socketFD, const std::optional<NetBytes>& connectInterface, ErrorOut errPtr) {
    if (!connectInterface)
        return true;
    const auto* sa = reinterpret_cast<const sockaddr*>(connectInterface->data());
    if (portFromAddress(*connectInterface) > 0) {
        int reuseOn = 1;
        setsockopt(socketFD, SOL_SOCKET, SO_REUSEADDR, &reuseOn, sizeof reuseOn);
    }
    if (::bind(socketFD, sa, static_cast<socklen_t>(connectInterface->size())) != 0) {
        if (errPtr)
            *errPtr = errorWithErrno(errno, "Error in bind() function");
        return false;
    }
    return true;
}

bool NetSocket::connectWithAddress4(const std::optional<NetBytes>& address4, const std::optional<NetBytes>& address6,
                                    ErrorOut errPtr) {
    if (address4)
        socket4FD_ = createSocket(AF_INET, connectInterface4_, errPtr);
    if (address6)
        socket6FD_ = createSocket(AF_INET6, connectInterface6_, errPtr);
    if (socket4FD_ == -1 && socket6FD_ == -1)
        return false;

    int socketFD, alternateSocketFD;
    const NetBytes *address, *alternateAddress;
    if (((config_ & kConfigPreferIPv6) && socket6FD_ != -1) || socket4FD_ == -1) {
        socketFD = socket6FD_;
        alternateSocketFD = socket4FD_;
        address = &*address6;
        alternateAddress = address4 ? &*address4 : nullptr;
    } else {
        socketFD = socket4FD_;
        alternateSocketFD = socket6FD_;
        address = &*address4;
        alternateAddress = address6 ? &*address6 : nullptr;
    }
    const int aStateIndex = stateIndex_;
    connectSocket(socketFD, *address, aStateIndex);
    if (alternateAddress && alternateSocketFD != -1) {
        socketQueue_->asyncAfter(alternateAddressDelay_,
                                 [self = shared_from_this(), alternateSocketFD, addr = *alternateAddress,
                                  aStateIndex] { self->connectSocket(alternateSocketFD, addr, aStateIndex); });
    }
    return true;
}

void NetSocket::connectSocket(int socketFD, const NetBytes& address, int aStateIndex) {
    // A delayed attempt of an attempt that has ended: its descriptor was
    // released by the close, and the number may belong to someone else now.
    if (aStateIndex != stateIndex_)
        return;
    if (socketFD != socket4FD_ && socketFD != socket6FD_)
        return; // this family has already been given up
    if (flags_ & kFlagConnected) {
        closeSocket(socketFD);
        return;
    }
    int result = ::connect(socketFD, reinterpret_cast<const sockaddr*>(address.data()),
                           static_cast<socklen_t>(address.size()));
    int err = result == 0 ? 0 : errno;
    if (err == EINPROGRESS) {
        auto watch = DispatchSource::makeWrite(socketFD, socketQueue_);
        std::weak_ptr<NetSocket> weakSelf = weak_from_this();
        watch->setEventHandler([weakSelf, socketFD, aStateIndex] {
            auto self = weakSelf.lock();
            if (!self)
                return;
            int soError = 0;
            socklen_t len = sizeof soError;
            if (getsockopt(socketFD, SOL_SOCKET, SO_ERROR, &soError, &len) != 0)
                soError = errno;
            self->connectSocketDidFinish(socketFD, aStateIndex, soError);
        });
        (socketFD == socket4FD_ ? connect4Source_ : connect6Source_) = watch;
        watch->resume();
        return;
    }
    socketQueue_->async([self = shared_from_this(), socketFD, aStateIndex, err] {
        self->connectSocketDidFinish(socketFD, aStateIndex, err);
    });
}

void NetSocket::connectSocketDidFinish(int socketFD, int aStateIndex, int err) {
    // A result that arrives after the attempt ended finds a changed attempt
    // number and touches no descriptor: the close released this one already.
    if (aStateIndex != stateIndex_)
        return;
    if (socketFD != socket4FD_ && socketFD != socket6FD_)
        return;
    auto& watch = socketFD == socket4FD_ ? connect4Source_ : connect6Source_;
    if (watch) {
        watch->cancel();
        watch.reset();
    }
    if (flags_ & kFlagConnected) {
        closeSocket(socketFD);
        return;
    }
    if (err == 0) {
        closeUnusedSocket(socketFD);
        didConnect(aStateIndex);
    } else {
        closeSocket(socketFD);
        if (socket4FD_ == -1 && socket6FD_ == -1)
            didNotConnect(aStateIndex, errorWithErrno(err, "Error in connect() function"));
    }
}

bool NetSocket::connectWithAddressUN(const NetBytes& address, ErrorOut errPtr) {
    int socketFD = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socketFD < 0) {
        if (errPtr)
            *errPtr = errorWithErrno(errno, "Error in socket() function");
        return false;
    }
    socketUN_ = socketFD;
    int reuseOn = 1;
    setsockopt(socketFD, SOL_SOCKET, SO_REUSEADDR, &reuseOn, sizeof reuseOn);
    const int aStateIndex = stateIndex_;
    int result = ::connect(socketFD, reinterpret_cast<const sockaddr*>(address.data()),
                           static_cast<socklen_t>(address.size()));
    int err = result == 0 ? 0 : errno;
    auto finish = [](const std::shared_ptr<NetSocket>& self, int aStateIndex, int err) {
        if (aStateIndex != self->stateIndex_)
            return;
        if (self->connect4Source_) {
            self->connect4Source_->cancel();
            self->connect4Source_.reset();
        }
        if (err == 0) {
            self->didConnect(aStateIndex);
        } else {
            errno = err;
            std::perror("connect");
            self->didNotConnect(aStateIndex, errorWithErrno(err, "Error in connect() function"));
        }
    };
    if (err == EINPROGRESS || err == EAGAIN) {
        connect4Source_ = DispatchSource::makeWrite(socketFD, socketQueue_);
        std::weak_ptr<NetSocket> weakSelf = weak_from_this();
        connect4Source_->setEventHandler([weakSelf, socketFD, aStateIndex, finish] {
            auto self = weakSelf.lock();
            if (!self)
                return;
            int soError = 0;
            socklen_t len = sizeof soError;
            if (getsockopt(socketFD, SOL_SOCKET, SO_ERROR, &soError, &len) != 0)
                soError = errno;
            finish(self, aStateIndex, soError);
        });
        connect4Source_->resume();
    } else {
        socketQueue_->async([self = shared_from_this(), aStateIndex, err, finish] { finish(self, aStateIndex, err); });
    }
    return true;
}

void NetSocket::closeSocket(int socketFD) {
    if (socketFD != -1 && socketFD == socket4FD_) {
        if (connect4Source_) {
            connect4Source_->cancel();
            connect4Source_.reset();
        }
        ::close(socket4FD_);
        socket4FD_ = -1;
    } else if (socketFD != -1 && socketFD == socket6FD_) {
        if (connect6Source_) {
            connect6Source_->cancel();
            connect6Source_.reset();
        }
        ::close(socket6FD_);
        socket6FD_ = -1;
    }
}

void NetSocket::closeUnusedSocket(int usedSocketFD) {
    if (usedSocketFD != socket4FD_)
        closeSocket(socket4FD_);
    else if (usedSocketFD != socket6FD_)
        closeSocket(socket6FD_);
}

// ---------------------------------------------------------------- outcome

void NetSocket::didConnect(int aStateIndex) {
    if (aStateIndex != stateIndex_)
        return;
    flags_ |= kFlagConnected;
    endConnectTimeout();

    auto host = connectedHost();
    auto port = connectedPort();
    auto url = connectedUrl();
    auto theDelegate = delegate_.lock();

    // (The stream-pair steps succeed with no effect on this platform.)
    if (delegateQueue_ && host && theDelegate && theDelegate->respondsTo(NetSocketCallback::DidConnectToHost)) {
        notify(NetSocketCallback::DidConnectToHost, [host = *host, port](NetSocketDelegate& d, const auto& s) {
            d.socketDidConnectToHost(s, host, port);
        });
    } else if (delegateQueue_ && url && theDelegate &&
               theDelegate->respondsTo(NetSocketCallback::DidConnectToUrl)) {
        notify(NetSocketCallback::DidConnectToUrl,
               [url = *url](NetSocketDelegate& d, const auto& s) { d.socketDidConnectToUrl(s, url); });
    }

    const int socketFD = connectedFD();
    int fl = fcntl(socketFD, F_GETFL, 0);
    if (fl < 0 || fcntl(socketFD, F_SETFL, fl | O_NONBLOCK) == -1) {
        closeWithError(otherError("Error enabling non-blocking IO on socket (fcntl)"));
        return;
    }
    setupReadAndWriteSourcesForNewlyConnectedSocket(socketFD);
    maybeDequeueRead();
    maybeDequeueWrite();
}

void NetSocket::didNotConnect(int aStateIndex, const NetSocketError& error) {
    if (aStateIndex != stateIndex_)
        return;
    closeWithError(error);
}

void NetSocket::startConnectTimeout(double timeout) { connectTimer_ = startTimeoutTimer(timeout, &NetSocket::doConnectTimeout); }

void NetSocket::endConnectTimeout() {
    stopTimer(connectTimer_);
    ++stateIndex_;
    connectInterface4_.reset();
    connectInterface6_.reset();
}

void NetSocket::doConnectTimeout() {
    endConnectTimeout();
    closeWithError(connectTimeoutError());
}

void NetSocket::setupReadAndWriteSourcesForNewlyConnectedSocket(int socketFD) {
    readSource_ = DispatchSource::makeRead(socketFD, socketQueue_);
    writeSource_ = DispatchSource::makeWrite(socketFD, socketQueue_);
    std::weak_ptr<NetSocket> weakSelf = weak_from_this();

    readSource_->setEventHandler([weakSelf, source = readSource_.get()] {
        auto self = weakSelf.lock();
        if (!self)
            return;
        self->socketFDBytesAvailable_ = source->data();
        if (self->socketFDBytesAvailable_ > 0)
            self->doReadData();
        else
            self->doReadEOF();
    });
    writeSource_->setEventHandler([weakSelf] {
        auto self = weakSelf.lock();
        if (!self)
            return;
        self->flags_ |= kFlagCanAcceptBytes;
        self->doWriteData();
    });

    // Cancelling both sources is what closes the descriptor.
    auto socketFDRefCount = std::make_shared<int>(2);
    auto cancelHandler = [socketFDRefCount, socketFD] {
        if (--*socketFDRefCount == 0)
            ::close(socketFD);
    };
    readSource_->setCancelHandler(cancelHandler);
    writeSource_->setCancelHandler(cancelHandler);

    socketFDBytesAvailable_ = 0;
    flags_ &= ~kFlagReadSourceSuspended;
    readSource_->resume();

    flags_ |= kFlagCanAcceptBytes;
    flags_ |= kFlagWriteSourceSuspended;
}
