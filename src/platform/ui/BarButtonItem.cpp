#include "platform/ui/BarButtonItem.h"

#include <utility>

namespace platform {

BarButtonItem::BarButtonItem(std::string title, Style style, Action action)
    : title_(std::move(title)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(std::shared_ptr<Image> image, Style style, Action action)
    : image_(std::move(image)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(SystemItem item, Action action)
    : style_(item == SystemItem::done || item == SystemItem::save ? Style::done : Style::plain),
      systemItem_(item), action_(std::move(action)) {}

std::string BarButtonItem::title() const {
    if (!title_.empty()) return title_;
    switch (systemItem_) {
        case SystemItem::done: return "Done";
        case SystemItem::cancel: return "Cancel";
        case SystemItem::save: return "Save";
        case SystemItem::add: return "Add";
        case SystemItem::edit: return "Edit";
        case SystemItem::action: return "Share";
        case SystemItem::none: break;
    }
    return image_ ? image_->name() : std::string();
}

void BarButtonItem::tap() {
    if (enabled_ && action_) {
        auto action = action_;  // the action may replace this item
        action(*this);
    }
}

}  // namespace platform
