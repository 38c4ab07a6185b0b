#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/BarButtonItem.h"

namespace platform {

// What a screen shows in the navigation bar.
class NavigationItem {
public:
    using Items = std::vector<std::shared_ptr<BarButtonItem>>;

    const Items& leftBarButtonItems() const { return left_; }
    void setLeftBarButtonItems(Items items) { left_ = std::move(items); }
    void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item);
    const Items& rightBarButtonItems() const { return right_; }
    void setRightBarButtonItems(Items items) { right_ = std::move(items); }
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item);
    bool hidesBackButton() const { return hidesBack_; }
    void setHidesBackButton(bool hides) { hidesBack_ = hides; }

private:
    Items left_;
    Items right_;
    bool hidesBack_ = false;
};

}  // namespace platform
