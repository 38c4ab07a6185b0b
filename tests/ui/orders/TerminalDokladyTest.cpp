// The real program in the terminal: from the main menu's "doklady" row,
// through a search, to the preview of a cash sale.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string scalar(const std::filesystem::path& db, const std::string& sql) {
    sqlite3* handle = nullptr;
    std::string out;
    if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            if (auto text = sqlite3_column_text(stmt, 0)) out = reinterpret_cast<const char*>(text);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(handle);
    return out;
}

TEST(TerminalDoklady, FromTheDocumentsRowToTheFirstCashSalesPreview) {
    char pattern[] = "/tmp/trekora-doklady-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path home = pattern;
    {
        std::ofstream in(home / "input.txt");
        in << "f1=1234\nprihlásiť\n6\n/hotov\n1\nq\n";
    }
    const std::string command = "cd '" + home.string() + "' && env -u TREKORA_WIFI_SSID XDG_DATA_HOME='" +
                                (home / "data").string() + "' HOME='" + home.string() + "' timeout 60 '" +
                                TREKORA_BINARY_DIR "/trekora' < input.txt > output.txt 2> errors.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(home / "errors.txt");
    const std::string output = readFile(home / "output.txt");

    const auto db = home / "data" / "trekora" / "Documents" / "trekora.db3";
    const std::string all = scalar(db, "select count(*) from vety");
    const std::string cash = scalar(db, "select count(*) from vety where pohyb = 10");
    const std::string newest = scalar(db, "select cdok from vety where pohyb = 10 order by id desc limit 1");
    ASSERT_FALSE(newest.empty());
    std::size_t at = 0;
    for (const std::string& step : {std::string("== menu =="), "== doklady: " + all + " / " + all + " ==",
                                    "== doklady: " + cash + " / " + all + " ==", std::string("== náhľad =="),
                                    "POKLADNIČNÝ DOKLAD č. " + newest}) {
        const auto found = output.find(step, at);
        ASSERT_NE(found, std::string::npos) << "'" << step << "' not drawn after position " << at << "\n"
                                            << output.substr(at, 3000);
        at = found;
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
}

}  // namespace
