#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// An FT4000 printer behind its Wi-Fi adapter, on 127.0.0.1: greets every
// connection, answers the status request (ESC DC1) with 5 bytes, the info
// request (ESC I) with a text ended by ETX and the values request (ESC ! s)
// with 457 bytes, and records every byte it receives. It can report any
// status flags, stay busy for a number of status replies after the first,
// or close the connection at a chosen status request.
class FakeFT4000 {
public:
    explicit FakeFT4000(std::string greeting = "*_Tlaciaren_OK_*");
    ~FakeFT4000();
    FakeFT4000(const FakeFT4000&) = delete;
    FakeFT4000& operator=(const FakeFT4000&) = delete;

    std::uint16_t port() const { return port_; }
    const std::string& greeting() const { return greeting_; }

    // Bytes 2 and 3 of every status reply.
    void setStatus(unsigned char byte2, unsigned char byte3);
    // The status replies after the first report the printer busy, this many
    // of them (-1: for ever).
    void setBusyAfterFirst(int count);
    // Closes the connection instead of answering the n-th status request (1 = the first).
    void closeAtStatusRequest(int n);
    void setInfoReply(std::string textWithoutEtx);
    // Answers the info request after the daily closing (ESC d) only after
    // this pause, as a printer busy printing the closing does.
    void setClosingTime(int milliseconds);
    // The 453 bytes of the values reply's text (padded with blanks).
    void setValuesText(std::string text);

    // Everything received on every connection, in order.
    std::string received() const;
    int statusRequests() const { return statusRequests_.load(); }
    int connections() const { return connections_.load(); }

private:
    void serve();
    std::string answer(std::string& pending);

    std::string greeting_;
    int listenFD_ = -1;
    int stopFD_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;

    mutable std::mutex mutex_;
    unsigned char byte2_ = 0;
    unsigned char byte3_ = 0;
    int busyAfterFirst_ = 0;
    int closeAt_ = 0;
    bool closeNow_ = false;
    std::string info_ = "0012";
    int closingMs_ = 0;
    bool closingSeen_ = false;
    int pauseMs_ = 0;
    std::string values_ = "HODNOTY POSLEDNEHO DOKLADU";
    std::string received_;
    std::atomic<int> statusRequests_{0};
    std::atomic<int> connections_{0};
};
