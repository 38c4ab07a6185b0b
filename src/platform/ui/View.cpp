#include "platform/ui/View.h"

#include <algorithm>
#include <atomic>

namespace platform {

namespace {
std::atomic<bool> animationsEnabled{true};
// The view holding the keyboard focus; main thread only.
const View* firstResponder = nullptr;
}  // namespace

View::~View() {
    if (firstResponder == this) firstResponder = nullptr;
}

void View::addSubview(const std::shared_ptr<View>& view) {
    if (!view || view.get() == this) return;
    view->removeFromSuperview();
    view->superview_ = weak_from_this();
    subviews_.push_back(view);
}

void View::removeFromSuperview() {
    auto parent = superview_.lock();
    superview_.reset();
    if (!parent) return;
    auto& list = parent->subviews_;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [this](const std::shared_ptr<View>& v) { return v.get() == this; }),
               list.end());
}

bool View::becomeFirstResponder() {
    if (!canBecomeFirstResponder()) return false;
    firstResponder = this;
    return true;
}

bool View::resignFirstResponder() {
    if (firstResponder == this) firstResponder = nullptr;
    return true;
}

bool View::isFirstResponder() const { return firstResponder == this; }

void View::setAnimationsEnabled(bool enabled) { animationsEnabled = enabled; }
bool View::areAnimationsEnabled() { return animationsEnabled; }

}  // namespace platform
