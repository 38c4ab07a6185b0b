#pragma once

#include <optional>
#include <string>

// The SSID of the current Wi-Fi network: the first supported interface that
// has current network information decides; none without Wi-Fi.
std::optional<std::string> currentWifiSsid();

// The device's vibration (system sound 4095).
void vibrate();
