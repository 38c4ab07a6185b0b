#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextFieldDelegate.h"
#include "platform/ui/ViewController.h"

class OdberatelItem;

// The customer picker: every customer under a search bar. A tap selects the
// customer, reads his loyalty account, asks for the kilometre reading (and
// whether a substitute drives) and opens the sales menu.
class Odberatel : public platform::ViewController,
                  public platform::TableViewDataSource,
                  public platform::TableViewDelegate,
                  public platform::SearchBarDelegate,
                  public platform::TextFieldDelegate {
public:
    // Connected by the storyboard.
    std::weak_ptr<platform::SearchBar> searchBar;
    std::weak_ptr<platform::TableView> tableView;

    std::vector<std::shared_ptr<OdberatelItem>> data;
    std::vector<std::shared_ptr<OdberatelItem>> filteredData;
    std::string nadpis;

    void viewDidLoad() override;

    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) override;
    void accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) override;
    bool textFieldShouldChangeCharactersIn(platform::TextField& field, platform::TextRange range,
                                           const std::string& replacement) override;
    void searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) override;
    void searchBarSelectedScopeButtonIndexDidChange(platform::SearchBar&, int selectedScope) override;
    void searchBarSearchButtonClicked(platform::SearchBar&) override;

    // The selection of one shown row (the tap queues it on the main queue).
    void vyber(std::size_t row);

    // The filter alone: the rows of `data` whose search keys hold `text`.
    void filter(const std::string& text);

private:
    void setNadpis();
    void kilometre(bool animated);
    void otvorMenu(bool animated);
    std::shared_ptr<Odberatel> self();

    // The folded search keys of each row of `data`, built once on loading.
    std::vector<std::vector<std::string>> keys_;
};
