#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Trekora.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

// The lines of one received order with what is delivered, still to deliver
// and in stock, searchable; the action sheet "pripraviť doklad" turns the
// order into a goods receipt, a cash sale or an invoice.
class ObjednavkaPolozky : public platform::ViewController,
                          public platform::TableViewDataSource,
                          public platform::TableViewDelegate,
                          public platform::SearchBarDelegate {
public:
    std::weak_ptr<platform::SearchBar> searchBar;
    std::weak_ptr<platform::TableView> tableView;
    // The header row of the order, set by the orders list before the push.
    RowDictionary doklad;
    std::vector<RowDictionary> data;
    std::vector<RowDictionary> filteredData;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    virtual void akciaTapped();

    std::optional<double> heightForRowAt(platform::TableView&, const platform::IndexPath&) override;
    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) override;

private:
    // The order handed to an order operation, then the screen it opens.
    void pripravDoklad(const std::string& pohyb, const std::string& ctlac, const std::string& identifier);
};
