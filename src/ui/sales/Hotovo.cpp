#include "ui/sales/Hotovo.h"

#include "core/Amounts.h"
#include "core/Trekora.h"
#include "platform/Numbers.h"
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
        const float z = Amounts::floatOf(k.NAVYSENY_ZAKLAD);
        const float t = Amounts::floatOf(k.OBRATSDPH_IDTOV);
        const float d = Amounts::floatOf(trekora.selectedSumdokzDoKorunky);
        float chyba = z - t - d;
        if (chyba < 0) chyba = 0;
        return std::string(kHead) + "<table>" + cell("korunka:", k.KORUNKA) + cell("body:", k.ZOSTATOK) +
               cell("navýšený základ:", k.NAVYSENY_ZAKLAD) + cell("obrat tento mesiac:", k.OBRATSDPH) +
               cell("obrat zaratany do korunky:", platform::format("%10.2f", t)) +
               cell("hodnota dokladu:", "<b>" + trekora.selectedSumdokz + "</b>") +
               cell("do korunky sa zarata:", "<b>" + platform::format("%10.2f", d) + "</b>") +
               "<tr><td>do splenia korunky chyba:</td><td style='text-align: right;'><span style='color: red;'><b>" +
               platform::format("%10.2f", chyba) + "</b></span></td></table></center></body></html>";
    }
    return std::string(kHead) + " hodnota dokladu: " +
           platform::format("%10.2f", Amounts::floatOf(trekora.selectedSumdokz)) + "</center></body></html>";
}

void Hotovo::odpoved(const std::string& action) {
    if (polozkyController) polozkyController->selectedAction = action;
    SalesUi::pop(*this, SalesUi::animovat());
}

void Hotovo::zapisatDoklad() { odpoved("INSERT"); }
void Hotovo::upravitDoklad() { odpoved("UPDATE"); }
void Hotovo::zrusitDoklad() { odpoved("DELETE"); }
