#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "TempFolder.h"
#include "platform/Console.h"
#include "platform/Device.h"
#include "platform/FakeWifiProvider.h"
#include "platform/LinuxWifiProvider.h"
#include "platform/Localization.h"
#include "platform/LocationManager.h"
#include "platform/SystemSounds.h"
#include "platform/Wifi.h"

using namespace platform;

TEST(Wifi, InjectedProviderAnswers) {
    auto fake = std::make_shared<FakeWifiProvider>();
    Wifi::setProvider(fake);
    EXPECT_FALSE(Wifi::supportedInterfaces());

    fake->setInterfaces({});
    EXPECT_EQ(Wifi::supportedInterfaces(), std::vector<std::string>{});

    fake->setInterfaces({"en0", "wlan0"});
    fake->setNetworkInfo("wlan0", NetworkInfoDictionary{{Wifi::keySSID, "FT5000-0042"},
                                                        {Wifi::keyBSSID, "aa:bb:cc:00:11:22"}});
    EXPECT_EQ(Wifi::supportedInterfaces(), (std::vector<std::string>{"en0", "wlan0"}));
    EXPECT_FALSE(Wifi::currentNetworkInfo("en0"));
    auto info = Wifi::currentNetworkInfo("wlan0");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->at("SSID"), "FT5000-0042");
    EXPECT_EQ(info->at("BSSID"), "aa:bb:cc:00:11:22");

    Wifi::simulate("Auto-12", std::nullopt);
    EXPECT_EQ(Wifi::supportedInterfaces(), std::vector<std::string>{"wlan0"});
    EXPECT_EQ(Wifi::currentNetworkInfo("wlan0")->count("BSSID"), 0u);
    Wifi::setProvider(nullptr);
    EXPECT_TRUE(Wifi::provider());
}

TEST(Wifi, LinuxInterfaceListAndAddresses) {
    const std::string proc =
        "Inter-| sta-|   Quality        |   Discarded packets               | Missed | WE\n"
        " face | tus | link level noise |  nwid  crypt   frag  retry   misc | beacon | 22\n"
        " wlp2s0: 0000   54.  -56.  -256        0      0      0      0     12        0\n"
        "  wlan1: 0000   0.  0.  0        0      0      0      0     0        0\n";
    EXPECT_EQ(LinuxWifiProvider::parseProcWireless(proc),
              (std::vector<std::string>{"wlp2s0", "wlan1"}));
    EXPECT_TRUE(LinuxWifiProvider::parseProcWireless("a\nb\n").empty());
    const unsigned char mac[6] = {0x00, 0x1f, 0x02, 0xaa, 0xbb, 0x0c};
    EXPECT_EQ(LinuxWifiProvider::formatBssid(mac), "00:1f:02:aa:bb:0c");
    // A name that is not an interface has no network.
    EXPECT_FALSE(LinuxWifiProvider().currentNetworkInfo("no-such-if0"));
}

namespace {
struct RecordingDelegate : LocationManagerDelegate {
    std::vector<AuthorizationStatus> calls;
    void locationManager(LocationManager&, AuthorizationStatus status) override {
        calls.push_back(status);
    }
};
}  // namespace

TEST(LocationManager, WhenInUseRequestIsGrantedAndReported) {
    LocationManager::setSimulatedStatus(AuthorizationStatus::notDetermined);
    LocationManager::setSimulatedAnswer(AuthorizationStatus::authorizedWhenInUse);
    LocationManager manager;
    RecordingDelegate delegate;
    manager.setDelegate(&delegate);
    EXPECT_EQ(manager.authorizationStatus(), AuthorizationStatus::notDetermined);
    manager.requestWhenInUseAuthorization();
    EXPECT_EQ(manager.authorizationStatus(), AuthorizationStatus::authorizedWhenInUse);
    EXPECT_EQ(delegate.calls, std::vector<AuthorizationStatus>{AuthorizationStatus::authorizedWhenInUse});
    // Once decided, asking again changes nothing and tells nobody.
    manager.requestWhenInUseAuthorization();
    EXPECT_EQ(delegate.calls.size(), 1u);
    EXPECT_EQ(manager.authorizationRequests(), 2);
}

TEST(LocationManager, DeniedAnswerAndCustomDelivery) {
    LocationManager::setSimulatedStatus(AuthorizationStatus::notDetermined);
    LocationManager::setSimulatedAnswer(AuthorizationStatus::denied);
    std::vector<std::function<void()>> queued;
    LocationManager::setDeliverer([&](std::function<void()> f) { queued.push_back(std::move(f)); });
    LocationManager manager;
    RecordingDelegate delegate;
    manager.setDelegate(&delegate);
    manager.requestWhenInUseAuthorization();
    EXPECT_TRUE(delegate.calls.empty());
    ASSERT_EQ(queued.size(), 1u);
    queued[0]();
    EXPECT_EQ(delegate.calls, std::vector<AuthorizationStatus>{AuthorizationStatus::denied});
    LocationManager::setDeliverer(nullptr);
    LocationManager::setSimulatedAnswer(AuthorizationStatus::authorizedWhenInUse);
}

TEST(SystemSounds, RegistrationAndPlayingAreRecorded) {
    TempFolder dir;
    std::string file = dir.file("WorkoutCountdown_Haptic.caf");
    platform::FileManager::writeFile(file, "caff");
    auto id = SystemSounds::create(file);
    ASSERT_TRUE(id);
    EXPECT_GE(*id, 4097u);
    EXPECT_EQ(SystemSounds::file(*id), file);
    EXPECT_FALSE(SystemSounds::create(dir.file("zvuk2.mp3")));

    SystemSounds::clearPlayed();
    SystemSounds::playAlertSound(1116);
    SystemSounds::vibrateDevice();
    SystemSounds::playSystemSound(*id);
    using P = SystemSounds::Played;
    EXPECT_EQ(SystemSounds::played(),
              (std::vector<P>{{1116, true}, {4095, false}, {*id, false}}));
}

TEST(SystemSounds, AlertSoundsRingTheTerminalBell) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    const bool wasEnabled = SystemSounds::bellEnabled();
    SystemSounds::setBellDescriptor(fds[1]);
    SystemSounds::setBellEnabled(true);
    SystemSounds::playAlertSound(1115);
    SystemSounds::vibrateDevice();         // a system sound: no bell
    SystemSounds::playSystemSound(4097);
    SystemSounds::playAlertSound(1116);
    SystemSounds::setBellEnabled(false);
    SystemSounds::playAlertSound(1116);    // bell off: silent
    SystemSounds::setBellDescriptor(STDOUT_FILENO);
    SystemSounds::setBellEnabled(wasEnabled);
    char buffer[8] = {};
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0u), "\a\a");
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST(Localization, SlovakTextIsItsOwnKey) {
    EXPECT_EQ(Localization::localizedString("nebol vybraný žiadny doklad."),
              "nebol vybraný žiadny doklad.");
    Localization::setTable({{"neznama chyba.", "unknown error."}});
    EXPECT_EQ(Localization::localizedString("neznama chyba.", "error text"), "unknown error.");
    EXPECT_EQ(Localization::localizedString("ok"), "ok");
    Localization::setTable({});
    EXPECT_EQ(Localization::localizedString("neznama chyba."), "neznama chyba.");
}

TEST(Device, NameIsTheHostNameUnlessSet) {
    EXPECT_FALSE(Device::name().empty());
    Device::setName("Dodávka č. 2");
    EXPECT_EQ(Device::name(), "Dodávka č. 2");
    Device::setName("");
    EXPECT_NE(Device::name(), "Dodávka č. 2");
}

TEST(Console, CaptureCollectsLines) {
    Console::Capture capture;
    Console::print("copy ok");
    Console::print("SSID: ");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"copy ok", "SSID: "}));
    EXPECT_TRUE(capture.contains("copy ok"));
}
