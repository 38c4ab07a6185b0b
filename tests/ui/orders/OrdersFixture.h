#pragma once

// The document list, received orders and stock screens on the demo database,
// over the document screens and the real preview.

#include "../sales/SalesFixture.h"

#include "platform/ui/Label.h"
#include "report/ReportStoryboard.h"
#include "ui/orders/Doklady.h"
#include "ui/orders/OrdersStoryboard.h"

class OrdersTest : public SalesTest {
protected:
    void SetUp() override {
        SalesTest::SetUp();
        ReportStoryboard::registerAll();
        OrdersStoryboard::registerAll();
    }

    // A screen of the storyboard pushed over the main menu.
    template <class T>
    std::shared_ptr<T> open(const std::string& identifier) {
        auto screen = std::dynamic_pointer_cast<T>(platform::Storyboard::named("Main")->instantiateViewController(identifier));
        EXPECT_TRUE(screen) << identifier;
        if (screen) nav->pushViewController(screen, false);
        return screen;
    }

    // The text and colour of a named label of the cell of row `row`.
    static std::shared_ptr<platform::Label> label(platform::TableView& table, int row, const std::string& name) {
        auto cell = table.cellAt({0, row});
        return cell ? cell->label(name) : nullptr;
    }
    static std::string text(platform::TableView& table, int row, const std::string& name) {
        auto l = label(table, row, name);
        return l ? l->textOrEmpty() : "<none>";
    }
    std::string title() const { return top()->title().value_or(""); }
    // Back to the main menu.
    void toMainMenu() {
        while (nav->viewControllers().size() > 2) nav->popViewController(false);
    }
};
