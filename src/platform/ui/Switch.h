#pragma once

#include "platform/ui/Control.h"

namespace platform {

class Switch : public Control {
public:
    bool isOn() const { return on_; }
    // Set by code: sends no action.
    void setOn(bool on, bool animated = false) {
        on_ = on;
        lastAnimated_ = animated;
    }
    bool lastSetAnimated() const { return lastAnimated_; }

    // The user flips the switch: changes the value and sends the actions.
    void toggle() {
        if (!isEnabled()) return;
        on_ = !on_;
        sendActions();
    }

private:
    bool on_ = false;
    bool lastAnimated_ = false;
};

}  // namespace platform
