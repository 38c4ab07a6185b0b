#pragma once

#include <string>

#include "platform/ui/ViewController.h"

// The warning over a screen that the Wi-Fi joined (`ssid`) is the printer's
// hotspot, which serves printing only: the error sound, then an alert with
// "ok" and "nastavenia", which opens the device's Wi-Fi settings.
class PrinterHotspotWarning {
public:
    static void present(platform::ViewController& screen, const std::string& ssid, bool animated);
};
