#include "platform/ui/ViewController.h"

#include <iostream>

#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"

namespace platform {

std::shared_ptr<View> ViewController::contentView() {
    if (!view_) view_ = std::make_shared<View>();
    return view_;
}

std::shared_ptr<View> ViewController::view() {
    loadViewIfNeeded();
    return contentView();
}

void ViewController::loadViewIfNeeded() {
    if (viewLoaded_) return;
    viewLoaded_ = true;
    loadView();
    contentView();
    viewDidLoad();
}

void ViewController::loadView() {
    contentView();
    if (layout_) {
        auto layout = std::move(layout_);
        layout_ = nullptr;
        layout(*this);
    }
}

std::shared_ptr<NavigationController> ViewController::navigationController() const {
    return navigationController_.lock();
}

void ViewController::attachStoryboard(const std::shared_ptr<Storyboard>& storyboard, std::string identifier,
                                      Layout layout) {
    storyboard_ = storyboard;
    storyboardIdentifier_ = std::move(identifier);
    layout_ = std::move(layout);
}

void ViewController::setNavigationControllerLink(const std::shared_ptr<NavigationController>& nav) {
    navigationController_ = nav;
}

void ViewController::beginAppearance(bool animated) {
    if (appearance_ == Appearance::appearing || appearance_ == Appearance::appeared) return;
    loadViewIfNeeded();
    appearance_ = Appearance::appearing;
    viewWillAppear(animated);
    forwardAppearance(true, true, animated);
}

void ViewController::endAppearance(bool animated) {
    if (appearance_ != Appearance::appearing) return;
    appearance_ = Appearance::appeared;
    viewDidAppear(animated);
    forwardAppearance(true, false, animated);
}

void ViewController::beginDisappearance(bool animated) {
    if (appearance_ != Appearance::appeared && appearance_ != Appearance::appearing) return;
    appearance_ = Appearance::disappearing;
    viewWillDisappear(animated);
    forwardAppearance(false, true, animated);
}

void ViewController::endDisappearance(bool animated) {
    if (appearance_ != Appearance::disappearing) return;
    appearance_ = Appearance::disappeared;
    viewDidDisappear(animated);
    forwardAppearance(false, false, animated);
}

std::shared_ptr<ViewController> ViewController::presentationContext() {
    // A screen inside a navigation stack presents from its navigation
    // controller, as the platform's default presentation context does.
    if (auto nav = navigationController()) return nav;
    return shared_from_this();
}

std::shared_ptr<ViewController> ViewController::presentedViewController() const {
    if (presented_) return presented_;
    if (auto nav = navigationController()) return nav->presented_;
    return nullptr;
}

bool ViewController::present(const std::shared_ptr<ViewController>& screen, bool animated,
                             std::function<void()> completion) {
    if (!screen) return false;
    auto context = presentationContext();
    if (context->presented_ || screen->presenting_.lock() || screen->navigationController()) {
        std::cerr << "Attempt to present a screen while a presentation is in progress; ignored\n";
        return false;
    }
    context->presented_ = screen;
    screen->presenting_ = context;
    screen->presentedAnimated_ = animated;
    screen->dismissedAnimated_.reset();
    screen->beginAppearance(animated);
    screen->endAppearance(animated);
    if (completion) completion();
    return true;
}

void ViewController::dismiss(bool animated, std::function<void()> completion) {
    std::shared_ptr<ViewController> context;
    std::shared_ptr<ViewController> screen = presentedViewController();
    if (screen) {
        context = screen->presenting_.lock();
    } else if ((context = presenting_.lock())) {
        screen = shared_from_this();
    } else {
        if (completion) completion();
        return;
    }
    // Whatever the dismissed screen presents goes with it.
    if (screen->presented_) screen->dismiss(animated);
    if (context) context->presented_.reset();
    screen->presenting_.reset();
    screen->dismissedAnimated_ = animated;
    screen->beginDisappearance(animated);
    screen->endDisappearance(animated);
    if (completion) completion();
}

void ViewController::performSegue(const std::string& identifier) {
    lastSegue_ = identifier;
    auto board = storyboard();
    if (!board) return;
    auto destination = board->destinationOfSegue(storyboardIdentifier_, identifier);
    if (!destination) return;
    if (auto nav = navigationController()) nav->pushViewController(destination, true);
}

}  // namespace platform
