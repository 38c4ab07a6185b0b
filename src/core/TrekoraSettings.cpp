#include "core/Trekora.h"

#include "core/CoreDb.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/ui/View.h"
#include "records/NastaveniaItem.h"

#include <string>
#include <vector>

namespace {

// Column order of the save statement; the read visits the fields in the
// same order.
const std::vector<std::string NastaveniaItem::*>& saveOrder() {
    static const std::vector<std::string NastaveniaItem::*> order = {
        &NastaveniaItem::POCETMIEST, &NastaveniaItem::POCETMIESTDPH, &NastaveniaItem::POCETMIESTJCENA,
        &NastaveniaItem::PRINTPORT, &NastaveniaItem::PRESKLADNENIEPC, &NastaveniaItem::FACINGY,
        &NastaveniaItem::KILOMETRE, &NastaveniaItem::PRECENENIE, &NastaveniaItem::PAGEWIDTH,
        &NastaveniaItem::PAGEHEIGHT, &NastaveniaItem::ARCHIV_PC_DIR, &NastaveniaItem::BACKUP_PC_DIR,
        &NastaveniaItem::IMPORT_PC_DIR, &NastaveniaItem::EXPORT_PC_DIR, &NastaveniaItem::FBCONNECTIONSTRING,
        &NastaveniaItem::MU_PRAZNYSKLAD, &NastaveniaItem::DATUMSPOTREBY, &NastaveniaItem::MAXSUMAHOTOVOSTI,
        &NastaveniaItem::BAUDRATE, &NastaveniaItem::DATABITS, &NastaveniaItem::PARITY, &NastaveniaItem::STOPBITS,
        &NastaveniaItem::WIFI_PRINTER_IP, &NastaveniaItem::WIFI_PRINTER_PORT, &NastaveniaItem::WIFI_PRINT,
        &NastaveniaItem::DEVICE_IP, &NastaveniaItem::OBJEDNAVKA, &NastaveniaItem::GRATIS,
        &NastaveniaItem::WIFI_PRINTER_SSID, &NastaveniaItem::DEVICE_IP_CHECK, &NastaveniaItem::FISKAL_PRINT,
        &NastaveniaItem::FISCAL_TYPE, &NastaveniaItem::ODSTRANKOVAT_DOKLAD, &NastaveniaItem::ANIMOVAT_OKNA,
        &NastaveniaItem::ODPRIJMOVAT_VSETKO, &NastaveniaItem::AKTUALIZOVAT_PO_PRIJME, &NastaveniaItem::WIFI_RESPONSE,
        &NastaveniaItem::OBJ_PRE_EXPORT, &NastaveniaItem::OBJ_PRE_EXPORT_STR, &NastaveniaItem::OBJ_PRE_IMPORT,
        &NastaveniaItem::OBJ_PRE_IMPORT_DIR, &NastaveniaItem::OBJ_PRE_DELETE, &NastaveniaItem::OBJ_PRE_EXPORT_DIR,
        &NastaveniaItem::WIFI_PRINTER_SSID2, &NastaveniaItem::WIFI_PRINTER_IP2, &NastaveniaItem::WIFI_PRINTER_PORT2,
        &NastaveniaItem::WIFI_RESPONSE2, &NastaveniaItem::FISCAL_TYPE2,
    };
    return order;
}

// The column that holds a field: its own name, except MU_PRAZNYSKLAD.
std::string columnOf(std::string NastaveniaItem::*member) {
    for (const auto& field : NastaveniaItem::fields())
        if (field.member == member) return field.column;
    return "";
}

const char* const kSave =
    "update nastavenia set pocetmiest=?,pocetmiestdph=?,pocetmiestjcena=?, printport=?,preskladneniepc=?,"
    "facingy=?,kilometre=?,precenenie=?,pagewidth=?,pageheight=?,archiv_pc_dir=?,backup_pc_dir=?,"
    "import_pc_dir=?,export_pc_dir=?,fbconnectionstring=?,mu_prazdnysklad=?,datumspotreby=?,"
    "MAXSUMAHOTOVOSTI=?,BAUDRATE=?,DATABITS=?,PARITY=?,STOPBITS=?,WIFI_PRINTER_IP=?,WIFI_PRINTER_PORT=?,"
    "WIFI_PRINT=?, DEVICE_IP=?, OBJEDNAVKA=?, GRATIS=?, WIFI_PRINTER_SSID=?, DEVICE_IP_CHECK=?, "
    "FISKAL_PRINT=?, FISCAL_TYPE=?, ODSTRANKOVAT_DOKLAD=?, ANIMOVAT_OKNA=?, ODPRIJMOVAT_VSETKO=?,"
    "AKTUALIZOVAT_PO_PRIJME=?,WIFI_RESPONSE=?,OBJ_PRE_EXPORT=?,OBJ_PRE_EXPORT_STR=?,OBJ_PRE_IMPORT=?,"
    "OBJ_PRE_IMPORT_DIR=?,OBJ_PRE_DELETE=?,OBJ_PRE_EXPORT_DIR=?, WIFI_PRINTER_SSID2=?,WIFI_PRINTER_IP2=?,"
    "WIFI_PRINTER_PORT2=?,WIFI_RESPONSE2=?,FISCAL_TYPE2=? where str=@STR";

// The process-wide switch of view animations follows ANIMOVAT_OKNA.
void applyAnimations(const NastaveniaItem& item) { platform::View::setAnimationsEnabled(item.ANIMOVAT_OKNA == "A"); }

} // namespace

void Trekora::readNastaveniaItem() {
    coredb::traceStart("readNastaveniaItem()");
    auto db = coredb::openDatabase(dbURL);
    if (!db) return;
    std::optional<SqlError> error;
    auto rs = db->executeQuery("select * from nastavenia where str=:STR", {str}, &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
    } else {
        coredb::trace("colcount: " + std::to_string(rs->columnCount()));
        while (rs->next()) {
            for (auto member : saveOrder()) {
                const std::string column = columnOf(member);
                // A column the result lacks reads as the empty text.
                (*nastaveniaItem).*member =
                    rs->columnIndexForName(column) < 0 ? std::string() : coredb::text(*rs, column);
            }
        }
        rs->close();
    }
    coredb::trace(nastaveniaItem->description());
    db->close();
    applyAnimations(*nastaveniaItem);
}

bool Trekora::saveNastaveniaItem() {
    coredb::traceStart("saveNastaveniaItem()");
    auto db = SqlDatabase::databaseWithPath(dbURL);
    std::vector<SqlValue> values;
    values.reserve(49);
    for (auto member : saveOrder()) {
        std::string value = (*nastaveniaItem).*member;
        if (member == &NastaveniaItem::FISCAL_TYPE || member == &NastaveniaItem::FISCAL_TYPE2)
            value = coredb::upper(value);
        values.emplace_back(value);
    }
    values.emplace_back(str);
    if (!db->open()) {
        coredb::trace("Unable to open database");
        return false;
    }
    bool ok = db->executeUpdate(kSave, values);
    if (ok && db->changes() == 0) {
        // Nothing was stored: the centre has no settings row. Say so rather
        // than pretending the settings were saved.
        coredb::trace("update failed");
        coredb::trace("no settings row for centre '" + str + "'");
        ok = false;
    } else if (ok) {
        coredb::trace("update ok");
    } else {
        coredb::trace("update failed");
        coredb::trace(db->lastErrorMessage());
    }
    db->close();
    applyAnimations(*nastaveniaItem);
    return ok;
}
