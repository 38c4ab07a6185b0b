// Opening the document list on 50,000 documents (generated into a copy of the
// demo database), against the same stored query of the list read on the raw
// SQLite interface into rows of texts, the two run interleaved.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/Trekora.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "report/DataItem.h"
#include "ui/orders/Doklady.h"
#include "ui/orders/OrdersStoryboard.h"

namespace {

constexpr int kDocuments = 50000;

std::string g_dir;

void generateDocuments(const std::string& database) {
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* vety = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into vety (cdok, datum, cas, str, idu, ido, idosc, pohyb, sumdokz, pardok, ctl, info) "
                       "values (?1, ?2, ?3, 12, 1, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
                       -1, &vety, nullptr);
    sqlite3_stmt* odbe = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into odbe (vety_id, cdok, ido, idosc, nazov1, nazov2, ulica, mesto) "
                       "values (last_insert_rowid(), ?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                       -1, &odbe, nullptr);
    const int pohyby[] = {10, 10, 10, 20, 21, 30, 40, 19, 17, 9};
    const char* names[] = {"Potraviny", "Kaviareň", "Bistro", "Jednota", "Mini Market", "Pekáreň", "Trafika"};
    const char* towns[] = {"Žilina", "Čadca", "Martin", "Turzovka", "Rajec", "Bytča"};
    for (int i = 0; i < kDocuments; ++i) {
        const int cdok = 100000 + i;
        const int ido = 500000 + i % 2000;
        const std::string idosc = std::to_string(ido) + "-01";
        const int pohyb = pohyby[i % 10];
        sqlite3_bind_int(vety, 1, cdok);
        const std::string datum = "2026-" + std::to_string(10 + i % 3) + "-" + std::to_string(10 + i % 18);
        sqlite3_bind_text(vety, 2, datum.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(vety, 3, "10:15:00", -1, SQLITE_STATIC);
        sqlite3_bind_int(vety, 4, ido);
        sqlite3_bind_text(vety, 5, idosc.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(vety, 6, pohyb);
        sqlite3_bind_double(vety, 7, (i % 9000) / 7.0);
        const std::string pardok = i % 4 ? "1/" + std::to_string(i) : "";
        sqlite3_bind_text(vety, 8, pardok.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(vety, 9, i % 2);
        sqlite3_bind_text(vety, 10, "DC:1", -1, SQLITE_STATIC);
        sqlite3_step(vety);
        sqlite3_reset(vety);
        const std::string nazov = std::string(names[i % 7]) + " " + std::to_string(i % 2000);
        const std::string ulica = "Hlavná " + std::to_string(i % 300);
        sqlite3_bind_int(odbe, 1, cdok);
        sqlite3_bind_int(odbe, 2, ido);
        sqlite3_bind_text(odbe, 3, idosc.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(odbe, 4, nazov.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(odbe, 5, i % 3 ? "" : "prevádzka", -1, SQLITE_STATIC);
        sqlite3_bind_text(odbe, 6, ulica.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(odbe, 7, towns[i % 6], -1, SQLITE_STATIC);
        sqlite3_step(odbe);
        sqlite3_reset(odbe);
    }
    sqlite3_finalize(vety);
    sqlite3_finalize(odbe);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

std::shared_ptr<Doklady> doklady;
std::string listQuery;

void rawQuery() {
    // The list's own query, each row read into its column texts.
    bench::readRawRows(sharedTrekora().dbURL, listQuery);
}

void openDocumentList() {
    doklady->viewWillAppear(false);
    bench::keep(doklady->filteredData.size());
}

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    bench::QuietConsole quiet;
    auto& trekora = bench::startInFreshDocuments(g_dir);
    generateDocuments(trekora.dbURL);
    auto item = trekora.findDataItem("vsetky_vystavene");
    if (!item) {
        std::fprintf(stderr, "no data item vsetky_vystavene\n");
        return 1;
    }
    listQuery = item->selectQuery;
    OrdersStoryboard::registerAll();
    doklady = platform::Storyboard::named("Main")->instantiate<Doklady>("Doklady");
    auto nav = platform::NavigationController::make(doklady);
    doklady->loadViewIfNeeded();
    doklady->viewWillAppear(false);
    std::fprintf(stderr, "documents: %zu\n", doklady->data.size());

    const bool ok = bench::RatioReporter::compare("opening the document list on 50,000 documents / raw query",
                                                  openDocumentList, rawQuery, {.goal = "goal at most 1.5x"});
    nav.reset();
    doklady.reset();
    Trekora::resetShared();
    std::filesystem::remove_all(g_dir);

    return ok ? 0 : 1;
}
