#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/KeyboardType.h"
#include "platform/ui/SearchBarDelegate.h"
#include "platform/ui/View.h"

namespace platform {

class SearchBar : public View {
public:
    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }  // by code: no delegate call
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string placeholder) { placeholder_ = std::move(placeholder); }
    KeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(KeyboardType type) { keyboardType_ = type; }

    const std::vector<std::string>& scopeButtonTitles() const { return scopeTitles_; }
    void setScopeButtonTitles(std::vector<std::string> titles) { scopeTitles_ = std::move(titles); }
    int selectedScopeButtonIndex() const { return selectedScope_; }
    void setSelectedScopeButtonIndex(int index) { selectedScope_ = index; }
    bool showsScopeBar() const { return showsScopeBar_; }
    void setShowsScopeBar(bool shows) { showsScopeBar_ = shows; }
    bool showsCancelButton() const { return showsCancel_; }
    void setShowsCancelButton(bool shows) { showsCancel_ = shows; }
    void sizeToFit() {}

    void setDelegate(std::weak_ptr<SearchBarDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<SearchBarDelegate> delegate() const { return delegate_.lock(); }

    bool canBecomeFirstResponder() const override { return isEnabled(); }

    // --- The user ---
    // Types the whole new search text (characters the keyboard lacks are
    // dropped) and tells the delegate.
    void enterText(const std::string& text);
    // Taps scope button `index` (0-based); out-of-range taps do nothing.
    void selectScope(int index);
    void tapSearchButton();
    void tapCancelButton();

private:
    std::string text_;
    std::string placeholder_;
    KeyboardType keyboardType_ = KeyboardType::defaultType;
    std::vector<std::string> scopeTitles_;
    int selectedScope_ = 0;
    bool showsScopeBar_ = false;
    bool showsCancel_ = false;
    std::weak_ptr<SearchBarDelegate> delegate_;
};

}  // namespace platform
