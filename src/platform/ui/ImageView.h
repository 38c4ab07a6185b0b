#pragma once

#include <memory>

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

namespace platform {

class ImageView : public View {
public:
    const std::shared_ptr<Image>& image() const { return image_; }
    void setImage(std::shared_ptr<Image> image) { image_ = std::move(image); }

private:
    std::shared_ptr<Image> image_;
};

}  // namespace platform
