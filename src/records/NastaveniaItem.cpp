#include "records/NastaveniaItem.h"

#include "records/ReflectedDescription.h"

#include <cctype>

const std::vector<NastaveniaItem::Field>& NastaveniaItem::fields() {
    static const std::vector<Field> list{
        {"KILOMETRE", "KILOMETRE", &NastaveniaItem::KILOMETRE},
        {"FACINGY", "FACINGY", &NastaveniaItem::FACINGY},
        {"DATUMSPOTREBY", "DATUMSPOTREBY", &NastaveniaItem::DATUMSPOTREBY},
        {"POCETMIESTJCENA", "POCETMIESTJCENA", &NastaveniaItem::POCETMIESTJCENA},
        {"POCETMIEST", "POCETMIEST", &NastaveniaItem::POCETMIEST},
        {"POCETMIESTDPH", "POCETMIESTDPH", &NastaveniaItem::POCETMIESTDPH},
        {"OBJEDNAVKA", "OBJEDNAVKA", &NastaveniaItem::OBJEDNAVKA},
        {"PRECENENIE", "PRECENENIE", &NastaveniaItem::PRECENENIE},
        {"GRATIS", "GRATIS", &NastaveniaItem::GRATIS},
        {"MU_PRAZNYSKLAD", "mu_prazdnysklad", &NastaveniaItem::MU_PRAZNYSKLAD},
        {"MAXSUMAHOTOVOSTI", "MAXSUMAHOTOVOSTI", &NastaveniaItem::MAXSUMAHOTOVOSTI},
        {"PRESKLADNENIEPC", "PRESKLADNENIEPC", &NastaveniaItem::PRESKLADNENIEPC},
        {"FBCONNECTIONSTRING", "FBCONNECTIONSTRING", &NastaveniaItem::FBCONNECTIONSTRING},
        {"ARCHIV_PC_DIR", "ARCHIV_PC_DIR", &NastaveniaItem::ARCHIV_PC_DIR},
        {"BACKUP_PC_DIR", "BACKUP_PC_DIR", &NastaveniaItem::BACKUP_PC_DIR},
        {"IMPORT_PC_DIR", "IMPORT_PC_DIR", &NastaveniaItem::IMPORT_PC_DIR},
        {"EXPORT_PC_DIR", "EXPORT_PC_DIR", &NastaveniaItem::EXPORT_PC_DIR},
        {"PAGEWIDTH", "PAGEWIDTH", &NastaveniaItem::PAGEWIDTH},
        {"PAGEHEIGHT", "PAGEHEIGHT", &NastaveniaItem::PAGEHEIGHT},
        {"PRINTPORT", "PRINTPORT", &NastaveniaItem::PRINTPORT},
        {"BAUDRATE", "BAUDRATE", &NastaveniaItem::BAUDRATE},
        {"DATABITS", "DATABITS", &NastaveniaItem::DATABITS},
        {"PARITY", "PARITY", &NastaveniaItem::PARITY},
        {"STOPBITS", "STOPBITS", &NastaveniaItem::STOPBITS},
        {"WIFI_PRINTER_IP", "WIFI_PRINTER_IP", &NastaveniaItem::WIFI_PRINTER_IP},
        {"WIFI_PRINTER_PORT", "WIFI_PRINTER_PORT", &NastaveniaItem::WIFI_PRINTER_PORT},
        {"WIFI_PRINT", "WIFI_PRINT", &NastaveniaItem::WIFI_PRINT},
        {"DEVICE_IP", "DEVICE_IP", &NastaveniaItem::DEVICE_IP},
        {"WIFI_PRINTER_SSID", "WIFI_PRINTER_SSID", &NastaveniaItem::WIFI_PRINTER_SSID},
        {"DEVICE_IP_CHECK", "DEVICE_IP_CHECK", &NastaveniaItem::DEVICE_IP_CHECK},
        {"FISKAL_PRINT", "FISKAL_PRINT", &NastaveniaItem::FISKAL_PRINT},
        {"FISCAL_TYPE", "FISCAL_TYPE", &NastaveniaItem::FISCAL_TYPE},
        {"ODSTRANKOVAT_DOKLAD", "ODSTRANKOVAT_DOKLAD", &NastaveniaItem::ODSTRANKOVAT_DOKLAD},
        {"ANIMOVAT_OKNA", "ANIMOVAT_OKNA", &NastaveniaItem::ANIMOVAT_OKNA},
        {"ODPRIJMOVAT_VSETKO", "ODPRIJMOVAT_VSETKO", &NastaveniaItem::ODPRIJMOVAT_VSETKO},
        {"AKTUALIZOVAT_PO_PRIJME", "AKTUALIZOVAT_PO_PRIJME", &NastaveniaItem::AKTUALIZOVAT_PO_PRIJME},
        {"WIFI_RESPONSE", "WIFI_RESPONSE", &NastaveniaItem::WIFI_RESPONSE},
        {"OBJ_PRE_EXPORT", "OBJ_PRE_EXPORT", &NastaveniaItem::OBJ_PRE_EXPORT},
        {"OBJ_PRE_IMPORT", "OBJ_PRE_IMPORT", &NastaveniaItem::OBJ_PRE_IMPORT},
        {"OBJ_PRE_DELETE", "OBJ_PRE_DELETE", &NastaveniaItem::OBJ_PRE_DELETE},
        {"OBJ_PRE_EXPORT_STR", "OBJ_PRE_EXPORT_STR", &NastaveniaItem::OBJ_PRE_EXPORT_STR},
        {"OBJ_PRE_IMPORT_DIR", "OBJ_PRE_IMPORT_DIR", &NastaveniaItem::OBJ_PRE_IMPORT_DIR},
        {"OBJ_PRE_EXPORT_DIR", "OBJ_PRE_EXPORT_DIR", &NastaveniaItem::OBJ_PRE_EXPORT_DIR},
        {"WIFI_PRINTER_SSID2", "WIFI_PRINTER_SSID2", &NastaveniaItem::WIFI_PRINTER_SSID2},
        {"WIFI_PRINTER_IP2", "WIFI_PRINTER_IP2", &NastaveniaItem::WIFI_PRINTER_IP2},
        {"WIFI_PRINTER_PORT2", "WIFI_PRINTER_PORT2", &NastaveniaItem::WIFI_PRINTER_PORT2},
        {"WIFI_RESPONSE2", "WIFI_RESPONSE2", &NastaveniaItem::WIFI_RESPONSE2},
        {"FISCAL_TYPE2", "FISCAL_TYPE2", &NastaveniaItem::FISCAL_TYPE2},
    };
    return list;
}

void NastaveniaItem::fillFromRow(const RowDictionary& row) {
    for (const auto& field : fields()) {
        std::string key = field.column;
        for (auto& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        auto it = row.find(key);
        this->*(field.member) = it == row.end() ? std::string() : it->second;
    }
}

std::shared_ptr<NastaveniaItem> NastaveniaItem::fromRow(const RowDictionary& row) {
    auto record = std::make_shared<NastaveniaItem>();
    record->fillFromRow(row);
    return record;
}

bool NastaveniaItem::isOn(std::string NastaveniaItem::*setting) const {
    if (setting == &NastaveniaItem::KILOMETRE || setting == &NastaveniaItem::FISKAL_PRINT)
        return this->*setting != "N";
    return this->*setting == "A";
}

std::string NastaveniaItem::description() const {
    ReflectedDescription description("NastaveniaItem");
    for (const auto& field : fields()) description.text(field.name, this->*(field.member));
    return description.str();
}
