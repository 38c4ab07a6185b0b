#include "platform/ui/Image.h"

#include <filesystem>
#include <mutex>
#include <set>
#include <utility>

namespace platform {

namespace {
struct ImageRegistry {
    std::mutex mutex;
    std::set<std::string> names;
    std::string folder;
};
ImageRegistry& registry() {
    static ImageRegistry r;
    return r;
}
}  // namespace

Image::Image(std::string name, bool symbol, Weight weight)
    : name_(std::move(name)), symbol_(symbol), weight_(weight) {}

std::shared_ptr<Image> Image::named(const std::string& name) {
    if (name.empty()) return nullptr;
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    bool known = r.names.count(name) > 0;
    if (!known && !r.folder.empty()) {
        std::error_code ec;
        known = std::filesystem::is_regular_file(std::filesystem::path(r.folder) / name, ec);
    }
    return known ? std::make_shared<Image>(name, false) : nullptr;
}

std::shared_ptr<Image> Image::systemNamed(const std::string& name, Weight weight) {
    // Symbol names are lower-case words joined by dots ("person.fill").
    if (name.empty() || name.front() == '.' || name.back() == '.') return nullptr;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.';
        if (!ok) return nullptr;
    }
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) return nullptr;
    return std::make_shared<Image>(name, true, weight);
}

void Image::registerResource(const std::string& name) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.names.insert(name);
}

void Image::setResourceFolder(const std::string& folder) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.folder = folder;
}

}  // namespace platform
