#include "platform/ui/Application.h"

#include <algorithm>
#include <mutex>

#include "platform/ui/Storyboard.h"

namespace platform {

namespace {
struct DelegateRegistry {
    std::mutex mutex;
    std::map<std::string, Application::DelegateFactory> factories;
};
DelegateRegistry& delegates() {
    static DelegateRegistry r;
    return r;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
}  // namespace

Application& Application::shared() {
    static Application app;
    return app;
}

std::shared_ptr<Window> Application::window() const {
    if (delegate_ && delegate_->window()) return delegate_->window();
    return window_;
}

bool Application::canOpenURL(const std::string& url) const {
    auto colon = url.find(':');
    if (colon == std::string::npos) return false;
    auto scheme = lower(url.substr(0, colon));
    return (scheme == "http" || scheme == "https") && url.size() > colon + 3 &&
           url.compare(colon, 3, "://") == 0;
}

void Application::open(const std::string& url, const std::map<std::string, std::string>&,
                       std::function<void(bool)> completion) {
    bool ok = canOpenURL(url);
    if (ok) {
        opened_.push_back(url);
        if (opener_) opener_(url);
    }
    if (completion) completion(ok);
}

void Application::registerDelegateClass(const std::string& name, DelegateFactory factory) {
    auto& r = delegates();
    std::lock_guard lock(r.mutex);
    r.factories[name] = std::move(factory);
}

std::shared_ptr<ApplicationDelegate> Application::makeDelegate(const std::string& name) {
    DelegateFactory factory;
    {
        auto& r = delegates();
        std::lock_guard lock(r.mutex);
        auto found = r.factories.find(name);
        if (found == r.factories.end()) return nullptr;
        factory = found->second;
    }
    return factory ? factory() : nullptr;
}

int Application::main(int argc, char** argv, const std::optional<std::string>&,
                      const std::optional<std::string>& delegateClassName, const RunLoop& runLoop,
                      const std::function<std::shared_ptr<ViewController>()>& fallbackRoot) {
    auto& app = shared();
    app.arguments_.assign(argv, argv + std::max(argc, 0));
    app.terminated_ = false;
    app.delegate_ = delegateClassName ? makeDelegate(*delegateClassName) : nullptr;

    auto window = std::make_shared<Window>();
    app.window_ = window;
    if (app.delegate_) app.delegate_->setWindow(window);
    auto root = Storyboard::named("Main")->instantiateInitialViewController();
    if (!root && fallbackRoot) root = fallbackRoot();
    window->setRootViewController(root);

    if (app.delegate_) app.delegate_->didFinishLaunchingWithOptions(app, {});
    window->makeKeyAndVisible();
    if (app.delegate_) app.delegate_->applicationDidBecomeActive(app);
    if (runLoop) runLoop(app);
    app.terminate();
    return 0;
}

void Application::terminate() {
    if (terminated_) return;
    terminated_ = true;
    if (delegate_) {
        delegate_->applicationWillResignActive(*this);
        delegate_->applicationDidEnterBackground(*this);
        delegate_->applicationWillTerminate(*this);
    }
}

void Application::reset() {
    delegate_.reset();
    window_.reset();
    opened_.clear();
    opener_ = nullptr;
    arguments_.clear();
    terminated_ = false;
}

}  // namespace platform
