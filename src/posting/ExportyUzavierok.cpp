#include "posting/ExportyUzavierok.h"

#include "core/OdoslaneCisla.h"
#include "core/SqlFailure.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Error.h"
#include "platform/FileManager.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

namespace fs = std::filesystem;

std::string firstText(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    std::string text;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW &&
        sqlite3_column_text(stmt, 0))
        text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    return text;
}

// The closing number in the name of an export ("NUMBER.db3") or of its
// temporary file (".NUMBER.db3.tmp"), which marks an export still owed;
// "" for any other name. `mark` tells which of the two it is. Any run of
// digits counts, also one too long for a document number: an export owed
// under it is not passed over.
std::string exportNumberOf(const std::string& name, bool* mark) {
    std::string cdok;
    *mark = name.size() > 9 && name.front() == '.' && name.compare(name.size() - 8, 8, ".db3.tmp") == 0;
    if (*mark) cdok = name.substr(1, name.size() - 9);
    else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".db3") == 0) cdok = name.substr(0, name.size() - 4);
    const bool digits = !cdok.empty() && std::all_of(cdok.begin(), cdok.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits ? cdok : std::string();
}

}  // namespace

ExportyUzavierok::ExportyUzavierok(const std::string& documentsDirectory)
    : out_((fs::path(documentsDirectory) / "out").string()) {}

std::string ExportyUzavierok::subor(const std::string& cdok) const { return (fs::path(out_) / (cdok + ".db3")).string(); }

std::string ExportyUzavierok::znacka(const std::string& cdok) const {
    return (fs::path(out_) / ("." + cdok + ".db3.tmp")).string();
}

bool ExportyUzavierok::jeCisloUzavierky(const std::string& cdok) {
    return OdoslaneCisla::cislo(cdok).has_value();
}

bool ExportyUzavierok::jeCely(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    for (const char* suffix : {"-journal", "-wal"})
        if (fs::exists(path + suffix, ec)) return false;
    sqlite3* db = nullptr;
    bool whole = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        firstText(db, "pragma integrity_check") == "ok") {
        sqlite3_stmt* stmt = nullptr;
        std::vector<std::string> tables;
        if (sqlite3_prepare_v2(db, "select name from sqlite_master where type = 'table'", -1, &stmt, nullptr) ==
            SQLITE_OK)
            while (sqlite3_step(stmt) == SQLITE_ROW)
                tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        for (std::string table : tables) {
            for (std::size_t at = 0; (at = table.find('"', at)) != std::string::npos; at += 2) table.insert(at, 1, '"');
            if (firstText(db, "select exists (select 1 from \"" + table + "\")") == "1") whole = true;
        }
    }
    sqlite3_close(db);
    return whole;
}

std::vector<ExportyUzavierok::Polozka> ExportyUzavierok::zoznam(std::optional<std::string>* chyba) const {
    std::vector<Polozka> found;
    std::error_code ec;
    fs::directory_iterator it(out_, ec);
    if (ec == std::errc::no_such_file_or_directory) return found;
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        bool mark = false;
        const std::string cdok = exportNumberOf(it->path().filename().string(), &mark);
        if (cdok.empty()) continue;
        const std::string path = it->path().string();
        found.push_back({cdok, path, mark || !jeCely(path)});
    }
    if (ec && chyba) *chyba = "priečinok out sa nedá prečítať: " + ec.message();
    std::sort(found.begin(), found.end(), [](const Polozka& a, const Polozka& b) {
        if (a.cdok.size() != b.cdok.size()) return a.cdok.size() < b.cdok.size();
        return a.cdok != b.cdok ? a.cdok < b.cdok : a.cesta < b.cesta;
    });
    return found;
}

std::optional<std::string> ExportyUzavierok::oznacDlzny(const std::string& cdok) const {
    std::error_code ec;
    // A folder made now is a new name in Documents: on the disk too.
    if (fs::create_directories(out_, ec) && !platform::FileManager::syncFolder(fs::path(out_).parent_path().string()))
        return std::error_code(errno, std::generic_category()).message();
    return novaZnacka(cdok);
}

std::optional<std::string> ExportyUzavierok::novaZnacka(const std::string& cdok) const {
    platform::Error error;
    if (!platform::FileManager::writeFile(znacka(cdok), "", true, &error)) return error.localizedDescription();
    return std::nullopt;
}

void ExportyUzavierok::odstranZnacku(const std::string& cdok) const {
    std::error_code ec;
    fs::remove(znacka(cdok), ec);
    odstranZurnaly(znacka(cdok));
}

void ExportyUzavierok::odstranZurnaly(const std::string& path) {
    std::error_code ec;
    for (const char* suffix : {"-journal", "-wal", "-shm"}) fs::remove(path + suffix, ec);
}

std::optional<std::string> ExportyUzavierok::odloz(const Polozka& polozka, std::string* reason) const {
    // The first free name: a closing of the same number may have been set
    // aside before (a restored copy that held it).
    for (int k = 1; k < 1000; ++k) {
        const std::string target = (fs::path(out_) / ("." + polozka.cdok + ".db3.odlozeny-" + std::to_string(k))).string();
        std::error_code ec;
        if (fs::exists(fs::symlink_status(target, ec))) continue;
        platform::Error error;
        if (!platform::FileManager::moveItem(polozka.cesta, target, &error)) {
            if (reason) *reason = error.localizedDescription();
            return std::nullopt;
        }
        if (!platform::FileManager::syncFolder(out_)) {
            if (reason) *reason = std::error_code(errno, std::generic_category()).message();
            return std::nullopt;
        }
        return target;
    }
    if (reason) *reason = "žiadny voľný názov na odloženie";
    return std::nullopt;
}

std::vector<std::string> ExportyUzavierok::odlozene(const std::string& cdok) const {
    const std::string start = "." + cdok + ".db3.odlozeny-";
    std::vector<std::pair<long long, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(out_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, start.size(), start) != 0) continue;
        if (auto k = OdoslaneCisla::cislo(name.substr(start.size()))) found.emplace_back(*k, it->path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& [k, path] : found) paths.push_back(std::move(path));
    return paths;
}

std::string ExportyUzavierok::oznamOdlozenia(const std::string& cdok, const std::string& path) {
    return "nedokončený export uzávierky " + cdok + " je odložený ako out/" + fs::path(path).filename().string() +
           " a neodošle sa";
}

ExportyUzavierok::Uzavierka ExportyUzavierok::najdi(Trekora& trekora, SqlDatabase& db, const std::string& cdok) {
    Uzavierka closing;
    try {
        // A lookup that is missing or cannot be read throws.
        auto rs = SqlRows::query(db, trekora.getQueryOrThrow("du_getducis", db), {cdok});
        if (rs->columnCount() == 0) throw SqlFailure("uložený dotaz du_getducis nie je dotaz");
        std::optional<SqlError> error;
        closing.je = rs->nextWithError(&error);
        if (closing.je) closing.ducis = rs->stringForColumnIndex(0).value_or("");
        rs->close();
        // A step that failed is no end of the rows.
        if (!closing.je && error) throw SqlFailure(error->description.empty() ? "chyba čítania" : error->description);
    } catch (const std::exception& e) {
        closing.je = false;
        closing.chyba = e.what();
    }
    return closing;
}

ExportyUzavierok::Uzavierka ExportyUzavierok::najdi(Trekora& trekora, const std::string& cdok) {
    auto db = SqlRows::connection(trekora);
    if (!db->open()) {
        Uzavierka closing;
        closing.chyba = "nemôžem otvoriť databázu";
        return closing;
    }
    const Uzavierka closing = najdi(trekora, *db, cdok);
    db->close();
    return closing;
}
