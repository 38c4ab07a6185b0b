#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/TableViewController.h"

using namespace platform;

namespace {

class Fruits : public TableViewController {
public:
    std::vector<std::string> rows{"jablko", "hruška", "slivka"};
    std::vector<IndexPath> selected;
    std::vector<IndexPath> accessories;
    int cellsMade = 0;

    void viewDidLoad() override {
        tableView()->registerCell("FruitCell", [this] {
            ++cellsMade;
            return std::make_shared<TableViewCell>(TableViewCell::Style::subtitle, "FruitCell");
        });
    }
    int numberOfSections(TableView&) override { return 2; }
    int numberOfRowsInSection(TableView&, int section) override {
        return section == 0 ? static_cast<int>(rows.size()) : 1;
    }
    std::optional<std::string> titleForHeaderInSection(TableView&, int section) override {
        return section == 0 ? std::optional<std::string>("ovocie") : std::nullopt;
    }
    std::shared_ptr<TableViewCell> cellForRowAt(TableView& table, const IndexPath& p) override {
        auto cell = table.dequeueReusableCell("FruitCell", p);
        cell->textLabel()->setText(p.section == 0 ? rows[p.row] : std::string("spolu"));
        cell->detailTextLabel()->setText(std::to_string(p.row));
        return cell;
    }
    void didSelectRowAt(TableView&, const IndexPath& p) override { selected.push_back(p); }
    void accessoryButtonTappedForRowWith(TableView&, const IndexPath& p) override { accessories.push_back(p); }
    std::optional<double> heightForRowAt(TableView&, const IndexPath& p) override {
        return p.section == 1 ? std::optional<double>(100.0) : std::nullopt;
    }
};

}  // namespace

TEST(TableView, AsksItsDataSourceAndTellsItsDelegate) {
    auto screen = std::make_shared<Fruits>();
    screen->loadViewIfNeeded();
    auto& table = *screen->tableView();
    EXPECT_EQ(table.numberOfSections(), 2);
    EXPECT_EQ(table.allIndexPaths().size(), 4u);
    EXPECT_EQ(table.titleForHeaderInSection(0), std::optional<std::string>("ovocie"));
    EXPECT_EQ(table.titleForHeaderInSection(1), std::nullopt);
    EXPECT_EQ(table.cellAt({0, 1})->textLabel()->textOrEmpty(), "hruška");
    EXPECT_EQ(table.cellAt({0, 9}), nullptr);
    EXPECT_DOUBLE_EQ(table.heightForRow({0, 0}), 44.0);
    EXPECT_DOUBLE_EQ(table.heightForRow({1, 0}), 100.0);

    EXPECT_TRUE(table.tapRow({0, 2}));
    EXPECT_FALSE(table.tapRow({0, 3}));
    EXPECT_TRUE(table.tapAccessory({1, 0}));
    EXPECT_EQ(screen->selected, (std::vector<IndexPath>{{0, 2}}));
    EXPECT_EQ(screen->accessories, (std::vector<IndexPath>{{1, 0}}));
    EXPECT_EQ(table.indexPathForSelectedRow(), std::optional<IndexPath>(IndexPath{0, 2}));
}

TEST(TableView, ReloadHandsCellsBackForReuse) {
    auto screen = std::make_shared<Fruits>();
    screen->loadViewIfNeeded();
    auto& table = *screen->tableView();
    for (auto& p : table.allIndexPaths()) table.cellAt(p);
    EXPECT_EQ(screen->cellsMade, 4);
    auto before = table.cellAt({0, 0});
    screen->rows = {"broskyňa"};
    table.reloadData();
    EXPECT_EQ(table.cellAt({0, 0})->textLabel()->textOrEmpty(), "broskyňa");
    table.cellAt({1, 0});
    EXPECT_EQ(screen->cellsMade, 4);  // reused, none made
    EXPECT_EQ(table.allIndexPaths().size(), 2u);
}

TEST(TableView, UnknownCellIdentifier) {
    TableView table;
    EXPECT_EQ(table.dequeueReusableCell("Nic"), nullptr);
    auto cell = table.dequeueReusableCell("Nic", IndexPath{0, 0});
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->detailTextLabel(), nullptr);  // default style
    // No data source: an empty table.
    EXPECT_EQ(table.numberOfSections(), 0);
    EXPECT_FALSE(table.tapRow({0, 0}));
}

TEST(TableViewCell, NamedLabelsOfCustomCells) {
    auto cell = std::make_shared<TableViewCell>(TableViewCell::Style::defaultStyle, "PolozkaCell");
    auto a = cell->addLabel("labelCena");
    EXPECT_EQ(cell->addLabel("labelCena"), a);
    EXPECT_EQ(cell->label("labelCena"), a);
    EXPECT_EQ(cell->label("labelNic"), nullptr);
    EXPECT_EQ(cell->label("textLabel"), cell->textLabel());
}
