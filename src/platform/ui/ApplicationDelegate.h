#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/ui/Window.h"

namespace platform {

class Application;

// The application's delegate: launch and state hooks. The window is set by the
// platform before launch, from the storyboard "Main".
class ApplicationDelegate {
public:
    using LaunchOptions = std::map<std::string, std::string>;

    virtual ~ApplicationDelegate() = default;

    const std::shared_ptr<Window>& window() const { return window_; }
    void setWindow(std::shared_ptr<Window> window) { window_ = std::move(window); }

    virtual bool didFinishLaunchingWithOptions(Application&, const LaunchOptions&) { return true; }
    virtual void applicationWillResignActive(Application&) {}
    virtual void applicationDidEnterBackground(Application&) {}
    virtual void applicationWillEnterForeground(Application&) {}
    virtual void applicationDidBecomeActive(Application&) {}
    virtual void applicationWillTerminate(Application&) {}

private:
    std::shared_ptr<Window> window_;
};

}  // namespace platform
