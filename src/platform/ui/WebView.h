#pragma once

#include <optional>
#include <string>

#include "platform/ui/View.h"

namespace platform {

// Holds the last HTML page loaded; a front end renders it.
class WebView : public View {
public:
    void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL = std::nullopt) {
        html_ = html;
        baseURL_ = baseURL;
        ++loadCount_;
    }
    const std::optional<std::string>& html() const { return html_; }
    const std::optional<std::string>& baseURL() const { return baseURL_; }
    int loadCount() const { return loadCount_; }

private:
    std::optional<std::string> html_;
    std::optional<std::string> baseURL_;
    int loadCount_ = 0;
};

}  // namespace platform
