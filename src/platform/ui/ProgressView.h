#pragma once

#include "platform/ui/View.h"

namespace platform {

class ProgressView : public View {
public:
    float progress() const { return progress_; }
    // Clamped to 0...1 as the platform does.
    void setProgress(float progress, bool animated = false);
    const std::optional<Color>& progressTintColor() const { return progressTint_; }
    void setProgressTintColor(std::optional<Color> color) { progressTint_ = std::move(color); }

private:
    float progress_ = 0;
    std::optional<Color> progressTint_;
};

}  // namespace platform
