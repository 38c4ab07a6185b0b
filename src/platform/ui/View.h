#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Color.h"

namespace platform {

// Base of every widget: a node of the view tree with the few properties that
// the screens set. Views are held by std::shared_ptr; a parent owns its subviews.
class View : public std::enable_shared_from_this<View> {
public:
    View() = default;
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    void addSubview(const std::shared_ptr<View>& view);
    void removeFromSuperview();
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    std::shared_ptr<View> superview() const { return superview_.lock(); }

    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    // The height the layout gives the view; none: its natural height. A view
    // of height 0 shows nothing.
    const std::optional<double>& height() const { return height_; }
    void setHeight(std::optional<double> height) { height_ = height; }
    bool isCollapsed() const { return hidden_ || (height_ && *height_ <= 0); }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    const std::optional<Color>& tintColor() const { return tintColor_; }
    void setTintColor(std::optional<Color> color) { tintColor_ = std::move(color); }
    const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<Color> color) { backgroundColor_ = std::move(color); }

    // The caption a front end shows beside the widget (the storyboard's label).
    const std::string& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(std::string label) { accessibilityLabel_ = std::move(label); }
    // The outlet name the storyboard connected the view to.
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

    // First responder (keyboard focus), one per process.
    virtual bool canBecomeFirstResponder() const { return false; }
    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const;

    // The application-wide animation switch.
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();

private:
    std::vector<std::shared_ptr<View>> subviews_;
    std::weak_ptr<View> superview_;
    bool hidden_ = false;
    bool enabled_ = true;
    int tag_ = 0;
    std::optional<double> height_;
    std::optional<Color> tintColor_;
    std::optional<Color> backgroundColor_;
    std::string accessibilityLabel_;
    std::string identifier_;
};

}  // namespace platform
