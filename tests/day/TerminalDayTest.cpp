// The same working day typed into the real program in its terminal: each
// line waits for the screen it leads to, and after each step the database
// and what the fakes received are checked.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>

#include "fakes/FakeFiscalService.h"
#include "fakes/FakeOffice.h"
#include "fakes/FakeOrderOffice.h"
#include "fakes/FakePrintAdapter.h"
#include "fakes/FakePrinter.h"
#include "fakes/OfficeDay.h"
#include "platform/TextEncoding.h"
#include "support/TerminalProcess.h"

namespace {

constexpr const char* kGreeting = "*_Tlaciaren_OK_*";

class TerminalDay : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/trekora-day-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home = pattern;
        const auto documents = home / "data" / "trekora" / "Documents";
        std::filesystem::create_directories(documents);
        db = documents / "trekora.db3";
        std::filesystem::copy_file(TREKORA_BINARY_DIR "/resources/trekora.db3", db);
        office.setUpdateFile(OfficeDay::updateFile(), OfficeDay::lastModified);
        desk.prepare(OfficeDay::preparedOrder());
        // The demo settings pointed at the fakes, as ./dev demo does.
        exec("update nastavenia set kilometre = 'N', backup_pc_dir = '" + office.backupDir() +
             "', import_pc_dir = '" + office.importDir() +
             "', obj_pre_export = 'A', obj_pre_import = 'A', obj_pre_export_dir = '" + desk.exportUrl() +
             "', obj_pre_import_dir = '" + desk.importUrl() +
             "', fiscal_type = 'FT5000', wifi_printer_ssid = 'TREKORA-ZA482KM', wifi_printer_ip = '127.0.0.1',"
             " wifi_printer_port = '" + std::to_string(fiscal.port()) + "', wifi_response = '" + kGreeting +
             "', fiscal_type2 = 'ESP', wifi_printer_ip2 = '127.0.0.1', wifi_printer_port2 = '" +
             std::to_string(dotMatrix.port()) + "'");
        desk.setLastCdok("12", std::stoll(scalar("select max(cdok) from vety")));
        program = std::make_unique<TerminalProcess>(
            TREKORA_BINARY_DIR "/trekora", home.string(),
            std::map<std::string, std::string>{{"XDG_DATA_HOME", (home / "data").string()},
                                               {"HOME", home.string()},
                                               {"TREKORA_WIFI_SSID", "kancelaria"},
                                               {"TREKORA_WIFI_BSSID", ""}},
            (home / "errors.txt").string());
        ASSERT_TRUE(program->running());
    }
    void TearDown() override {
        program.reset();
        std::error_code ignored;
        if (!HasFailure()) std::filesystem::remove_all(home, ignored);
    }

    // Types each line in turn, each time waiting for the text that follows
    // it on the screen ("" waits for nothing).
    bool type(std::initializer_list<std::pair<std::string, std::string>> steps) {
        for (const auto& [line, shown] : steps) {
            program->type(line);
            if (!shown.empty() && !program->waitFor(shown)) {
                ADD_FAILURE() << "typed '" << line << "', '" << shown << "' not drawn:\n" << program->unread();
                return false;
            }
        }
        return true;
    }

    std::string scalar(const std::string& sql) const {
        sqlite3* handle = nullptr;
        std::string out;
        if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(handle, 2000);
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
                sqlite3_step(stmt) == SQLITE_ROW)
                if (auto text = sqlite3_column_text(stmt, 0)) out = reinterpret_cast<const char*>(text);
            sqlite3_finalize(stmt);
        }
        sqlite3_close(handle);
        return out;
    }
    void exec(const std::string& sql) const {
        sqlite3* handle = nullptr;
        ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(handle);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }
    std::string lastCdok() const { return scalar("select max(cdok) from vety"); }

    // From the main menu: the settings behind the service code (the remainder
    // of the challenge shown divided by 839), printer 1's type and port, saved.
    bool printer1(const std::string& kind, int port) {
        if (!type({{"9", "+-- pin"}}) || !program->waitFor("f1 [")) return false;
        const std::string& shown = program->output();
        const auto at = shown.rfind("+-- pin");
        const auto digits = shown.find_first_of("0123456789", at);
        if (digits == std::string::npos) return false;
        const long long challenge = std::stoll(shown.substr(digits, shown.find('\n', digits) - digits));
        return type({{"f1=" + std::to_string(challenge % 839), ""}, {"ok", "== nastavenia =="},
                     {"f20=" + kind, ""}, {"f18=" + std::to_string(port), ""}, {"Save", "== menu =="}});
    }
    static std::string cp852(const std::string& text) { return platform::TextEncoding::toCp852(text).value_or(""); }

    std::filesystem::path home;
    std::filesystem::path db;
    FakeOffice office;
    FakeOrderOffice desk{office};
    FakePrinter fiscal{kGreeting};
    FakePrintAdapter dotMatrix;
    FakeFiscalService service;
    std::unique_ptr<TerminalProcess> program;
};

TEST_F(TerminalDay, ADayTypedIntoTheProgram) {
    ASSERT_TRUE(program->waitFor("== trekora =="));
    ASSERT_TRUE(type({{"f1=1234", ""}, {"prihlásiť", "== menu =="}}));

    // Morning: the synchronisation on the office's Wi-Fi.
    ASSERT_TRUE(type({{"8", "== spojenie =="}, {"1", "+-- spustiť synchronizáciu ?"}, {"áno", "+-- hotovo"},
                      {"ok", "== spojenie =="}}));
    EXPECT_EQ(scalar("select nazov from zlava where id = 900"), "Zimná akcia");
    ASSERT_EQ(office.uploads().size(), 2u);

    // A cash sale of two goods from batches, printed on the FT5000 from the printers' hotspot.
    ASSERT_TRUE(type({{"b", "== menu =="}, {"3", "== odberatelia"}, {"sc2", ""}, {"/kvet", "odberatelia: 1 / 21"},
          {"1", "== predaj =="}, {"1", "== hotovosť: 0 / 0 =="}, {"add", "== tovar"}, {"1", "== dátum spotreby =="},
          {"1", "+-- zadajte množstvo"}, {"f1=2", ""}, {"ok", "+-- zadajte zľavu"}, {"ok", "== tovar"},
          {"6", "== dátum spotreby =="}, {"2", "+-- zadajte množstvo"}, {"f1=3", ""}, {"ok", "+-- zadajte zľavu"},
          {"ok", "== tovar"}, {"b", "== hotovosť: 2 / 2 =="}, {"hotovo", "zapísať doklad?"}, {"zapísať", "+-- zobraziť doklad?"}}));
    const std::string sale = lastCdok();
    EXPECT_EQ(scalar("select pohyb || ' ' || idosc from vety where cdok = " + sale), "10 10103-01");
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || mnoz || ':' || datumspotreby, ' ') from polo where cdok = " +
                     sale),
              "T001:2.0:2027-05-31 T006:3.0:2027-06-30");
    EXPECT_EQ(scalar("select stav from sklad_sarza where idtov = 'T006' and datumspotreby = '2027-06-30'"), "69.0");
    ASSERT_TRUE(type({{":wifi TREKORA-ZA482KM", "wifi: TREKORA-ZA482KM"}, {"áno", "== náhľad =="},
                      {"printer", "+-- vyber tlačiareň"}, {"FT5000", "+-- fiskal"}, {"ok", "== náhľad =="}}));
    ASSERT_TRUE(fiscal.waitForClose());
    EXPECT_EQ(fiscal.received().rfind("\x1bt\x12", 0), 0u);
    EXPECT_NE(fiscal.received().find(cp852("POKLADNIČNÝ DOKLAD č. " + sale)), std::string::npos);
    EXPECT_NE(fiscal.received().find(cp852("Čokoláda mliečna")), std::string::npos);

    // An invoice printed on the dot-matrix printer: printer 1 set to its HTTP
    // adapter first; then a credit note against the invoice (rows 5 and 6 of
    // the sales menu).
    ASSERT_TRUE(type({{"b", "== predaj =="}, {"b", "== odberatelia"}, {"b", "== menu =="}}));

    // The same sale through the fiscal service instead, from "doklady" (row 6,
    // the newest first): registered with its identifiers written back, and a
    // second print refused.
    ASSERT_TRUE(printer1("EKASA", service.port()));
    ASSERT_TRUE(type({{"6", "== doklady"}, {"1", "== náhľad =="}, {"printer", "+-- vyber tlačiareň"},
                      {"EKASA", "+-- fiskal"}, {"ok", "== náhľad =="}, {"b", "== doklady"}, {"b", "== menu =="}}));
    const auto stored = service.requests("/api/document/store");
    ASSERT_EQ(stored.size(), 1u);
    const auto registered = nlohmann::json::parse(stored[0].body, nullptr, false);
    EXPECT_EQ(registered.value("externalId", ""), sale) << stored[0].body;
    EXPECT_EQ(scalar("select uid || ' ' || pardok from vety where cdok = " + sale), "O-1001-UID 20260300001");
    ASSERT_TRUE(type({{"6", "== doklady"}, {"1", "== náhľad =="}, {"printer", "+-- doklad uz bol vytlaceny cez ekasu!"},
                      {"nie", "== náhľad =="}, {"b", "== doklady"}, {"b", "== menu =="}}));
    EXPECT_EQ(service.registered(), 1u);

    ASSERT_TRUE(printer1("ESP", dotMatrix.port()));
    ASSERT_TRUE(type({{"3", "== odberatelia"}, {"sc2", ""}, {"/kvet", "odberatelia: 1 / 21"}, {"1", "== predaj =="},
                      {"5", "[použiť]"}, {"použiť", "== faktúra: 0 / 0 =="},
                      {"add", "== tovar"}, {"2", "== dátum spotreby =="}, {"1", "+-- zadajte množstvo"},
                      {"f1=4", ""}, {"ok", "+-- zadajte zľavu"}, {"f1=1", ""}, {"ok", "== tovar"},
                      {"b", "== faktúra: 1 / 1 =="}, {"hotovo", "zapísať doklad?"}, {"zapísať", "+-- zobraziť doklad?"},
                      {"áno", "== náhľad =="}, {"printer", "+-- fiskal"}, {"ok", "== náhľad =="}, {"b", "[použiť]"}}));
    const std::string invoice = lastCdok();
    EXPECT_EQ(scalar("select pohyb || ' ' || idosc from vety where cdok = " + invoice), "20 10103-01");
    EXPECT_EQ(scalar("select idtov || ':' || mnoz || ':' || zlava1 from polo where cdok = " + invoice), "T002:4.0:1.0");
    ASSERT_EQ(dotMatrix.jobs().size(), 1u);
    EXPECT_NE(dotMatrix.jobs()[0].body.find(cp852("FAKTÚRA č. " + invoice)), std::string::npos);
    EXPECT_NE(dotMatrix.jobs()[0].body.find(cp852("Káva mletá Classic")), std::string::npos);
    ASSERT_TRUE(type({{"b", "== predaj =="}, {"6", "[použiť]"}, {"2", invoice}, {"1", "[použiť]"},
                      {"použiť", "== dobropis: 0 / 0 =="}, {"add", "== tovar: 1 / 1"}, {"1", "== dátum spotreby =="},
                      {"1", "+-- zadajte množstvo"}, {"f1=-1", ""}, {"ok", "== tovar"},
                      {"b", "== dobropis: 1 / 1 =="}, {"hotovo", "zapísať doklad?"},
                      {"zapísať", "+-- zobraziť doklad?"}, {"nie", "[použiť]"}, {"b", "== predaj =="}}));
    const std::string credit = lastCdok();
    EXPECT_EQ(scalar("select pohyb || ' ' || parcdok from vety where cdok = " + credit), "21 " + invoice);
    EXPECT_EQ(scalar("select sum(mnoz) from polo where cdok = " + credit), "-1.0");

    // An order for delivery (row 8), sent to the office from its Wi-Fi; the
    // office's prepared order received.
    ASSERT_TRUE(type({{"8", "== objednávka na závoz: 0 / 0 =="}, {"add", "== tovar"}, {"12", "== dátum spotreby =="},
                      {"1", "+-- zadajte množstvo"}, {"f1=12", ""}, {"ok", "+-- zadajte zľavu"},
                      {"ok", "== tovar"}, {"b", "== objednávka na závoz: 1 / 1 =="}, {"hotovo", "zapísať doklad?"},
                      {"zapísať", "+-- zobraziť doklad?"}, {"nie", "== predaj =="}}));
    const std::string order = lastCdok();
    EXPECT_EQ(scalar("select pohyb || ' ' || info from vety where cdok = " + order), "40 ZAVOZ:sklad Žilina");
    ASSERT_TRUE(type({{"b", "== odberatelia"}, {"b", "== menu =="}, {":wifi kancelaria", "wifi: kancelaria"},
                      {"8", "== spojenie =="}, {"4", "+-- exportovať objednávky na závoz?"}, {"áno", "+-- hotovo"},
                      {"ok", "== spojenie =="}}));
    ASSERT_EQ(desk.exportedOrders().size(), 1u);
    EXPECT_NE(desk.exportedOrders()[0].dump().find("\"T012\""), std::string::npos);
    ASSERT_TRUE(type({{"5", "+--"}, {"áno", "+-- hotovo"}, {"ok", "== spojenie =="}}));
    const std::string received = std::to_string(OfficeDay::orderCdok);
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || mnoz, ' ') from obj_polo where cdok = " + received),
              "T001:2.0 T006:4.0");
    EXPECT_EQ(desk.delivered(), (std::set<std::string>{received}));

    // The received order turned into a cash sale (row 7 of the main menu).
    ASSERT_TRUE(type({{"b", "== menu =="}, {"7", "== objednávky"}, {"/" + received, "objednávky: 1 / 4"},
                      {"1", "== položky: 2 / 2 =="}, {"akcia", "hotovosť"}, {"hotovosť", "== hotovosť: 2 / 2 =="},
                      {"hotovo", "zapísať doklad?"}, {"zapísať", "+-- zobraziť doklad?"}, {"nie", "== položky"},
                      {"b", "100%"}}));
    const std::string delivery = lastCdok();
    EXPECT_EQ(scalar("select pohyb || ' ' || objcdok from vety where cdok = " + delivery), "10 " + received);
    EXPECT_EQ(scalar("select group_concat(idtov || ':' || m, ' ') from (select idtov, sum(mnoz) m from polo where "
                     "cdok = " + delivery + " group by idtov)"),
              "T001:2.0 T006:4.0");

    // A cash deposit, then the daily closing printed on the FT5000.
    ASSERT_TRUE(type({{"b", "== menu =="}, {"5", "denná uzávierka"}, {"3", "+-- vklad do pokladne"}, {"f1=25,50", ""},
                      {"ok", "+-- zobraziť doklad?"}, {"nie", "denná uzávierka"}}));
    const std::string deposit = lastCdok();
    EXPECT_EQ(scalar("select pohyb || ' ' || printf('%.2f', sumdokz) from vety where cdok = " + deposit), "7 25.50");
    const std::size_t printed = fiscal.received().size();
    ASSERT_TRUE(type({{"b", "== menu =="}}));
    ASSERT_TRUE(printer1("FT5000", fiscal.port()));
    ASSERT_TRUE(type({{"5", "denná uzávierka"}, {"4", "+-- trekora uzávierka"}, {"áno", "+-- zobraziť doklad?"},
                      {":wifi TREKORA-ZA482KM", "wifi: TREKORA-ZA482KM"}, {"áno", "== náhľad =="},
                      {"printer", "+-- fiskal"}, {"ok", "== náhľad =="}}));
    const std::string closing = lastCdok();
    EXPECT_EQ(scalar("select pohyb from vety where cdok = " + closing), "90");
    EXPECT_EQ(scalar("select count(*) from vety where cdok in (" + sale + "," + invoice + "," + credit + "," + order +
                     "," + delivery + "," + deposit + ") and ducis = (select ducis from vety where cdok = " + closing + ")"),
              "6");
    ASSERT_TRUE(fiscal.waitForClose());
    EXPECT_NE(fiscal.received().find(cp852("DENNÁ UZÁVIERKA č. " + closing), printed), std::string::npos);

    // Evening: the synchronisation sends the archive, the closing's export and the log.
    ASSERT_TRUE(type({{"b", "denná uzávierka"}, {"b", "== menu =="}, {":wifi kancelaria", "wifi: kancelaria"},
                      {"8", "== spojenie =="}, {"1", "+-- spustiť synchronizáciu ?"}, {"áno", "+-- hotovo"},
                      {"ok", "== spojenie =="}, {"b", "== menu =="}, {"q", ""}}));
    EXPECT_EQ(program->finish(), 0);
    const auto uploads = office.uploads();
    ASSERT_EQ(uploads.size(), 5u);
    std::multiset<std::string> kinds;
    for (std::size_t i = 2; i < uploads.size(); ++i) {
        const std::string& name = uploads[i].fileName;
        kinds.insert(name == closing + ".db3" ? "closing" : name.substr(name.rfind('.')));
    }
    EXPECT_EQ(kinds, (std::multiset<std::string>{"closing", ".log", ".zip"}));
    EXPECT_TRUE(std::filesystem::is_empty(db.parent_path() / "out"));

    // The trace went to standard error, never through the screens.
    EXPECT_EQ(program->output().find("start "), std::string::npos);
}

}  // namespace
