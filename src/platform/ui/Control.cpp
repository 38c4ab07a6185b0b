#include "platform/ui/Control.h"

namespace platform {

void Control::sendActions() {
    if (!isEnabled()) return;
    // Copy: an action may add or remove targets.
    auto actions = actions_;
    for (auto& action : actions) action(*this);
}

}  // namespace platform
