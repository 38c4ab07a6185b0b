#include "records/FiskalItem.h"

#include "records/ReflectedDescription.h"

std::string FiskalItem::description() const {
    return ReflectedDescription("FiskalItem")
        .text("FISCAL_TYPE", FISCAL_TYPE)
        .text("WIFI_PRINTER_SSID", WIFI_PRINTER_SSID)
        .text("WIFI_PRINTER_IP", WIFI_PRINTER_IP)
        .integer("WIFI_PRINTER_PORT", WIFI_PRINTER_PORT)
        .text("WIFI_RESPONSE", WIFI_RESPONSE)
        .str();
}
