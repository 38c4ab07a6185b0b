#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class TovarItem;

// The goods picker: the price list of the document with stock, chosen
// quantity and discounts, searchable; a tap opens the batches of the good.
// Goods receipts may take the whole stock back in one step.
class Tovar : public platform::ViewController,
              public platform::TableViewDataSource,
              public platform::TableViewDelegate,
              public platform::SearchBarDelegate {
public:
    std::weak_ptr<platform::TableView> tableView;
    std::weak_ptr<platform::SearchBar> searchBar;

    std::vector<std::shared_ptr<TovarItem>> data;
    std::vector<std::shared_ptr<TovarItem>> filteredData;
    std::string nadpis;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    virtual void vsetkoTapped();

    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) override;
    void searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) override;
    void searchBarSelectedScopeButtonIndexDidChange(platform::SearchBar&, int selectedScope) override;

private:
    void setNadpis();
};
