#include "platform/ui/ProgressView.h"

#include <cmath>

namespace platform {

void ProgressView::setProgress(float progress, bool) {
    if (std::isnan(progress)) progress = 0;
    progress_ = progress < 0 ? 0 : (progress > 1 ? 1 : progress);
}

}  // namespace platform
