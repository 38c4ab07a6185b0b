#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class TovarItem;

// The lines editor, the hub of one document: it loads the customer's price
// list, batches and loyalty account, shows the customer, the chosen lines and
// the totals, takes an extra discount over the whole document, and carries
// out what the confirmation screen answered (write, edit on, drop).
//
//   Polozky.cpp       loading, header, extra discount, table and search
//   PolozkyZapis.cpp  appearance, checks, writing, the result prompt, bar buttons
class Polozky : public platform::ViewController,
                public platform::TableViewDataSource,
                public platform::TableViewDelegate,
                public platform::SearchBarDelegate {
public:
    // Connected by the storyboard.
    std::weak_ptr<platform::View> viewOdberatel;
    std::weak_ptr<platform::TableView> tableView;
    std::weak_ptr<platform::Label> labelOdberatel;
    std::weak_ptr<platform::Label> labelAdresa;
    std::weak_ptr<platform::ImageView> imageViewKorunka;
    std::weak_ptr<platform::Label> labelSuma;
    std::weak_ptr<platform::Label> labelSumaDoKorunky;
    std::weak_ptr<platform::Button> buttonDodZlava;
    std::weak_ptr<platform::SearchBar> searchBar;

    std::vector<std::shared_ptr<TovarItem>> data;
    std::vector<std::shared_ptr<TovarItem>> filteredData;
    std::string nadpis;
    // "INSERT", "UPDATE" or "DELETE" from the confirmation screen, or the
    // editor's own follow-up ("SYNCHRO_PO_PRESKLADNENI", "TLAC").
    std::string selectedAction;
    // The result text of the last check or posting.
    std::string vysledok;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    // The extra-discount dialog and its "ok" step with the typed text.
    virtual void buttonDodZlavaPressed();
    void dodZlava(const std::string& typed);

    // Shows a result text: an error message, or "zobraziť doklad?".
    virtual void zobrazVysledok(const std::string& text);
    virtual void addTapped();
    virtual void hotovoTapped();

    // Whether this editor has written its document (it writes it once).
    bool zapisany() const { return zapisany_; }
    // Whether goods are chosen for a document this editor has not written:
    // what leaving the program now would lose.
    bool rozpracovany() const;

    int numberOfRowsInSection(platform::TableView&, int section) override;
    std::shared_ptr<platform::TableViewCell> cellForRowAt(platform::TableView& table,
                                                          const platform::IndexPath& indexPath) override;
    void accessoryButtonTappedForRowWith(platform::TableView&, const platform::IndexPath& indexPath) override;
    void searchBarTextDidChange(platform::SearchBar&, const std::string& searchText) override;

private:
    std::shared_ptr<Polozky> self();
    void naplnHlavicku();
    void obnov();
    void setNadpis();
    void zobrazSumy();
    void zapis();
    // What follows a posting with its result: the synchronisation after a
    // stock transfer, or the result shown.
    void poZapise(const std::string& result);
    void zobrazDoklad(const std::string& cdok);

    bool zapisany_ = false;
    bool zapisuje_ = false;  // a posting waits for the office's stock transfer
};
