#include "support/TrekoraTestEnvironment.h"

#include "platform/FakeWifiProvider.h"
#include "platform/FileManager.h"
#include "platform/LocationManager.h"
#include "platform/Places.h"
#include "platform/Wifi.h"

#include <filesystem>

TrekoraTestEnvironment::TrekoraTestEnvironment() {
    console_ = std::make_unique<platform::Console::Capture>();
    Trekora::resetShared();
    documents_ = platform::FileManager::makeTemporaryDirectory("trekora-test");
    platform::Places::setDocumentsDirectory(documents_);
    platform::Places::setResourcesDirectory(resources());
    // The device as a fresh install sees it: no Wi-Fi, location not asked yet
    // (a request is granted).
    auto wifi = std::make_shared<platform::FakeWifiProvider>();
    wifi->setNoInterfaces();
    platform::Wifi::setProvider(wifi);
    platform::LocationManager::setSimulatedStatus(platform::AuthorizationStatus::notDetermined);
    platform::LocationManager::setSimulatedAnswer(platform::AuthorizationStatus::authorizedWhenInUse);
}

TrekoraTestEnvironment::~TrekoraTestEnvironment() {
    Trekora::resetShared();
    platform::Places::setDocumentsDirectory("");
    platform::Wifi::setProvider(nullptr);
    platform::LocationManager::setSimulatedStatus(platform::AuthorizationStatus::notDetermined);
    std::error_code ignored;
    std::filesystem::remove_all(documents_, ignored);
    console_.reset();
}

std::string TrekoraTestEnvironment::resources() { return std::string(TREKORA_BINARY_DIR) + "/resources"; }

std::string TrekoraTestEnvironment::documentsPath(const std::string& name) const {
    return platform::FileManager::appendingPathComponent(documents_, name);
}

void TrekoraTest::loginDemo() {
    ASSERT_TRUE(trekora().checkUzivatelPin("1234")) << "the demo PIN 1234 was refused";
}
