#include "core/SSID.h"
#include "platform/FakeWifiProvider.h"
#include "platform/Wifi.h"

#include <gtest/gtest.h>

using platform::FakeWifiProvider;
using platform::Wifi;

TEST(SSIDReader, OneEntryPerInterfaceInOrderAndNoneWithoutAList) {
    auto fake = std::make_shared<FakeWifiProvider>();
    Wifi::setProvider(fake);

    fake->setNoInterfaces();
    EXPECT_FALSE(SSID::fetchNetworkInfo());
    fake->setInterfaces({});
    ASSERT_TRUE(SSID::fetchNetworkInfo());
    EXPECT_TRUE(SSID::fetchNetworkInfo()->empty());

    fake->setInterfaces({"wlan1", "wlan0"});
    fake->setNetworkInfo("wlan0", platform::NetworkInfoDictionary{{Wifi::keySSID, "AUTO-7"}});
    auto infos = SSID::fetchNetworkInfo();
    Wifi::setProvider(nullptr);
    ASSERT_TRUE(infos);
    ASSERT_EQ(2u, infos->size());
    EXPECT_EQ((NetworkInfo{"wlan1", false, std::nullopt, std::nullopt}), (*infos)[0]);
    EXPECT_EQ((NetworkInfo{"wlan0", true, std::string("AUTO-7"), std::nullopt}), (*infos)[1]);
}
