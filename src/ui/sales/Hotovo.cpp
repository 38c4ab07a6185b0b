#include "ui/sales/Hotovo.h"

#include "core/Amounts.h"
#include "core/Trekora.h"
#include "records/KorunkaItem.h"
#include "records/MenuItem.h"
#include "ui/sales/Polozky.h"
#include "ui/sales/SalesUi.h"

namespace {

const char* const kHead =
    "<html><head><meta name='viewport' content='width=device-width, initial-scale=1, shrink-to-fit=yes'></head>"
    "<body style='font-family: arial;'><center><h2 style='color: red;'>zapísať doklad?</h2>";

std::string cell(const std::string& caption, const std::string& value) {
    return "<tr><td>" + caption + "</td><td style='text-align: right;'>" + value + "</td></tr>";
}

// An amount in cents as "%10.2f" writes it, to the cent however large: the
// page shows the total the document is written with.
std::string cents(std::int64_t value) { return Amounts::formatUnits(value, 2, 10); }

}  // namespace

void Hotovo::loadView() {
    platform::ViewController::loadView();
    webView = std::make_shared<platform::WebView>();
    webView->setIdentifier("webView");
    if (auto container = containerView.lock()) container->addSubview(webView);
    else view()->addSubview(webView);
}

void Hotovo::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    navigationItem().setHidesBackButton(true);
    if (webView) webView->loadHTMLString(stranka(), std::nullopt);
}

std::string Hotovo::stranka() {
    auto& trekora = sharedTrekora();
    const auto& k = *trekora.selectedKorunkaItem;
    const std::int64_t p = trekora.selectedTypDokladuItem->pohyb;
    const bool predaj = p == 10 || p == 20 || p == 21 || p == 30 || p == 31 || p == 40;
    // The loyalty flag is compared without regard to case, as the editor's header does.
    if (SalesUi::isKorunka(k.KORUNKA) && predaj) {
        const std::int64_t z = Amounts::unitsOf(k.NAVYSENY_ZAKLAD, 2);
        const std::int64_t t = Amounts::unitsOf(k.OBRATSDPH_IDTOV, 2);
        const std::int64_t d = Amounts::unitsOf(trekora.selectedSumdokzDoKorunky, 2);
        std::int64_t chyba = z - t - d;
        if (chyba < 0) chyba = 0;
        return std::string(kHead) + "<table>" + cell("korunka:", k.KORUNKA) + cell("body:", k.ZOSTATOK) +
               cell("navýšený základ:", k.NAVYSENY_ZAKLAD) + cell("obrat tento mesiac:", k.OBRATSDPH) +
               cell("obrat zaratany do korunky:", cents(t)) +
               cell("hodnota dokladu:", "<b>" + trekora.selectedSumdokz + "</b>") +
               cell("do korunky sa zarata:", "<b>" + cents(d) + "</b>") +
               "<tr><td>do splenia korunky chyba:</td><td style='text-align: right;'><span style='color: red;'><b>" +
               cents(chyba) + "</b></span></td></table></center></body></html>";
    }
    return std::string(kHead) + " hodnota dokladu: " + cents(Amounts::unitsOf(trekora.selectedSumdokz, 2)) +
           "</center></body></html>";
}

void Hotovo::odpoved(const std::string& action) {
    if (polozkyController) polozkyController->selectedAction = action;
    SalesUi::pop(*this, SalesUi::animovat());
}

void Hotovo::zapisatDoklad() { odpoved("INSERT"); }
void Hotovo::upravitDoklad() { odpoved("UPDATE"); }
void Hotovo::zrusitDoklad() { odpoved("DELETE"); }
