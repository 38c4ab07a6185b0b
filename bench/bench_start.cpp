// Application start: the construction of the shared object (database copy
// into a fresh Documents folder, both report-definition files parsed, sounds,
// location) against the least a start must do on the raw SQLite interface:
// open the same database file and read one row.

#include "RatioReporter.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/FileManager.h"
#include "platform/Places.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string resources() { return std::string(TREKORA_BINARY_DIR) + "/resources"; }

void BM_TrekoraStart(benchmark::State& state) {
    platform::Console::Capture quiet;  // the start traces stay off the terminal
    const std::string documents = platform::FileManager::makeTemporaryDirectory("trekora-bench");
    platform::Places::setDocumentsDirectory(documents);
    platform::Places::setResourcesDirectory(resources());
    const std::string db = documents + "/trekora.db3";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(db);
        quiet.clear();
        state.ResumeTiming();
        Trekora trekora;
        benchmark::DoNotOptimize(trekora.dataItems.size());
    }
    std::filesystem::remove_all(documents);
}

void BM_RawSqliteOpenAndReadOneRow(benchmark::State& state) {
    const std::string path = resources() + "/trekora.db3";
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "select hodnota from km", -1, &stmt, nullptr);
        if (sqlite3_step(stmt) == SQLITE_ROW) benchmark::DoNotOptimize(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
}

BENCHMARK(BM_RawSqliteOpenAndReadOneRow)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->MinTime(0.3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_TrekoraStart)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->MinTime(0.3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double start = reporter.wall["BM_TrekoraStart"];
    const double raw = reporter.wall["BM_RawSqliteOpenAndReadOneRow"];
    if (start > 0 && raw > 0)
        std::printf("ratio application start / raw open and one row: %.1fx\n", start / raw);
    return 0;
}
