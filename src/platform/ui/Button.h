#pragma once

#include <memory>
#include <string>

#include "platform/ui/Control.h"
#include "platform/ui/Image.h"

namespace platform {

class Button : public Control {
public:
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::shared_ptr<Image>& image() const { return image_; }
    void setImage(std::shared_ptr<Image> image) { image_ = std::move(image); }

    // The user taps the button.
    void tap() { sendActions(); }

private:
    std::string title_;
    std::shared_ptr<Image> image_;
};

}  // namespace platform
