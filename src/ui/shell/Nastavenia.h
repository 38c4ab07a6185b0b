#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Switch.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/TextField.h"

class NastaveniaItem;

// The settings screen: the settings of the current centre as 17 switches
// (yes/no settings) and 29 text fields, written back by Save.
// DEVICE_IP and DEVICE_IP_CHECK have no widget and are saved unchanged.
// Texts are saved as typed; Save refuses only a cash limit or printer port
// that is no number in its range, keeping the screen open with a message
// naming the field and storing nothing.
class Nastavenia : public platform::TableViewController {
public:
    // Outlets, connected by the storyboard.
    std::weak_ptr<platform::Switch> switchKilometre;
    std::weak_ptr<platform::Switch> switchFacingy;
    std::weak_ptr<platform::Switch> switchDatumSpotreby;
    std::weak_ptr<platform::TextField> textFieldPocetMiestJCena;
    std::weak_ptr<platform::TextField> textFieldPocetMiest;
    std::weak_ptr<platform::TextField> textFieldPocetMiextDph;
    std::weak_ptr<platform::Switch> switchObjednavka;
    std::weak_ptr<platform::Switch> switchPrecenenie;
    std::weak_ptr<platform::Switch> switchGratis;
    std::weak_ptr<platform::Switch> switchPrazdnySkladMu;
    std::weak_ptr<platform::TextField> textFieldMaxSumaHotovosti;
    std::weak_ptr<platform::TextField> textFieldPageWidth;
    std::weak_ptr<platform::TextField> textFieldPageHeight;
    std::weak_ptr<platform::TextField> textPrintPort;
    std::weak_ptr<platform::TextField> textFieldBaudRate;
    std::weak_ptr<platform::TextField> textFieldDataBits;
    std::weak_ptr<platform::TextField> textFieldParity;
    std::weak_ptr<platform::TextField> textFieldStopBits;
    std::weak_ptr<platform::TextField> textFieldWifiIp;
    std::weak_ptr<platform::TextField> textFieldWifiPort;
    std::weak_ptr<platform::Switch> switchWifiPrint;
    std::weak_ptr<platform::TextField> textFieldWifiSsid;
    std::weak_ptr<platform::Switch> switchPreskladneniePc;
    std::weak_ptr<platform::TextField> textFieldFbConnectionString;
    std::weak_ptr<platform::TextField> textFieldArchivPcDir;
    std::weak_ptr<platform::TextField> textFieldBackupPcDir;
    std::weak_ptr<platform::TextField> textFieldImportPcDir;
    std::weak_ptr<platform::TextField> textFieldExportPcDir;
    std::weak_ptr<platform::Switch> switchFiscalPrint;
    std::weak_ptr<platform::TextField> textFieldFiscalType;
    std::weak_ptr<platform::Switch> switchOdstrankovatDoklad;
    std::weak_ptr<platform::Switch> switchAnimovatOkna;
    std::weak_ptr<platform::Switch> switchOdprijmovatVsetko;
    std::weak_ptr<platform::Switch> switchAktualizovatPoPrijme;
    std::weak_ptr<platform::Switch> switchObjPreExport;
    std::weak_ptr<platform::TextField> textFieldObjPreExportStr;
    std::weak_ptr<platform::Switch> switchObjPreImport;
    std::weak_ptr<platform::TextField> textFieldObjPreImportDir;
    std::weak_ptr<platform::Switch> switchObjPreDelete;
    std::weak_ptr<platform::TextField> textFieldObjPreExportDir;
    std::weak_ptr<platform::TextField> textFieldWifiResponse;
    std::weak_ptr<platform::TextField> textFieldWifiSsid2;
    std::weak_ptr<platform::TextField> textFieldWifiIp2;
    std::weak_ptr<platform::TextField> textFieldWifiPort2;
    std::weak_ptr<platform::TextField> textFieldWifiResponse2;
    std::weak_ptr<platform::TextField> textFieldFiscalType2;

    // One widget row: the setting, its outlet (a switch or a text field),
    // the outlet's name and the caption the storyboard shows beside it.
    struct Row {
        std::string NastaveniaItem::*setting;
        std::weak_ptr<platform::Switch> Nastavenia::*switchOutlet;
        std::weak_ptr<platform::TextField> Nastavenia::*textOutlet;
        const char* outletName;
        const char* caption;
    };
    // The 46 rows in the order the screen loads and saves them.
    static const std::vector<Row>& rows();

    // Checks the text of a row's field as it is to be saved: blanks around a
    // number or a printer type are dropped; the cash limit and the printer
    // ports must be numbers within their range (a decimal comma of the limit
    // becomes a point). Answers the message of a refusal, naming the field,
    // or nothing when `value` (so brought into form) may be saved.
    static std::optional<std::string> refusal(const Row& row, std::string& value);

    virtual void saveTapped();

    void viewDidLoad() override;
};
