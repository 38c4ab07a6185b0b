// Builds trekora.db3 from reviewable text:
//   make_database OUT.db3 SCHEMA.sql DEMO_DIR QUERIES_DIR
// runs the schema, then every DEMO_DIR/*.sql in name order, then stores each
// QUERIES_DIR/NAME.sql as the named query NAME in sqliteadmin_queries.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

static std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

static void exec(sqlite3* db, const std::string& sql, const fs::path& from) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw std::runtime_error(from.string() + ": " + msg);
    }
}

static std::vector<fs::path> sqlFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    if (fs::is_directory(dir))
        for (auto& e : fs::directory_iterator(dir))
            if (e.is_regular_file() && e.path().extension() == ".sql") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: make_database OUT.db3 SCHEMA.sql DEMO_DIR QUERIES_DIR\n";
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path tmp = out.string() + ".tmp";
    fs::remove(tmp);
    sqlite3* db = nullptr;
    if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) {
        std::cerr << "cannot create " << tmp << "\n";
        return 1;
    }
    try {
        exec(db, "BEGIN", tmp);
        exec(db, readFile(argv[2]), argv[2]);
        for (auto& f : sqlFiles(argv[3])) exec(db, readFile(f), f);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO sqliteadmin_queries(name, sql) VALUES(?, ?)", -1, &st,
                               nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("sqliteadmin_queries: ") + sqlite3_errmsg(db));
        for (auto& f : sqlFiles(argv[4])) {
            const std::string name = f.stem().string();
            const std::string text = readFile(f);
            sqlite3_reset(st);
            sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, text.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(st) != SQLITE_DONE)
                throw std::runtime_error(f.string() + ": " + sqlite3_errmsg(db));
        }
        sqlite3_finalize(st);
        exec(db, "COMMIT", tmp);
        exec(db, "VACUUM", tmp);
    } catch (const std::exception& e) {
        std::cerr << "make_database: " << e.what() << "\n";
        sqlite3_close(db);
        fs::remove(tmp);
        return 1;
    }
    sqlite3_close(db);
    fs::rename(tmp, out);
    return 0;
}
