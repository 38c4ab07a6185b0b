#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"

namespace platform {

class NavigationController;
class Storyboard;

// A screen. Created with std::make_shared (by a storyboard factory or directly);
// its view is loaded on first use, and the lifecycle callbacks are fired by the
// containers (window, navigation controller, presentation) as the platform
// fires them.
class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    using Layout = std::function<void(ViewController&)>;

    ViewController() = default;
    virtual ~ViewController() = default;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // --- View and lifecycle ---
    // The root view; loads it (loadView, then viewDidLoad once) when needed.
    std::shared_ptr<View> view();
    void setView(std::shared_ptr<View> view) { view_ = std::move(view); }
    bool isViewLoaded() const { return viewLoaded_; }
    void loadViewIfNeeded();

    // Creates the root view and runs the storyboard layout (which connects
    // the outlets). Overrides that replace it need not call it.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}

    // On screen: between viewWillAppear and viewWillDisappear.
    bool isAppeared() const { return appearance_ == Appearance::appearing || appearance_ == Appearance::appeared; }

    // --- Properties ---
    const std::optional<std::string>& title() const { return title_; }
    void setTitle(std::optional<std::string> title) { title_ = std::move(title); }
    NavigationItem& navigationItem() { return navigationItem_; }
    const NavigationItem& navigationItem() const { return navigationItem_; }

    std::shared_ptr<NavigationController> navigationController() const;
    std::shared_ptr<Storyboard> storyboard() const { return storyboard_.lock(); }
    const std::string& storyboardIdentifier() const { return storyboardIdentifier_; }

    // --- Presentation (modal screens and alerts) ---
    // Presents `screen` from this screen's presentation context (its navigation
    // controller when it has one). The presenting screens get no appearance
    // callbacks. Refused (false, a console line) while the context already
    // presents a screen, or when `screen` is already shown somewhere.
    bool present(const std::shared_ptr<ViewController>& screen, bool animated,
                 std::function<void()> completion = {});
    // Dismisses what this screen presents, or this screen when it is presented.
    void dismiss(bool animated, std::function<void()> completion = {});
    std::shared_ptr<ViewController> presentedViewController() const;
    std::shared_ptr<ViewController> presentingViewController() const { return presenting_.lock(); }
    // The animated flag of the last presentation and dismissal of this screen.
    std::optional<bool> presentedAnimated() const { return presentedAnimated_; }
    std::optional<bool> dismissedAnimated() const { return dismissedAnimated_; }

    // --- Segues ---
    // Performs the storyboard segue `identifier` (a push of its destination);
    // without such a segue the request is only recorded.
    void performSegue(const std::string& identifier);
    const std::optional<std::string>& lastSegueIdentifier() const { return lastSegue_; }

    // --- Storyboard and containers (not for screens' own use) ---
    void attachStoryboard(const std::shared_ptr<Storyboard>& storyboard, std::string identifier, Layout layout);
    void setNavigationControllerLink(const std::shared_ptr<NavigationController>& nav);
    void beginAppearance(bool animated);
    void endAppearance(bool animated);
    void beginDisappearance(bool animated);
    void endDisappearance(bool animated);

    // Adds a widget of type T to the root view as the outlet `name`, shown by a
    // front end with `label` (the outlet name when empty). Usable from a
    // storyboard layout or a factory.
    template <class T>
    std::shared_ptr<T> addOutlet(const std::string& name, const std::string& label = {}) {
        auto widget = std::make_shared<T>();
        widget->setIdentifier(name);
        widget->setAccessibilityLabel(label.empty() ? name : label);
        contentView()->addSubview(widget);
        return widget;
    }

protected:
    // The root view without the load lifecycle.
    std::shared_ptr<View> contentView();
    // Hooks for containers to forward appearance to their visible child.
    virtual void forwardAppearance(bool /*appearing*/, bool /*begin*/, bool /*animated*/) {}

private:
    enum class Appearance { disappeared, appearing, appeared, disappearing };
    std::shared_ptr<ViewController> presentationContext();

    std::shared_ptr<View> view_;
    bool viewLoaded_ = false;
    Appearance appearance_ = Appearance::disappeared;
    std::optional<std::string> title_;
    NavigationItem navigationItem_;
    std::weak_ptr<NavigationController> navigationController_;
    std::weak_ptr<Storyboard> storyboard_;
    std::string storyboardIdentifier_;
    Layout layout_;
    std::shared_ptr<ViewController> presented_;
    std::weak_ptr<ViewController> presenting_;
    std::optional<bool> presentedAnimated_;
    std::optional<bool> dismissedAnimated_;
    std::optional<std::string> lastSegue_;
};

}  // namespace platform
