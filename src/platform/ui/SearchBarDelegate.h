#pragma once

#include <string>

namespace platform {

class SearchBar;

class SearchBarDelegate {
public:
    virtual ~SearchBarDelegate() = default;
    virtual void searchBarTextDidChange(SearchBar&, const std::string& /*searchText*/) {}
    virtual void searchBarSelectedScopeButtonIndexDidChange(SearchBar&, int /*selectedScope*/) {}
    virtual void searchBarCancelButtonClicked(SearchBar&) {}
    virtual void searchBarSearchButtonClicked(SearchBar&) {}
};

}  // namespace platform
