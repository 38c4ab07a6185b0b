#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A plain blocking TCP peer on the loopback interface for socket tests: it
// listens on an ephemeral port of 127.0.0.1 (or ::1) and the test drives the
// accepted connection by hand.
class LoopbackPeer {
public:
    // `backlog` 0 with connections left unaccepted makes later connects hang.
    explicit LoopbackPeer(bool ipv6 = false, int backlog = 16, std::uint16_t port = 0);
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    bool ok() const { return listenFD_ >= 0; }
    std::uint16_t port() const { return port_; }

    // Waits for a connection (at most `timeoutMs`); true when one came.
    bool accept(int timeoutMs = 10000);
    int fd() const { return connFD_; }

    bool send(const std::vector<std::uint8_t>& bytes);
    bool send(const std::string& text);
    // Reads exactly n bytes (or fewer when the peer closes or the time passes).
    std::vector<std::uint8_t> receive(std::size_t n, int timeoutMs = 10000);
    // Reads until the peer closes or the time passes.
    std::vector<std::uint8_t> receiveAll(int timeoutMs = 10000);
    // True when the peer has closed the connection (end of file seen).
    bool waitForClose(int timeoutMs = 10000);
    void closeConnection();
    void setReceiveBuffer(int bytes);

    // True when the machine can listen on ::1.
    static bool ipv6Available();

private:
    int listenFD_ = -1;
    int connFD_ = -1;
    std::uint16_t port_ = 0;
};

// Counts the open descriptors of this process.
int openDescriptorCount();
