#pragma once
// What the benchmark programs share: a fresh Documents folder holding the
// demo database, SQL run straight on a database file while preparing, and
// the interleaved comparison of the system with its baseline.
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

}  // namespace bench
