#include "platform/ui/NavigationController.h"

#include <algorithm>
#include <iostream>

namespace platform {

std::shared_ptr<NavigationController> NavigationController::make(const std::shared_ptr<ViewController>& root) {
    auto nav = std::make_shared<NavigationController>();
    if (root) {
        root->setNavigationControllerLink(nav);
        nav->stack_.push_back(root);
    }
    return nav;
}

std::shared_ptr<ViewController> NavigationController::topViewController() const {
    return stack_.empty() ? nullptr : stack_.back();
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
    if (auto presented = presentedViewController()) return presented;
    return topViewController();
}

void NavigationController::release(const std::shared_ptr<ViewController>& screen) {
    if (screen && screen->navigationController().get() == this) screen->setNavigationControllerLink(nullptr);
}

bool NavigationController::pushViewController(const std::shared_ptr<ViewController>& screen, bool animated) {
    if (!screen || screen.get() == this || screen->navigationController() ||
        std::find(stack_.begin(), stack_.end(), screen) != stack_.end()) {
        std::cerr << "Pushing a screen that is already in a navigation stack is not supported; ignored\n";
        return false;
    }
    auto covered = topViewController();
    screen->setNavigationControllerLink(
        std::static_pointer_cast<NavigationController>(shared_from_this()));
    stack_.push_back(screen);
    transitions_.push_back({Transition::Kind::push, animated, screen});
    if (isAppeared()) {
        screen->loadViewIfNeeded();  // the new screen loads before the old one is told
        if (covered) covered->beginDisappearance(animated);
        screen->beginAppearance(animated);
        if (covered) covered->endDisappearance(animated);
        screen->endAppearance(animated);
    }
    return true;
}

std::shared_ptr<ViewController> NavigationController::popViewController(bool animated) {
    if (stack_.size() <= 1) return nullptr;
    auto popped = stack_.back();
    stack_.pop_back();
    auto uncovered = stack_.back();
    transitions_.push_back({Transition::Kind::pop, animated, uncovered});
    if (isAppeared()) {
        popped->beginDisappearance(animated);
        uncovered->beginAppearance(animated);
        popped->endDisappearance(animated);
        uncovered->endAppearance(animated);
    }
    release(popped);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewController(bool animated) {
    if (stack_.size() <= 1) return {};
    std::vector<std::shared_ptr<ViewController>> popped(stack_.begin() + 1, stack_.end());
    auto top = stack_.back();
    stack_.resize(1);
    auto root = stack_.front();
    transitions_.push_back({Transition::Kind::popToRoot, animated, root});
    if (isAppeared()) {
        top->beginDisappearance(animated);
        root->beginAppearance(animated);
        top->endDisappearance(animated);
        root->endAppearance(animated);
    }
    for (auto& screen : popped) release(screen);
    return popped;
}

void NavigationController::setViewControllers(std::vector<std::shared_ptr<ViewController>> screens, bool animated) {
    auto oldTop = topViewController();
    auto old = stack_;
    stack_.clear();
    for (auto& screen : old)
        if (std::find(screens.begin(), screens.end(), screen) == screens.end()) release(screen);
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    for (auto& screen : screens) {
        if (!screen || std::find(stack_.begin(), stack_.end(), screen) != stack_.end()) continue;
        auto owner = screen->navigationController();
        if (owner && owner != self) continue;
        screen->setNavigationControllerLink(self);
        stack_.push_back(screen);
    }
    auto newTop = topViewController();
    transitions_.push_back({Transition::Kind::setStack, animated, newTop});
    if (isAppeared() && oldTop != newTop) {
        if (oldTop) oldTop->beginDisappearance(animated);
        if (newTop) newTop->beginAppearance(animated);
        if (oldTop) oldTop->endDisappearance(animated);
        if (newTop) newTop->endAppearance(animated);
    }
}

void NavigationController::forwardAppearance(bool appearing, bool begin, bool animated) {
    auto top = topViewController();
    if (!top) return;
    if (appearing)
        begin ? top->beginAppearance(animated) : top->endAppearance(animated);
    else
        begin ? top->beginDisappearance(animated) : top->endDisappearance(animated);
}

}  // namespace platform
