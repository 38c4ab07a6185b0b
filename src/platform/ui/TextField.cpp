#include "platform/ui/TextField.h"

#include <algorithm>

#include "platform/ui/Utf8Text.h"

namespace platform {

bool TextField::applyChange(TextRange range, const std::string& replacement) {
    if (!isEnabled()) return false;
    const std::string current = textOrEmpty();
    const size_t length = Utf8Text::length(current);
    range.location = std::min(range.location, length);
    range.length = std::min(range.length, length - range.location);
    if (auto d = delegate_.lock()) {
        if (!d->textFieldShouldChangeCharactersIn(*this, range, replacement)) return false;
    }
    text_ = Utf8Text::substring(current, 0, range.location) + replacement +
            Utf8Text::substring(current, range.location + range.length, length);
    selection_.reset();
    sendActions();
    return true;
}

void TextField::selectAll() { selection_ = TextRange{0, Utf8Text::length(textOrEmpty())}; }

size_t TextField::type(const std::string& typed) {
    size_t accepted = 0;
    for (const auto& c : Utf8Text::characters(typed)) {
        if (!keyboardAllows(keyboardType_, c)) continue;
        TextRange at{Utf8Text::length(textOrEmpty()), 0};
        if (selection_ && selection_->length > 0) at = *selection_;
        if (applyChange(at, c)) ++accepted;
    }
    return accepted;
}

bool TextField::replace(TextRange range, const std::string& replacement) {
    for (const auto& c : Utf8Text::characters(replacement))
        if (!keyboardAllows(keyboardType_, c)) return false;
    return applyChange(range, replacement);
}

bool TextField::deleteBackward() {
    size_t length = Utf8Text::length(textOrEmpty());
    if (length == 0) return false;
    return applyChange(TextRange{length - 1, 1}, "");
}

bool TextField::clear() {
    size_t length = Utf8Text::length(textOrEmpty());
    if (length == 0) return true;
    return applyChange(TextRange{0, length}, "");
}

bool TextField::pressReturn() {
    if (auto d = delegate_.lock()) return d->textFieldShouldReturn(*this);
    return true;
}

}  // namespace platform
