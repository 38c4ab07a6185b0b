#pragma once

#include <memory>
#include <string>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace platform {

// A table row. Built-in styles carry a text label, a detail label (not in the
// default style) and an image view; custom cells add named labels and other
// widgets as subviews (see addLabel).
class TableViewCell : public View {
public:
    enum class Style { defaultStyle = 0, value1 = 1, value2 = 2, subtitle = 3 };
    enum class AccessoryType { none = 0, disclosureIndicator = 1, detailDisclosureButton = 2, checkmark = 3, detailButton = 4 };

    explicit TableViewCell(Style style = Style::defaultStyle, std::string reuseIdentifier = {});

    Style style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    const std::shared_ptr<Label>& textLabel() const { return textLabel_; }
    // None in the default style.
    const std::shared_ptr<Label>& detailTextLabel() const { return detailTextLabel_; }
    const std::shared_ptr<ImageView>& imageView() const { return imageView_; }

    AccessoryType accessoryType() const { return accessory_; }
    void setAccessoryType(AccessoryType type) { accessory_ = type; }
    bool hasAccessoryButton() const {
        return accessory_ == AccessoryType::detailButton || accessory_ == AccessoryType::detailDisclosureButton;
    }

    // A named label of a custom cell; created once, later calls return it.
    // A caption says what the label shows (its accessibility label).
    std::shared_ptr<Label> addLabel(const std::string& name, const std::string& caption = {});
    std::shared_ptr<Label> label(const std::string& name) const;

    // Called before the table hands the cell out again.
    virtual void prepareForReuse() {}

private:
    Style style_;
    std::string reuseIdentifier_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<Label> detailTextLabel_;
    std::shared_ptr<ImageView> imageView_;
    AccessoryType accessory_ = AccessoryType::none;
};

}  // namespace platform
