#pragma once

#include "fiscal/FT4000Status.h"
#include "fiscal/Fiskal.h"

#include <cstdint>
#include <functional>
#include <string>

// Driver of the FT4000 fiscal printer behind a Wi-Fi serial adapter. Each
// command is one conversation: the adapter's greeting, the printer's status
// judged for the command, then the command's frames, with a status request
// before every row of a document. Reads drive the run; pauses run on
// timers, so the main queue never waits. No flow of the application
// creates this driver; it stands beside the others.
class FT4000 : public Fiskal {
public:
    const std::string ACK = "\x06";
    const std::string NAK = "\x15";
    const std::string CR = "\r";
    const std::string CRLF = "\r\n";
    const std::string ETX = "\x03";
    const std::string ESCq = "\x1b\x71";
    const std::string ESCI = "\x1b\x49";
    const std::string ESCQ = "\x1b\x51";
    const std::string ESCDC1 = "\x1b\x11";
    const std::string ESCd = "\x1b\x64";
    const std::string ESCx = "\x1b\x78";
    const std::string ESC21s = "\x1b\x21\x73";
    const std::string ESC21V = "\x1b\x21\x56";
    const std::string ESC21I = "\x1b\x21\x49";
    const std::string ESCD = "\x1b\x44";
    const std::string ESCc = "\x1b\x63";
    const std::string ESCz = "\x1b\x7a";
    const std::string ESCCD = "\x1b\x43\x44";
    const std::string ESCCb = "\x1b\x43\x62";
    const std::string ESCXD = "\x1b\x58\x44";
    const std::string ESCXd = "\x1b\x58\x64";
    const std::string ESCZD = "\x1b\x5a\x44";

    using Status = FT4000Status;
    // The flags of the last status reply that a check decoded.
    Status status;
    // Pause between the frames of the daily closing, in microseconds.
    std::uint32_t SERIAL_WIFI_DELAY = 300000;
    // The status poll before a row: pause between polls, and the number of
    // polls after which the run gives up with the last check's messages.
    double preRiadokPollInterval = 0.2;
    int preRiadokMaxPolls = 150;

    FT4000(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port, std::string wifiResponse);

    using Fiskal::request;
    void request(Command command, const std::string& txt,
                 const std::map<std::string, std::string>& parameters) override;

    // Decode a 5-byte status reply into `status` and judge it for the
    // command (or for the next row); false with the messages in fiskalError.
    bool checkStatus(const NetBytes& reply);
    bool checkStatusPreRiadok(const NetBytes& reply);

    void pripravNefiskalnyDoklad();
    void pripravDoklad();
    void progressStep();
    void requestStatus();

    void socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string& host,
                                std::uint16_t port) override;
    void socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>& sock, std::int64_t tag) override;
    void socketDidReadData(const std::shared_ptr<NetSocket>& sock, const NetBytes& data, std::int64_t tag) override;

private:
    bool check(const NetBytes& reply, const std::vector<int>& judged, const char* header);
    void write(const std::string& bytes, Tag tag);
    void readStatus(Tag tag);
    void readInfo(Tag tag, double timeout);
    void readValues();
    double serialDelay() const { return SERIAL_WIFI_DELAY / 1e6; }
    void dennaUzavierka(Tag tag, const std::string& reply);
    void dokladRun(Tag tag, const NetBytes& data);
    void singleFrame();

    int preRiadokPolls_ = 0;
};
