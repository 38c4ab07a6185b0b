#pragma once

#include <cstdint>
#include <string>

// One connection to a fiscal printer or cash register. The same values stand
// in the settings record (as texts) for printer 1 and printer 2.
class FiskalItem {
public:
    std::string FISCAL_TYPE = "";
    std::string WIFI_PRINTER_SSID = "";
    std::string WIFI_PRINTER_IP = "";
    std::int64_t WIFI_PRINTER_PORT = 0;
    std::string WIFI_RESPONSE = "";

    std::string description() const;
};
