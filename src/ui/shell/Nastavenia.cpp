#include "ui/shell/Nastavenia.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationController.h"
#include "records/NastaveniaItem.h"

using N = NastaveniaItem;
using S = Nastavenia;

namespace {
S::Row sw(std::string N::*setting, std::weak_ptr<platform::Switch> S::*outlet, const char* name,
          const char* caption) {
    return S::Row{setting, outlet, nullptr, name, caption};
}
S::Row tf(std::string N::*setting, std::weak_ptr<platform::TextField> S::*outlet, const char* name,
          const char* caption) {
    return S::Row{setting, nullptr, outlet, name, caption};
}
}  // namespace

const std::vector<Nastavenia::Row>& Nastavenia::rows() {
    static const std::vector<Row> table = {
        sw(&N::KILOMETRE, &S::switchKilometre, "switchKilometre", "kilometre"),
        sw(&N::FACINGY, &S::switchFacingy, "switchFacingy", "facingy"),
        sw(&N::DATUMSPOTREBY, &S::switchDatumSpotreby, "switchDatumSpotreby", "dátum spotreby"),
        tf(&N::POCETMIESTJCENA, &S::textFieldPocetMiestJCena, "textFieldPocetMiestJCena", "počet miest j. cena"),
        tf(&N::POCETMIEST, &S::textFieldPocetMiest, "textFieldPocetMiest", "počet miest"),
        tf(&N::POCETMIESTDPH, &S::textFieldPocetMiextDph, "textFieldPocetMiextDph", "počet miest dph"),
        sw(&N::OBJEDNAVKA, &S::switchObjednavka, "switchObjednavka", "objednávka"),
        sw(&N::PRECENENIE, &S::switchPrecenenie, "switchPrecenenie", "precenenie"),
        sw(&N::GRATIS, &S::switchGratis, "switchGratis", "gratis"),
        sw(&N::MU_PRAZNYSKLAD, &S::switchPrazdnySkladMu, "switchPrazdnySkladMu", "prázdny sklad mu"),
        tf(&N::MAXSUMAHOTOVOSTI, &S::textFieldMaxSumaHotovosti, "textFieldMaxSumaHotovosti", "max. suma hotovosti"),
        sw(&N::PRESKLADNENIEPC, &S::switchPreskladneniePc, "switchPreskladneniePc", "preskladnenie z pc"),
        tf(&N::FBCONNECTIONSTRING, &S::textFieldFbConnectionString, "textFieldFbConnectionString",
           "adresa preskladnenia"),
        tf(&N::ARCHIV_PC_DIR, &S::textFieldArchivPcDir, "textFieldArchivPcDir", "archív pc"),
        tf(&N::BACKUP_PC_DIR, &S::textFieldBackupPcDir, "textFieldBackupPcDir", "záloha pc"),
        tf(&N::IMPORT_PC_DIR, &S::textFieldImportPcDir, "textFieldImportPcDir", "import pc"),
        tf(&N::EXPORT_PC_DIR, &S::textFieldExportPcDir, "textFieldExportPcDir", "export pc"),
        tf(&N::PAGEWIDTH, &S::textFieldPageWidth, "textFieldPageWidth", "šírka strany"),
        tf(&N::PAGEHEIGHT, &S::textFieldPageHeight, "textFieldPageHeight", "výška strany"),
        tf(&N::PRINTPORT, &S::textPrintPort, "textPrintPort", "port tlačiarne"),
        tf(&N::BAUDRATE, &S::textFieldBaudRate, "textFieldBaudRate", "baud rate"),
        tf(&N::DATABITS, &S::textFieldDataBits, "textFieldDataBits", "data bits"),
        tf(&N::PARITY, &S::textFieldParity, "textFieldParity", "parity"),
        tf(&N::STOPBITS, &S::textFieldStopBits, "textFieldStopBits", "stop bits"),
        tf(&N::WIFI_PRINTER_IP, &S::textFieldWifiIp, "textFieldWifiIp", "wifi tlačiareň ip"),
        tf(&N::WIFI_PRINTER_PORT, &S::textFieldWifiPort, "textFieldWifiPort", "wifi tlačiareň port"),
        sw(&N::WIFI_PRINT, &S::switchWifiPrint, "switchWifiPrint", "wifi tlač"),
        tf(&N::WIFI_PRINTER_SSID, &S::textFieldWifiSsid, "textFieldWifiSsid", "wifi tlačiareň ssid"),
        sw(&N::FISKAL_PRINT, &S::switchFiscalPrint, "switchFiscalPrint", "fiškálna tlač"),
        tf(&N::FISCAL_TYPE, &S::textFieldFiscalType, "textFieldFiscalType", "typ fiškálu"),
        sw(&N::ODSTRANKOVAT_DOKLAD, &S::switchOdstrankovatDoklad, "switchOdstrankovatDoklad", "odstránkovať doklad"),
        sw(&N::ANIMOVAT_OKNA, &S::switchAnimovatOkna, "switchAnimovatOkna", "animovať okná"),
        sw(&N::ODPRIJMOVAT_VSETKO, &S::switchOdprijmovatVsetko, "switchOdprijmovatVsetko", "odpríjmovať všetko"),
        sw(&N::AKTUALIZOVAT_PO_PRIJME, &S::switchAktualizovatPoPrijme, "switchAktualizovatPoPrijme",
           "aktualizovať po príjme"),
        sw(&N::OBJ_PRE_EXPORT, &S::switchObjPreExport, "switchObjPreExport", "objednávky na závoz: export"),
        sw(&N::OBJ_PRE_IMPORT, &S::switchObjPreImport, "switchObjPreImport", "objednávky na závoz: import"),
        sw(&N::OBJ_PRE_DELETE, &S::switchObjPreDelete, "switchObjPreDelete", "objednávky na závoz: vymazať"),
        tf(&N::OBJ_PRE_EXPORT_STR, &S::textFieldObjPreExportStr, "textFieldObjPreExportStr",
           "objednávky na závoz: text"),
        tf(&N::OBJ_PRE_IMPORT_DIR, &S::textFieldObjPreImportDir, "textFieldObjPreImportDir",
           "objednávky na závoz: import adresa"),
        tf(&N::OBJ_PRE_EXPORT_DIR, &S::textFieldObjPreExportDir, "textFieldObjPreExportDir",
           "objednávky na závoz: export adresa"),
        tf(&N::WIFI_RESPONSE, &S::textFieldWifiResponse, "textFieldWifiResponse", "wifi odpoveď"),
        tf(&N::WIFI_PRINTER_SSID2, &S::textFieldWifiSsid2, "textFieldWifiSsid2", "wifi tlačiareň 2 ssid"),
        tf(&N::WIFI_PRINTER_IP2, &S::textFieldWifiIp2, "textFieldWifiIp2", "wifi tlačiareň 2 ip"),
        tf(&N::WIFI_PRINTER_PORT2, &S::textFieldWifiPort2, "textFieldWifiPort2", "wifi tlačiareň 2 port"),
        tf(&N::WIFI_RESPONSE2, &S::textFieldWifiResponse2, "textFieldWifiResponse2", "wifi odpoveď 2"),
        tf(&N::FISCAL_TYPE2, &S::textFieldFiscalType2, "textFieldFiscalType2", "typ fiškálu 2"),
    };
    return table;
}

void Nastavenia::viewDidLoad() {
    platform::TableViewController::viewDidLoad();
    std::weak_ptr<Nastavenia> weak = std::static_pointer_cast<Nastavenia>(shared_from_this());
    navigationItem().setRightBarButtonItems({std::make_shared<platform::BarButtonItem>(
        platform::BarButtonItem::SystemItem::save, [weak](platform::BarButtonItem&) {
            if (auto screen = weak.lock()) screen->saveTapped();
        })});

    auto& trekora = sharedTrekora();
    trekora.readNastaveniaItem();
    if (!trekora.nastaveniaItem) return;
    auto& settings = *trekora.nastaveniaItem;
    platform::Console::print(settings.description());
    for (const auto& row : rows()) {
        const std::string& value = settings.*row.setting;
        if (row.switchOutlet) {
            if (auto widget = (this->*row.switchOutlet).lock()) widget->setOn(value == "A");
        } else if (auto widget = (this->*row.textOutlet).lock()) {
            widget->setText(value);
        }
    }
}

void Nastavenia::saveTapped() {
    static const std::string kYes = "A";
    static const std::string kNo = "N";
    platform::Console::print("save tapped");
    auto& trekora = sharedTrekora();
    if (!trekora.nastaveniaItem) return;
    auto& settings = *trekora.nastaveniaItem;
    const NastaveniaItem before = settings;
    for (const auto& row : rows()) {
        if (row.switchOutlet) {
            if (auto widget = (this->*row.switchOutlet).lock()) settings.*row.setting = widget->isOn() ? kYes : kNo;
        } else if (auto widget = (this->*row.textOutlet).lock()) {
            settings.*row.setting = widget->textOrEmpty();
        }
    }
    if (!trekora.saveNastaveniaItem()) {
        // Nothing was stored: the application keeps working with the stored
        // settings, and the screen stays open with the edits so that the
        // salesman can try again or leave.
        settings = before;
        platform::View::setAnimationsEnabled(settings.ANIMOVAT_OKNA == "A");
        auto alert = platform::AlertController::make("chyba!", "nastavenia neboli uložené",
                                                     platform::AlertController::Style::alert);
        alert->addAction(std::make_shared<platform::AlertAction>(
            "ok", platform::AlertAction::Style::defaultStyle,
            [](platform::AlertAction&) { platform::Console::print("You've pressed ok"); }));
        trekora.playSound5();
        present(alert, settings.ANIMOVAT_OKNA == "A");
        return;
    }
    if (auto nav = navigationController()) nav->popViewController(settings.ANIMOVAT_OKNA == "A");
}
