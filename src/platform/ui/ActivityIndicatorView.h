#pragma once

#include "platform/ui/View.h"

namespace platform {

class ActivityIndicatorView : public View {
public:
    void startAnimating() {
        animating_ = true;
        if (hidesWhenStopped_) setHidden(false);
    }
    void stopAnimating() {
        animating_ = false;
        if (hidesWhenStopped_) setHidden(true);
    }
    bool isAnimating() const { return animating_; }
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides) { hidesWhenStopped_ = hides; }

private:
    bool animating_ = false;
    bool hidesWhenStopped_ = true;
};

}  // namespace platform
