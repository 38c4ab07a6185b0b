// Connection addresses, status queries and address conversion.
#include "net/socket/NetSocket.h"

#include "platform/Url.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

template <class T>
NetBytes bytesOf(const T& value) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    return NetBytes(p, p + sizeof(T));
}

} // namespace

// ---------------------------------------------------------------- status

bool NetSocket::isDisconnected() {
    bool result = false;
    runSync([&] { result = !(flags_ & kFlagStarted); });
    return result;
}

bool NetSocket::isConnected() {
    bool result = false;
    runSync([&] { result = flags_ & kFlagConnected; });
    return result;
}

bool NetSocket::isIPv4() {
    bool result = false;
    runSync([&] { result = socket4FD_ != -1; });
    return result;
}

bool NetSocket::isIPv6() {
    bool result = false;
    runSync([&] { result = socket6FD_ != -1; });
    return result;
}

bool NetSocket::isSecure() {
    bool result = false;
    runSync([&] { result = flags_ & kFlagSecure; });
    return result;
}

// ---------------------------------------------------------------- connection addresses

std::optional<std::string> NetSocket::connectedHost() {
    std::optional<std::string> result;
    runSync([&] {
        if (socket4FD_ != -1)
            result = connectedHostFromSocket4(socket4FD_);
        else if (socket6FD_ != -1)
            result = connectedHostFromSocket6(socket6FD_);
    });
    return result;
}

std::uint16_t NetSocket::connectedPort() {
    std::uint16_t result = 0;
    runSync([&] {
        if (socket4FD_ != -1)
            result = connectedPortFromSocket4(socket4FD_);
        else if (socket6FD_ != -1)
            result = connectedPortFromSocket6(socket6FD_);
    });
    return result;
}

std::optional<std::string> NetSocket::connectedUrl() {
    std::optional<std::string> result;
    runSync([&] {
        if (socketUN_ != -1)
            result = connectedUrlFromSocketUN(socketUN_);
    });
    return result;
}

std::optional<std::string> NetSocket::localHost() {
    std::optional<std::string> result;
    runSync([&] {
        if (socket4FD_ != -1)
            result = localHostFromSocket4(socket4FD_);
        else if (socket6FD_ != -1)
            result = localHostFromSocket6(socket6FD_);
    });
    return result;
}

std::uint16_t NetSocket::localPort() {
    std::uint16_t result = 0;
    runSync([&] {
        if (socket4FD_ != -1)
            result = localPortFromSocket4(socket4FD_);
        else if (socket6FD_ != -1)
            result = localPortFromSocket6(socket6FD_);
    });
    return result;
}

std::optional<NetBytes> NetSocket::connectedAddress() {
    std::optional<NetBytes> result;
    runSync([&] {
        if (socket4FD_ != -1) {
            sockaddr_in sockaddr4{};
            socklen_t len = sizeof sockaddr4;
            if (getpeername(socket4FD_, reinterpret_cast<sockaddr*>(&sockaddr4), &len) == 0)
                result = bytesOf(sockaddr4);
        }
        if (socket6FD_ != -1) {
            sockaddr_in6 sockaddr6{};
            socklen_t len = sizeof sockaddr6;
            if (getpeername(socket6FD_, reinterpret_cast<sockaddr*>(&sockaddr6), &len) == 0)
                result = bytesOf(sockaddr6);
        }
    });
    return result;
}

std::optional<NetBytes> NetSocket::localAddress() {
    std::optional<NetBytes> result;
    runSync([&] {
        if (socket4FD_ != -1) {
            sockaddr_in sockaddr4{};
            socklen_t len = sizeof sockaddr4;
            if (getsockname(socket4FD_, reinterpret_cast<sockaddr*>(&sockaddr4), &len) == 0)
                result = bytesOf(sockaddr4);
        }
        if (socket6FD_ != -1) {
            sockaddr_in6 sockaddr6{};
            socklen_t len = sizeof sockaddr6;
            if (getsockname(socket6FD_, reinterpret_cast<sockaddr*>(&sockaddr6), &len) == 0)
                result = bytesOf(sockaddr6);
        }
    });
    return result;
}

// Per family, read from the calling thread without a hop.
std::optional<std::string> NetSocket::connectedHost4() {
    int fd = socket4FD_;
    return fd != -1 ? connectedHostFromSocket4(fd) : std::nullopt;
}

std::optional<std::string> NetSocket::connectedHost6() {
    int fd = socket6FD_;
    return fd != -1 ? connectedHostFromSocket6(fd) : std::nullopt;
}

std::uint16_t NetSocket::connectedPort4() {
    int fd = socket4FD_;
    return fd != -1 ? connectedPortFromSocket4(fd) : 0;
}

std::uint16_t NetSocket::connectedPort6() {
    int fd = socket6FD_;
    return fd != -1 ? connectedPortFromSocket6(fd) : 0;
}

std::optional<std::string> NetSocket::localHost4() {
    int fd = socket4FD_;
    return fd != -1 ? localHostFromSocket4(fd) : std::nullopt;
}

std::optional<std::string> NetSocket::localHost6() {
    int fd = socket6FD_;
    return fd != -1 ? localHostFromSocket6(fd) : std::nullopt;
}

std::uint16_t NetSocket::localPort4() {
    int fd = socket4FD_;
    return fd != -1 ? localPortFromSocket4(fd) : 0;
}

std::uint16_t NetSocket::localPort6() {
    int fd = socket6FD_;
    return fd != -1 ? localPortFromSocket6(fd) : 0;
}

std::optional<std::string> NetSocket::connectedHostFromSocket4(int fd) {
    sockaddr_in sockaddr4{};
    socklen_t len = sizeof sockaddr4;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&sockaddr4), &len) < 0)
        return std::nullopt;
    return hostFromSockaddr4(sockaddr4);
}

std::optional<std::string> NetSocket::connectedHostFromSocket6(int fd) {
    sockaddr_in6 sockaddr6{};
    socklen_t len = sizeof sockaddr6;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&sockaddr6), &len) < 0)
        return std::nullopt;
    return hostFromSockaddr6(sockaddr6);
}

std::uint16_t NetSocket::connectedPortFromSocket4(int fd) {
    sockaddr_in sockaddr4{};
    socklen_t len = sizeof sockaddr4;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&sockaddr4), &len) < 0)
        return 0;
    return portFromSockaddr4(sockaddr4);
}

std::uint16_t NetSocket::connectedPortFromSocket6(int fd) {
    sockaddr_in6 sockaddr6{};
    socklen_t len = sizeof sockaddr6;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&sockaddr6), &len) < 0)
        return 0;
    return portFromSockaddr6(sockaddr6);
}

std::optional<std::string> NetSocket::connectedUrlFromSocketUN(int fd) {
    sockaddr_un sockaddr{};
    socklen_t len = sizeof sockaddr;
    if (getpeername(fd, reinterpret_cast<struct sockaddr*>(&sockaddr), &len) < 0)
        return std::nullopt;
    return urlFromSockaddrUN(sockaddr);
}

std::optional<std::string> NetSocket::localHostFromSocket4(int fd) {
    sockaddr_in sockaddr4{};
    socklen_t len = sizeof sockaddr4;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sockaddr4), &len) < 0)
        return std::nullopt;
    return hostFromSockaddr4(sockaddr4);
}

std::optional<std::string> NetSocket::localHostFromSocket6(int fd) {
    sockaddr_in6 sockaddr6{};
    socklen_t len = sizeof sockaddr6;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sockaddr6), &len) < 0)
        return std::nullopt;
    return hostFromSockaddr6(sockaddr6);
}

std::uint16_t NetSocket::localPortFromSocket4(int fd) {
    sockaddr_in sockaddr4{};
    socklen_t len = sizeof sockaddr4;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sockaddr4), &len) < 0)
        return 0;
    return portFromSockaddr4(sockaddr4);
}

std::uint16_t NetSocket::localPortFromSocket6(int fd) {
    sockaddr_in6 sockaddr6{};
    socklen_t len = sizeof sockaddr6;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sockaddr6), &len) < 0)
        return 0;
    return portFromSockaddr6(sockaddr6);
}

// ---------------------------------------------------------------- conversions

std::string NetSocket::hostFromSockaddr4(const sockaddr_in& addr) {
    char addrBuf[INET_ADDRSTRLEN];
    if (!inet_ntop(AF_INET, &addr.sin_addr, addrBuf, sizeof addrBuf))
        addrBuf[0] = '\0';
    return addrBuf;
}

std::string NetSocket::hostFromSockaddr6(const sockaddr_in6& addr) {
    char addrBuf[INET6_ADDRSTRLEN];
    if (!inet_ntop(AF_INET6, &addr.sin6_addr, addrBuf, sizeof addrBuf))
        addrBuf[0] = '\0';
    return addrBuf;
}

std::uint16_t NetSocket::portFromSockaddr4(const sockaddr_in& addr) { return ntohs(addr.sin_port); }

std::uint16_t NetSocket::portFromSockaddr6(const sockaddr_in6& addr) { return ntohs(addr.sin6_port); }

std::string NetSocket::urlFromSockaddrUN(const sockaddr_un& addr) {
    return platform::Url::fileUrl(std::string(addr.sun_path, strnlen(addr.sun_path, sizeof addr.sun_path)))
        .absoluteString();
}

std::string NetSocket::filePathFromUrl(const std::string& url) {
    if (url.rfind("file:", 0) == 0) {
        if (auto parsed = platform::Url::parse(url))
            return parsed->filePath();
    }
    return url;
}

bool NetSocket::isIPv4Address(const NetBytes& address) {
    if (address.size() < sizeof(sockaddr_in))
        return false;
    return reinterpret_cast<const sockaddr*>(address.data())->sa_family == AF_INET;
}

bool NetSocket::isIPv6Address(const NetBytes& address) {
    if (address.size() < sizeof(sockaddr_in))
        return false;
    return reinterpret_cast<const sockaddr*>(address.data())->sa_family == AF_INET6;
}

bool NetSocket::getHost(std::string* hostPtr, std::uint16_t* portPtr, int* familyPtr, const NetBytes& address) {
    if (address.size() < sizeof(sockaddr_in))
        return false;
    const auto* sa = reinterpret_cast<const sockaddr*>(address.data());
    if (sa->sa_family == AF_INET) {
        sockaddr_in sa4;
        std::memcpy(&sa4, address.data(), sizeof sa4);
        if (hostPtr)
            *hostPtr = hostFromSockaddr4(sa4);
        if (portPtr)
            *portPtr = portFromSockaddr4(sa4);
        if (familyPtr)
            *familyPtr = AF_INET;
        return true;
    }
    if (sa->sa_family == AF_INET6 && address.size() >= sizeof(sockaddr_in6)) {
        sockaddr_in6 sa6;
        std::memcpy(&sa6, address.data(), sizeof sa6);
        if (hostPtr)
            *hostPtr = hostFromSockaddr6(sa6);
        if (portPtr)
            *portPtr = portFromSockaddr6(sa6);
        if (familyPtr)
            *familyPtr = AF_INET6;
        return true;
    }
    return false;
}

bool NetSocket::getHost(std::string* hostPtr, std::uint16_t* portPtr, const NetBytes& address) {
    return getHost(hostPtr, portPtr, nullptr, address);
}

std::optional<std::string> NetSocket::hostFromAddress(const NetBytes& address) {
    std::string host;
    if (getHost(&host, nullptr, nullptr, address))
        return host;
    return std::nullopt;
}

std::uint16_t NetSocket::portFromAddress(const NetBytes& address) {
    std::uint16_t port = 0;
    if (getHost(nullptr, &port, nullptr, address))
        return port;
    return 0;
}

void NetSocket::getInterfaceAddress4(std::optional<NetBytes>* interfaceAddr4Ptr,
                                     std::optional<NetBytes>* interfaceAddr6Ptr,
                                     const std::optional<std::string>& interfaceDescription, std::uint16_t port) {
    std::optional<NetBytes> addr4, addr6;
    std::optional<std::string> interface;

    // Split at every ":": the first piece names the interface, the second
    // may give a port (a port given by the caller wins).
    std::vector<std::string> components;
    if (interfaceDescription) {
        std::string rest = *interfaceDescription;
        std::size_t pos;
        while ((pos = rest.find(':')) != std::string::npos) {
            components.push_back(rest.substr(0, pos));
            rest = rest.substr(pos + 1);
        }
        components.push_back(rest);
    }
    if (!components.empty() && !components[0].empty())
        interface = components[0];
    if (components.size() >= 2 && port == 0) {
        long portL = std::strtol(components[1].c_str(), nullptr, 10);
        if (portL > 0 && portL <= 0xFFFF)
            port = static_cast<std::uint16_t>(portL);
    }

    if (!interface) {
        sockaddr_in sockaddr4{};
        sockaddr4.sin_family = AF_INET;
        sockaddr4.sin_port = htons(port);
        sockaddr4.sin_addr.s_addr = htonl(INADDR_ANY);
        sockaddr_in6 sockaddr6{};
        sockaddr6.sin6_family = AF_INET6;
        sockaddr6.sin6_port = htons(port);
        sockaddr6.sin6_addr = in6addr_any;
        addr4 = bytesOf(sockaddr4);
        addr6 = bytesOf(sockaddr6);
    } else if (*interface == "localhost" || *interface == "loopback") {
        sockaddr_in sockaddr4{};
        sockaddr4.sin_family = AF_INET;
        sockaddr4.sin_port = htons(port);
        sockaddr4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sockaddr_in6 sockaddr6{};
        sockaddr6.sin6_family = AF_INET6;
        sockaddr6.sin6_port = htons(port);
        sockaddr6.sin6_addr = in6addr_loopback;
        addr4 = bytesOf(sockaddr4);
        addr6 = bytesOf(sockaddr6);
    } else {
        ifaddrs* addrs = nullptr;
        if (getifaddrs(&addrs) == 0) {
            for (ifaddrs* cursor = addrs; cursor; cursor = cursor->ifa_next) {
                if (!cursor->ifa_addr)
                    continue;
                if (!addr4 && cursor->ifa_addr->sa_family == AF_INET) {
                    sockaddr_in nativeAddr4;
                    std::memcpy(&nativeAddr4, cursor->ifa_addr, sizeof nativeAddr4);
                    bool match = *interface == cursor->ifa_name;
                    if (!match) {
                        char ip[INET_ADDRSTRLEN];
                        const char* conversion = inet_ntop(AF_INET, &nativeAddr4.sin_addr, ip, sizeof ip);
                        match = conversion && *interface == ip;
                    }
                    if (match) {
                        nativeAddr4.sin_port = htons(port);
                        addr4 = bytesOf(nativeAddr4);
                    }
                } else if (!addr6 && cursor->ifa_addr->sa_family == AF_INET6) {
                    sockaddr_in6 nativeAddr6;
                    std::memcpy(&nativeAddr6, cursor->ifa_addr, sizeof nativeAddr6);
                    bool match = *interface == cursor->ifa_name;
                    if (!match) {
                        char ip[INET6_ADDRSTRLEN];
                        const char* conversion = inet_ntop(AF_INET6, &nativeAddr6.sin6_addr, ip, sizeof ip);
                        match = conversion && *interface == ip;
                    }
                    if (match) {
                        nativeAddr6.sin6_port = htons(port);
                        addr6 = bytesOf(nativeAddr6);
                    }
                }
            }
            freeifaddrs(addrs);
        }
    }
    if (interfaceAddr4Ptr)
        *interfaceAddr4Ptr = addr4;
    if (interfaceAddr6Ptr)
        *interfaceAddr6Ptr = addr6;
}

std::optional<NetBytes> NetSocket::getInterfaceAddressFromUrl(const std::string& url) {
    const std::string path = filePathFromUrl(url);
    if (path.empty())
        return std::nullopt;
    sockaddr_un nativeAddr{};
    nativeAddr.sun_family = AF_UNIX;
    std::size_t n = std::min(path.size(), sizeof(nativeAddr.sun_path) - 1);
    std::memcpy(nativeAddr.sun_path, path.data(), n);
    nativeAddr.sun_path[n] = '\0';
    return bytesOf(nativeAddr);
}
