// Writers that either write their document whole or refuse and write
// nothing: the daily closing, cancellations, follow-up documents, the
// closing export, point transfers and the print target of a failed posting.
#include "posting/PostingFixture.h"

#include "core/OdoslaneCisla.h"
#include "platform/FileManager.h"
#include "records/KorunkaItem.h"
#include "support/FsyncRecorder.h"

#include <filesystem>
#include <fstream>

using posting_test::PostingFixture;

namespace {

class WholeOrRefused : public PostingFixture {
protected:
    std::string cashSale() {
        load(typ("predaj", "hotovosť"));
        choose("T001", "2027-05-31", 4);
        return cdokOf(post());
    }
    std::string idOf(const std::string& cdok) { return value("select id from vety where cdok = ?", {cdok}); }
};

TEST_F(WholeOrRefused, AFailedDailyClosingLeavesNothingAndTheRetryCountsOnce) {
    const std::string sale = cashSale();
    ASSERT_EQ(t->zapisVklad("20.00", ""), "ok!,,cdok=1002");
    const std::string original = value("select sql from sqliteadmin_queries where name = 'du_insert'");
    storeQuery("du_insert", original + ";\ninsert into no_such_table values (1)");
    EXPECT_EQ(t->zapisUzavierku(), "chyba,,no such table: no_such_table");
    EXPECT_EQ(count("vety"), 2);
    EXPECT_EQ(value("select count(*) from vety where ducis is not null"), "0");

    storeQuery("du_insert", original);
    ASSERT_EQ(t->zapisUzavierku(), "ok!,,1003");
    EXPECT_EQ(amount("select sumdokz from vety where cdok = 1003"),
              20.0 + amount("select sumdokz from vety where cdok = ?", {sale}));
}

TEST_F(WholeOrRefused, AClosingWhoseExportCannotBeOwedInTheOutboxIsRefused) {
    cashSale();
    // "out" is a plain file: no export of the closing could be kept there.
    std::ofstream(dir_ + "/out") << "not a folder";
    const std::string refused = t->zapisUzavierku();
    EXPECT_EQ(refused.rfind("chyba!,,uzávierka nebola zapísaná: do priečinka out sa nedá zapísať", 0), 0u) << refused;
    EXPECT_EQ(value("select count(*) from vety where pohyb = 90 or ducis is not null"), "0");

    std::filesystem::remove(dir_ + "/out");
    ASSERT_EQ(t->zapisUzavierku(), "ok!,,1002");
    EXPECT_EQ(t->exportDU("1002"), "ok!,,export 1002.db3");
}

TEST_F(WholeOrRefused, TheMarkOfAnOwedExportIsOnTheDiskBeforeTheClosingCommits) {
    cashSale();
    std::filesystem::create_directories(dir_ + "/out");
    FsyncRecorder::clear();
    ASSERT_EQ(t->zapisUzavierku(), "ok!,,1002");
    ASSERT_TRUE(std::filesystem::exists(dir_ + "/out/.1002.db3.tmp"));
    const int mark = FsyncRecorder::firstFlushOf(dir_ + "/out");
    EXPECT_GE(mark, 0);
    EXPECT_LT(mark, FsyncRecorder::lastFlushOf(dir_ + "/trekora.db3"));
}

TEST_F(WholeOrRefused, ALinkPlantedAtTheExportsTemporaryNameIsNotFollowed) {
    cashSale();
    const std::string elsewhere = dir_ + "/elsewhere.txt";
    std::ofstream(elsewhere) << "not an export";
    std::filesystem::create_directories(dir_ + "/out");
    std::filesystem::create_symlink(elsewhere, dir_ + "/out/.1002.db3.tmp");
    ASSERT_EQ(t->zapisUzavierku(), "ok!,,1002");
    ASSERT_EQ(t->exportDU("1002"), "ok!,,export 1002.db3");
    std::ifstream in(elsewhere);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == "not an export");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(dir_ + "/out/1002.db3")));
}

TEST_F(WholeOrRefused, ADocumentIsCancelledAsAWholeOnceAndACancellationNever) {
    const std::string sale = cashSale();
    EXPECT_EQ(stock("T001"), 32);
    ASSERT_EQ(t->stornoCelehoDokladu(idOf(sale), "10"), "ok!,,cdok=1002");
    EXPECT_EQ(stock("T001"), 36);
    EXPECT_EQ(t->stornoCelehoDokladu(idOf(sale), "10"),
              "chyba!,,na vybraný doklad už bolo vytvorené storno celého dokladu 1002");
    EXPECT_EQ(t->stornoCelehoDokladu(idOf("1002"), "10"), "chyba!,,storno dokladu nie je možné stornovať");

    // A cancelled duplicate and a cash-sale return are cancellations too.
    const std::string other = cashSale();
    ASSERT_EQ(t->stornoFiskal(idOf(other), "10").rfind("ok!", 0), 0u);
    const std::string duplicate = value("select max(cdok) from vety");
    EXPECT_EQ(t->stornoCelehoDokladu(idOf(duplicate), "10"), "chyba!,,storno dokladu nie je možné stornovať");
    t->parcdok = other;
    load(typ("predaj", "storno hotovosti"));
    choose("T001", "2027-05-31", -1);
    const std::string ret = cdokOf(post());
    t->parcdok = "";
    ASSERT_FALSE(ret.empty());
    EXPECT_EQ(t->stornoCelehoDokladu(idOf(ret), "10"), "chyba!,,storno dokladu nie je možné stornovať");

    EXPECT_EQ(stock("T001"), 33);
}

TEST_F(WholeOrRefused, ADocumentWithAReturnAgainstItIsNotCancelledWhole) {
    // An invoice of 7, a credit note taking all 7 back: cancelling the
    // invoice whole would put the bottles back a second time.
    customer("10103-01");
    load(typ("predaj", "faktúra"));
    choose("T011", "", 7);
    const std::string invoice = cdokOf(post());
    t->parcdok = invoice;
    load(typ("predaj", "dobropis"));
    choose("T011", "", -7);
    const std::string note = cdokOf(post());
    t->parcdok = "";
    ASSERT_FALSE(note.empty());
    EXPECT_EQ(t->stornoCelehoDokladu(idOf(invoice), "20"),
              "chyba!,,na vybraný doklad už bol vytvorený dobropis " + note);
    EXPECT_EQ(stock("T011"), 96);

    // A cash sale with a return against it, likewise.
    customer("10102-01");
    const std::string sale = cashSale();
    t->parcdok = sale;
    load(typ("predaj", "storno hotovosti"));
    choose("T001", "2027-05-31", -1);
    const std::string ret = cdokOf(post());
    t->parcdok = "";
    EXPECT_EQ(t->stornoCelehoDokladu(idOf(sale), "10"),
              "chyba!,,na vybraný doklad už bolo vytvorené storno hotovosti " + ret);
    EXPECT_EQ(stock("T001"), 33);
    EXPECT_EQ(count("vety"), 4);
}

TEST_F(WholeOrRefused, AnIdOfNoDocumentWritesNothing) {
    cashSale();
    for (const std::string& result : {t->stornoCelehoDokladu("999999", "10"), t->stornoFiskal("999999", "10"),
                                      t->vytvorPreberaciProtokol("999999", "10"),
                                      t->vytvorUhraduFaktury("999999", "20")})
        EXPECT_EQ(result, "chyba!,,vybraný doklad neexistuje");
    EXPECT_EQ(count("vety"), 1);
}

TEST_F(WholeOrRefused, TheExportTakesOnlyTheNumberOfAClosing) {
    const std::string sale = cashSale();
    ASSERT_EQ(t->zapisUzavierku(), "ok!,,1002");
    for (const std::string cdok : {"../escaped", "1002/../../escaped", "", " 1002"})
        EXPECT_EQ(t->exportDU(cdok), "chyba!,,\"" + cdok + "\" nie je číslo uzávierky") << cdok;
    EXPECT_EQ(t->exportDU("9999"), "chyba!,,uzávierka 9999 v databáze nie je");
    EXPECT_EQ(t->exportDU(sale), "chyba!,,uzávierka " + sale + " v databáze nie je");
    // A lookup that cannot be read is an error, never "no such closing".
    const std::string lookup = value("select sql from sqliteadmin_queries where name = 'du_getducis'");
    exec("delete from sqliteadmin_queries where name = 'du_getducis'");
    EXPECT_EQ(t->exportDU("1002"), "chyba!,,nenajdene query 'du_getducis'.");
    storeQuery("du_getducis", lookup);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/escaped.db3"));
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/out/" + sale + ".db3"));
    EXPECT_EQ(t->exportDU("1002"), "ok!,,export 1002.db3");
}

TEST_F(WholeOrRefused, NoDocumentTakesANumberAboveTheLargestADocumentCanCarry) {
    ASSERT_TRUE(platform::FileManager::writeFile(dir_ + "/posledna_uzavierka.txt", "999999999999999998\n"));
    ASSERT_FALSE(OdoslaneCisla(dir_).pokracujNad(t->dbURL));
    ASSERT_EQ(cashSale(), "999999999999999999");
    const std::string above = "číslo dokladu 1000000000000000000 je väčšie ako najväčšie číslo";
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 1);
    const std::string sale = post();
    EXPECT_EQ(sale.rfind("chyba! ,,doklad nebol zapísaný: " + above, 0), 0u) << sale;
    const std::string closing = t->zapisUzavierku();
    EXPECT_EQ(closing.rfind("chyba!,,uzávierka nebola zapísaná: " + above, 0), 0u) << closing;
    const std::string deposit = t->zapisVklad("1.00", "");
    EXPECT_EQ(deposit.rfind("chyba!,,doklad nebol zapísaný: " + above, 0), 0u) << deposit;
    const std::string noSale = t->zapisNepredaj("zatvorené");
    EXPECT_EQ(noSale.rfind("chyba!,,záznam nebol zapísaný: " + above, 0), 0u) << noSale;
    EXPECT_EQ(count("vety"), 1);
    EXPECT_EQ(value("select count(*) from vety where ducis is not null"), "0");
    // An owed export under a number no closing can carry is neither passed
    // over nor dropped.
    const std::string mark = dir_ + "/out/.1000000000000000001.db3.tmp";
    std::filesystem::create_directories(dir_ + "/out");
    ASSERT_TRUE(platform::FileManager::writeFile(mark, ""));
    EXPECT_NE(t->dokonciExportyDU().find("export uzávierky 1000000000000000001 zlyhal"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(mark));
}

TEST_F(WholeOrRefused, PointsBeyondTheBalanceAreNotTransferred) {
    customer("10101-01");
    t->readKorunka("10101-01");
    EXPECT_EQ(t->zapisDokladKorunkaPrevod("520.5", "10103"), "chyba!,,nedostatok bodov na prevod!");
    EXPECT_EQ(t->selectedKorunkaItem->ZOSTATOK, "520.0");
    EXPECT_EQ(count("vety"), 0);
    ASSERT_EQ(t->zapisDokladKorunkaPrevod("520", "10103"), "ok!,,cdok=1001");
    EXPECT_EQ(t->zapisDokladKorunkaPrevod("1", "10103"), "chyba!,,nedostatok bodov na prevod!");
    EXPECT_EQ(count("vety"), 1);
}

TEST_F(WholeOrRefused, AFailedPostingNamesNothingToPrint) {
    storeQuery("cdok_set", "insert into no_such_table values (?1)");
    t->printingId = "7";
    load(typ("predaj", "hotovosť"));
    choose("T001", "2027-05-31", 1);
    EXPECT_EQ(post().rfind("chyba!", 0), 0u);
    EXPECT_EQ(t->printingId, "");
}

}  // namespace
