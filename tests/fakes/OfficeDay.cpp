#include "fakes/OfficeDay.h"

#include <sqlite3.h>

#include "platform/FileManager.h"

namespace {

// Five statements take the file's address (the first attaches it); the last
// one takes the centre code.
constexpr const char* kScript =
    "attach database ? as akcen;\n"
    "delete from main.zlava where id in (select id from akcen.zlava) and ? is not null;\n"
    "insert into main.zlava select * from akcen.zlava where ? is not null;\n"
    "update main.zlava set datum_do = datum_do where ? is not null;\n"
    "update main.zlava set nazov = nazov where ? is not null;\n"
    "detach database akcen;\n"
    "update main.zlava set popis = 'stredisko ' || ? where id = 900";

}  // namespace

std::string OfficeDay::updateFile() {
    const std::string folder = platform::FileManager::makeTemporaryDirectory("trekora-update");
    const std::string path = folder + "/export_akcen.db3";
    sqlite3* db = nullptr;
    bool made = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                sqlite3_exec(db,
                             "create table sqliteadmin_queries(name text, sql text);"
                             "create table zlava(id integer primary key, nazov text, popis text, datum_od text,"
                             " datum_do text, dodatpla real);"
                             "insert into zlava values(900, 'Zimná akcia', '', '2026-12-01', '2026-12-31', 0);",
                             nullptr, nullptr, nullptr) == SQLITE_OK;
    if (made) {
        sqlite3_stmt* stmt = nullptr;
        made = sqlite3_prepare_v2(db, "insert into sqliteadmin_queries values('update1', ?)", -1, &stmt, nullptr) ==
               SQLITE_OK;
        if (made) {
            sqlite3_bind_text(stmt, 1, kScript, -1, SQLITE_STATIC);
            made = sqlite3_step(stmt) == SQLITE_DONE;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    std::string bytes = made ? platform::FileManager::contents(path).value_or("") : "";
    platform::FileManager::removeItem(folder);
    return bytes;
}

nlohmann::json OfficeDay::preparedOrder() {
    const long long cdok = orderCdok;
    auto line = [cdok](const char* idtov, const char* nazov, double mnoz, double cena) {
        return nlohmann::json{{"CDOK", cdok}, {"DATUM", "2026-12-07"}, {"STR", 12}, {"IDO", 10103}, {"POHYB", 40},
                              {"IDTOV", idtov}, {"NAZTOV1", nazov}, {"MJ", "ks"}, {"DPH", 19}, {"MNOZ", mnoz},
                              {"CENA", cena}};
    };
    return {{"CDOK", cdok},
            {"DATUM", "2026-12-07"},
            {"CAS", "06:30:00"},
            {"STR", 12},
            {"IDU", 1},
            {"MENO", "Ján Novák"},
            {"IDO", 10103},
            {"IDOPL", 10103},
            {"IDOSC", "10103-01"},
            {"ICO", "50124561"},
            {"POHYB", 40},
            {"DATUM3", "2026-12-08"},
            {"INFO", "ZAVOZ: do obeda"},
            {"IMPORTOVAT", "A"},
            {"POLOZKY", {line("T001", "Káva zrnková Espresso", 2, 14.90), line("T006", "Čokoláda mliečna", 4, 1.19)}},
            {"ODBERATELIA", {{{"CDOK", cdok}, {"IDO", 10103}, {"IDOSC", "10103-01"}, {"STR", 12},
                              {"ICO", "50124561"}, {"NAZOV1", "Kaviareň Kvet"}, {"POHYB", 40}}}}};
}
