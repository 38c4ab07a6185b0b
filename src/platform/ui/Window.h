#pragma once

#include <memory>

#include "platform/ui/AlertController.h"
#include "platform/ui/ViewController.h"

namespace platform {

class Window {
public:
    std::shared_ptr<ViewController> rootViewController() const { return root_; }
    // The old root disappears and, when the window is visible, the new one appears.
    void setRootViewController(std::shared_ptr<ViewController> root);
    void makeKeyAndVisible();
    bool isVisible() const { return visible_; }

    // The screen a person sees: the top of the navigation stack of the
    // front-most full screen (presented screens included), and the alert
    // presented over it, if any.
    std::shared_ptr<ViewController> topScreen() const;
    std::shared_ptr<AlertController> presentedAlert() const;

private:
    std::shared_ptr<ViewController> root_;
    bool visible_ = false;
};

}  // namespace platform
