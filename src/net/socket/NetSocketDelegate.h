#pragma once

#include "net/socket/NetBytes.h"
#include "net/socket/NetSocketError.h"
#include "platform/DispatchQueue.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class NetSocket;
class NetSocketTrust;

// The callbacks of the delegate protocol, to ask a delegate whether it
// implements one.
enum class NetSocketCallback {
    NewSocketQueueForConnection,
    DidAcceptNewSocket,
    DidConnectToHost,
    DidConnectToUrl,
    DidReadData,
    DidReadPartialData,
    ShouldTimeoutRead,
    DidWriteData,
    DidWritePartialData,
    ShouldTimeoutWrite,
    DidCloseReadStream,
    DidDisconnect,
    DidSecure,
    DidReceiveTrust,
};

// The delegate of a NetSocket. Every method is optional; each is called
// asynchronously on the socket's delegate queue. `respondsTo` tells which
// callbacks the delegate implements: by default every notification (whose
// default body does nothing) but not the three questions, whose absence
// changes what the socket does (a time-out closes at once; manual trust
// evaluation fails). A delegate that answers a question overrides
// `respondsTo` as well.
class NetSocketDelegate {
public:
    virtual ~NetSocketDelegate() = default;

    virtual bool respondsTo(NetSocketCallback callback) const {
        return callback != NetSocketCallback::ShouldTimeoutRead &&
               callback != NetSocketCallback::ShouldTimeoutWrite &&
               callback != NetSocketCallback::DidReceiveTrust;
    }

    // A listening socket accepted a connection: the socket queue for the new
    // socket, or none to let it make its own.
    virtual platform::DispatchQueuePtr newSocketQueueForConnectionFromAddress(
        const NetBytes& /*address*/, const std::shared_ptr<NetSocket>& /*sock*/) {
        return nullptr;
    }
    // The delegate must keep `newSocket`, else the connection closes.
    virtual void socketDidAcceptNewSocket(const std::shared_ptr<NetSocket>& /*sock*/,
                                          const std::shared_ptr<NetSocket>& /*newSocket*/) {}
    virtual void socketDidConnectToHost(const std::shared_ptr<NetSocket>& /*sock*/, const std::string& /*host*/,
                                        std::uint16_t /*port*/) {}
    virtual void socketDidConnectToUrl(const std::shared_ptr<NetSocket>& /*sock*/, const std::string& /*url*/) {}
    virtual void socketDidReadData(const std::shared_ptr<NetSocket>& /*sock*/, const NetBytes& /*data*/,
                                   std::int64_t /*tag*/) {}
    virtual void socketDidReadPartialDataOfLength(const std::shared_ptr<NetSocket>& /*sock*/,
                                                  std::uint64_t /*partialLength*/, std::int64_t /*tag*/) {}
    // Answers the seconds to extend the read by; 0 or less lets it time out.
    virtual double socketShouldTimeoutReadWithTag(const std::shared_ptr<NetSocket>& /*sock*/, std::int64_t /*tag*/,
                                                  double /*elapsed*/, std::uint64_t /*bytesDone*/) {
        return 0;
    }
    virtual void socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>& /*sock*/, std::int64_t /*tag*/) {}
    virtual void socketDidWritePartialDataOfLength(const std::shared_ptr<NetSocket>& /*sock*/,
                                                   std::uint64_t /*partialLength*/, std::int64_t /*tag*/) {}
    virtual double socketShouldTimeoutWriteWithTag(const std::shared_ptr<NetSocket>& /*sock*/, std::int64_t /*tag*/,
                                                   double /*elapsed*/, std::uint64_t /*bytesDone*/) {
        return 0;
    }
    virtual void socketDidCloseReadStream(const std::shared_ptr<NetSocket>& /*sock*/) {}
    // `sock` is none when the socket closed because it was being destroyed.
    virtual void socketDidDisconnect(const std::shared_ptr<NetSocket>& /*sock*/,
                                     const std::optional<NetSocketError>& /*error*/) {}
    virtual void socketDidSecure(const std::shared_ptr<NetSocket>& /*sock*/) {}
    // The delegate calls `completionHandler` once, from any thread, with its
    // verdict on the peer's certificate chain.
    virtual void socketDidReceiveTrust(const std::shared_ptr<NetSocket>& /*sock*/,
                                       const std::shared_ptr<NetSocketTrust>& /*trust*/,
                                       std::function<void(bool)> /*completionHandler*/) {}
};
