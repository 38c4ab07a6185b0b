#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Trekora.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class ParameterItem;

// The rows of a "LOOKUP" parameter's query: a tap writes the row's key and
// text into the parameter and returns; a row's detail button shows the
// linked document or the activity.
class Lookup : public platform::ViewController,
               public platform::TableViewDataSource,
               public platform::TableViewDelegate {
public:
    std::weak_ptr<platform::TableView> tableView;
    std::shared_ptr<ParameterItem> item;
    std::vector<RowDictionary> data;

    Lookup();

    void viewDidLoad() override;
    std::optional<std::string> titleForHeaderInSection(platform::TableView&, int section) override;
    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) override;
    void accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) override;
};
