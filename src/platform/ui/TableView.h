#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/IndexPath.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/View.h"

namespace platform {

// A list of rows in sections, filled by its data source. Cells are asked for
// when a row is shown (cellAt) and kept while it stays on screen: scrolling
// (setVisibleRows) and reloadData hand them back for reuse by identifier, so
// a list of any length holds only the cells of the rows shown.
class TableView : public View {
public:
    using CellFactory = std::function<std::shared_ptr<TableViewCell>()>;

    void setDataSource(std::weak_ptr<TableViewDataSource> source) { dataSource_ = std::move(source); }
    std::shared_ptr<TableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDelegate(std::weak_ptr<TableViewDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<TableViewDelegate> delegate() const { return delegate_.lock(); }

    // Prototype cells (the storyboard's) by reuse identifier.
    void registerCell(const std::string& identifier, CellFactory factory);
    void registerCell(const std::string& identifier, TableViewCell::Style style);
    // A reused or new cell of a registered prototype; none for an unknown identifier.
    std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& identifier);
    // As above, but never none: an unknown identifier gives a default-style cell.
    std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& identifier, const IndexPath&);

    void reloadData();
    int reloadCount() const { return reloadCount_; }

    int numberOfSections();
    int numberOfRowsInSection(int section);
    // All rows, section by section.
    std::vector<IndexPath> allIndexPaths();
    // The cell shown for a row (asked from the data source once while the
    // row stays on screen); none for a row out of range.
    std::shared_ptr<TableViewCell> cellAt(const IndexPath& indexPath);
    // The rows now on screen: the cells of every other row are handed back
    // for reuse, as when the list scrolls them out of view.
    void setVisibleRows(const std::vector<IndexPath>& rows);
    // The rows that hold a cell now, in order.
    std::vector<IndexPath> indexPathsForVisibleRows() const;
    std::optional<std::string> titleForHeaderInSection(int section);
    double heightForRow(const IndexPath& indexPath);
    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height) { rowHeight_ = height; }

    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
    void selectRow(std::optional<IndexPath> indexPath) { selected_ = indexPath; }  // by code: no delegate call
    void deselectRow(const IndexPath& indexPath, bool animated);

    // --- The user ---
    // Taps a row: it becomes selected and the delegate is told. False for a row out of range.
    bool tapRow(const IndexPath& indexPath);
    // Taps the accessory button of a row.
    bool tapAccessory(const IndexPath& indexPath);

private:
    bool isValid(const IndexPath& indexPath);
    void enqueue(const std::shared_ptr<TableViewCell>& cell);

    std::weak_ptr<TableViewDataSource> dataSource_;
    std::weak_ptr<TableViewDelegate> delegate_;
    std::map<std::string, CellFactory> prototypes_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> reusePool_;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> visible_;
    std::optional<IndexPath> selected_;
    double rowHeight_ = 44.0;
    int reloadCount_ = 0;
};

}  // namespace platform
