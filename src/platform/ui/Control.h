#pragma once

#include <functional>
#include <vector>

#include "platform/ui/View.h"

namespace platform {

// A widget with target actions. An action is any callable taking the sender.
class Control : public View {
public:
    using Action = std::function<void(Control& sender)>;

    void addTarget(Action action) { actions_.push_back(std::move(action)); }
    void removeAllTargets() { actions_.clear(); }
    bool hasTargets() const { return !actions_.empty(); }

protected:
    // Runs every action, in the order added; a disabled control sends nothing.
    void sendActions();

private:
    std::vector<Action> actions_;
};

}  // namespace platform
