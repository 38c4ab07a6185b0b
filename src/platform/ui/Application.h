#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Window.h"

namespace platform {

// The one application object: its delegate and window, opening URLs, and the
// main entry that launches it and runs the given run loop (the terminal
// front end, or a test).
class Application {
public:
    using DelegateFactory = std::function<std::shared_ptr<ApplicationDelegate>()>;
    using RunLoop = std::function<void(Application&)>;

    static Application& shared();

    std::shared_ptr<ApplicationDelegate> delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) { delegate_ = std::move(delegate); }
    // The delegate's window, or the application's own when the delegate has none.
    std::shared_ptr<Window> window() const;

    // Whether a URL can be opened: web addresses can; the system settings
    // addresses ("prefs:root=WIFI", "App-Prefs:root=WIFI") cannot here.
    bool canOpenURL(const std::string& url) const;
    // Opens a URL outside the application (recorded; passed to the opener the
    // front end installs). The completion gets whether it was opened.
    void open(const std::string& url, const std::map<std::string, std::string>& options = {},
              std::function<void(bool)> completion = {});
    const std::vector<std::string>& openedURLs() const { return opened_; }
    void setURLOpener(std::function<void(const std::string&)> opener) { opener_ = std::move(opener); }

    // Delegate classes by name, as the entry looks them up.
    static void registerDelegateClass(const std::string& name, DelegateFactory factory);
    static std::shared_ptr<ApplicationDelegate> makeDelegate(const std::string& name);

    // The application main loop entry: makes the delegate of that class (none
    // when unknown), gives it a window with the initial screen of the storyboard
    // "Main" (or `fallbackRoot` when that has none), launches, runs `runLoop`
    // until it returns, then terminates. Returns 0.
    static int main(int argc, char** argv, const std::optional<std::string>& principalClassName,
                    const std::optional<std::string>& delegateClassName, const RunLoop& runLoop,
                    const std::function<std::shared_ptr<ViewController>()>& fallbackRoot = {});

    // Tells the delegate the application ends (once).
    void terminate();
    bool isTerminated() const { return terminated_; }
    // Back to a fresh state (tests).
    void reset();

private:
    std::shared_ptr<ApplicationDelegate> delegate_;
    std::shared_ptr<Window> window_;
    std::vector<std::string> opened_;
    std::function<void(const std::string&)> opener_;
    std::vector<std::string> arguments_;
    bool terminated_ = false;
};

}  // namespace platform
