#include "platform/ui/TableViewCell.h"

#include <utility>

namespace platform {

TableViewCell::TableViewCell(Style style, std::string reuseIdentifier)
    : style_(style), reuseIdentifier_(std::move(reuseIdentifier)) {
    textLabel_ = std::make_shared<Label>();
    textLabel_->setIdentifier("textLabel");
    imageView_ = std::make_shared<ImageView>();
    imageView_->setIdentifier("imageView");
    if (style != Style::defaultStyle) {
        detailTextLabel_ = std::make_shared<Label>();
        detailTextLabel_->setIdentifier("detailTextLabel");
    }
}

std::shared_ptr<Label> TableViewCell::addLabel(const std::string& name, const std::string& caption) {
    if (auto existing = label(name)) return existing;
    auto l = std::make_shared<Label>();
    l->setIdentifier(name);
    l->setAccessibilityLabel(caption);
    addSubview(l);
    return l;
}

std::shared_ptr<Label> TableViewCell::label(const std::string& name) const {
    if (name == "textLabel") return textLabel_;
    if (name == "detailTextLabel") return detailTextLabel_;
    for (auto& v : subviews())
        if (v->identifier() == name)
            if (auto l = std::dynamic_pointer_cast<Label>(v)) return l;
    return nullptr;
}

}  // namespace platform
