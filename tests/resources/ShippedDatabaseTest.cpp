// Checks the database and report definitions that the build ships: every table is
// there, every stored query prepares, the demo data is usable and the stored queries of
// the core honour the values the program binds and the columns it reads.
#include <expat.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kResources = std::string(TREKORA_BINARY_DIR) + "/resources";
const std::string kDatabase = kResources + "/trekora.db3";

using Row = std::map<std::string, std::string>;

// One connection, closed with the object.
class Db {
public:
    explicit Db(const std::string& path, bool readOnly = true) {
        const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << "cannot open " << path << ": " << sqlite3_errmsg(db_);
        }
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    sqlite3* handle() const { return db_; }
    std::string error() const { return sqlite3_errmsg(db_); }

    // Runs one statement with text values bound by position; returns its rows with the
    // column names upper-cased, or nothing when it fails.
    std::optional<std::vector<Row>> run(const std::string& sql, const std::vector<std::string>& values = {},
                                        std::vector<std::string>* columns = nullptr) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return std::nullopt;
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(st, sqlite3_finalize);
        const int params = sqlite3_bind_parameter_count(st);
        if (static_cast<int>(values.size()) < params) return std::nullopt;
        for (int i = 0; i < params; ++i)
            sqlite3_bind_text(st, i + 1, values[i].c_str(), -1, SQLITE_TRANSIENT);
        const int n = sqlite3_column_count(st);
        if (columns) {
            columns->clear();
            for (int i = 0; i < n; ++i) columns->push_back(sqlite3_column_name(st, i));
        }
        std::vector<Row> rows;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            Row row;
            for (int i = 0; i < n; ++i) {
                std::string name = sqlite3_column_name(st, i);
                std::transform(name.begin(), name.end(), name.begin(), ::toupper);
                const unsigned char* text = sqlite3_column_text(st, i);
                row[name] = text ? reinterpret_cast<const char*>(text) : "";
            }
            rows.push_back(row);
        }
        if (rc != SQLITE_DONE) return std::nullopt;
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
};

// A stored text cut at every ";" into the statements that the program runs.
std::vector<std::string> statementsOf(const std::string& text) {
    std::vector<std::string> out;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, ';')) {
        if (piece.find_first_not_of(" \t\r\n") != std::string::npos) out.push_back(piece);
    }
    return out;
}

std::string storedQuery(Db& db, const std::string& name) {
    auto rows = db.run("select name,sql from sqliteadmin_queries where name=:NAME;", {name});
    if (!rows || rows->empty()) return "";
    return rows->back()["SQL"];
}

// A writable copy of the shipped database in a fresh folder of its own.
class ScratchCopy {
public:
    ScratchCopy() {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("trekora_db_test_" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
        fs::copy_file(kDatabase, dir_ / "trekora.db3");
    }
    ~ScratchCopy() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string path() const { return (dir_ / "trekora.db3").string(); }

private:
    fs::path dir_;
};

// Runs a stored text the way the writers do: the first statement gets the values,
// the further ones (when firstOnly) none.
bool runStored(Db& db, const std::string& name, const std::vector<std::string>& values, bool firstOnly) {
    const auto statements = statementsOf(storedQuery(db, name));
    if (statements.empty()) return false;
    for (size_t i = 0; i < statements.size(); ++i) {
        if (!db.run(statements[i], (i == 0 || !firstOnly) ? values : std::vector<std::string>{})) {
            ADD_FAILURE() << name << " statement " << i + 1 << ": " << db.error();
            return false;
        }
    }
    return true;
}

// Data item name -> its Sql text, read from a report-definition file.
std::map<std::string, std::string> dataItemQueries(const std::string& file, bool* wellFormed) {
    struct State {
        std::map<std::string, std::string> items;
        std::string current;
        std::string text;
        int depth = 0;          // depth of the open DataItem's direct Sql
        int level = 0;
    } state;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attrs) {
            auto* s = static_cast<State*>(data);
            ++s->level;
            if (std::string(name) == "DataItem") {
                s->current.clear();
                for (int i = 0; attrs[i]; i += 2)
                    if (std::string(attrs[i]) == "Name") s->current = attrs[i + 1];
                s->depth = s->level + 1;
            }
            s->text.clear();
        },
        [](void* data, const XML_Char* name) {
            auto* s = static_cast<State*>(data);
            if (std::string(name) == "Sql" && s->level == s->depth) s->items[s->current] = s->text;
            --s->level;
            s->text.clear();
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* chars, int len) {
        static_cast<State*>(data)->text.append(chars, len);
    });
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    const std::string xml = content.str();
    *wellFormed = !xml.empty() && XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return state.items;
}

// The number the next document gets, as the stored query predicts it.
long long nextNumber(Db& db) {
    auto rows = db.run(storedQuery(db, "cdok_get"), {"1", "10"});
    if (!rows || rows->empty()) {
        ADD_FAILURE() << "cdok_get: " << db.error();
        return -1;
    }
    return std::stoll((*rows)[0]["CDOK"]);
}

}  // namespace

TEST(ShippedDatabase, HasEveryTable) {
    Db db(kDatabase);
    const std::vector<std::string> tables = {
        "sqliteadmin_queries", "nastavenia", "km", "verzia", "uzivatel", "stredisk", "pohyb_typ",
        "trasa", "trasa_odberatel", "odberatel", "korunka", "dovod", "tovar", "cennik", "cennik_typ",
        "sklad", "sklad_sarza", "zlava", "zlava_tovar", "zlava_darcek", "vety", "polo", "odbe",
        "temp_vety", "temp_polo", "obj_vety", "obj_polo", "obj_odbe"};
    for (const auto& t : tables) {
        auto rows = db.run("select name from sqlite_master where type='table' and name=?", {t});
        ASSERT_TRUE(rows) << db.error();
        EXPECT_EQ(rows->size(), 1u) << "missing table " << t;
    }
}

TEST(ShippedDatabase, EveryStoredQueryPrepares) {
    Db db(kDatabase);
    auto rows = db.run("select name, sql from sqliteadmin_queries order by name");
    ASSERT_TRUE(rows) << db.error();
    EXPECT_GE(rows->size(), 8u);
    for (auto& row : *rows) {
        const auto statements = statementsOf(row["SQL"]);
        EXPECT_FALSE(statements.empty()) << row["NAME"] << " holds no statement";
        EXPECT_EQ(row["SQL"].rfind("--", 0), 0u) << row["NAME"] << " does not start with a comment line";
        // The closing export works on the file it attaches first; the
        // posting tests run it against a real export file.
        if (row["NAME"] == "du_export") continue;
        for (const auto& s : statements) {
            sqlite3_stmt* st = nullptr;
            EXPECT_EQ(sqlite3_prepare_v2(db.handle(), s.c_str(), -1, &st, nullptr), SQLITE_OK)
                << row["NAME"] << ": " << db.error() << "\n" << s;
            sqlite3_finalize(st);
        }
    }
}

TEST(ShippedDatabase, SettingsRecordColumnsAllPresent) {
    Db db(kDatabase);
    // The settings save statement must prepare against the shipped table.
    const std::string save =
        "update nastavenia set pocetmiest=?,pocetmiestdph=?,pocetmiestjcena=?, printport=?,preskladneniepc=?,facingy=?,"
        "kilometre=?,precenenie=?,pagewidth=?,pageheight=?,archiv_pc_dir=?,backup_pc_dir=?,import_pc_dir=?,"
        "export_pc_dir=?,fbconnectionstring=?,mu_prazdnysklad=?,datumspotreby=?,MAXSUMAHOTOVOSTI=?,BAUDRATE=?,"
        "DATABITS=?,PARITY=?,STOPBITS=?,WIFI_PRINTER_IP=?,WIFI_PRINTER_PORT=?,WIFI_PRINT=?, DEVICE_IP=?, OBJEDNAVKA=?, "
        "GRATIS=?, WIFI_PRINTER_SSID=?, DEVICE_IP_CHECK=?, FISKAL_PRINT=?, FISCAL_TYPE=?, ODSTRANKOVAT_DOKLAD=?, "
        "ANIMOVAT_OKNA=?, ODPRIJMOVAT_VSETKO=?,AKTUALIZOVAT_PO_PRIJME=?,WIFI_RESPONSE=?,OBJ_PRE_EXPORT=?,"
        "OBJ_PRE_EXPORT_STR=?,OBJ_PRE_IMPORT=?,OBJ_PRE_IMPORT_DIR=?,OBJ_PRE_DELETE=?,OBJ_PRE_EXPORT_DIR=?, "
        "WIFI_PRINTER_SSID2=?,WIFI_PRINTER_IP2=?,WIFI_PRINTER_PORT2=?,WIFI_RESPONSE2=?,FISCAL_TYPE2=? where str=@STR";
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.handle(), save.c_str(), -1, &st, nullptr), SQLITE_OK) << db.error();
    EXPECT_EQ(sqlite3_bind_parameter_count(st), 49);
    sqlite3_finalize(st);

    std::vector<std::string> columns;
    auto rows = db.run("select * from nastavenia", {}, &columns);
    ASSERT_TRUE(rows);
    EXPECT_EQ(columns.size(), 49u);  // str and the 48 settings
}

TEST(ShippedDatabase, DemoLoginCentreAndSettings) {
    Db db(kDatabase);
    auto user = db.run("select idu,meno,priezvisko from uzivatel where upper(trim(pin))=?;", {"1234"});
    ASSERT_TRUE(user);
    ASSERT_EQ(user->size(), 1u);
    EXPECT_FALSE((*user)[0]["IDU"].empty());
    EXPECT_FALSE((*user)[0]["MENO"].empty());

    auto centre = db.run("select spz,str from stredisk;");
    ASSERT_TRUE(centre);
    ASSERT_EQ(centre->size(), 1u);
    const std::string str = (*centre)[0]["STR"];
    EXPECT_FALSE(str.empty());

    auto settings = db.run("select * from nastavenia where str=:STR", {str});
    ASSERT_TRUE(settings);
    ASSERT_EQ(settings->size(), 1u);
    auto& s = (*settings)[0];
    EXPECT_EQ(s["FISKAL_PRINT"], "N");
    EXPECT_EQ(s["KILOMETRE"], "A");
    EXPECT_EQ(s["ANIMOVAT_OKNA"], "A");
    EXPECT_EQ(s.count("MU_PRAZDNYSKLAD"), 1u);

    auto km = db.run("select hodnota from km");
    ASSERT_TRUE(km);
    EXPECT_EQ(km->size(), 1u);
    auto verzia = db.run("select akcen from verzia");
    ASSERT_TRUE(verzia);
    EXPECT_EQ(verzia->size(), 1u);
}

TEST(ShippedDatabase, CustomersOnThreeRoutes) {
    Db db(kDatabase);
    std::vector<std::string> columns;
    auto customers = db.run(storedQuery(db, "lookup_odberatel_all"), {}, &columns);
    ASSERT_TRUE(customers) << db.error();
    EXPECT_GE(customers->size(), 18u);
    EXPECT_LE(customers->size(), 25u);
    const std::vector<std::string> fields = {
        "TRASA_CISLO", "PORADIE", "IDOSC", "IDO", "NAZOV1", "NAZOV2", "ICO", "DIC", "ICDPH", "ULICA", "PSC",
        "MESTO", "BANKA", "CUCTU", "SALDO", "SALMAX", "POHYB", "CTLAC", "STR", "INFO1", "INFO2", "TELC", "IDP",
        "ID", "ZLMAX", "MATICA", "MATIC2", "INFO4", "INFO5", "INFO6", "KORUNKA", "ZAKLAD", "NAVYSENIE",
        "NAVYSENY_ZAKLAD", "CENTR", "OBRAT_SDPH_AKTUALNY_MESIAC", "POCET_DOKLADOV_AKTUALNY_MESIAC"};
    EXPECT_EQ(columns, fields);

    std::map<std::string, int> perRoute;
    int members = 0;
    int payingInvoicesInCash = 0;  // their invoices offer the cash payment
    for (auto& c : *customers) {
        ++perRoute[c["TRASA_CISLO"]];
        if (c["KORUNKA"] == "ANO") ++members;
        if (c["POHYB"] == "20" && c["CTLAC"] == "1") ++payingInvoicesInCash;
        EXPECT_FALSE(c["IDO"].empty());
        EXPECT_FALSE(c["IDOSC"].empty());
    }
    EXPECT_EQ(perRoute.size(), 3u);
    EXPECT_GT(members, 0);
    EXPECT_LT(members, static_cast<int>(customers->size()));
    EXPECT_GT(payingInvoicesInCash, 0);

    auto routes = db.run(storedQuery(db, "lookup_trasa"));
    ASSERT_TRUE(routes) << db.error();
    ASSERT_EQ(routes->size(), 3u);
    for (auto& r : *routes) {
        EXPECT_FALSE(r["NAZOV"].empty());
        EXPECT_EQ(std::to_string(perRoute[r["CISLO"]]), r["POCET"]);
    }

    auto reasons = db.run(storedQuery(db, "lookup_dovod"));
    ASSERT_TRUE(reasons);
    EXPECT_GE(reasons->size(), 3u);
    for (auto& r : *reasons) EXPECT_FALSE(r["DOVOD"].empty());
}

TEST(ShippedDatabase, GoodsStockAndBatchesAgree) {
    Db db(kDatabase);
    auto types = db.run("select sklad_typ, count(*) n from tovar group by sklad_typ order by sklad_typ");
    ASSERT_TRUE(types);
    std::vector<std::string> seen;
    for (auto& t : *types) seen.push_back(t["SKLAD_TYP"]);
    EXPECT_EQ(seen, (std::vector<std::string>{"10", "40", "50", "60"}));

    // Every stock level is the sum of its batches, and every batch belongs to its stock row.
    auto mismatch = db.run(
        "select s.id from sklad s where s.stav <> (select coalesce(sum(b.stav),0) from sklad_sarza b where b.sklad_id=s.id) "
        "union all select b.id from sklad_sarza b join sklad s on s.id=b.sklad_id "
        "where s.idtov<>b.idtov or s.sklad_typ<>b.sklad_typ");
    ASSERT_TRUE(mismatch);
    EXPECT_TRUE(mismatch->empty());

    auto batches = db.run("select count(*) n from sklad_sarza where datumspotreby like '____-__-__'");
    ASSERT_TRUE(batches);
    EXPECT_GT(std::stoi((*batches)[0]["N"]), 20);

    auto prices = db.run("select count(*) n from cennik c join tovar t on t.idtov=c.idtov");
    ASSERT_TRUE(prices);
    EXPECT_GT(std::stoi((*prices)[0]["N"]), 0);

    auto gifts = db.run("select count(*) n from zlava z join zlava_darcek d on d.zlava_id=z.id");
    ASSERT_TRUE(gifts);
    EXPECT_GT(std::stoi((*gifts)[0]["N"]), 0);

    auto names = db.run("select count(*) n from pohyb_typ where cislo in "
                        "(0,6,7,8,9,10,16,17,19,20,21,30,31,40,42,43,44,45,47,50,57,59,60,67,69,90,91)");
    ASSERT_TRUE(names);
    EXPECT_EQ((*names)[0]["N"], "27");
}

TEST(ShippedDatabase, NoSaleRecordGetsNextDocumentNumber) {
    ScratchCopy copy;
    Db db(copy.path(), false);
    auto customer = db.run("select ido, idosc from odberatel order by id limit 1");
    ASSERT_TRUE(customer);
    const std::string ido = (*customer)[0]["IDO"];
    const long long expected = nextNumber(db);
    EXPECT_GT(expected, 1000);

    ASSERT_TRUE(runStored(db, "nepredaj_insert", {"1", ido, "KOM:zatvorené", "184310", "", "", ""}, true));
    auto number = db.run(storedQuery(db, "last_insert_cdok"));
    ASSERT_TRUE(number);
    ASSERT_EQ(number->size(), 1u);
    EXPECT_EQ((*number)[0]["CDOK"], std::to_string(expected));

    auto header = db.run("select * from vety where cdok=?", {std::to_string(expected)});
    ASSERT_TRUE(header);
    ASSERT_EQ(header->size(), 1u);
    EXPECT_EQ((*header)[0]["POHYB"], "0");
    EXPECT_EQ((*header)[0]["INFO"], "KOM:zatvorené");
    EXPECT_EQ((*header)[0]["IDO"], ido);
    EXPECT_EQ((*header)[0]["IDOSC"], (*customer)[0]["IDOSC"]);
    EXPECT_EQ((*header)[0]["KM"], "184310");
    EXPECT_FALSE((*header)[0]["STR"].empty());

    auto copyRow = db.run("select * from odbe where cdok=?", {std::to_string(expected)});
    ASSERT_TRUE(copyRow);
    ASSERT_EQ(copyRow->size(), 1u);
    EXPECT_EQ((*copyRow)[0]["VETY_ID"], (*header)[0]["ID"]);

    // A second record takes the following number.
    ASSERT_TRUE(runStored(db, "nepredaj_insert", {"1", ido, "KOM:", "", "", "", ""}, true));
    number = db.run(storedQuery(db, "last_insert_cdok"));
    ASSERT_TRUE(number);
    EXPECT_EQ((*number)[0]["CDOK"], std::to_string(expected + 1));
}

TEST(ShippedDatabase, TemporaryDocumentTakesPostingValues) {
    ScratchCopy copy;
    Db db(copy.path(), false);
    const std::string header = storedQuery(db, "doklad_insert_01_temp_vety");
    ASSERT_EQ(statementsOf(header).size(), 1u);
    {
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db.handle(), header.c_str(), -1, &st, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_bind_parameter_count(st), 12);
        sqlite3_finalize(st);
    }
    ASSERT_TRUE(db.run(header, {"1", "10101", "DC:7", "184322", "", "", "", "10", "", "  12.34", "", ""}))
        << db.error();
    const auto headerId = std::to_string(sqlite3_last_insert_rowid(db.handle()));
    auto rows = db.run("select * from temp_vety where id=?", {headerId});
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ((*rows)[0]["POHYB"], "10");
    EXPECT_EQ((*rows)[0]["INFO"], "DC:7");
    EXPECT_EQ((*rows)[0]["SUMDOKZ"], "12.34");
    EXPECT_EQ((*rows)[0]["PARCDOK"], "");

    const std::string line = storedQuery(db, "doklad_insert_02_temp_polo");
    {
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db.handle(), line.c_str(), -1, &st, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_bind_parameter_count(st), 9);
        sqlite3_finalize(st);
    }
    ASSERT_TRUE(db.run(line, {headerId, "10101", "T001", "-2", "2027-05-31", "10", " 5.00", "0", ""})) << db.error();
    rows = db.run("select * from temp_polo where temp_vety_id=?", {headerId});
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ((*rows)[0]["IDTOV"], "T001");
    EXPECT_EQ((*rows)[0]["MNOZ"], "-2.0");
    EXPECT_EQ((*rows)[0]["ZLAVA1"], "5.0");
    EXPECT_EQ((*rows)[0]["ZLAVAC"], "0.0");
    EXPECT_EQ((*rows)[0]["DATUMSPOTREBY"], "2027-05-31");
}

TEST(ShippedDatabase, PayInfoTakesTheUser) {
    Db db(kDatabase);
    const std::string text = storedQuery(db, "vyplata_info");
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.handle(), text.c_str(), -1, &st, nullptr), SQLITE_OK) << db.error();
    EXPECT_EQ(sqlite3_bind_parameter_count(st), 1);
    sqlite3_finalize(st);
    EXPECT_TRUE(db.run(text, {"1"}));
}

TEST(ShippedReports, StockListsRunOnTheSchema) {
    Db db(kDatabase);
    for (const std::string file : {"trekora_ekasa.xml", "trekora_lx300.xml"}) {
        bool wellFormed = false;
        auto items = dataItemQueries(kResources + "/" + file, &wellFormed);
        EXPECT_TRUE(wellFormed) << file;
        for (const std::string name : {"sklad_nenulove", "sklad_pos_nenulove", "sklad_vzo_nenulove", "sklad_kor_nenulove"}) {
            ASSERT_EQ(items.count(name), 1u) << file << " lacks " << name;
            auto rows = db.run(items[name]);
            ASSERT_TRUE(rows) << file << " " << name << ": " << db.error();
            EXPECT_FALSE(rows->empty()) << name;
            for (auto& r : *rows) {
                for (const char* key : {"IDTOV", "NAZTOV1", "STAV", "HMOT", "SUMHMOTKG"})
                    EXPECT_EQ(r.count(key), 1u) << name << " lacks " << key;
                EXPECT_NE(r["STAV"], "0.0");
            }
        }
    }
}

TEST(ShippedDatabase, DocumentNumbersFollowTheHeaderRowId) {
    ScratchCopy copy;
    Db db(copy.path(), false);
    const long long expected = nextNumber(db);
    const std::string number = std::to_string(expected);

    // A copied document: header, one line and the customer copy tied by vety_id.
    ASSERT_TRUE(db.run("insert into vety (pohyb, ido, idosc, sumdokz) values (19, 10101, '10101-01', 0)"));
    const std::string id = std::to_string(sqlite3_last_insert_rowid(db.handle()));
    ASSERT_TRUE(db.run("insert into polo (vety_id, idtov, mnoz) values (?, 'T001', 5)", {id}));
    ASSERT_TRUE(db.run("insert into odbe (vety_id, ido) values (?, 10101)", {id}));
    ASSERT_TRUE(runStored(db, "cdok_set", {id, id}, false));

    auto numbers = db.run("select (select cdok from vety where id=?1) v, (select cdok from polo where vety_id=?1) p, "
                          "(select cdok from odbe where vety_id=?1) o",
                          {id});
    ASSERT_TRUE(numbers);
    EXPECT_EQ((*numbers)[0]["V"], number);
    EXPECT_EQ((*numbers)[0]["P"], number);
    EXPECT_EQ((*numbers)[0]["O"], number);

    auto last = db.run(storedQuery(db, "last_insert_cdok"));
    ASSERT_TRUE(last);
    EXPECT_EQ((*last)[0]["CDOK"], number);
    EXPECT_EQ(nextNumber(db), expected + 1);

    // A removed newest header does not give its number away again.
    ASSERT_TRUE(db.run("delete from polo where vety_id=?", {id}));
    ASSERT_TRUE(db.run("delete from odbe where vety_id=?", {id}));
    ASSERT_TRUE(db.run("delete from vety where id=?", {id}));
    EXPECT_EQ(nextNumber(db), expected + 1);
}

TEST(ShippedReports, DocumentListShowsWrittenDocuments) {
    ScratchCopy copy;
    Db db(copy.path(), false);
    bool wellFormed = false;
    auto items = dataItemQueries(kResources + "/trekora_ekasa.xml", &wellFormed);
    ASSERT_TRUE(wellFormed);
    ASSERT_EQ(items.count("vsetky_vystavene"), 1u);

    auto rows = db.run(items["vsetky_vystavene"]);
    ASSERT_TRUE(rows) << db.error();
    const size_t before = rows->size();
    const long long expected = nextNumber(db);

    ASSERT_TRUE(runStored(db, "nepredaj_insert", {"1", "10102", "KOM:zatvorené", "184320", "", "", ""}, true));
    rows = db.run(items["vsetky_vystavene"]);
    ASSERT_TRUE(rows) << db.error();
    ASSERT_EQ(rows->size(), before + 1);
    auto& r = (*rows)[0];  // newest first
    for (const char* key : {"ID", "CDOK", "DATUM", "CAS", "NAZOV1", "NAZOV2", "ULICA", "MESTO", "NAZOV", "PARDOK",
                            "POHYB", "SUMDOKZ", "OBJCDOK", "PARCDOK", "CTL", "ODSTRANKOVAT_DOKLAD"})
        EXPECT_EQ(r.count(key), 1u) << key;
    EXPECT_EQ(r["CDOK"], std::to_string(expected));
    EXPECT_EQ(r["NAZOV"], "bez predaja");
    EXPECT_EQ(r["NAZOV1"], "Bistro U Janka");
    EXPECT_EQ(r["SUMDOKZ"], "0.00");
    EXPECT_EQ(r["CTL"], "0");
}

TEST(ShippedDatabase, DemoDocumentsAreConsistent) {
    Db db(kDatabase);
    // Lines and customer copies agree with their header; totals are the sums of the lines.
    auto wrong = db.run(
        "select v.id from vety v where v.cdok is null or v.cdok <> v.id "
        "or abs(coalesce(v.sumdokz,0) - coalesce((select sum(ccsum) from polo p where p.vety_id=v.id),0)) > 0.005 "
        "or (select count(*) from odbe o where o.vety_id=v.id and o.cdok=v.cdok and o.ido=v.ido) <> 1 "
        "union all select p.id from polo p join vety v on v.id=p.vety_id where p.cdok<>v.cdok or p.pohyb<>v.pohyb");
    ASSERT_TRUE(wrong) << db.error();
    EXPECT_TRUE(wrong->empty());

    // The pick lists of linked documents find the demo invoices and the fiscal cash sale.
    auto invoices = db.run(
        "select V.ID,V.DATUM,V.CDOK,V.SUMDOKZ,V.IDO,O.NAZOV1 from vety V,odbe O where V.pohyb in (20) and "
        "V.id=O.vety_id and O.IDO=@IDO and V.FACVSET<>1 order by V.ID desc;",
        {"10101"});
    ASSERT_TRUE(invoices);
    EXPECT_EQ(invoices->size(), 1u);
    auto cashInvoices = db.run(
        "select V.ID,V.DATUM,V.CDOK,V.SUMDOKZ,V.IDO,O.NAZOV1 from vety V,odbe O where V.pohyb in (20) and "
        "V.id=O.vety_id and O.IDO=@IDO AND V.FACVSET=1 order by V.ID desc;",
        {"10103"});
    ASSERT_TRUE(cashInvoices);
    EXPECT_EQ(cashInvoices->size(), 1u);
    auto cashSales = db.run(
        "select V.ID,V.DATUM,V.CDOK,V.SUMDOKZ,V.IDO,O.NAZOV1 from vety V,odbe O where V.pohyb in (10) and "
        "V.sumdokz>0 and V.okp is not NULL and V.id=O.vety_id and O.IDO=@IDO order by V.ID desc;",
        {"10102"});
    ASSERT_TRUE(cashSales);
    EXPECT_EQ(cashSales->size(), 1u);

    // The user page's statistics run on the documents.
    auto turnover = db.run(
        "select strftime('%m',datum) mesiac, str as stredisko,idu, pohyb,nazov,sum(obccsd) spolu_s_dph from vety "
        "left outer join pohyb_typ on(pohyb_typ.CISLO=vety.pohyb) where pohyb in (10,20,21,30,31) "
        "group by mesiac,str,idu,pohyb,nazov order by mesiac desc,str,idu,pohyb");
    ASSERT_TRUE(turnover) << db.error();
    EXPECT_GE(turnover->size(), 4u);
    for (auto& r : *turnover) EXPECT_FALSE(r["NAZOV"].empty());

    auto pay = db.run(storedQuery(db, "vyplata_info"), {"1"});
    ASSERT_TRUE(pay);
    ASSERT_FALSE(pay->empty());
    EXPECT_EQ((*pay)[0]["MESIAC"], "2026-12");
}
