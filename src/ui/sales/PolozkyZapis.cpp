// The lines editor on every appearance: the lines and totals rebuilt, and the
// answer of the confirmation screen carried out.
#include "ui/sales/Polozky.h"

#include "core/BackgroundJobs.h"
#include "core/DeviceServices.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "report/DataItem.h"
#include "sync/Spojenie.h"
#include "ui/sales/Hotovo.h"
#include "ui/sales/SalesUi.h"

using platform::AlertAction;
using platform::AlertController;
using platform::Console;

void Polozky::obnov() {
    auto& trekora = sharedTrekora();
    data = trekora.getPolozkyArray();
    // All the lines, and a search bar that shows no search.
    if (auto bar = searchBar.lock()) bar->setText("");
    filteredData = data;
    setNadpis();
    trekora.prepocitajDoklad(data);
    zobrazSumy();
    if (auto table = tableView.lock()) table->reloadData();
}

void Polozky::viewDidAppear(bool animated) {
    platform::ViewController::viewDidAppear(animated);
    obnov();
    if (selectedAction == "INSERT") {
        zapis();
    } else if (selectedAction == "DELETE" || selectedAction == "TLAC") {
        SalesUi::pop(*this, SalesUi::animovat());
    } else if (selectedAction == "SYNCHRO_PO_PRESKLADNENI") {
        zobrazVysledok(vysledok);
    }
}

bool Polozky::rozpracovany() const { return !zapisany_ && !sharedTrekora().getPolozkyArray().empty(); }

void Polozky::zapis() {
    auto& trekora = sharedTrekora();
    // A document is written once: a second confirmation of the same editor
    // shows the result of the first writing again.
    if (zapisany_) {
        zobrazVysledok(vysledok);
        return;
    }
    const std::int64_t pohyb = trekora.selectedTypDokladuItem->pohyb;
    auto check = [&](const std::string& result) {
        vysledok = result;
        if (ResultString::isSuccess(vysledok)) return true;
        zobrazVysledok(vysledok);
        selectedAction = "";
        return false;
    };
    if (pohyb == 44 && !check(trekora.checkKorunkaBody())) return;
    if (pohyb == 10 && !check(trekora.checkMaxSumaHotovosti())) return;

    if (pohyb == 19 && trekora.nastaveniaItem->PRESKLADNENIEPC == "A") {
        // The receipt waits for the office's stock transfer (up to the
        // request's deadline): the posting runs on a background queue while
        // the screen says what it waits for and takes no other command.
        if (zapisuje_) return;
        zapisuje_ = true;
        auto wait = AlertController::make("preskladnenie", "čakám na odpoveď z PC ...", AlertController::Style::alert);
        present(wait, SalesUi::animovat());
        auto screen = self();
        std::weak_ptr<AlertController> shown = wait;
        // The shared object waits for the posting before it goes.
        auto job = trekora.jobs->begin();
        if (!job) return;
        platform::DispatchQueue::global(platform::DispatchQueue::QoS::UserInitiated)->async([screen, shown, job] {
            const std::string result = sharedTrekora().zapisDoklad();
            platform::DispatchQueue::main()->async([screen, shown, result] {
                screen->zapisuje_ = false;
                if (auto w = shown.lock()) w->dismiss(false);
                screen->poZapise(result);
            });
        });
        return;
    }
    poZapise(trekora.zapisDoklad());
}

void Polozky::poZapise(const std::string& result) {
    auto& trekora = sharedTrekora();
    const std::int64_t pohyb = trekora.selectedTypDokladuItem->pohyb;
    vysledok = result;
    const bool ok = ResultString::isSuccess(vysledok);
    if (ok) zapisany_ = true;
    const auto wifi = currentWifiSsid();
    const auto& settings = *trekora.nastaveniaItem;
    if (pohyb == 19 && settings.PRESKLADNENIEPC == "A" && settings.AKTUALIZOVAT_PO_PRIJME == "A" && wifi && ok) {
        selectedAction = "SYNCHRO_PO_PRESKLADNENI";
        // The synchronisation screen runs the job of its menu record
        // "polozky_synchronizacia_po_preskladneni_segue".
        auto screen = SalesUi::instantiate(*this, "Spojenie");
        if (auto* spojenie = dynamic_cast<Spojenie*>(screen.get())) {
            auto job = std::make_shared<MenuItem>();
            job->image = "synchronizacia.png";
            job->caption = "synchronizácia_po_preskladneni";
            job->popis = "synchronizácia dát so serverom";
            job->segue = "polozky_synchronizacia_po_preskladneni_segue";
            spojenie->selectedMenuItem = job;
        }
        SalesUi::push(*this, screen, SalesUi::animovat());
        return;
    }
    zobrazVysledok(vysledok);
    if (!ok) selectedAction = "";
}

void Polozky::zobrazVysledok(const std::string& text) {
    if (!ResultString::isSuccess(text)) {
        SalesUi::message(*this, ResultString::title(text), ResultString::message(text), true);
        return;
    }
    selectedAction = "TLAC";
    const std::string cdok = ResultString::number(text);
    auto alert = AlertController::make("zobraziť doklad?", ResultString::message(text), AlertController::Style::alert);
    std::weak_ptr<Polozky> weak = self();
    alert->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel, [weak](AlertAction&) {
        if (auto s = weak.lock()) SalesUi::pop(*s, SalesUi::animovat());
    }));
    alert->addAction(std::make_shared<AlertAction>("áno", AlertAction::Style::defaultStyle, [weak, cdok](AlertAction&) {
        if (auto s = weak.lock()) s->zobrazDoklad(cdok);
    }));
    present(alert, SalesUi::animovat());
}

void Polozky::zobrazDoklad(const std::string& cdok) {
    if (cdok.empty()) return;
    auto& trekora = sharedTrekora();
    // The document's row of the document list, found without reading the
    // whole list (which holds every document written).
    const auto list = trekora.findDataItem("vsetky_vystavene");
    const auto row = list ? list->findRow("CDOK", cdok) : std::nullopt;
    if (!row) return;
    auto preview = SalesUi::instantiate(*this, "Preview");
    trekora.printingDoklad = *row;
    SalesUi::push(*this, preview, SalesUi::animovat());
}

void Polozky::addTapped() { SalesUi::push(*this, SalesUi::instantiate(*this, "Tovar"), SalesUi::animovat()); }

void Polozky::hotovoTapped() {
    const bool animated = SalesUi::animovat();
    if (data.empty()) {
        SalesUi::pop(*this, animated);
        return;
    }
    auto hotovo = std::dynamic_pointer_cast<Hotovo>(SalesUi::instantiate(*this, "Hotovo"));
    if (!hotovo) return;
    hotovo->polozkyController = self();
    SalesUi::push(*this, hotovo, animated);
}
