#pragma once

// A socket delegate for tests: records every callback, in order, on the main
// queue; tests pump the main queue with MainRunLoop::runUntil.

#include "net/socket/NetSocket.h"
#include "net/socket/NetSocketTrust.h"
#include "platform/DispatchQueue.h"
#include "platform/MainRunLoop.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SocketEvent {
    SocketEvent(std::string k = {}) : kind(std::move(k)) {}
    std::string kind; // "connect", "read", "readPartial", "write", "writePartial", "disconnect", "secure", ...
    std::int64_t tag = 0;
    NetBytes data;
    std::uint64_t length = 0;
    std::string host;
    std::uint16_t port = 0;
    std::optional<NetSocketError> error;
    bool hadSocket = true;
};

class SocketRecorder : public NetSocketDelegate {
public:
    std::vector<SocketEvent> events;
    std::vector<std::shared_ptr<NetSocket>> accepted;
    bool keepAccepted = true;

    // Answers to the questions; none means "not implemented".
    std::optional<std::vector<double>> readExtensions;
    std::optional<std::vector<double>> writeExtensions;
    std::optional<std::function<void(std::function<void(bool)>)>> trustHandler;
    std::vector<double> readElapsed, writeElapsed;

    // Hooks run inside the callbacks.
    std::function<void(const std::shared_ptr<NetSocket>&)> onConnect;
    std::function<void(const std::shared_ptr<NetSocket>&, const NetBytes&, std::int64_t)> onRead;

    bool respondsTo(NetSocketCallback c) const override {
        switch (c) {
        case NetSocketCallback::ShouldTimeoutRead:
            return readExtensions.has_value();
        case NetSocketCallback::ShouldTimeoutWrite:
            return writeExtensions.has_value();
        case NetSocketCallback::DidReceiveTrust:
            return trustHandler.has_value();
        default:
            return true;
        }
    }

    void socketDidAcceptNewSocket(const std::shared_ptr<NetSocket>&, const std::shared_ptr<NetSocket>& s) override {
        events.push_back(SocketEvent{"accept"});
        if (keepAccepted)
            accepted.push_back(s);
    }
    void socketDidConnectToHost(const std::shared_ptr<NetSocket>& s, const std::string& host,
                                std::uint16_t port) override {
        SocketEvent e{"connect"};
        e.host = host;
        e.port = port;
        events.push_back(e);
        if (onConnect)
            onConnect(s);
    }
    void socketDidConnectToUrl(const std::shared_ptr<NetSocket>&, const std::string& url) override {
        SocketEvent e{"connectUrl"};
        e.host = url;
        events.push_back(e);
    }
    void socketDidReadData(const std::shared_ptr<NetSocket>& s, const NetBytes& data, std::int64_t tag) override {
        SocketEvent e{"read"};
        e.tag = tag;
        e.data = data;
        events.push_back(e);
        if (onRead)
            onRead(s, data, tag);
    }
    void socketDidReadPartialDataOfLength(const std::shared_ptr<NetSocket>&, std::uint64_t n,
                                          std::int64_t tag) override {
        SocketEvent e{"readPartial"};
        e.tag = tag;
        e.length = n;
        events.push_back(e);
    }
    double socketShouldTimeoutReadWithTag(const std::shared_ptr<NetSocket>&, std::int64_t, double elapsed,
                                          std::uint64_t) override {
        readElapsed.push_back(elapsed);
        events.push_back(SocketEvent{"readTimeoutQuestion"});
        if (readExtensions->empty())
            return 0;
        double v = readExtensions->front();
        readExtensions->erase(readExtensions->begin());
        return v;
    }
    void socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>&, std::int64_t tag) override {
        SocketEvent e{"write"};
        e.tag = tag;
        events.push_back(e);
    }
    void socketDidWritePartialDataOfLength(const std::shared_ptr<NetSocket>&, std::uint64_t n,
                                           std::int64_t tag) override {
        SocketEvent e{"writePartial"};
        e.tag = tag;
        e.length = n;
        events.push_back(e);
    }
    double socketShouldTimeoutWriteWithTag(const std::shared_ptr<NetSocket>&, std::int64_t, double elapsed,
                                           std::uint64_t) override {
        writeElapsed.push_back(elapsed);
        events.push_back(SocketEvent{"writeTimeoutQuestion"});
        if (writeExtensions->empty())
            return 0;
        double v = writeExtensions->front();
        writeExtensions->erase(writeExtensions->begin());
        return v;
    }
    void socketDidCloseReadStream(const std::shared_ptr<NetSocket>&) override { events.push_back(SocketEvent{"readClosed"}); }
    void socketDidDisconnect(const std::shared_ptr<NetSocket>& s, const std::optional<NetSocketError>& err) override {
        SocketEvent e{"disconnect"};
        e.error = err;
        e.hadSocket = s != nullptr;
        events.push_back(e);
    }
    void socketDidSecure(const std::shared_ptr<NetSocket>&) override { events.push_back(SocketEvent{"secure"}); }
    void socketDidReceiveTrust(const std::shared_ptr<NetSocket>&, const std::shared_ptr<NetSocketTrust>& trust,
                               std::function<void(bool)> handler) override {
        SocketEvent e{"trust"};
        e.length = trust ? trust->certificates().size() : 0;
        events.push_back(e);
        (*trustHandler)(std::move(handler));
    }

    // ---- helpers
    int count(const std::string& kind) const {
        int n = 0;
        for (const auto& e : events)
            n += e.kind == kind;
        return n;
    }
    const SocketEvent* first(const std::string& kind) const {
        for (const auto& e : events)
            if (e.kind == kind)
                return &e;
        return nullptr;
    }
    const SocketEvent* last(const std::string& kind) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->kind == kind)
                return &*it;
        return nullptr;
    }
    std::vector<std::string> kinds() const {
        std::vector<std::string> k;
        for (const auto& e : events)
            k.push_back(e.kind);
        return k;
    }
    bool waitFor(const std::string& kind, int n = 1, int timeoutMs = 10000) {
        return platform::MainRunLoop::runUntil([&] { return count(kind) >= n; },
                                               std::chrono::milliseconds(timeoutMs));
    }
};

inline NetBytes bytesOf(const std::string& s) { return NetBytes(s.begin(), s.end()); }
inline std::string textOf(const NetBytes& b) { return std::string(b.begin(), b.end()); }
