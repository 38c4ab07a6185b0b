#pragma once

#include "fiscal/Fiskal.h"

// Driver of a plain dot-matrix text printer behind a Wi-Fi serial adapter.
// It prints the document text line by line and paces the rows with timers on
// the main queue, so the screen keeps drawing during a long printout.
class LX300 : public Fiskal {
public:
    const std::string CRLF = "\r\n";
    const std::string CR = "\r";
    const std::string FF = "\r\f";
    // Pause after each row, in microseconds.
    std::uint32_t SERIAL_WIFI_DELAY = 300000;

    LX300(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port, std::string wifiResponse);

    using Fiskal::request;
    void request(Command command, const std::string& txt,
                 const std::map<std::string, std::string>& parameters) override;

    // Rows of a receipt, deposit, withdrawal or invoice payment.
    virtual void pripravDoklad();
    // Rows of a non-fiscal document, 39 lines to a page.
    virtual void pripravNefiskalnyDoklad();
    // Starts sending rowsToSend, one row per pause; closes after the last.
    virtual void posliDoklad();
    virtual void progressStep();

    void socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string& host,
                                std::uint16_t port) override;
    void socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>& sock, std::int64_t tag) override;
    void socketDidReadData(const std::shared_ptr<NetSocket>& sock, const NetBytes& data, std::int64_t tag) override;

    static constexpr const char* kNeviemVykonat = "operácia sa dá vykonať iba s pripojeným fiškálom!";

private:
    void sendRow();
    void greetingDone();
};
