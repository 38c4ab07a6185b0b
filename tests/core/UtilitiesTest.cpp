#include "core/Colors.h"
#include "core/DeviceServices.h"
#include "core/NetworkInfo.h"
#include "core/StringValue.h"
#include "core/TrekoraError.h"
#include "platform/FakeWifiProvider.h"
#include "platform/SystemSounds.h"
#include "platform/Wifi.h"
#include "support/TrekoraTestEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(StringValue, IntegerValueReadsTheLeadingNumber) {
    EXPECT_EQ(integerValue("  -42 km"), -42);
    EXPECT_EQ(integerValue("+5"), 5);
    EXPECT_EQ(integerValue("0x1F"), 0);
    EXPECT_EQ(integerValue("12.7"), 12);
    EXPECT_EQ(integerValue("abc"), 0);
    EXPECT_EQ(integerValue("-"), 0);
    EXPECT_EQ(integerValue(""), 0);
    EXPECT_EQ(integerValue("\n\t 7"), 7);
    EXPECT_EQ(integerValue("99999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(integerValue("-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
}

TEST(StringValue, FloatValueUsesThePointOnly) {
    EXPECT_EQ(floatValue("1,5"), 1.0f);
    EXPECT_EQ(floatValue("1.5"), 1.5f);
    EXPECT_EQ(floatValue(""), 0.0f);
    EXPECT_EQ(floatValue("  -2.25abc"), -2.25f);
    EXPECT_EQ(floatValue(".5"), 0.5f);
    EXPECT_EQ(floatValue("1e3"), 1000.0f);
    EXPECT_EQ(floatValue("2e"), 2.0f);
    EXPECT_EQ(floatValue("x1"), 0.0f);
    EXPECT_EQ(floatValue("0.1"), 0.1f);
    EXPECT_TRUE(std::isinf(floatValue("1e39")));
    EXPECT_TRUE(std::isinf(floatValue("-1e400")) && floatValue("-1e400") < 0);
}

TEST(StringValue, FloatValueBeyondTheRangeGoesByTheSizeOfTheNumber) {
    const std::string huge(400, '7');
    const std::string tiny = "0." + std::string(399, '0') + "1";
    EXPECT_TRUE(std::isinf(floatValue(huge)) && floatValue(huge) > 0);
    EXPECT_TRUE(std::isinf(floatValue("-" + huge)) && floatValue("-" + huge) < 0);
    EXPECT_TRUE(std::isinf(floatValue(huge + "e-2")));
    EXPECT_EQ(floatValue(tiny), 0.0f);
    EXPECT_EQ(floatValue("-" + tiny), 0.0f);
    EXPECT_EQ(floatValue(huge + "e-1000"), 0.0f);
    EXPECT_EQ(floatValue("1e-400"), 0.0f);
}

TEST(StringValue, SubstringCountsCharacters) {
    EXPECT_EQ(substring("123456", 0, 2), "12");
    EXPECT_EQ(substring("123456", 2, 4), "34");
    EXPECT_EQ(substring("123456", 4, 6), "56");
    EXPECT_EQ(substring("123456", -3, 2), "12");
    EXPECT_EQ(substring("123456", 4, 99), "56");
    EXPECT_EQ(substring("123456", 3, 3), "");
    EXPECT_EQ(substring("čšžýáí", 1, 3), "šž");
    EXPECT_EQ(characterCount("čšž"), 3);
}

TEST(TrekoraErrorText, EveryCaseHasItsUserText) {
    EXPECT_EQ(TrekoraError::nenajdeneQuery("lookup_cennik").errorDescription(), "nenajdene query 'lookup_cennik'.");
    EXPECT_EQ(TrekoraError::nenajdeneQuery("").errorDescription(), "nenajdene query ''.");
    EXPECT_EQ(TrekoraError::aplikovanaAktivita("").errorDescription(), "na vybrany doklad uz bola aplikovana aktivita .");
    EXPECT_EQ(TrekoraError::ziadnaVybranaAktivita().errorDescription(), "nebola vybraná žiadna aktivita.");
    EXPECT_EQ(TrekoraError::ziadnyVybranyDoklad().errorDescription(), "nebol vybraný žiadny doklad.");
    EXPECT_EQ(TrekoraError::neprebiehajucaAktivita().errorDescription(), "aktivita nie je prebiehajúca.");
    EXPECT_EQ(TrekoraError::invalidSelection().errorDescription(), "neznama chyba.");
    EXPECT_EQ(TrekoraError::outOfStock().errorDescription(), "neznama chyba.");
    EXPECT_EQ(TrekoraError::insufficientFunds(12).errorDescription(), "neznama chyba.");
    EXPECT_STREQ(TextError("aktivita neobsahuje ziadne darčeky!").what(), "aktivita neobsahuje ziadne darčeky!");
}

TEST(TrekoraErrorText, ResultStrings) {
    const std::string ok = "ok! ,,cdok=15";
    EXPECT_TRUE(ResultString::isSuccess(ok));
    EXPECT_EQ(ResultString::title(ok), "ok! ");
    EXPECT_EQ(ResultString::message(ok), "cdok=15");
    EXPECT_EQ(ResultString::number(ok), "15");
    EXPECT_TRUE(ResultString::isSuccess("ok,,"));
    EXPECT_EQ(ResultString::message("ok,,"), "");
    EXPECT_FALSE(ResultString::isSuccess("chyba,,x"));
    EXPECT_FALSE(ResultString::isSuccess(" chyba!,,x"));
    EXPECT_EQ(ResultString::message("chyba!,,a,,b"), "a");
    EXPECT_EQ(ResultString::reason("chyba!,,a,,b"), "a,,b");
    // A text without ",," is all title and all reason, with no message.
    EXPECT_EQ(ResultString::title("chyba"), "chyba");
    EXPECT_EQ(ResultString::message("chyba"), "");
    EXPECT_EQ(ResultString::reason("chyba"), "chyba");
}

TEST(Colors, ConstructorsAndPalettes) {
    auto blue = colorFromHex(MyColor::blue);
    ASSERT_TRUE(blue);
    EXPECT_DOUBLE_EQ(blue->red(), 17 / 255.0);
    EXPECT_DOUBLE_EQ(blue->green(), 103 / 255.0);
    EXPECT_DOUBLE_EQ(blue->blue(), 178 / 255.0);
    EXPECT_DOUBLE_EQ(blue->alpha(), 1.0);
    EXPECT_FALSE(colorFromHex("#1167B2"));
    EXPECT_FALSE(colorFromHex("1167B2FF"));
    EXPECT_FALSE(colorFromHex("#zzzzzzzz"));
    auto partial = colorFromHex("#7Fghijkl");
    ASSERT_TRUE(partial);
    EXPECT_DOUBLE_EQ(partial->red(), 0.0);
    EXPECT_DOUBLE_EQ(partial->alpha(), 127 / 255.0);
    ASSERT_TRUE(colorFromHex(MyColor::orange));
    EXPECT_EQ(colorFromRgb(0xFFFFFF), colorFromRGB(255, 255, 255));
    EXPECT_EQ(colorFromRgb(-1), colorFromRGB(255, 255, 255));
    EXPECT_EQ(FlatColor::Blue::Mariner(), colorFromRGB(69, 144, 182));
    EXPECT_EQ(FlatColor::Gray::IronGray(), colorFromRGB(117, 112, 107));
    try {
        colorFromRGB(0, 256, -1);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Invalid green component");
    }
    EXPECT_EQ(colorSystemRed(), platform::Color::systemRed());
    EXPECT_EQ(&colorLabel(), &colorLabel());
}

TEST(DeviceServices, CurrentWifiSsid) {
    auto wifi = std::make_shared<platform::FakeWifiProvider>();
    wifi->setNoInterfaces();
    platform::Wifi::setProvider(wifi);
    EXPECT_FALSE(currentWifiSsid());
    wifi->setInterfaces({"en0", "en1"});
    EXPECT_FALSE(currentWifiSsid());
    wifi->setNetworkInfo("en1", platform::NetworkInfoDictionary{{"SSID", "TREKORA"}, {"BSSID", "aa:bb"}});
    EXPECT_EQ(currentWifiSsid(), "TREKORA");
    platform::Wifi::setProvider(nullptr);
}

namespace {
class DeviceTest : public TrekoraTest {};
} // namespace

TEST_F(DeviceTest, SoundsAreFollowedByOneVibration) {
    Trekora& t = trekora();
    using Played = platform::SystemSounds::Played;
    platform::SystemSounds::clearPlayed();
    t.playSound2();
    t.playSound3();
    t.playSound4();
    t.playSound5();
    t.playSoundPrint();
    const std::vector<Played> expected = {{1115, true}, {4095, false}, {1115, true}, {4095, false}, {1116, true},
                                          {4095, false}, {1116, true}, {4095, false}, {t.soundPrint, false},
                                          {4095, false}};
    EXPECT_EQ(platform::SystemSounds::played(), expected);
}

TEST_F(DeviceTest, NetworkInfosAndTheSsidLine) {
    Trekora& t = trekora();
    EXPECT_FALSE(t.networkInfos());
    console().clear();
    t.printSSID();
    EXPECT_TRUE(console().contains("SSID: "));

    auto wifi = std::make_shared<platform::FakeWifiProvider>();
    wifi->setInterfaces({"wlan0", "wlan1"});
    wifi->setNetworkInfo("wlan1", platform::NetworkInfoDictionary{{"SSID", "NET"}});
    platform::Wifi::setProvider(wifi);
    auto infos = t.networkInfos();
    ASSERT_TRUE(infos);
    ASSERT_EQ(infos->size(), 2u);
    EXPECT_EQ((*infos)[0], (NetworkInfo{"wlan0", false, std::nullopt, std::nullopt}));
    EXPECT_EQ((*infos)[1], (NetworkInfo{"wlan1", true, "NET", std::nullopt}));
    console().clear();
    t.printSSID();  // the first interface has no network name
    EXPECT_TRUE(console().contains("SSID: "));
}
