// The customer picker's search over 10,000 customers (generated into a copy
// of the demo database), against the same substring filter written as a
// plain loop over the same strings, the two run interleaved.
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/Trekora.h"
#include "platform/ui/Storyboard.h"
#include "records/OdberatelItem.h"
#include "ui/sales/Odberatel.h"
#include "ui/sales/SalesStoryboard.h"
#include "ui/sales/SearchText.h"

namespace {

constexpr int kCustomers = 10000;
// What a salesman types, keystroke by keystroke, digits and letters.
const std::vector<std::string> kTyped = {"0", "01", "010", "010 0", "k", "ka", "kav", "kavi", "Ž", "Ži", "Žil",
                                         "p", "po", "pot", "potr", "3", "36", "367", "nám", "jednota"};

std::string g_dir;

void generateCustomers(const std::string& database) {
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    const char* names[] = {"Potraviny", "Kaviareň", "Bistro", "Jednota", "Mini Market", "Pekáreň", "Trafika"};
    const char* towns[] = {"Žilina", "Čadca", "Martin", "Turzovka", "Rajec", "Bytča"};
    sqlite3_stmt* odb = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into odberatel (ido, idosc, idp, nazov1, nazov2, ulica, psc, mesto, ico, pohyb, zlmax) "
                       "values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, 10, 5)",
                       -1, &odb, nullptr);
    sqlite3_stmt* stop = nullptr;
    sqlite3_prepare_v2(db, "insert into trasa_odberatel (trasa_cislo, poradie, idosc, ido) values (?1, ?2, ?3, ?4)",
                       -1, &stop, nullptr);
    for (int i = 0; i < kCustomers; ++i) {
        const int ido = 500000 + i;
        const std::string idosc = std::to_string(ido) + "-01";
        const std::string texts[] = {idosc,
                                     "G" + std::to_string(i),
                                     std::string(names[i % 7]) + " " + std::to_string(i),
                                     i % 3 ? "" : "nám. " + std::to_string(i % 50),
                                     "Hlavná " + std::to_string(i % 300),
                                     "0" + std::to_string(10 + i % 30) + " 0" + std::to_string(i % 9),
                                     towns[i % 6],
                                     std::to_string(30000000 + i * 7)};
        sqlite3_bind_int(odb, 1, ido);
        for (int c = 0; c < 8; ++c) sqlite3_bind_text(odb, c + 2, texts[c].c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(odb);
        sqlite3_reset(odb);
        sqlite3_bind_int(stop, 1, 1 + i % 3);
        sqlite3_bind_int(stop, 2, 100 + i);
        sqlite3_bind_text(stop, 3, idosc.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(stop, 4, ido);
        sqlite3_step(stop);
        sqlite3_reset(stop);
    }
    sqlite3_finalize(odb);
    sqlite3_finalize(stop);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

std::shared_ptr<Odberatel> picker;

// The same strings, lower-cased once, searched with a plain loop.
class PlainLoop {
public:
    PlainLoop() {
        for (const auto& o : picker->data)
            keys_.push_back({SearchText::fold(o->IDP), SearchText::fold(o->NAZOV1), SearchText::fold(o->NAZOV2),
                             SearchText::fold(o->ULICA), SearchText::fold(o->MESTO), SearchText::fold(o->PSC),
                             SearchText::fold(o->ICO)});
        for (const auto& t : kTyped) needles_.push_back(SearchText::fold(t));
    }

    void run() {
        std::size_t shown = 0;
        for (const auto& needle : needles_) {
            std::vector<std::shared_ptr<OdberatelItem>> rows;
            for (std::size_t i = 0; i < keys_.size(); ++i) {
                for (const auto& key : keys_[i])
                    if (key.find(needle) != std::string::npos) {
                        rows.push_back(picker->data[i]);
                        break;
                    }
            }
            shown += rows.size();
        }
        bench::keep(shown);
    }

private:
    std::vector<std::array<std::string, 7>> keys_;
    std::vector<std::string> needles_;
};

void pickerSearch() {
    std::size_t shown = 0;
    for (const auto& typed : kTyped) {
        picker->filter(typed);
        shown += picker->filteredData.size();
    }
    bench::keep(shown);
}

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    bench::QuietConsole quiet;
    generateCustomers(bench::startInFreshDocuments(g_dir).dbURL);
    SalesStoryboard::registerAll();
    picker = platform::Storyboard::named("Main")->instantiate<Odberatel>("Odberatel");
    picker->loadViewIfNeeded();
    std::fprintf(stderr, "customers: %zu\n", picker->data.size());

    bool ok;
    {
        PlainLoop plain;
        ok = bench::RatioReporter::compare("customer picker search over 10,000 customers / plain loop", pickerSearch,
                                           [&plain] { plain.run(); },
                                           {.goal = "goal at most 1.5x", .goalClock = bench::Clock::cpu});
    }
    picker.reset();
    Trekora::resetShared();
    std::filesystem::remove_all(g_dir);
    return ok ? 0 : 1;
}
