// Rendering a 200-line invoice through its report definition against running
// the same two SELECTs on the raw SQLite interface and writing the same
// fixed-width lines by hand, the two run interleaved.
#include "BenchSupport.h"
#include "core/Trekora.h"
#include "report/DataItem.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr int kLines = 200;
constexpr const char* kId = "5000";

std::string g_dir;
std::shared_ptr<DataItem> g_invoice;  // the report definition's data item

// A Documents folder with the demo database and one invoice of 200 lines.
void prepare() {
    Trekora& t = bench::startInFreshDocuments(g_dir);
    std::string sql = "begin;"
                      "insert into vety (id, cdok, datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, info) "
                      "values (5000, 5000, '2026-12-04', '10:00:00', 12, 1, 'Ján Novák', 10101, 10101, '10101-01', "
                      "'31561582', 20, '2026-12-04');"
                      "insert into odbe (vety_id, cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, "
                      "icdph) select 5000, 5000, ido, idosc, 12, ico, dic, nazov1, nazov2, ulica, mesto, psc, icdph "
                      "from odberatel where idosc = '10101-01';";
    for (int i = 1; i <= kLines; ++i) {
        const double mnoz = 1 + i % 17;
        const double cena = 0.35 + (i % 23) * 0.41;
        const double dph = i % 3 ? 19 : 23;
        char line[512];
        std::snprintf(line, sizeof line,
                      "insert into polo (vety_id, cdok, pohyb, sklad_typ, idtov, naztov1, naztov2, mj, dph, mnoz, "
                      "cena, zlava1, zlava2, zlavac, cenac, ccmnoz, hdphcc, ccsum) values (5000, 5000, 20, 10, 'X%03d', "
                      "'Tovar číslo %d', 'balenie', 'ks', %g, %g, %.3f, 0, 0, 0, %.3f, round(%g * %.3f, 2), "
                      "round(round(%g * %.3f, 2) * %g / 100.0, 2), 0);",
                      i, i, dph, mnoz, cena, cena, mnoz, cena, mnoz, cena, dph);
        sql += line;
    }
    sql += "update polo set ccsum = round(ccmnoz + hdphcc, 2) where vety_id = 5000; commit;";
    bench::exec(t.dbURL, sql);
}

void reportRun() {
    const std::string text = g_invoice->getReport(kId, "0");
    if (text.rfind("chyba!", 0) == 0 || text.empty()) throw std::runtime_error(text);
    bench::keep(text.data());
}

std::string column(sqlite3_stmt* s, int i) {
    auto text = sqlite3_column_text(s, i);
    return text ? reinterpret_cast<const char*>(text) : "";
}

void pad(std::string& out, std::size_t width) {
    std::size_t chars = 0;
    for (unsigned char c : out) chars += (c & 0xC0) != 0x80;
    if (chars < width) out.append(width - chars, ' ');
    out += '\n';
}

void rawSelectsAndHandFormatting() {
    Trekora& t = Trekora::shared();
    const auto& report = g_invoice->reports[0];
    const std::string& mainSql = report->selectQuery;
    const std::string& detailSql = report->pageBody->selectQuery;
    std::string text;
    sqlite3* db = nullptr;
    sqlite3_open(t.dbURL.c_str(), &db);
    sqlite3_stmt* main = nullptr;
    sqlite3_prepare_v2(db, mainSql.c_str(), -1, &main, nullptr);
    sqlite3_bind_text(main, 1, kId, -1, SQLITE_STATIC);
    while (sqlite3_step(main) == SQLITE_ROW) {
        for (const char* name : {"FIRMA", "FULICA", "FMESTO", "FIDS", "FICDPH"}) {
            for (int i = 0; i < sqlite3_column_count(main); ++i)
                if (std::string(sqlite3_column_name(main, i)) == name) {
                    std::string line = column(main, i);
                    pad(line, 39);
                    text += line;
                }
        }
        std::string line = "FAKTÚRA č. " + column(main, 0);
        pad(line, 39);
        text += line;
        sqlite3_stmt* detail = nullptr;
        sqlite3_prepare_v2(db, detailSql.c_str(), -1, &detail, nullptr);
        sqlite3_bind_text(detail, 1, kId, -1, SQLITE_STATIC);
        while (sqlite3_step(detail) == SQLITE_ROW) {
            std::string name = column(detail, 0);
            pad(name, 39);
            text += name;
            char row[128];
            std::snprintf(row, sizeof row, "%8.3f %-3.3s %8.3f %4.1f%% %2.0f%% %8.2f", sqlite3_column_double(detail, 1),
                          column(detail, 2).c_str(), sqlite3_column_double(detail, 3),
                          sqlite3_column_double(detail, 4), sqlite3_column_double(detail, 5),
                          sqlite3_column_double(detail, 6));
            std::string second = row;
            pad(second, 39);
            text += second;
        }
        sqlite3_finalize(detail);
        char total[64];
        std::snprintf(total, sizeof total, "SPOLU s DPH EUR:             %10.2f", sqlite3_column_double(main, 20));
        text += total;
        text += '\n';
    }
    sqlite3_finalize(main);
    sqlite3_close(db);
    bench::keep(text.data());
}

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    bench::QuietConsole quiet;
    prepare();
    g_invoice = Trekora::shared().findDataItem("faktura");
    const bool ok = bench::RatioReporter::compare("report run of a 200-line invoice / raw selects and hand formatting",
                                                  reportRun, rawSelectsAndHandFormatting, {});
    g_invoice.reset();
    Trekora::resetShared();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
    return ok ? 0 : 1;
}
