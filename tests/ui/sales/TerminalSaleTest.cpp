// The real program in the terminal: one cash sale from the login to
// "zobraziť doklad?", then the database it left.

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

TEST(TerminalSale, CashSaleFromLoginToTheDocumentQuestion) {
    char pattern[] = "/tmp/trekora-sale-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path home = pattern;
    {
        std::ofstream in(home / "input.txt");
        in << "f1=1234\nprihlásiť\n3\nsc2\n/kvet\n1\nf1=184400\nok\náno\n1\n"
              "add\n1\n1\nf1=2\nok\nf1=2,5\nok\nb\n"
              "dod. zľava\nf1=5\nok\nhotovo\nzapísať\nq\n";
    }
    const std::string command = "cd '" + home.string() + "' && env -u TREKORA_WIFI_SSID XDG_DATA_HOME='" +
                                (home / "data").string() + "' HOME='" + home.string() + "' timeout 60 '" +
                                TREKORA_BINARY_DIR "/trekora' < input.txt > output.txt 2> errors.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(home / "errors.txt");
    const std::string output = readFile(home / "output.txt");

    std::size_t at = 0;
    for (const char* step : {"== menu ==", "== odberatelia: 21 / 21 ==", "== odberatelia: 1 / 21 ==",
                             "+-- kilometre", "+-- náhradník?", "== predaj ==", "== hotovosť: 0 / 0 ==",
                             "== tovar: 12 / 12 ==", "== dátum spotreby ==", "+-- zadajte množstvo",
                             "+-- zadajte zľavu", "== hotovosť: 1 / 1 ==", "zz:  2.50",
                             "+-- zadajte dodatočnú zľavu", "dz:  5.00", "zapísať doklad?", "[zapísať]",
                             "+-- zobraziť doklad?"}) {
        const auto found = output.find(step, at);
        ASSERT_NE(found, std::string::npos) << "'" << step << "' not drawn after position " << at << "\n"
                                            << output.substr(at, 3000);
        at = found;
    }

    // The operations' trace goes to standard error, never through the screens.
    EXPECT_EQ(output.find("start prepocitajDoklad(items:)"), std::string::npos);
    EXPECT_NE(readFile(home / "errors.txt").find("start prepocitajDoklad(items:)"), std::string::npos);

    const auto db = home / "data" / "trekora" / "Documents" / "trekora.db3";
    const std::string id = "(select max(id) from vety)";
    EXPECT_NE(output.find("| cdok=" + scalar(db, "select cdok from vety where id = " + id)), std::string::npos);
    EXPECT_EQ(scalar(db, "select pohyb || ' ' || idosc || ' ' || km from vety where id = " + id), "10 10103-01 184400");
    EXPECT_EQ(scalar(db, "select idtov || ' ' || mnoz || ' ' || zlava1 || ' ' || zlavac || ' ' || datumspotreby "
                         "from polo where vety_id = " + id),
              "T001 2.0 2.5 5.0 2027-05-31");
    EXPECT_EQ(scalar(db, "select printf('%.2f', sumdokz) from vety where id = " + id), "30.64");
    EXPECT_EQ(scalar(db, "select hodnota from km"), "184400");

    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
}

}  // namespace
