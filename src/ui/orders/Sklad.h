#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Trekora.h"
#include "platform/ui/Label.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

class MenuItem;

// The stock of one stock type with the pieces and kilograms of the rows
// shown, searchable by code and name; "doklad" writes an inventory
// statement of that stock type.
class Sklad : public platform::ViewController,
              public platform::TableViewDataSource,
              public platform::TableViewDelegate,
              public platform::SearchBarDelegate {
public:
    Sklad();

    std::weak_ptr<platform::SearchBar> searchBar;
    std::weak_ptr<platform::TableView> tableView;
    std::weak_ptr<platform::View> tableFooterView;
    std::weak_ptr<platform::Label> labelKs;
    std::weak_ptr<platform::Label> labelKg;
    // The inventory menu row that opened the screen: its caption names the
    // screen and its stock type selects the rows.
    std::shared_ptr<MenuItem> menuItem;
    std::vector<RowDictionary> data;
    std::vector<RowDictionary> filteredData;
    // Totals of the rows shown, summed in 64 bits so that long lists and
    // large quantities keep every piece and every hundredth of a kilogram.
    double sumKg = 0;
    std::int64_t sumKs = 0;

    void viewDidLoad() override;

    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) override;
    void searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) override;

    virtual void dokladTapped();
    virtual void prepocitajSumy();
    virtual void zobrazVysledok(const std::string& vysledok);

private:
    void setNadpis();
};
