#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ViewController.h"

namespace platform {

// A stack of screens. While the navigation controller is on screen, a push or
// a pop fires the appearance callbacks of the covered and uncovered screens
// (will-disappear, will-appear, did-disappear, did-appear); every transition is
// recorded with its animated flag.
class NavigationController : public ViewController {
public:
    struct Transition {
        enum class Kind { push, pop, popToRoot, setStack };
        Kind kind;
        bool animated;
        std::shared_ptr<ViewController> screen;  // pushed, or the new top after a pop
    };

    NavigationController() = default;
    // Use make(root) rather than this with setRoot.
    static std::shared_ptr<NavigationController> make(const std::shared_ptr<ViewController>& root = nullptr);

    // False (and nothing happens) for no screen or one that already stands in a stack.
    bool pushViewController(const std::shared_ptr<ViewController>& screen, bool animated);
    // Pops the top screen; none when only the root is left.
    std::shared_ptr<ViewController> popViewController(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToRootViewController(bool animated);
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> screens, bool animated);

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return stack_; }
    std::shared_ptr<ViewController> topViewController() const;
    // The top screen, or what is presented over the navigation controller.
    std::shared_ptr<ViewController> visibleViewController() const;

    const std::vector<Transition>& transitions() const { return transitions_; }

protected:
    void forwardAppearance(bool appearing, bool begin, bool animated) override;

private:
    void release(const std::shared_ptr<ViewController>& screen);

    std::vector<std::shared_ptr<ViewController>> stack_;
    std::vector<Transition> transitions_;
};

}  // namespace platform
