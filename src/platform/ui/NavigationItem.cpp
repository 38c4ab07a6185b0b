#include "platform/ui/NavigationItem.h"

namespace platform {

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    left_.clear();
    if (item) left_.push_back(std::move(item));
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    right_.clear();
    if (item) right_.push_back(std::move(item));
}

}  // namespace platform
