// Posting a 50-line cash sale through zapisDoklad() against writing the same
// header and 50 lines on the raw SQLite interface, on a connection kept open
// with statements prepared once, in one transaction; and the same posting
// into a database that holds 100,000 documents with their lines against
// posting it into the demo database.
#include "BenchSupport.h"
#include "core/Trekora.h"
#include "records/DatumSpotrebyItem.h"
#include "records/MenuItem.h"
#include "records/OdberatelItem.h"
#include "records/TovarItem.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr int kLines = 50;

std::string g_dir;
std::string g_demo;   // the demo database with the benchmark's goods
std::string g_large;  // the same with 100,000 documents more

// Documents generated for the scale run, five lines and a customer copy each.
constexpr int kDocuments = 100000;

// A Documents folder with the demo database and 50 more goods, each with one
// batch deep enough for every iteration.
Trekora& prepare() {
    Trekora& t = bench::startInFreshDocuments(g_dir);
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
    bench::exec(t.dbURL, sql);
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
    // No one reads the console trace here.
    t.postingTrace = false;
    g_demo = t.dbURL;
    g_large = g_dir + "/large.db3";
    std::filesystem::copy_file(g_demo, g_large);
    // A history of a few working years: every kind of document, mostly
    // closed, cash sales with receipt numbers.
    bench::exec(g_large,
         "begin;"
         "with recursive n(i) as (select 1 union all select i + 1 from n where i < " + std::to_string(kDocuments) + ") "
         "insert into vety (id, cdok, datum, cas, str, idu, meno, ido, idopl, idosc, pohyb, sumdokz, info, km, "
         "facvset, obccbd, obccsd, sumdph, ducis, parcdok) "
         "select 100000 + i, 100000 + i, date('2024-01-01', '+' || (i / 100) || ' days'), '10:00:00', 12, 1, 'Demo', "
         "10102, 10102, '10102-01', case i % 5 when 0 then 10 when 1 then 20 when 2 then 40 when 3 then 21 else 30 end, "
         "37.50, case when i % 5 = 0 then 'DC:' || (i / 5) else '' end, 100000 + i, 0, 31.25, 37.5, 6.25, "
         "case when i < " + std::to_string(kDocuments - 50) + " then 1 + i / 100 end, "
         "case when i % 5 = 3 then 100000 + i - 2 end from n;"
         "with recursive k(j) as (select 1 union all select j + 1 from k where j < 5) "
         "insert into polo (vety_id, cdok, datum, str, ido, pohyb, sklad_typ, idtov, naztov1, mj, dph, mnoz, cena, "
         "cenac, cena00, ccmnoz, hdphcc, ccsum, datumspotreby) "
         "select v.id, v.cdok, v.datum, 12, 10102, v.pohyb, 10, printf('B%03d', (v.id * 5 + j) % 50 + 1), 'Tovar', 'ks', "
         "20, 5, 1.25, 1.25, 1.5, 6.25, 1.25, 7.5, '2030-01-31' from vety v, k where v.id > 100000;"
         "insert into odbe (vety_id, cdok, ido, idosc, str, nazov1, pohyb) "
         "select id, cdok, ido, idosc, str, 'Bistro', pohyb from vety where id > 100000;"
         "commit;");
    return t;
}

// One posting through zapisDoklad(), which keeps its connection open from
// one posting to the next.
void post(const std::string& database) {
    Trekora& t = Trekora::shared();
    t.dbURL = database;
    const std::string result = t.zapisDoklad();
    if (result.rfind("ok", 0) != 0) throw std::runtime_error(result);
}

// The same header and 50 lines written on the raw interface as a program
// that posts documents would: the connection kept open and the statements
// prepared once, one transaction a document.
class RawPosting {
public:
    explicit RawPosting(const std::string& path) {
        sqlite3_open(path.c_str(), &db_);
        sqlite3_prepare_v2(db_, "begin exclusive transaction", -1, &begin_, nullptr);
        sqlite3_prepare_v2(db_, "commit transaction", -1, &commit_, nullptr);
        sqlite3_prepare_v2(db_,
                           "insert into vety (idu, ido, idosc, pohyb, sumdokz, info, km) values (?, ?, ?, 10, ?, ?, ?)",
                           -1, &header_, nullptr);
        sqlite3_prepare_v2(db_,
                           "insert into polo (vety_id, pohyb, idtov, mnoz, datumspotreby, cena, dph, ccmnoz, hdphcc, "
                           "ccsum) values (?, 10, ?, 1, '2030-01-31', 1.25, 20, 1.25, 0.25, 1.5)",
                           -1, &line_, nullptr);
    }
    ~RawPosting() {
        for (auto* s : {begin_, commit_, header_, line_}) sqlite3_finalize(s);
        sqlite3_close(db_);
    }

    void post() {
        step(begin_);
        sqlite3_bind_int(header_, 1, 1);
        sqlite3_bind_int(header_, 2, 10102);
        sqlite3_bind_text(header_, 3, "10102-01", -1, SQLITE_STATIC);
        sqlite3_bind_double(header_, 4, 75.0);
        sqlite3_bind_text(header_, 5, "", -1, SQLITE_STATIC);
        sqlite3_bind_int(header_, 6, 184310);
        step(header_);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db_);
        for (int i = 1; i <= kLines; ++i) {
            char idtov[16];
            std::snprintf(idtov, sizeof idtov, "B%03d", i);
            sqlite3_bind_int64(line_, 1, id);
            sqlite3_bind_text(line_, 2, idtov, -1, SQLITE_TRANSIENT);
            step(line_);
        }
        step(commit_);
    }

private:
    void step(sqlite3_stmt* s) {
        const int rc = sqlite3_step(s);
        sqlite3_reset(s);
        if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    sqlite3_stmt* header_ = nullptr;
    sqlite3_stmt* line_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    bench::QuietConsole quiet;
    prepare();
    bool ok;
    {
        RawPosting raw(g_demo);
        ok = bench::RatioReporter::compare(
            "posting a 50-line cash sale (zapisDoklad) / raw prepared inserts", [] { post(g_demo); },
            [&raw] { raw.post(); }, {.goal = "goal at most 3x", .goalClock = bench::Clock::cpu});
    }
    ok = bench::RatioReporter::compare("zapisDoklad into 100,000 documents / into the demo database",
                                       [] { post(g_large); }, [] { post(g_demo); }, {}) && ok;
    Trekora::resetShared();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
    return ok ? 0 : 1;
}
