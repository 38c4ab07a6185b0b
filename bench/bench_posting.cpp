// Posting a 50-line cash sale through zapisDoklad() against writing the same
// header and 50 lines with prepared statements in one transaction on the raw
// SQLite interface. Prints the ratio of the two.
#include "core/Trekora.h"
#include "platform/Places.h"
#include "records/DatumSpotrebyItem.h"
#include "records/MenuItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

constexpr int kLines = 50;

std::string g_dir;

void exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "setup: %s\n", err ? err : "?");
        std::exit(1);
    }
    sqlite3_close(db);
}

// A Documents folder with the demo database and 50 more goods, each with one
// batch deep enough for every iteration.
Trekora& prepare() {
    char pattern[] = "/tmp/trekora-bench-XXXXXX";
    g_dir = mkdtemp(pattern);
    platform::Places::setDocumentsDirectory(g_dir);
    Trekora::resetShared();
    Trekora& t = Trekora::shared();
    std::string sql = "begin;";
    for (int i = 1; i <= kLines; ++i) {
        char id[16];
        std::snprintf(id, sizeof id, "B%03d", i);
        sql += std::string("insert into tovar (idtov, naztov1, mj, dph, cena, sklad_typ, korunka) values ('") + id +
               "', 'Tovar " + id + "', 'ks', 20, 1.25, 10, 'NIE');";
        sql += std::string("insert into sklad (sklad_typ, idtov, stav) values (10, '") + id + "', 1000000000);";
        sql += std::string("insert into sklad_sarza (sklad_id, sklad_typ, idtov, datumspotreby, stav) "
                           "values (last_insert_rowid(), 10, '") +
               id + "', '2030-01-31', 1000000000);";
    }
    sql += "commit;";
    exec(t.dbURL, sql);
    t.idu = "1";
    t.str = "12";
    t.readNastaveniaItem();
    auto customer = std::make_shared<OdberatelItem>();
    customer->IDO = "10102";
    customer->IDOSC = "10102-01";
    customer->POHYB = "10";
    t.selectedOdberatelItem = customer;
    for (const auto& m : t.getMenuItems("predaj"))
        if (m->caption == "hotovosť") t.selectedTypDokladuItem = m;
    t.readTovarArray(customer->IDOSC, "lookup_cennik");
    t.readDatumSpotrebyArray();
    for (const auto& g : t.tovarArray) {
        if (g->IDTOV[0] != 'B') continue;
        g->VYBRANE = "1";
        for (const auto& b : t.getDatumSpotrebyArray(g->IDTOV)) b->VYBRANE = "1";
    }
    t.prepocitajDoklad(t.getPolozkyArray());
    return t;
}

void BM_ZapisDoklad(benchmark::State& state) {
    Trekora& t = Trekora::shared();
    for (auto _ : state) {
        const std::string result = t.zapisDoklad();
        if (result.rfind("ok", 0) != 0) {
            state.SkipWithError(result.c_str());
            break;
        }
    }
}

void BM_RawPreparedInserts(benchmark::State& state) {
    Trekora& t = Trekora::shared();
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(t.dbURL.c_str(), &db);
        sqlite3_exec(db, "begin exclusive transaction", nullptr, nullptr, nullptr);
        sqlite3_stmt* header = nullptr;
        sqlite3_prepare_v2(db,
                           "insert into vety (idu, ido, idosc, pohyb, sumdokz, info, km) values (?, ?, ?, 10, ?, ?, ?)",
                           -1, &header, nullptr);
        sqlite3_bind_int(header, 1, 1);
        sqlite3_bind_int(header, 2, 10102);
        sqlite3_bind_text(header, 3, "10102-01", -1, SQLITE_STATIC);
        sqlite3_bind_double(header, 4, 75.0);
        sqlite3_bind_text(header, 5, "", -1, SQLITE_STATIC);
        sqlite3_bind_int(header, 6, 184310);
        sqlite3_step(header);
        sqlite3_finalize(header);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        sqlite3_stmt* line = nullptr;
        sqlite3_prepare_v2(db,
                           "insert into polo (vety_id, pohyb, idtov, mnoz, datumspotreby, cena, dph, ccmnoz, hdphcc, "
                           "ccsum) values (?, 10, ?, 1, '2030-01-31', 1.25, 20, 1.25, 0.25, 1.5)",
                           -1, &line, nullptr);
        for (int i = 1; i <= kLines; ++i) {
            char idtov[16];
            std::snprintf(idtov, sizeof idtov, "B%03d", i);
            sqlite3_reset(line);
            sqlite3_bind_int64(line, 1, id);
            sqlite3_bind_text(line, 2, idtov, -1, SQLITE_TRANSIENT);
            sqlite3_step(line);
        }
        sqlite3_finalize(line);
        sqlite3_exec(db, "commit transaction", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}

BENCHMARK(BM_ZapisDoklad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawPreparedInserts)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    prepare();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double posting = reporter.seconds["BM_ZapisDoklad"];
    const double raw = reporter.seconds["BM_RawPreparedInserts"];
    if (posting > 0 && raw > 0)
        std::printf("zapisDoklad / raw prepared inserts: %.1f x\n", posting / raw);
    Trekora::resetShared();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
    return 0;
}
