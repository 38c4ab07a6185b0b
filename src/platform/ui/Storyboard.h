#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/ViewController.h"

namespace platform {

// A named set of screens built by identifier. Each subsystem registers the
// factories of its screens (and, optionally, a layout that adds and connects
// the outlets when the screen's view loads); the program then builds screens
// only through a storyboard, as the platform does.
class Storyboard : public std::enable_shared_from_this<Storyboard> {
public:
    using Factory = std::function<std::shared_ptr<ViewController>()>;
    using Layout = ViewController::Layout;

    explicit Storyboard(std::string name) : name_(std::move(name)) {}

    // The storyboard of this name (one object per name).
    static std::shared_ptr<Storyboard> named(const std::string& name);

    static void registerScreen(const std::string& storyboardName, const std::string& identifier,
                               Factory factory, Layout layout = {});
    // The first screen, embedded in a navigation controller unless told otherwise.
    static void registerInitialScreen(const std::string& storyboardName, const std::string& identifier,
                                      bool embedInNavigationController = true);
    // A segue from screen `sourceIdentifier` that pushes screen `destinationIdentifier`.
    static void registerSegue(const std::string& storyboardName, const std::string& sourceIdentifier,
                              const std::string& segueIdentifier, const std::string& destinationIdentifier);
    // Forgets every registration (tests).
    static void resetRegistry();

    const std::string& name() const { return name_; }
    bool hasScreen(const std::string& identifier) const;
    std::optional<std::string> initialIdentifier() const;

    // A new screen; none for an unknown identifier.
    std::shared_ptr<ViewController> instantiateViewController(const std::string& identifier);
    template <class T>
    std::shared_ptr<T> instantiate(const std::string& identifier) {
        return std::dynamic_pointer_cast<T>(instantiateViewController(identifier));
    }
    // The initial screen (in its navigation controller); none when not registered.
    std::shared_ptr<ViewController> instantiateInitialViewController();
    // The destination of a segue; none when there is no such segue.
    std::shared_ptr<ViewController> destinationOfSegue(const std::string& sourceIdentifier,
                                                       const std::string& segueIdentifier);

private:
    std::string name_;
};

}  // namespace platform
