// Reading 100,000 rows of five columns by column name through SqlResultSet,
// against the same reads on the plain SQLite C interface, the two run
// interleaved, each on a connection it keeps open.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"

namespace {

constexpr int kRows = 100000;
const char* const kQuery = "select CDOK, IDTOV, MNOZ, DATUMSPOTREBY, STR from polo order by rowid";

std::string databasePath() {
    static const std::string p =
        (std::filesystem::temp_directory_path() / ("trekora-bench-db-" + std::to_string(getpid()) + ".db3")).string();
    return p;
}

void createDatabase() {
    auto db = SqlDatabase::databaseWithPath(databasePath());
    db->open();
    db->executeUpdate("create table polo (cdok integer, idtov text, mnoz real, datumspotreby text, str integer)");
    db->beginTransaction();
    for (int i = 0; i < kRows; ++i) {
        db->executeUpdate("insert into polo values (?, ?, ?, ?, ?)",
                          {i, "TOV" + std::to_string(i % 977), i * 0.25, "2024-05-" + std::to_string(10 + i % 18),
                           static_cast<std::int64_t>(i % 7)});
    }
    db->commit();
    db->close();
}

struct Sums {
    long long ints = 0;
    std::size_t textBytes = 0;
    double reals = 0;
};

void sqlResultSetByName(SqlDatabase& db) {
    Sums sums;
    auto rs = db.executeQuery(kQuery);
    while (rs->next()) {
        sums.ints += rs->intForColumn("cdok");
        std::optional<std::string> idtov = rs->stringForColumn("idtov");
        sums.reals += rs->doubleForColumn("mnoz");
        std::optional<std::string> datum = rs->stringForColumn("datumSpotreby");
        sums.ints += rs->longForColumn("str");
        sums.textBytes += (idtov ? idtov->size() : 0) + (datum ? datum->size() : 0);
    }
    rs->close();
    bench::keep(sums);
}

void rawSqlite(sqlite3* db) {
    auto text = [](sqlite3_stmt* s, int i) -> std::optional<std::string> {
        const unsigned char* t = sqlite3_column_text(s, i);
        if (!t) return std::nullopt;
        return std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
    };
    Sums sums;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        sums.ints += sqlite3_column_int(stmt, 0);
        std::optional<std::string> idtov = text(stmt, 1);
        sums.reals += sqlite3_column_double(stmt, 2);
        std::optional<std::string> datum = text(stmt, 3);
        sums.ints += sqlite3_column_int64(stmt, 4);
        sums.textBytes += (idtov ? idtov->size() : 0) + (datum ? datum->size() : 0);
    }
    sqlite3_finalize(stmt);
    bench::keep(sums);
}

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    createDatabase();
    auto layer = SqlDatabase::databaseWithPath(databasePath());
    layer->open();
    sqlite3* raw = nullptr;
    sqlite3_open_v2(databasePath().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const bool ok = bench::RatioReporter::compare(
        "reading 100,000 rows by column name: SqlResultSet / raw SQLite", [&layer] { sqlResultSetByName(*layer); },
        [raw] { rawSqlite(raw); }, {.goal = "goal at most 1.1x", .goalClock = bench::Clock::cpu});
    sqlite3_close(raw);
    layer->close();
    std::filesystem::remove(databasePath());
    return ok ? 0 : 1;
}
