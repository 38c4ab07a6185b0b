#include "platform/ui/Storyboard.h"

#include <map>
#include <mutex>

#include "platform/ui/NavigationController.h"

namespace platform {

namespace {
struct Entry {
    Storyboard::Factory factory;
    Storyboard::Layout layout;
};
struct Board {
    std::map<std::string, Entry> screens;
    std::optional<std::string> initial;
    bool embedInitial = true;
    std::map<std::pair<std::string, std::string>, std::string> segues;
    std::shared_ptr<Storyboard> object;
};
struct Registry {
    std::recursive_mutex mutex;
    std::map<std::string, Board> boards;
};
Registry& registry() {
    static Registry r;
    return r;
}
}  // namespace

std::shared_ptr<Storyboard> Storyboard::named(const std::string& name) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto& board = r.boards[name];
    if (!board.object) board.object = std::make_shared<Storyboard>(name);
    return board.object;
}

void Storyboard::registerScreen(const std::string& storyboardName, const std::string& identifier, Factory factory,
                                Layout layout) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.boards[storyboardName].screens[identifier] = Entry{std::move(factory), std::move(layout)};
}

void Storyboard::registerInitialScreen(const std::string& storyboardName, const std::string& identifier,
                                       bool embedInNavigationController) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto& board = r.boards[storyboardName];
    board.initial = identifier;
    board.embedInitial = embedInNavigationController;
}

void Storyboard::registerSegue(const std::string& storyboardName, const std::string& sourceIdentifier,
                               const std::string& segueIdentifier, const std::string& destinationIdentifier) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.boards[storyboardName].segues[{sourceIdentifier, segueIdentifier}] = destinationIdentifier;
}

void Storyboard::resetRegistry() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    for (auto& [name, board] : r.boards) {
        board.screens.clear();
        board.initial.reset();
        board.embedInitial = true;
        board.segues.clear();
    }
}

bool Storyboard::hasScreen(const std::string& identifier) const {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto& board = r.boards[name_];
    return board.screens.count(identifier) > 0;
}

std::optional<std::string> Storyboard::initialIdentifier() const {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    return r.boards[name_].initial;
}

std::shared_ptr<ViewController> Storyboard::instantiateViewController(const std::string& identifier) {
    Entry entry;
    {
        auto& r = registry();
        std::lock_guard lock(r.mutex);
        auto& board = r.boards[name_];
        auto found = board.screens.find(identifier);
        if (found == board.screens.end() || !found->second.factory) return nullptr;
        entry = found->second;
    }
    auto screen = entry.factory();
    if (screen) screen->attachStoryboard(shared_from_this(), identifier, entry.layout);
    return screen;
}

std::shared_ptr<ViewController> Storyboard::instantiateInitialViewController() {
    std::optional<std::string> initial;
    bool embed = true;
    {
        auto& r = registry();
        std::lock_guard lock(r.mutex);
        auto& board = r.boards[name_];
        initial = board.initial;
        embed = board.embedInitial;
    }
    if (!initial) return nullptr;
    auto screen = instantiateViewController(*initial);
    if (!screen || !embed || std::dynamic_pointer_cast<NavigationController>(screen)) return screen;
    return NavigationController::make(screen);
}

std::shared_ptr<ViewController> Storyboard::destinationOfSegue(const std::string& sourceIdentifier,
                                                               const std::string& segueIdentifier) {
    std::string destination;
    {
        auto& r = registry();
        std::lock_guard lock(r.mutex);
        auto& board = r.boards[name_];
        auto found = board.segues.find({sourceIdentifier, segueIdentifier});
        if (found == board.segues.end()) return nullptr;
        destination = found->second;
    }
    return instantiateViewController(destination);
}

}  // namespace platform
