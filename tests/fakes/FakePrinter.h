#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A printer's Wi-Fi serial adapter on 127.0.0.1 (an ephemeral port unless
// one is given): it sends its greeting when a client connects and records
// every byte it receives. Serves both the FT5000 adapter and the dot-matrix
// printer, which speak the same way over the wire. It can misbehave.
class FakePrinter {
public:
    enum class Mode {
        normal,          // greeting, then read everything until the client closes
        refuse,          // nothing listens: connections are refused
        silent,          // accepts and never sends a byte
        shortGreeting,   // sends only the first half of the greeting
        closeMidway,     // greeting, then resets after reading `closeAfterBytes` bytes
        stopReading,     // greeting, then reads nothing more (writes stall)
        closeWhenDone,   // greeting, reads everything, and closes its side in order
                         // once nothing more has come for the pause
        halfCloseMidway, // greeting, reads `closeAfterBytes` bytes, closes its sending
                         // side, and after the pause closes with the rest unread
        closeSideEarly,  // greeting, closes its sending side after `closeAfterBytes`
                         // bytes (0: right after the greeting), and reads on to the end
    };

    explicit FakePrinter(std::string greeting, Mode mode = Mode::normal, std::uint16_t port = 0);
    ~FakePrinter();
    FakePrinter(const FakePrinter&) = delete;
    FakePrinter& operator=(const FakePrinter&) = delete;

    std::uint16_t port() const { return port_; }
    bool ok() const { return port_ != 0; }
    // For Mode::closeMidway, halfCloseMidway and closeSideEarly: the bytes
    // read before the close, and a pause between them and the reset with the rest left unread
    // (the small window lets the client's stack hand over only a few
    // kilobytes). For Mode::closeWhenDone only the pause counts.
    void setCloseAfterBytes(std::size_t bytes, int pauseMs = 0) {
        closeAfterBytes_ = bytes;
        closePauseMs_ = pauseMs;
    }

    // Everything received so far, over all connections.
    std::string received() const;
    int connections() const { return connections_; }
    // Waits until a client has connected and closed again (or the time passes).
    bool waitForClose(int timeoutMs = 5000);

    // Called with each chunk received (the standalone program shows them).
    void setOnBytes(std::function<void(const std::string&)> onBytes) { onBytes_ = std::move(onBytes); }

private:
    void serve();
    void handle(int fd);

    std::string greeting_;
    Mode mode_;
    std::size_t closeAfterBytes_ = 64;
    int closePauseMs_ = 0;
    int listenFD_ = -1;
    int wakeFD_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::condition_variable closed_;
    int closedCount_ = 0;
    std::string received_;
    std::function<void(const std::string&)> onBytes_;
};
