#include "platform/SystemSounds.h"

#include <map>
#include <mutex>
#include <unistd.h>

#include "platform/FileManager.h"

namespace platform {

namespace {
std::mutex soundMutex;
std::map<SystemSoundId, std::string> registered;
SystemSoundId nextId = 4097;
std::vector<SystemSounds::Played> history;
bool bell = ::isatty(STDOUT_FILENO) == 1;
int bellFd = STDOUT_FILENO;

void record(SystemSoundId id, bool alert) {
    bool ring;
    int fd;
    {
        std::lock_guard lock(soundMutex);
        history.push_back({id, alert});
        ring = alert && bell;
        fd = bellFd;
    }
    if (ring) {
        // One byte, unbuffered: the bell needs no place among the lines.
        [[maybe_unused]] ssize_t written = ::write(fd, "\a", 1);
    }
}
}  // namespace

std::optional<SystemSoundId> SystemSounds::create(const std::string& path) {
    if (!FileManager::fileExists(path) || FileManager::isDirectory(path)) return std::nullopt;
    std::lock_guard lock(soundMutex);
    SystemSoundId id = nextId++;
    registered[id] = path;
    return id;
}

std::optional<std::string> SystemSounds::file(SystemSoundId id) {
    std::lock_guard lock(soundMutex);
    auto it = registered.find(id);
    if (it == registered.end()) return std::nullopt;
    return it->second;
}

void SystemSounds::playAlertSound(SystemSoundId id) { record(id, true); }
void SystemSounds::playSystemSound(SystemSoundId id) { record(id, false); }

std::vector<SystemSounds::Played> SystemSounds::played() {
    std::lock_guard lock(soundMutex);
    return history;
}

void SystemSounds::clearPlayed() {
    std::lock_guard lock(soundMutex);
    history.clear();
}

void SystemSounds::setBellEnabled(bool enabled) {
    std::lock_guard lock(soundMutex);
    bell = enabled;
}

void SystemSounds::setBellDescriptor(int fd) {
    std::lock_guard lock(soundMutex);
    bellFd = fd;
}

bool SystemSounds::bellEnabled() {
    std::lock_guard lock(soundMutex);
    return bell;
}

}  // namespace platform
