// The drivers the print screen can make, by upper-cased printer type.

#include "fiscal/Tlac.h"

#include "fiscal/Ekasa.h"
#include "fiscal/Esp.h"
#include "fiscal/FT5000.h"

Tlac::Driver Tlac::makeDriver(const std::string& type, const std::shared_ptr<FiskalDelegate>& delegate,
                              const std::string& host, std::uint16_t port, const std::string& response) {
    if (type == "FT5000") return {std::make_shared<FT5000>(delegate, host, port, response), "ft5000.png"};
    if (type == "EKASA") return {std::make_shared<Ekasa>(delegate, host, port, response), "ekasa.png"};
    if (type == "ESP") return {std::make_shared<Esp>(delegate, host, port, response), "lx350.png"};
    return {};
}
