#pragma once
// What the benchmark programs share: a fresh Documents folder holding the
// demo database, SQL run straight on a database file while preparing, and
// the interleaved comparison of the system with its baseline.
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RatioReporter.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/Places.h"

namespace bench {

// A fresh folder under /tmp made the Documents folder, and the shared object
// started on it (which copies the demo database in). `folder` receives the path.
inline Trekora& startInFreshDocuments(std::string& folder) {
    char pattern[] = "/tmp/trekora-bench-XXXXXX";
    folder = mkdtemp(pattern);
    platform::Places::setDocumentsDirectory(folder);
    platform::Places::setResourcesDirectory(std::string(TREKORA_BINARY_DIR) + "/resources");
    Trekora::resetShared();
    return Trekora::shared();
}

// The system's console trace written, to nowhere, while it lives: the
// system does the same work and the benchmark's output stays readable.
class QuietConsole {
public:
    QuietConsole() : sink_(std::fopen("/dev/null", "w")) {
        if (sink_) platform::Console::redirectTo(sink_);
    }
    ~QuietConsole() {
        platform::Console::redirectTo(stderr);
        if (sink_) std::fclose(sink_);
    }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;

private:
    std::FILE* sink_;
};

// Runs `sql` on the database file; a failure ends the program.
inline void exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "setup: %s\n", err ? err : "?");
        std::exit(1);
    }
    sqlite3_close(db);
}

// Reads every row of `query` on a read-only connection of its own into its
// column texts, as a plain program would: the baseline of the list screens.
inline std::size_t readRawRows(const std::string& path, const std::string& query) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, query.c_str(), -1, &stmt, nullptr);
    const int columns = sqlite3_column_count(stmt);
    std::vector<std::string> names;
    for (int c = 0; c < columns; ++c) names.emplace_back(sqlite3_column_name(stmt, c));
    std::vector<std::vector<std::string>> data;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::vector<std::string> row(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c)
            if (auto text = sqlite3_column_text(stmt, c))
                row[static_cast<std::size_t>(c)].assign(reinterpret_cast<const char*>(text),
                                                        static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
        data.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    keep(data.size());
    return data.size();
}

}  // namespace bench
