#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Trekora.h"
#include "ui/orders/QueryRow.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

// The list of written documents, searchable; a tap opens the document's
// preview. The list is read again every time the screen appears.
class Doklady : public platform::ViewController,
                public platform::TableViewDataSource,
                public platform::TableViewDelegate,
                public platform::SearchBarDelegate {
public:
    std::weak_ptr<platform::SearchBar> searchBar;
    std::weak_ptr<platform::TableView> tableView;
    // The documents of the report data item "vsetky_vystavene" as last
    // read, and the rows shown (the same rows, in the same order).
    QueryRows data;
    QueryRows filteredData;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    std::optional<double> heightForRowAt(platform::TableView&, const platform::IndexPath&) override;
    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) override;
    void searchBarSelectedScopeButtonIndexDidChange(platform::SearchBar&, int) override {}
    void searchBarCancelButtonClicked(platform::SearchBar&) override {}
    void didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) override;
    void accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) override;

private:
    void setNadpis();
};
