#pragma once

#include "fiscal/Fiskal.h"

#include <memory>
#include <string>

// The driver of the HTTP print adapter: a non-fiscal document goes out as
// one POST of printer bytes in code page 852 to "/print"; the run ends with
// one report to the client on the main queue. Every other command is
// refused without traffic. The socket of the base is never used.
class Esp : public Fiskal {
public:
    Esp(std::shared_ptr<FiskalDelegate> delegate, std::string host, std::uint16_t port, std::string wifiResponse);

    // "http://" host ":" port "/print".
    std::string apiUrl;
    // Time-out of the request, in seconds.
    double requestTimeout = 60.0;

    using Fiskal::request;
    void request(Command command, const std::string& txt,
                 const std::map<std::string, std::string>& parameters) override;

    // Ends the run: tells the client on the main queue, "OK" when
    // fiskalError is empty, else fiskalError.
    void response();

private:
    std::shared_ptr<Esp> self();
};
