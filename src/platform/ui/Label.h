#pragma once

#include <optional>
#include <string>

#include "platform/ui/View.h"

namespace platform {

class Label : public View {
public:
    const std::optional<std::string>& text() const { return text_; }
    void setText(std::optional<std::string> text) { text_ = std::move(text); }
    std::string textOrEmpty() const { return text_.value_or(std::string()); }

    const std::optional<Color>& textColor() const { return textColor_; }
    void setTextColor(std::optional<Color> color) { textColor_ = std::move(color); }

    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int lines) { numberOfLines_ = lines; }

private:
    std::optional<std::string> text_;
    std::optional<Color> textColor_;
    int numberOfLines_ = 1;
};

}  // namespace platform
