#include "ui/shell/Nastavenia.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationController.h"
#include "records/NastaveniaItem.h"

#include <algorithm>

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
// The settings that are read as numbers or compared as keywords: blanks
// around them mean nothing and are dropped on save. Every other text (a
// printer's greeting, a network name, an address, a directory) is stored as
// typed.
const std::vector<std::string N::*>& trimmedSettings() {
    static const std::vector<std::string N::*> table = {
        &N::POCETMIESTJCENA, &N::POCETMIEST, &N::POCETMIESTDPH, &N::MAXSUMAHOTOVOSTI, &N::PAGEWIDTH,
        &N::PAGEHEIGHT,      &N::PRINTPORT,  &N::BAUDRATE,      &N::DATABITS,         &N::STOPBITS,
        &N::WIFI_PRINTER_PORT, &N::WIFI_PRINTER_PORT2, &N::FISCAL_TYPE, &N::FISCAL_TYPE2,
    };
    return table;
}

// The range of a number setting that the program reads as a number, where a
// text read by its leading digits would be taken as another number or a wrong
// value would do harm; `decimals` places allowed after the point. Settings
// the program only stores are not checked.
struct Range {
    std::string N::*setting;
    long long min;
    long long max;
    int decimals;
    bool mayBeEmpty;
};

const std::vector<Range>& ranges() {
    static const std::vector<Range> table = {
        // The cash limit, in cents: the same bound as any cash amount. An
        // empty limit would read as 0 and refuse every cash sale.
        {&N::MAXSUMAHOTOVOSTI, 0, 9999999999LL, 2, false},
        {&N::WIFI_PRINTER_PORT, 0, 65535, 0, false},
        // The second printer is optional.
        {&N::WIFI_PRINTER_PORT2, 0, 65535, 0, true},
        // Read as a number of lines at every print; empty means no page end.
        {&N::PAGEHEIGHT, 0, 9999, 0, true},
    };
    return table;
}

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const auto start = text.find_first_not_of(blanks);
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

// The value of a decimal text in units of its last allowed place; none when
// it is no such number or too long to be one.
std::optional<long long> scaled(std::string& text, int decimals) {
    std::size_t i = 0;
    long long value = 0;
    int digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (digits >= 15) return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (digits == 0) return std::nullopt;
    int places = 0;
    if (i < text.size() && decimals > 0 && (text[i] == '.' || text[i] == ',')) {
        text[i] = '.';
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9' && places < decimals; ++i, ++places)
            value = value * 10 + (text[i] - '0');
        if (places == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    for (; places < decimals; ++places) value *= 10;
    return value;
}

std::string bound(long long value, int decimals) {
    std::string text = std::to_string(value);
    if (decimals == 0) return text;
    while (static_cast<int>(text.size()) <= decimals) text.insert(0, "0");
    return text.substr(0, text.size() - decimals) + "." + text.substr(text.size() - decimals);
}

}  // namespace

std::optional<std::string> Nastavenia::refusal(const Row& row, std::string& value) {
    const auto& trim = trimmedSettings();
    if (std::find(trim.begin(), trim.end(), row.setting) != trim.end()) value = trimmed(value);
    for (const auto& range : ranges()) {
        if (range.setting != row.setting) continue;
        if (value.empty() && range.mayBeEmpty) return std::nullopt;
        auto number = scaled(value, range.decimals);
        if (!number || *number < range.min || *number > range.max)
            return std::string(row.caption) + ": zadajte číslo od " + bound(range.min, range.decimals) + " do " +
                   bound(range.max, range.decimals);
        return std::nullopt;
    }
    return std::nullopt;
}

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
    NastaveniaItem edited = settings;
    for (const auto& row : rows()) {
        if (row.switchOutlet) {
            if (auto widget = (this->*row.switchOutlet).lock()) edited.*row.setting = widget->isOn() ? kYes : kNo;
        } else if (auto widget = (this->*row.textOutlet).lock()) {
            std::string value = widget->textOrEmpty();
            if (auto message = refusal(row, value)) {
                // Nothing is stored; the screen stays with the edits so that
                // the field can be put right.
                auto alert = platform::AlertController::make("chyba!", *message,
                                                             platform::AlertController::Style::alert);
                alert->addAction(std::make_shared<platform::AlertAction>(
                    "ok", platform::AlertAction::Style::defaultStyle,
                    [](platform::AlertAction&) { platform::Console::print("You've pressed ok"); }));
                trekora.playSound5();
                present(alert, settings.ANIMOVAT_OKNA == "A");
                return;
            }
            edited.*row.setting = value;
        }
    }
    const NastaveniaItem before = settings;
    settings = edited;
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
