#include "platform/ui/Window.h"

#include "platform/ui/NavigationController.h"

namespace platform {

void Window::setRootViewController(std::shared_ptr<ViewController> root) {
    if (root == root_) return;
    auto old = root_;
    root_ = std::move(root);
    if (!visible_) return;
    if (old) old->beginDisappearance(false);
    if (root_) root_->beginAppearance(false);
    if (old) old->endDisappearance(false);
    if (root_) root_->endAppearance(false);
}

void Window::makeKeyAndVisible() {
    if (visible_) return;
    visible_ = true;
    if (root_) {
        root_->beginAppearance(false);
        root_->endAppearance(false);
    }
}

namespace {
std::shared_ptr<ViewController> contentOf(const std::shared_ptr<ViewController>& screen) {
    if (auto nav = std::dynamic_pointer_cast<NavigationController>(screen)) {
        auto top = nav->topViewController();
        return top ? top : screen;
    }
    return screen;
}

// Walks the presentation chain: the front-most non-alert screen and the alert over it.
void resolve(std::shared_ptr<ViewController> root, std::shared_ptr<ViewController>& screen,
             std::shared_ptr<AlertController>& alert) {
    screen = contentOf(root);
    alert.reset();
    for (int guard = 0; screen && guard < 64; ++guard) {
        auto presented = screen->presentedViewController();
        if (!presented) presented = root ? root->presentedViewController() : nullptr;
        if (!presented) return;
        if (auto a = std::dynamic_pointer_cast<AlertController>(presented)) {
            alert = a;
            return;
        }
        root = presented;
        screen = contentOf(presented);
    }
}
}  // namespace

std::shared_ptr<ViewController> Window::topScreen() const {
    std::shared_ptr<ViewController> screen;
    std::shared_ptr<AlertController> alert;
    resolve(root_, screen, alert);
    return screen;
}

std::shared_ptr<AlertController> Window::presentedAlert() const {
    std::shared_ptr<ViewController> screen;
    std::shared_ptr<AlertController> alert;
    resolve(root_, screen, alert);
    return alert;
}

}  // namespace platform
