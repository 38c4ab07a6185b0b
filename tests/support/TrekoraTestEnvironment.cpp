#include "support/TrekoraTestEnvironment.h"

#include "platform/FileManager.h"
#include "platform/Places.h"

#include <filesystem>

TrekoraTestEnvironment::TrekoraTestEnvironment() {
    console_ = std::make_unique<platform::Console::Capture>();
    Trekora::resetShared();
    documents_ = platform::FileManager::makeTemporaryDirectory("trekora-test");
    platform::Places::setDocumentsDirectory(documents_);
    platform::Places::setResourcesDirectory(resources());
}

TrekoraTestEnvironment::~TrekoraTestEnvironment() {
    Trekora::resetShared();
    platform::Places::setDocumentsDirectory("");
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
