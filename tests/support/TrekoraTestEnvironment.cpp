#include "support/TrekoraTestEnvironment.h"

#include "db/SqlDatabase.h"
#include "platform/FakeWifiProvider.h"
#include "platform/FileManager.h"
#include "platform/LocationManager.h"
#include "platform/Places.h"
#include "platform/Wifi.h"

#include <filesystem>
#include <iostream>

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
    if (::testing::Test::HasFailure() && console_) {
        // The captured trace helps to see why a test failed: its last lines.
        const auto lines = console_->lines();
        const std::size_t from = lines.size() > 80 ? lines.size() - 80 : 0;
        std::cerr << "--- console (last " << lines.size() - from << " lines) ---\n";
        for (std::size_t i = from; i < lines.size(); ++i) std::cerr << lines[i] << "\n";
    }
    Trekora::resetShared();
    platform::Places::setDocumentsDirectory("");
    platform::Wifi::setProvider(nullptr);
    platform::LocationManager::setSimulatedStatus(platform::AuthorizationStatus::notDetermined);
    platform::FileManager::removeItem(documents_);
    console_.reset();
}

std::string TrekoraTestEnvironment::resources() { return std::string(TREKORA_BINARY_DIR) + "/resources"; }

std::string TrekoraTestEnvironment::documentsPath(const std::string& name) const {
    return platform::FileManager::appendingPathComponent(documents_, name);
}

void TrekoraTestEnvironment::execute(const std::string& sql) {
    auto db = SqlDatabase::databaseWithPath(trekora().dbURL);
    ASSERT_TRUE(db->open());
    EXPECT_TRUE(db->executeStatements(sql)) << sql << ": " << db->lastErrorMessage();
    db->close();
}

std::string TrekoraTestEnvironment::scalar(const std::string& sql) {
    auto db = SqlDatabase::databaseWithPath(trekora().dbURL);
    if (!db->open()) return "";
    std::string value = db->stringForQuery(sql).value_or("");
    db->close();
    return value;
}

void TrekoraTest::loginDemo() {
    ASSERT_TRUE(trekora().checkUzivatelPin("1234")) << "the demo PIN 1234 was refused";
}
