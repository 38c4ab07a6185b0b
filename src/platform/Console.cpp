#include "platform/Console.h"

#include <algorithm>
#include <cstdio>

namespace platform {

namespace {
std::mutex consoleMutex;
Console::Capture* activeCapture = nullptr;
std::FILE* consoleStream = nullptr;  // standard error unless redirected
}  // namespace

void Console::print(const std::string& line) {
    std::lock_guard lock(consoleMutex);
    if (activeCapture) {
        std::lock_guard inner(activeCapture->mutex_);
        activeCapture->lines_.push_back(line);
        return;
    }
    std::FILE* out = consoleStream ? consoleStream : stderr;
    // The line and its break in one write: standard error is unbuffered.
    std::string text;
    text.reserve(line.size() + 1);
    text.append(line).push_back('\n');
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
}

void Console::redirectTo(std::FILE* stream) {
    std::lock_guard lock(consoleMutex);
    consoleStream = stream;
}

Console::Capture::Capture() {
    std::lock_guard lock(consoleMutex);
    previous_ = activeCapture;
    activeCapture = this;
}

Console::Capture::~Capture() {
    std::lock_guard lock(consoleMutex);
    activeCapture = previous_;
}

std::vector<std::string> Console::Capture::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool Console::Capture::contains(const std::string& line) const {
    std::lock_guard lock(mutex_);
    return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
}

void Console::Capture::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

}  // namespace platform
