#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class DatumSpotrebyItem;
class TovarItem;

// The expiry batches of one good: a tap asks how much the document takes
// from the batch and then, for sales, the line discount of the good.
class DatumSpotreby : public platform::ViewController,
                      public platform::TableViewDataSource,
                      public platform::TableViewDelegate {
public:
    std::weak_ptr<platform::TableView> tableView;
    std::vector<std::shared_ptr<DatumSpotrebyItem>> data;
    std::vector<std::shared_ptr<DatumSpotrebyItem>> filteredData;
    std::shared_ptr<TovarItem> tovarItem;
    std::shared_ptr<DatumSpotrebyItem> datumSpotrebyItem;

    DatumSpotreby();

    void viewDidLoad() override;
    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) override;

    // The quantity rule of the document type for the typed text.
    bool checkMnozstvo(const TovarItem& tovar, const DatumSpotrebyItem& sarza, const std::string& mnozstvo) const;
    void setMnozstvo(const std::string& mnozstvo);
    bool checkZlava(const std::string& zlava) const;
    void setZlava(const std::string& zlava);

    // The "ok" steps of the two prompts, with the typed text.
    void mnozstvoOk(const std::string& typed);
    void zlavaOk(const std::string& typed);

private:
    void vyber(std::size_t row);
    void zlavaPrompt();
    // The refusal of a typed quantity (whole == true) or discount: out of
    // range, a quantity with a fraction, or no number at all.
    void chyba(const std::string& typed, bool whole);
};
