#pragma once

#include <memory>
#include <vector>

#include "platform/ui/TableViewController.h"

class MenuItem;

// A generic list of the main menu's rows; a tap performs the storyboard
// segue named by the row's key.
class Menu : public platform::TableViewController {
public:
    std::vector<std::shared_ptr<MenuItem>> data;

    void viewDidLoad() override;
    int numberOfSections(platform::TableView& table) override;
    int numberOfRowsInSection(platform::TableView& table, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void didSelectRowAt(platform::TableView& table, const platform::IndexPath& indexPath) override;

protected:
    // The menu whose rows the screen lists.
    virtual const char* menuName() const { return "menu"; }
};
