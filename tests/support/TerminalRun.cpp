#include "support/TerminalRun.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TerminalRun::TerminalRun(const std::string& tag) {
    const std::string name = "/tmp/trekora-" + tag + "-XXXXXX";
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    if (mkdtemp(pattern.data())) home = pattern.data();
}

TerminalRun::~TerminalRun() {
    if (home.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
}

int TerminalRun::run(const std::string& input) {
    if (home.empty()) return -1;
    {
        std::ofstream in(home / "input.txt");
        in << input;
    }
    const std::string command = "cd '" + home.string() + "' && env -u TREKORA_WIFI_SSID XDG_DATA_HOME='" +
                                (home / "data").string() + "' HOME='" + home.string() + "' timeout 60 '" +
                                TREKORA_BINARY_DIR "/trekora' < input.txt > output.txt 2> errors.txt";
    return std::system(command.c_str());
}

std::string TerminalRun::output() const { return readFile(home / "output.txt"); }

std::string TerminalRun::errors() const { return readFile(home / "errors.txt"); }

std::filesystem::path TerminalRun::database() const { return home / "data" / "trekora" / "Documents" / "trekora.db3"; }

std::string TerminalRun::log() const { return readFile(home / "data" / "trekora" / "Documents" / "trekora.log"); }

std::string TerminalRun::scalar(const std::string& sql) const {
    sqlite3* handle = nullptr;
    std::string out;
    if (sqlite3_open_v2(database().c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            if (auto text = sqlite3_column_text(stmt, 0)) out = reinterpret_cast<const char*>(text);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(handle);
    return out;
}
