#include "platform/SystemSounds.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "platform/FileManager.h"

namespace platform {

namespace {
std::mutex soundMutex;
std::map<SystemSoundId, std::string> registered;
SystemSoundId nextId = 4097;
std::vector<SystemSounds::Played> history;
bool bell = false;

void record(SystemSoundId id, bool alert) {
    bool ring;
    {
        std::lock_guard lock(soundMutex);
        history.push_back({id, alert});
        ring = alert && bell;
    }
    if (ring) {
        std::fputc('\a', stdout);
        std::fflush(stdout);
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

bool SystemSounds::bellEnabled() {
    std::lock_guard lock(soundMutex);
    return bell;
}

}  // namespace platform
