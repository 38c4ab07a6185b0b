#include "platform/Places.h"

#include <cstdlib>
#include <mutex>
#include <unistd.h>

#include "platform/FileManager.h"

namespace platform {

namespace {
std::mutex placesMutex;
std::string documentsOverride;
std::string resourcesOverride;

std::string executableDirectory() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    buf[n] = '\0';
    return FileManager::deletingLastPathComponent(buf);
}
}  // namespace

std::string Places::defaultDocumentsDirectory() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.local/share";
    }
    return base + "/trekora/Documents";
}

std::string Places::defaultResourcesDirectory() {
    std::string beside = executableDirectory();
    if (!beside.empty()) {
        std::string candidate = beside + "/resources";
        if (FileManager::isDirectory(candidate)) return candidate;
    }
#ifdef TREKORA_BUILD_RESOURCES_DIR
    return TREKORA_BUILD_RESOURCES_DIR;
#else
    return beside + "/resources";
#endif
}

std::string Places::documentsDirectory() {
    std::string dir;
    {
        std::lock_guard lock(placesMutex);
        dir = documentsOverride;
    }
    if (dir.empty()) dir = defaultDocumentsDirectory();
    if (!FileManager::isDirectory(dir)) FileManager::createDirectory(dir, true);
    return dir;
}

Url Places::documentsUrl() { return Url::fileUrl(documentsDirectory() + "/"); }

void Places::setDocumentsDirectory(const std::string& path) {
    std::lock_guard lock(placesMutex);
    documentsOverride = path;
}

std::string Places::resourcesDirectory() {
    {
        std::lock_guard lock(placesMutex);
        if (!resourcesOverride.empty()) return resourcesOverride;
    }
    return defaultResourcesDirectory();
}

void Places::setResourcesDirectory(const std::string& path) {
    std::lock_guard lock(placesMutex);
    resourcesOverride = path;
}

std::optional<std::string> Places::resourcePath(const std::string& name) {
    if (name.empty()) return std::nullopt;
    std::string path = FileManager::appendingPathComponent(resourcesDirectory(), name);
    if (!FileManager::fileExists(path)) return std::nullopt;
    return path;
}

std::optional<std::string> Places::resourcePath(const std::string& name,
                                                const std::string& extension) {
    return resourcePath(extension.empty() ? name : name + "." + extension);
}

}  // namespace platform
