#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class ParameterItem;

// The parameters of a document type (delivery date, linked document,
// activity, points and receiver): each row opens its editor; "použiť" hands
// over to the lines editor, or writes an activity or points transfer at once.
class Parametre : public platform::ViewController,
                  public platform::TableViewDataSource,
                  public platform::TableViewDelegate {
public:
    std::weak_ptr<platform::TableView> tableView;
    std::vector<std::shared_ptr<ParameterItem>> data;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    virtual void zobrazVysledok(const std::string& text);
    virtual void pouzitTapped();

    // The "ok" step of the numeric dialog of `item` with the typed text:
    // true when the value was taken.
    bool cislo(ParameterItem& item, const std::string& typed);

    // The value of a number parameter for the typed text, written as the
    // record keeps it ("%i" or "%.2f"); none when the text is not a number
    // of its type within MIN..MAX.
    static std::optional<std::string> hodnota(const ParameterItem& item, const std::string& typed);

    std::optional<std::string> titleForHeaderInSection(platform::TableView&, int section) override;
    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void didSelectRowAt(platform::TableView&, const platform::IndexPath& indexPath) override;
    void accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) override;

private:
    void cisloDialog(const std::shared_ptr<ParameterItem>& item);
    void reload();
};
