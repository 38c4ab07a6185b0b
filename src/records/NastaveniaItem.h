#pragma once

#include "records/RowDictionary.h"

#include <memory>
#include <string>
#include <vector>

// The settings of the current centre: one row of table nastavenia (one row
// per centre code, column str). Every field is a text, empty in a new record.
// Yes/no settings hold "A" or "N"; see isOn() for how they are read.
// The one instance lives in the shared object and is filled in place.
class NastaveniaItem {
public:
    std::string KILOMETRE = "";
    std::string FACINGY = "";
    std::string DATUMSPOTREBY = "";
    std::string POCETMIESTJCENA = "";
    std::string POCETMIEST = "";
    std::string POCETMIESTDPH = "";
    std::string OBJEDNAVKA = "";
    std::string PRECENENIE = "";
    std::string GRATIS = "";
    std::string MU_PRAZNYSKLAD = "";
    std::string MAXSUMAHOTOVOSTI = "";
    std::string PRESKLADNENIEPC = "";
    std::string FBCONNECTIONSTRING = "";
    std::string ARCHIV_PC_DIR = "";
    std::string BACKUP_PC_DIR = "";
    std::string IMPORT_PC_DIR = "";
    std::string EXPORT_PC_DIR = "";
    std::string PAGEWIDTH = "";
    std::string PAGEHEIGHT = "";
    std::string PRINTPORT = "";
    std::string BAUDRATE = "";
    std::string DATABITS = "";
    std::string PARITY = "";
    std::string STOPBITS = "";
    std::string WIFI_PRINTER_IP = "";
    std::string WIFI_PRINTER_PORT = "";
    std::string WIFI_PRINT = "";
    std::string DEVICE_IP = "";
    std::string WIFI_PRINTER_SSID = "";
    std::string DEVICE_IP_CHECK = "";
    std::string FISKAL_PRINT = "";
    std::string FISCAL_TYPE = "";
    std::string ODSTRANKOVAT_DOKLAD = "";
    std::string ANIMOVAT_OKNA = "";
    std::string ODPRIJMOVAT_VSETKO = "";
    std::string AKTUALIZOVAT_PO_PRIJME = "";
    std::string WIFI_RESPONSE = "";
    std::string OBJ_PRE_EXPORT = "";
    std::string OBJ_PRE_IMPORT = "";
    std::string OBJ_PRE_DELETE = "";
    std::string OBJ_PRE_EXPORT_STR = "";
    std::string OBJ_PRE_IMPORT_DIR = "";
    std::string OBJ_PRE_EXPORT_DIR = "";
    std::string WIFI_PRINTER_SSID2 = "";
    std::string WIFI_PRINTER_IP2 = "";
    std::string WIFI_PRINTER_PORT2 = "";
    std::string WIFI_RESPONSE2 = "";
    std::string FISCAL_TYPE2 = "";

    // One field with the column of table nastavenia that it mirrors. Every
    // column bears its field's name, except MU_PRAZNYSKLAD, whose column is
    // "mu_prazdnysklad" (for reading and for saving).
    struct Field {
        const char* name;
        const char* column;
        std::string NastaveniaItem::*member;
    };
    static const std::vector<Field>& fields();

    // Sets all 48 fields from a row (upper-cased column name -> text): each
    // from its own column, the empty text where the row lacks the column.
    void fillFromRow(const RowDictionary& row);
    static std::shared_ptr<NastaveniaItem> fromRow(const RowDictionary& row);

    // Whether a yes/no setting counts as on. A setting is on exactly when it
    // is "A", except KILOMETRE and FISKAL_PRINT, which are off exactly when
    // they are "N". Comparisons are exact: "a" or "" is neither yes nor no.
    bool isOn(std::string NastaveniaItem::*setting) const;

    std::string description() const;
};
