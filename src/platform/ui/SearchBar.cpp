#include "platform/ui/SearchBar.h"

#include "platform/ui/Utf8Text.h"

namespace platform {

void SearchBar::enterText(const std::string& typed) {
    std::string filtered;
    for (const auto& c : Utf8Text::characters(typed))
        if (keyboardAllows(keyboardType_, c)) filtered += c;
    text_ = filtered;
    if (auto d = delegate_.lock()) d->searchBarTextDidChange(*this, text_);
}

void SearchBar::selectScope(int index) {
    if (index < 0 || index >= static_cast<int>(scopeTitles_.size())) return;
    if (index == selectedScope_) return;
    selectedScope_ = index;
    if (auto d = delegate_.lock()) d->searchBarSelectedScopeButtonIndexDidChange(*this, index);
}

void SearchBar::tapSearchButton() {
    if (auto d = delegate_.lock()) d->searchBarSearchButtonClicked(*this);
}

void SearchBar::tapCancelButton() {
    if (auto d = delegate_.lock()) d->searchBarCancelButtonClicked(*this);
}

}  // namespace platform
