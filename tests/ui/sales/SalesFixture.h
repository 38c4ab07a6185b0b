#pragma once

// The document screens on the demo database, driven as a salesman drives
// them: log in, "predaj", pick a customer, pick a document type, add goods
// batch by batch, confirm. Screens of other areas stand in plainly.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "../shell/ShellFixture.h"
#include "records/TovarItem.h"
#include "ui/sales/DatumSpotreby.h"
#include "ui/sales/Hotovo.h"
#include "ui/sales/Odberatel.h"
#include "ui/sales/Parametre.h"
#include "ui/sales/Polozky.h"
#include "ui/sales/SalesStoryboard.h"
#include "ui/sales/Tovar.h"

class SalesTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // The document screens replace the shell's stand-ins of the same names.
        SalesStoryboard::registerAll();
        logIn();
        settings().KILOMETRE = "N";
    }

    template <class T>
    std::shared_ptr<T> topAs() const {
        return std::dynamic_pointer_cast<T>(top());
    }
    static void drain() { platform::MainRunLoop::drain(); }

    // "predaj" on the main menu, the customer found by `search` (letters),
    // then the document type `typ` of the sales menu.
    void customer(const std::string& search) {
        tapRow("predaj");
        auto picker = topAs<Odberatel>();
        ASSERT_TRUE(picker);
        auto bar = picker->searchBar.lock();
        bar->selectScope(1);
        bar->enterText(search);
        ASSERT_EQ(picker->filteredData.size(), 1u) << search;
        picker->tableView.lock()->tapRow({0, 0});
        drain();
    }
    void document(const std::string& customerSearch, const std::string& typ) {
        customer(customerSearch);
        ASSERT_TRUE(topMenu()) << "no sales menu";
        tapRow(typ);
    }

    // The goods picker over the editor; the good `idtov`, batch `batch`
    // (0-based), the typed quantity and, when asked, the typed discount.
    // Stays on the batch screen when a value is refused.
    void pick(const std::string& idtov, int batch, const std::string& mnozstvo, const std::string& zlava = "") {
        if (topAs<DatumSpotreby>()) nav->popViewController(false);
        if (auto editor = topAs<Polozky>()) editor->addTapped();
        auto goods = topAs<Tovar>();
        ASSERT_TRUE(goods);
        int row = -1;
        for (std::size_t i = 0; i < goods->filteredData.size(); ++i)
            if (goods->filteredData[i]->IDTOV == idtov) row = static_cast<int>(i);
        ASSERT_GE(row, 0) << idtov;
        goods->tableView.lock()->tapRow({0, row});
        auto batches = topAs<DatumSpotreby>();
        ASSERT_TRUE(batches);
        batches->tableView.lock()->tapRow({0, batch});
        drain();
        ASSERT_TRUE(alert());
        typeInAlert(mnozstvo);
        tapAlert("ok");
        if (alert() && alert()->title() == std::optional<std::string>("zadajte zľavu")) {
            typeInAlert(zlava);
            tapAlert("ok");
        }
    }
    // Back from the goods picker to the editor.
    void backToEditor() {
        if (topAs<DatumSpotreby>()) nav->popViewController(false);
        if (topAs<Tovar>()) nav->popViewController(false);
        ASSERT_TRUE(topAs<Polozky>());
    }
    // "hotovo" and the confirmation's "zapísať".
    void confirm() {
        auto editor = topAs<Polozky>();
        ASSERT_TRUE(editor);
        editor->hotovoTapped();
        auto hotovo = topAs<Hotovo>();
        ASSERT_TRUE(hotovo);
        hotovo->zapisatDoklad();
        drain();
        // A receipt that waits for the office's stock transfer is posted in
        // the background, under an alert without actions.
        platform::MainRunLoop::runUntil([this] { return !alert() || !alert()->actions().empty(); },
                                        std::chrono::seconds(10));
    }

    std::string lastCdok() { return scalar("select max(cdok) from vety"); }
    int count(const std::string& sql) { return std::stoi(scalar(sql)); }
};
