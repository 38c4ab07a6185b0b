#pragma once

#include "fiscal/Fiskal.h"

// Driver of the FT5000 fiscal printer behind a Wi-Fi serial adapter: after
// the adapter's greeting it writes the document's rows, with the device's
// escape sequences written into the text as markers ("ESCb", "ESC", ...),
// and closes once the printer's side has acknowledged every byte. The
// printer answers nothing, so that acknowledgement is the only sign that it
// got the document: "OK" waits for it, and a connection reset before it is
// an error. The adapter closing its own side after its greeting is none,
// however early: every byte still goes out.
class FT5000 : public Fiskal {
public:
    const std::string CRLF = "\r\n";

    FT5000(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port, std::string wifiResponse);

    using Fiskal::request;
    void request(Command command, const std::string& txt,
                 const std::map<std::string, std::string>& parameters) override;

    // Fills rowsToSend from txt: markers replaced, blank rows dropped, the
    // page-break row when the parameter "ODSTRANKOVAT_DOKLAD" is "A".
    virtual void pripravDoklad();
    // Queues every row on the socket, reporting progress after each.
    virtual void posliDoklad();
    virtual void progressStep();

    void socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string& host,
                                std::uint16_t port) override;
    void socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>& sock, std::int64_t tag) override;
    void socketDidReadData(const std::shared_ptr<NetSocket>& sock, const NetBytes& data, std::int64_t tag) override;

private:
    void greetingDone();
    // Rows of rowsToSend that come from the document text.
    std::size_t documentRows_ = 0;
};
