// Packing a 50 MB database into a backup archive through ZipPacker, against
// deflating the same bytes with zlib directly at the same (default) level,
// the two run interleaved; prints the ratio of throughputs.
#include <sqlite3.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "platform/FileManager.h"
#include "sync/ZipPacker.h"

namespace {

constexpr std::int64_t kSize = 50LL * 1024 * 1024;

std::string tempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("trekora-bench-zip-" + std::to_string(getpid()) + "-" + name))
        .string();
}

// A database of document lines that grows to about 50 MB.
void createDatabase() {
    sqlite3* db = nullptr;
    sqlite3_open(tempPath("trekora.db3").c_str(), &db);
    sqlite3_exec(db,
                 "create table polo (cdok integer, idtov text, naztov1 text, mnoz real, cena real,"
                 " datumspotreby text, str integer)",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "insert into polo values (?, ?, ?, ?, ?, ?, ?)", -1, &stmt, nullptr);
    for (int i = 0; std::filesystem::file_size(tempPath("trekora.db3")) < static_cast<std::uintmax_t>(kSize); ++i) {
        for (int j = 0; j < 20000; ++j, ++i) {
            const std::string idtov = "TOV" + std::to_string(i % 977);
            const std::string name = "Tovar " + std::to_string(i % 977) + " balenie " + std::to_string(i % 13) + " ks";
            const std::string datum = "2026-" + std::to_string(1 + i % 12) + "-" + std::to_string(1 + i % 28);
            sqlite3_bind_int(stmt, 1, i / 17);
            sqlite3_bind_text(stmt, 2, idtov.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 3, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(stmt, 4, (i % 40) * 0.5);
            sqlite3_bind_double(stmt, 5, 0.37 * (i % 5003));
            sqlite3_bind_text(stmt, 6, datum.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(stmt, 7, i % 7);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_exec(db, "commit; begin", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void zipPacker() {
    const std::string source = tempPath("trekora.db3");
    const std::string archive = tempPath("backup.zip");
    ZipPacker zip;
    bool ok = zip.createZip(archive);
    ok = zip.addFile(source, "trekora.db3") && ok;
    ok = zip.closeZip() && ok;
    bench::Untimed removing;
    std::filesystem::remove(archive);
    if (!ok) throw std::runtime_error("archive not written");
}

// The database's bytes read once and deflated into a buffer made once.
class ZlibDeflate {
public:
    ZlibDeflate()
        : bytes_(platform::FileManager::contents(tempPath("trekora.db3")).value_or("")),
          out_(compressBound(static_cast<uLong>(bytes_.size()))) {}

    void run() {
        z_stream z{};
        deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes_.data()));
        z.avail_in = static_cast<uInt>(bytes_.size());
        z.next_out = out_.data();
        z.avail_out = static_cast<uInt>(out_.size());
        const int rc = deflate(&z, Z_FINISH);
        bench::keep(z.total_out);
        deflateEnd(&z);
        if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
    }

private:
    std::string bytes_;
    std::vector<unsigned char> out_;
};

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    createDatabase();
    bool ok;
    {
        ZlibDeflate zlib;
        ok = bench::RatioReporter::compare(
            "packing a 50 MB database: ZipPacker / zlib deflate", zipPacker, [&zlib] { zlib.run(); },
            {.rounds = 5,
             .batchSeconds = 0,
             .throughput = true,
             .goal = "goal at least 0.9",
             .goalClock = bench::Clock::cpu});
    }
    std::filesystem::remove(tempPath("trekora.db3"));
    return ok ? 0 : 1;
}
