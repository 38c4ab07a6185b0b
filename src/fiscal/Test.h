#pragma once

#include "net/socket/NetSocketDelegate.h"
#include "platform/ui/ViewController.h"

#include <cstdint>
#include <memory>
#include <string>

class NetSocket;

// A developer screen that drives a printer's Wi-Fi serial adapter by hand:
// nine buttons create a socket, connect, disconnect and send six raw status
// and information requests. Everything it learns goes to the console trace.
class Test : public platform::ViewController, public NetSocketDelegate {
public:
    Test();

    // The adapter's fixed link-local address and port (tests point them
    // at a fake).
    std::string host = "169.254.1.1";
    std::uint16_t port = 2000;
    const std::string wifiResponse = "*_Tlaciaren_OK_*";
    std::shared_ptr<NetSocket> asyncSocket;
    // Time-out of the connection, the reads and the writes, in seconds.
    double connectTimeout = 4.0;
    double ioTimeout = 2.0;

    void viewDidLoad() override;

    void btn1Action();
    void btn2Action();
    void btn3Action();
    void btn4Action();
    void btn5Action();
    void btn6Action();
    void btn7Action();
    void btn8Action();
    void btn9Action();

    void socketDidConnectToHost(const std::shared_ptr<NetSocket>& sock, const std::string& host,
                                std::uint16_t port) override;
    void socketDidWriteDataWithTag(const std::shared_ptr<NetSocket>& sock, std::int64_t tag) override;
    void socketDidReadData(const std::shared_ptr<NetSocket>& sock, const NetBytes& data, std::int64_t tag) override;
    void socketDidDisconnect(const std::shared_ptr<NetSocket>& sock,
                             const std::optional<NetSocketError>& error) override;
    void socketDidSecure(const std::shared_ptr<NetSocket>& sock) override;
    void socketDidReceiveTrust(const std::shared_ptr<NetSocket>& sock, const std::shared_ptr<NetSocketTrust>& trust,
                               std::function<void(bool)> completionHandler) override;
    bool respondsTo(NetSocketCallback callback) const override;

private:
    enum class Reply { fiveBytes, toEtx, none };
    void send(const std::string& line, const NetBytes& request, std::int64_t writeTag, Reply reply,
              bool describe);
};
