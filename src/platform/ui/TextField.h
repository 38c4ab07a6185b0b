#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Control.h"
#include "platform/ui/KeyboardType.h"
#include "platform/ui/TextFieldDelegate.h"
#include "platform/ui/TextRange.h"

namespace platform {

enum class TextAlignment { left, center, right, natural };

class TextField : public Control {
public:
    // Programmatic access: no filter, no delegate.
    const std::optional<std::string>& text() const { return text_; }
    void setText(std::optional<std::string> text) { text_ = std::move(text); }
    std::string textOrEmpty() const { return text_.value_or(std::string()); }

    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string placeholder) { placeholder_ = std::move(placeholder); }
    KeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(KeyboardType type) { keyboardType_ = type; }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment) { alignment_ = alignment; }
    bool isSecureTextEntry() const { return secure_; }
    void setSecureTextEntry(bool secure) { secure_ = secure; }

    // Non-owning: the delegate must outlive its use (as the platform's weak one).
    void setDelegate(std::weak_ptr<TextFieldDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<TextFieldDelegate> delegate() const { return delegate_.lock(); }

    bool canBecomeFirstResponder() const override { return isEnabled(); }

    // The selected characters; typing replaces them.
    const std::optional<TextRange>& selectedRange() const { return selection_; }
    void selectAll();
    void setSelectedRange(std::optional<TextRange> range) { selection_ = range; }

    // --- The user's editing ---
    // Types text character by character at the end (the first character
    // replaces the selection, if any): characters the keyboard
    // lacks are not typed, and the delegate may refuse each one. Returns the
    // number of characters that went in.
    size_t type(const std::string& typed);
    // Replaces `range` (in characters, clipped to the text) with `replacement`
    // as a paste does: every character must be on the keyboard, and the
    // delegate is asked once. Returns whether the change was made.
    bool replace(TextRange range, const std::string& replacement);
    // One backspace at the end.
    bool deleteBackward();
    // Selects everything and deletes it.
    bool clear();
    // The return key; the delegate's answer.
    bool pressReturn();

    // Editing actions (value changed) are sent after every accepted change.
private:
    bool applyChange(TextRange range, const std::string& replacement);

    std::optional<std::string> text_;
    std::string placeholder_;
    KeyboardType keyboardType_ = KeyboardType::defaultType;
    TextAlignment alignment_ = TextAlignment::natural;
    bool secure_ = false;
    std::weak_ptr<TextFieldDelegate> delegate_;
    std::optional<TextRange> selection_;
};

}  // namespace platform
