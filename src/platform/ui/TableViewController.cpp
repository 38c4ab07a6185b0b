#include "platform/ui/TableViewController.h"

namespace platform {

TableViewController::TableViewController() : tableView_(std::make_shared<TableView>()) {
    tableView_->setIdentifier("tableView");
    setView(tableView_);
}

void TableViewController::loadView() {
    ViewController::loadView();
    if (!wired_) {
        wired_ = true;
        auto self = shared_from_this();
        tableView_->setDataSource(std::shared_ptr<TableViewDataSource>(self, this));
        tableView_->setDelegate(std::shared_ptr<TableViewDelegate>(self, this));
    }
}

void TableViewController::viewWillAppear(bool) {
    // Like the platform's table screens: nothing stays selected on return.
    if (auto selected = tableView_->indexPathForSelectedRow()) tableView_->deselectRow(*selected, false);
}

std::shared_ptr<TableViewCell> TableViewController::cellForRowAt(TableView& table, const IndexPath& indexPath) {
    return table.dequeueReusableCell("Cell", indexPath);
}

}  // namespace platform
