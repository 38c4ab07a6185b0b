#pragma once

#include <memory>

#include "platform/ui/TableView.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/ViewController.h"

namespace platform {

// A screen whose view is a table, of which it is data source and delegate.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    TableViewController();

    const std::shared_ptr<TableView>& tableView() const { return tableView_; }

    void loadView() override;
    void viewWillAppear(bool animated) override;

    int numberOfRowsInSection(TableView&, int) override { return 0; }
    std::shared_ptr<TableViewCell> cellForRowAt(TableView& table, const IndexPath& indexPath) override;

private:
    std::shared_ptr<TableView> tableView_;
    bool wired_ = false;
};

}  // namespace platform
