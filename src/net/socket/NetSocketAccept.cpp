// Accepting connections: listening on a port, an interface or a Unix-domain
// path, and handing each accepted connection to the delegate as a new socket.
#include "net/socket/NetSocket.h"

#include "net/socket/NetPacket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

using platform::DispatchSource;

bool NetSocket::acceptOnPort(std::uint16_t port, ErrorOut error) { return acceptOnInterface(std::nullopt, port, error); }

int NetSocket::createListeningSocket(int domain, const NetBytes& interfaceAddr, ErrorOut errPtr) {
    int socketFD = ::socket(domain, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socketFD == -1) {
        if (errPtr)
            *errPtr = errorWithErrno(errno, "Error in socket() function");
        return -1;
    }
    int fl = fcntl(socketFD, F_GETFL, 0);
    if (fl < 0 || fcntl(socketFD, F_SETFL, fl | O_NONBLOCK) == -1) {
        if (errPtr)
            *errPtr = errorWithErrno(errno, "Error enabling non-blocking IO on socket (fcntl)");
        ::close(socketFD);
        return -1;
    }
    int reuseOn = 1;
    if (setsockopt(socketFD, SOL_SOCKET, SO_REUSEADDR, &reuseOn, sizeof reuseOn) == -1) {
        if (errPtr)
            *errPtr = errorWithErrno(errno, "Error enabling address reuse (setsockopt)");
        ::close(socketFD);
        return -1;
    }
    if (domain == AF_INET6) {
        // Keep the IPv6 listener to IPv6 so that the IPv4 one can share its port.
        int v6only = 1;
        setsockopt(socketFD, IPPROTO_IPV6, IPV6_V6ONLY, &v6only, sizeof v6only);
    }
    if (::bind(socketFD, reinterpret_cast<const sockaddr*>(interfaceAddr.data()),
               static_cast<socklen_t>(interfaceAddr.size())) == -1) {
        if (errPtr)
            *errPtr = errorWithErrno(errno, "Error in bind() function");
        ::close(socketFD);
        return -1;
    }
    if (::listen(socketFD, 1024) == -1) {
        if (errPtr)
            *errPtr = errorWithErrno(errno, "Error in listen() function");
        ::close(socketFD);
        return -1;
    }
    return socketFD;
}

platform::DispatchSourcePtr NetSocket::makeAcceptSource(int socketFD, bool strong) {
    auto source = DispatchSource::makeRead(socketFD, socketQueue_);
    std::weak_ptr<NetSocket> weakSelf = weak_from_this();
    std::shared_ptr<NetSocket> strongSelf = strong ? shared_from_this() : nullptr;
    source->setEventHandler([weakSelf, strongSelf, socketFD, raw = source.get()] {
        auto self = strongSelf ? strongSelf : weakSelf.lock();
        if (!self)
            return;
        unsigned long numPendingConnections = raw->data();
        unsigned long i = 0;
        while (self->doAccept(socketFD) && (++i < numPendingConnections)) {
        }
    });
    source->setCancelHandler([socketFD] { ::close(socketFD); });
    return source;
}

bool NetSocket::acceptOnInterface(const std::optional<std::string>& inInterface, std::uint16_t port,
                                  ErrorOut errPtr) {
    bool result = false;
    std::optional<NetSocketError> err;
    runSync([&] {
        if (!delegate_.lock()) {
            err = badConfigError("Attempting to accept without a delegate. Set a delegate first.");
            return;
        }
        if (!delegateQueue_) {
            err = badConfigError("Attempting to accept without a delegate queue. Set a delegate queue first.");
            return;
        }
        const bool isIPv4Disabled = config_ & kConfigIPv4Disabled;
        const bool isIPv6Disabled = config_ & kConfigIPv6Disabled;
        if (isIPv4Disabled && isIPv6Disabled) {
            err = badConfigError("Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.");
            return;
        }
        if (flags_ & kFlagStarted) {
            err = badConfigError(
                "Attempting to accept while connected or accepting connections. Disconnect first.");
            return;
        }
        readQueue_.clear();
        writeQueue_.clear();

        std::optional<NetBytes> interface4, interface6;
        getInterfaceAddress4(&interface4, &interface6, inInterface, port);
        if (!interface4 && !interface6) {
            err = badParamError("Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.");
            return;
        }
        if (isIPv4Disabled && !interface6) {
            err = badParamError("IPv4 has been disabled and specified interface doesn't support IPv6.");
            return;
        }
        if (isIPv6Disabled && !interface4) {
            err = badParamError("IPv6 has been disabled and specified interface doesn't support IPv4.");
            return;
        }
        const bool enableIPv4 = !isIPv4Disabled && interface4;
        const bool enableIPv6 = !isIPv6Disabled && interface6;

        if (enableIPv4) {
            socket4FD_ = createListeningSocket(AF_INET, *interface4, &err);
            if (socket4FD_ == -1)
                return;
        }
        if (enableIPv6) {
            if (enableIPv4 && port == 0) {
                // Both listen on the port the system chose for IPv4.
                auto* addr6 = reinterpret_cast<sockaddr_in6*>(interface6->data());
                addr6->sin6_port = htons(localPortFromSocket4(socket4FD_));
            }
            socket6FD_ = createListeningSocket(AF_INET6, *interface6, &err);
            if (socket6FD_ == -1) {
                if (socket4FD_ != -1) {
                    ::close(socket4FD_);
                    socket4FD_ = -1;
                }
                return;
            }
        }
        if (enableIPv4) {
            accept4Source_ = makeAcceptSource(socket4FD_, false);
            accept4Source_->resume();
        }
        if (enableIPv6) {
            accept6Source_ = makeAcceptSource(socket6FD_, false);
            accept6Source_->resume();
        }
        flags_ |= kFlagStarted;
        result = true;
    });
    if (!result && errPtr)
        *errPtr = err;
    return result;
}

bool NetSocket::acceptOnUrl(const std::string& url, ErrorOut errPtr) {
    bool result = false;
    std::optional<NetSocketError> err;
    runSync([&] {
        if (!delegate_.lock()) {
            err = badConfigError("Attempting to accept without a delegate. Set a delegate first.");
            return;
        }
        if (!delegateQueue_) {
            err = badConfigError("Attempting to accept without a delegate queue. Set a delegate queue first.");
            return;
        }
        if (flags_ & kFlagStarted) {
            err = badConfigError(
                "Attempting to accept while connected or accepting connections. Disconnect first.");
            return;
        }
        readQueue_.clear();
        writeQueue_.clear();

        const std::string path = filePathFromUrl(url);
        struct stat st;
        if (!path.empty() && ::lstat(path.c_str(), &st) == 0) {
            if (::unlink(path.c_str()) != 0) {
                err = otherError("Could not remove previous unix domain socket at given url.");
                return;
            }
        }
        auto interface = getInterfaceAddressFromUrl(url);
        if (!interface) {
            err = badParamError(
                "Invalid unix domain url. Specify a valid file url that does not exist (e.g. \"file:///tmp/socket\")");
            return;
        }
        socketUN_ = createListeningSocket(AF_UNIX, *interface, &err);
        if (socketUN_ == -1)
            return;
        socketUrl_ = url;
        acceptUNSource_ = makeAcceptSource(socketUN_, true);
        acceptUNSource_->resume();
        flags_ |= kFlagStarted;
        result = true;
    });
    if (!result && errPtr)
        *errPtr = err;
    return result;
}

bool NetSocket::doAccept(int parentSocketFD) {
    int socketType;
    sockaddr_storage addr{};
    socklen_t addrLen;
    if (parentSocketFD == socket4FD_) {
        socketType = 0;
        addrLen = sizeof(sockaddr_in);
    } else if (parentSocketFD == socket6FD_) {
        socketType = 1;
        addrLen = sizeof(sockaddr_in6);
    } else {
        socketType = 2;
        addrLen = sizeof(sockaddr_un);
    }
    int childSocketFD = ::accept4(parentSocketFD, reinterpret_cast<sockaddr*>(&addr), &addrLen, SOCK_CLOEXEC);
    if (childSocketFD == -1)
        return false;
    const auto* p = reinterpret_cast<const std::uint8_t*>(&addr);
    NetBytes childSocketAddress(p, p + std::min<std::size_t>(addrLen, sizeof addr));

    int fl = fcntl(childSocketFD, F_GETFL, 0);
    if (fl < 0 || fcntl(childSocketFD, F_SETFL, fl | O_NONBLOCK) == -1) {
        ::close(childSocketFD);
        return false;
    }
    // (Writes use MSG_NOSIGNAL: this platform has no per-socket option.)

    if (!delegateQueue_) {
        // Nobody could take the connection: close it rather than leak it.
        ::close(childSocketFD);
        return true;
    }
    auto theDelegate = delegate_.lock();
    delegateQueue_->async([self = shared_from_this(), theDelegate, childSocketFD, childSocketAddress, socketType] {
        QueuePtr childSocketQueue;
        if (theDelegate && theDelegate->respondsTo(NetSocketCallback::NewSocketQueueForConnection))
            childSocketQueue = theDelegate->newSocketQueueForConnectionFromAddress(childSocketAddress, self);
        QueuePtr delegateQueue;
        self->runSync([&] { delegateQueue = self->delegateQueue_; });
        auto acceptedSocket = NetSocket::create(theDelegate, delegateQueue, childSocketQueue);
        acceptedSocket->runSync([&] {
            if (socketType == 0)
                acceptedSocket->socket4FD_ = childSocketFD;
            else if (socketType == 1)
                acceptedSocket->socket6FD_ = childSocketFD;
            else
                acceptedSocket->socketUN_ = childSocketFD;
            acceptedSocket->flags_ = kFlagStarted | kFlagConnected;
            acceptedSocket->setupReadAndWriteSourcesForNewlyConnectedSocket(childSocketFD);
        });
        if (theDelegate && theDelegate->respondsTo(NetSocketCallback::DidAcceptNewSocket))
            theDelegate->socketDidAcceptNewSocket(self, acceptedSocket);
        // The child lives on only if the delegate kept it.
    });
    return true;
}
