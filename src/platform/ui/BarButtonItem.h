#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Image.h"

namespace platform {

// A button of a navigation bar or toolbar.
class BarButtonItem {
public:
    enum class Style { plain = 0, bordered = 1, done = 2 };
    enum class SystemItem { none, done, cancel, save, add, edit, action };
    using Action = std::function<void(BarButtonItem& sender)>;

    BarButtonItem(std::string title, Style style, Action action);
    BarButtonItem(std::shared_ptr<Image> image, Style style, Action action);
    BarButtonItem(SystemItem item, Action action);

    // The title shown: the given one, the system item's ("Save", ...) or the image name.
    std::string title() const;
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::shared_ptr<Image>& image() const { return image_; }
    Style style() const { return style_; }
    SystemItem systemItem() const { return systemItem_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    // The user taps it.
    void tap();

private:
    std::string title_;
    std::shared_ptr<Image> image_;
    Style style_ = Style::plain;
    SystemItem systemItem_ = SystemItem::none;
    Action action_;
    bool enabled_ = true;
};

}  // namespace platform
