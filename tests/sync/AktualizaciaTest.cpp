#include "SyncFixture.h"
#include "platform/Url.h"

// The update check against the office's date and the application of an
// update file, below the screen.
class AktualizaciaTest : public SyncTest {
protected:
    // Writes an update file with `script` into Documents; its file URL.
    std::string place(const std::string& script, const std::string& name = "update1") {
        const std::string path = env().documentsPath("export_akcen.db3");
        platform::FileManager::writeFile(path, updateFile(script, name));
        return platform::Url::fileUrl(path).absoluteString();
    }
};

TEST_F(AktualizaciaTest, CheckComparesTheOfficeDateWithTheLastAppliedOne) {
    struct Case {
        std::string local;
        std::string lastModified;
        bool newer;
    };
    for (const auto& c : std::vector<Case>{
             {"2026-12-06 13:33:04", "Sun, 06 Dec 2026 13:33:05 GMT", true},
             {"2026-12-06 13:33:05", "Sun, 06 Dec 2026 13:33:05 GMT", false},
             {"2026-12-06 13:33:06", "Sun, 06 Dec 2026 13:33:05 GMT", false},
             {"", "Sun, 06 Dec 2026 13:33:05 GMT", true},
             {"2026-12-06 13:33:04", "Sun, 06 Dec 2026 14:33:05 GMT+1", true},
             {"", "06.12.2026 13:33:05", false},
         }) {
        execute("update verzia set akcen = '" + c.local + "'");
        office->setUpdateFile("x", c.lastModified);
        EXPECT_EQ(trekora().jePotrebnyUpade(), c.newer) << c.local << " / " << c.lastModified;
    }
    EXPECT_EQ(trekora().datumAktualizacieNaServeri, "");
    office->setUpdateFile("x", "Sun, 06 Dec 2026 14:33:05 GMT");
    trekora().jePotrebnyUpade();
    EXPECT_EQ(trekora().datumAktualizacieNaServeri, "2026-12-06 14:33:05");

    // An error page does not date an update, and neither does an office out of reach.
    office->misbehave(FakeOffice::Misbehaviour::status500, FakeOffice::updatePath);
    EXPECT_FALSE(trekora().jePotrebnyUpade());
    office.reset();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(trekora().jePotrebnyUpade());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(AktualizaciaTest, ScriptsThatCannotRunChangeNothing) {
    const std::string before = dump(database());
    EXPECT_EQ(trekora().updateData("update1", place("")), "chyba! ,,prazdne query!");
    EXPECT_EQ(trekora().updateData("update1", place("attach database ? as akcen;update zlava set popis = ?;;")),
              "chyba! ,,neúplné query!");
    platform::FileManager::writeFile(env().documentsPath("export_akcen.db3"), "<html>chyba</html>");
    EXPECT_EQ(trekora().updateData("update1", platform::Url::fileUrl(env().documentsPath("export_akcen.db3")).absoluteString()),
              "chyba! ,,nemôžem otvoriť databázu s aktualizáciami");
    EXPECT_EQ(dump(database()), before);
}

TEST_F(AktualizaciaTest, FirstFiveStatementsTakeTheFileAndTheRestTheCentre) {
    trekora().datumAktualizacieNaServeri = "2026-12-06 13:33:04";
    const std::string url = place(
        "insert into zlava(id, nazov) values (901, ?);update zlava set popis = ? where id = 901;"
        "update zlava set datum_od = ? where id = 901;update zlava set datum_do = ? where id = 901;"
        "update zlava set nazov = nazov || '|' || ? where id = 901;update zlava set nazov = nazov || '|' || ? where id = 901",
        "update2");
    EXPECT_EQ(trekora().updateData("update2", url), "");
    EXPECT_EQ(env().scalar("select nazov from zlava where id = 901"), url + "|" + url + "|12");
    EXPECT_EQ(env().scalar("select akcen from verzia"), "2026-11-30 18:00:00") << "only update1 records its date";

    EXPECT_EQ(trekora().updateData("update1", place(kScript)), "");
    EXPECT_EQ(env().scalar("select akcen from verzia"), "2026-12-06 13:33:04");
    EXPECT_EQ(env().scalar("select popis from zlava where id = 900"), "stredisko 12");
}

TEST_F(AktualizaciaTest, AFailingStatementEndsNothingAndAScriptMayHoldItsOwnTransaction) {
    trekora().datumAktualizacieNaServeri = "2026-12-06 13:33:04";
    EXPECT_EQ(trekora().updateData(
                  "update1", place("attach database ? as akcen;"
                                   "delete from main.zlava where id in (select id from akcen.zlava) and ? is not null;"
                                   "insert into nikde values(?);"
                                   "insert into main.zlava select * from akcen.zlava where ? is not null;"
                                   "detach database akcen;"
                                   "update main.zlava set popis = 'stredisko ' || ? where id = 900")),
              "");
    EXPECT_EQ(env().scalar("select nazov || '/' || popis from zlava where id = 900"), "Zimná akcia/stredisko 12");
    EXPECT_EQ(env().scalar("select akcen from verzia"), "2026-12-06 13:33:04");

    trekora().datumAktualizacieNaServeri = "2026-12-07 08:00:00";
    EXPECT_EQ(trekora().updateData("update1", place("attach database ? as akcen;begin;"
                                                    "delete from main.zlava where id in (select id from akcen.zlava);"
                                                    "insert into main.zlava select * from akcen.zlava;commit;"
                                                    "detach database akcen;"
                                                    "update main.zlava set popis = 'vlastná ' || ? where id = 900")),
              "");
    EXPECT_EQ(env().scalar("select popis from zlava where id = 900"), "vlastná 12");
    EXPECT_EQ(env().scalar("select akcen from verzia"), "2026-12-07 08:00:00");
}

TEST_F(AktualizaciaTest, AnUpdateWithoutAServerDateKeepsTheLastAppliedDate) {
    office->setUpdateFile("x", "");
    EXPECT_FALSE(trekora().jePotrebnyUpade());
    EXPECT_EQ(trekora().updateData("update1", place(kScript)), "");
    EXPECT_EQ(env().scalar("select popis from zlava where id = 900"), "stredisko 12");
    EXPECT_EQ(env().scalar("select akcen from verzia"), "2026-11-30 18:00:00");
}

TEST_F(AktualizaciaTest, ATriggerAStringOrACommentKeepsItsSemicolonsInOneStatement) {
    const std::string gifts = env().scalar("select count(*) from zlava_darcek");
    EXPECT_EQ(trekora().updateData(
                  "update1", place("attach database ? as akcen;\n"
                                   "-- akcie; darčeky\n"
                                   "create trigger zlava_zrusena after delete on zlava begin\n"
                                   "  delete from zlava_tovar where zlava_id = old.id;\n"
                                   "  delete from zlava_darcek where 1;\n"
                                   "end;\n"
                                   "update main.zlava set popis = 'jar; leto' where id = 3;\n"
                                   "detach database akcen;\n"
                                   "update main.zlava set nazov = nazov where ? is not null;")),
              "");
    EXPECT_EQ(env().scalar("select count(*) from zlava_darcek"), gifts);
    EXPECT_EQ(env().scalar("select count(*) from sqlite_master where type = 'trigger' and name = 'zlava_zrusena'"), "1");
    EXPECT_EQ(env().scalar("select popis from zlava where id = 3"), "jar; leto");
}

TEST_F(AktualizaciaTest, AScriptOfManySemicolonsInsideItsTextsIsCutInOnePass) {
    std::string popis;
    while (popis.size() < 800 * 1024) popis += "akcia; " + std::string(13, '-');
    const std::string url = place("attach database ? as akcen;detach database akcen;select ?;select ?;select ?;"
                                  "update main.zlava set popis = '" + popis + "' where id = 3 and ? is not null;");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(trekora().updateData("update1", url), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(env().scalar("select length(popis) from zlava where id = 3"), std::to_string(popis.size()));
}
