#include "platform/DiagnosticLog.h"

#include <cstdio>

namespace platform {

namespace {
std::mutex logMutex;
DiagnosticLog::Capture* activeCapture = nullptr;
}  // namespace

void DiagnosticLog::write(const std::string& message) {
    std::lock_guard lock(logMutex);
    if (activeCapture) {
        std::lock_guard inner(activeCapture->mutex_);
        activeCapture->messages_.push_back(message);
        return;
    }
    std::fprintf(stderr, "trekora: %s\n", message.c_str());
}

DiagnosticLog::Capture::Capture() {
    std::lock_guard lock(logMutex);
    previous_ = activeCapture;
    activeCapture = this;
}

DiagnosticLog::Capture::~Capture() {
    std::lock_guard lock(logMutex);
    activeCapture = previous_;
}

std::vector<std::string> DiagnosticLog::Capture::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

}  // namespace platform
