#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Trekora.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

// The orders for delivery that the office prepared, with how far each is
// delivered, searchable; a tap opens the order's lines. The action sheet
// "objednávky" deletes them all or imports new ones.
class Objednavky : public platform::ViewController,
                   public platform::TableViewDataSource,
                   public platform::TableViewDelegate,
                   public platform::SearchBarDelegate {
public:
    std::weak_ptr<platform::SearchBar> searchBar;
    std::weak_ptr<platform::TableView> tableView;
    virtual void akciaTapped();
    std::vector<RowDictionary> data;
    std::vector<RowDictionary> filteredData;

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

    // "vymazať": asks, deletes every received order, reads the list again
    // at once and says when the deletion failed.
    virtual void vymazat();
    // "importovať": the import on the synchronisation screen, unless the
    // device is on the printer's hotspot.
    virtual void importovat();

private:
    void nacitaj();
    void setNadpis();
};
