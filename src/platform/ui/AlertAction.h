#pragma once

#include <functional>
#include <string>

namespace platform {

class AlertAction {
public:
    enum class Style { defaultStyle = 0, cancel = 1, destructive = 2 };
    using Handler = std::function<void(AlertAction&)>;

    AlertAction(std::string title, Style style, Handler handler = {})
        : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

    const std::string& title() const { return title_; }
    Style style() const { return style_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    // Runs the handler (the alert calls this after it is dismissed).
    void run() {
        if (handler_) {
            auto handler = handler_;
            handler(*this);
        }
    }
    void dropHandler() { handler_ = nullptr; }

private:
    std::string title_;
    Style style_;
    Handler handler_;
    bool enabled_ = true;
};

}  // namespace platform
