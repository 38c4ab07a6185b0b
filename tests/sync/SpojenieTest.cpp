#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <regex>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SyncFixture.h"
#include "core/TrekoraError.h"
#include "core/ZaevidovaneDoklady.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DispatchSemaphore.h"
#include "platform/ui/TextField.h"

using Misbehaviour = FakeOffice::Misbehaviour;
using platform::FileManager;

namespace {

std::vector<std::string> entries(const std::string& folder) {
    return FileManager::contentsOfDirectory(folder).value_or(std::vector<std::string>{});
}

// The database in an uploaded backup archive, read with an independent zip reader.
std::string unzipDatabase(const std::string& archiveBytes, const std::string& folder) {
    FileManager::writeFile(folder + "/backup.zip", archiveBytes);
    if (std::system(("unzip -t -qq '" + folder + "/backup.zip' >/dev/null 2>&1").c_str()) != 0) return "";
    std::system(("unzip -p '" + folder + "/backup.zip' trekora.db3 > '" + folder + "/trekora.db3'").c_str());
    return folder + "/trekora.db3";
}

// A process that makes a work folder as a job does, puts a database copy in
// it and waits there until it is killed.
struct WorkingJob {
    pid_t pid = -1;
    std::string folder;
    void kill() {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
};
WorkingJob startJob(const std::string& prefix) {
    int pipe[2];
    if (::pipe(pipe) != 0) return {};
    WorkingJob job;
    job.pid = ::fork();
    if (job.pid == 0) {
        ::close(pipe[0]);
        const std::string folder = FileManager::makeTemporaryDirectory(prefix);
        FileManager::writeFile(folder + "/trekora.db3", std::string(4096, 'd'));
        if (::write(pipe[1], folder.data(), folder.size()) < 0) ::_exit(1);
        ::close(pipe[1]);
        for (;;) ::pause();
    }
    ::close(pipe[1]);
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) job.folder.append(buffer, static_cast<size_t>(n));
    ::close(pipe[0]);
    return job;
}

// Zeroes page `page` (counted from 1) of the database file at `path`, as a
// failing disk leaves it, and counts the file as changed so that no open
// connection keeps the page from its cache.
void zeroPage(const std::string& path, long long page) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char header[28];
    file.read(reinterpret_cast<char*>(header), sizeof header);
    const long long size = header[16] * 256 + header[17] == 1 ? 65536 : header[16] * 256 + header[17];
    file.seekp((page - 1) * size);
    file.write(std::string(static_cast<std::size_t>(size), '\0').data(), size);
    for (int i = 27; i >= 24 && ++header[i] == 0; --i) {}
    file.seekp(24);
    file.write(reinterpret_cast<const char*>(header + 24), 4);
}

// The page of the database file at `path` that holds `text`.
long long pageHolding(const std::string& path, const std::string& text) {
    const std::string bytes = FileManager::contents(path).value_or("");
    const long long size = static_cast<unsigned char>(bytes[16]) * 256 + static_cast<unsigned char>(bytes[17]);
    return static_cast<long long>(bytes.find(text)) / size + 1;
}

}  // namespace

class SpojenieTest : public SyncTest {
protected:
    // Opens the full synchronisation, confirms it and waits for its end.
    std::string synchronise() {
        open("spojenie_synchronizacia_segue");
        EXPECT_TRUE(alert());
        if (!alert()) return "";
        EXPECT_EQ(alert()->title(), "spustiť synchronizáciu ?");
        tapAlert("áno");
        return waitForFinish();
    }
    // Opens the restore or the update, passes the service lock and answers
    // the address prompt with `address` (the proposed one when empty);
    // `prepare` may set the new screen up first.
    std::string download(const std::string& segue, const std::string& address = "",
                         const std::function<void(Spojenie&)>& prepare = {}) {
        auto screen = open(segue);
        if (prepare) prepare(*screen);
        EXPECT_TRUE(alert() && alert()->title() == "pin");
        if (!alert()) return "";
        alert()->textFields().front()->type(pinFor(*alert()));
        tapAlert("ok");
        platform::MainRunLoop::runUntil([this] { return alert() && alert()->title() != "pin"; },
                                        std::chrono::milliseconds(5000));
        EXPECT_TRUE(alert());
        if (!alert()) return "";
        proposed = alert()->textFields().front()->textOrEmpty();
        if (!address.empty()) {
            alert()->textFields().front()->clear();
            alert()->textFields().front()->type(address);
        }
        tapAlert("ok");
        return waitForFinish();
    }
    std::string proposed;
};

TEST_F(SpojenieTest, FullSynchronisationSendsBackupClosingExportAndLogAndEmptiesTheOutbox) {
    FileManager::createDirectory(out());
    FileManager::writeFile(out("42.db3"), "closing export 42");
    trekora().log("pred synchronizaciou");
    ASSERT_EQ(synchronise(), "hotovo");
    EXPECT_EQ(nav->topViewController()->title(), "synchronizácia");
    EXPECT_TRUE(nav->topViewController()->navigationItem().hidesBackButton());
    EXPECT_EQ(alert()->message()->rfind("čas: ", 0), 0u);

    auto uploads = office->uploads();
    ASSERT_EQ(uploads.size(), 3u);
    EXPECT_EQ(uploads[0].fileName, "42.db3");
    EXPECT_EQ(uploads[0].bytes, "closing export 42");
    std::smatch stem;
    ASSERT_TRUE(std::regex_match(uploads[1].fileName, stem, std::regex(R"((Predajca_12_backup_\d{8}_\d{6})\.zip)")));
    EXPECT_EQ(uploads[2].fileName, stem[1].str() + ".log");
    for (const auto& upload : uploads) {
        EXPECT_EQ(upload.fieldName, "uploadedfile");
        EXPECT_EQ(upload.contentType, "application/octet-stream");
        EXPECT_EQ(upload.requestContentType, "multipart/form-data; boundary=" + Spojenie::boundary);
        EXPECT_EQ(upload.connection, "Keep-Alive");
    }
    const std::string unzipped = unzipDatabase(uploads[1].bytes, env().documentsPath(""));
    ASSERT_FALSE(unzipped.empty()) << "the archive does not pass an independent check";
    EXPECT_EQ(dump(unzipped), dump(database()));
    EXPECT_NE(uploads[2].bytes.find("pred synchronizaciou"), std::string::npos);
    EXPECT_NE(uploads[2].bytes.find("### koniec tohto log suboru ####"), std::string::npos);

    EXPECT_TRUE(entries(out()).empty());
    const std::string log = fileBytes(env().documentsPath("trekora.log"));
    EXPECT_NE(log.find("### zaciatok tohto log suboru"), std::string::npos);
    EXPECT_EQ(log.find("pred synchronizaciou"), std::string::npos);
    EXPECT_NE(log.find("### trekora II verzia: 2.24"), std::string::npos);

    tapAlert("ok");
    EXPECT_EQ(nav->topViewController(), root);
}

TEST_F(SpojenieTest, RefusedUploadsStayAndAreSentByTheNextSynchronisation) {
    platform::Clock::Fixed clock(platform::Date(1796563984));
    FileManager::createDirectory(out());
    FileManager::writeFile(out("42.db3"), "closing export 42");
    // The record of fiscal registrations keeps each until a backup holding
    // it with its identifiers has reached the office (the first one here).
    const ZaevidovaneDoklady record(env().documentsPath(""));
    std::vector<ZaevidovaneDoklady::Registracia> registered;
    for (const char* uid : {"U-1", "U-2"}) {
        const std::string number = ResultString::number(trekora().zapisVklad("1.00", ""));
        registered.push_back({number, uid, "", "20261100001", "", "", ""});
        ASSERT_EQ(record.zapis(registered.back()), std::nullopt);
    }
    execute("update vety set uid = 'U-1', pardok = '20261100001' where cdok = " + registered[0].cdok);
    office->misbehave(Misbehaviour::status500, FakeOffice::uploadPath);
    ASSERT_EQ(synchronise(), "chyba!");
    EXPECT_NE(alert()->message()->find("neodoslané súbory: 3 (server odpovedal 500 internal server error (" +
                                       office->url(FakeOffice::uploadPath) + "))"),
              std::string::npos)
        << *alert()->message();
    EXPECT_EQ(entries(out()).size(), 3u);
    EXPECT_EQ(record.zoznam()->size(), 2u);
    tapAlert("ok");

    platform::Clock::advance(60);
    office->misbehave(Misbehaviour::none, FakeOffice::uploadPath);
    const auto refused = office->uploads().size();
    ASSERT_EQ(synchronise(), "hotovo");
    EXPECT_EQ(office->uploads().size() - refused, 5u)
        << "the two earlier files, the closing export and a new archive and log";
    EXPECT_TRUE(entries(out()).empty());
    ASSERT_EQ(record.zoznam()->size(), 1u);
    EXPECT_EQ(record.zoznam()->front().cdok, registered[1].cdok);
}

TEST_F(SpojenieTest, SilentTricklingOrCutOffOfficeEndsEveryUploadInAnError) {
    for (auto misbehaviour : {Misbehaviour::silent, Misbehaviour::trickle, Misbehaviour::cutOff}) {
        office->misbehave(misbehaviour, FakeOffice::uploadPath);
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(synchronise(), "chyba!") << static_cast<int>(misbehaviour);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
        EXPECT_NE(alert()->message()->find("neodoslané súbory: "), std::string::npos);
        EXPECT_FALSE(entries(out()).empty());
        tapAlert("ok");
        FileManager::removeItem(out());
    }
}

TEST_F(SpojenieTest, ARedirectedUploadIsAFailureAndKeepsItsFile) {
    // A captive portal: the office's address answers with a redirect to a page that answers 200.
    office->handle("POST", FakeOffice::uploadPath, [this](const FakeOffice::Request&) {
        return FakeOffice::Reply{302, "", "text/html", {{"Location", office->url("/portal")}}};
    });
    office->handle("GET", "/portal", [](const FakeOffice::Request&) {
        return FakeOffice::Reply{200, "<html>prihlásenie</html>", "text/html", {}};
    });
    FileManager::createDirectory(out());
    FileManager::writeFile(out("42.db3"), "closing export 42");
    ASSERT_EQ(synchronise(), "chyba!");
    EXPECT_NE(alert()->message()->find("neodoslané súbory: 3"), std::string::npos);
    EXPECT_NE(alert()->message()->find("302"), std::string::npos) << *alert()->message();
    EXPECT_EQ(entries(out()).size(), 3u);
    for (const auto& request : office->requests()) EXPECT_NE(request, "GET /portal");
}

TEST_F(SpojenieTest, TheOutboxSendsItsFilesAndPassesOverFoldersJournalsAndTemporaryFiles) {
    FileManager::createDirectory(out("archiv"));
    FileManager::writeFile(out("archiv/41.db3"), "in a folder");
    FileManager::writeFile(out("42.db3"), "closing export 42");
    const std::vector<std::string> passedOver = {"42.db3-journal", "42.db3-wal", "42.db3-shm", ".43.db3",
                                                 "43.db3.tmp",     "43.db3.part", "44.db3"};
    for (const auto& name : passedOver) FileManager::writeFile(out(name), name == "44.db3" ? "" : "x");
    ASSERT_EQ(synchronise(), "hotovo");
    auto uploads = office->uploads();
    ASSERT_EQ(uploads.size(), 3u) << "the closing export, the archive and the log";
    EXPECT_EQ(uploads[0].fileName, "42.db3");
    auto left = entries(out());
    EXPECT_EQ(left.size(), passedOver.size() + 1);
    EXPECT_EQ(fileBytes(out("archiv/41.db3")), "in a folder");
}

TEST_F(SpojenieTest, DownloadsAndTheUpdateCheckEndByTheirOwnDeadlines) {
    // Idle time-outs alone would let a trickling or silent office hold them far longer.
    platform::UrlSession::setMaximumTimeout(30.0);
    trekora().updateCheckDeadline = 1.0;
    office->setUpdateFile(updateFile(kScript), "Sun, 06 Dec 2026 13:33:04 GMT");
    office->setBackupDatabase(fileBytes(database()));
    office->misbehave(Misbehaviour::silent, FakeOffice::updatePath, "HEAD");
    office->misbehave(Misbehaviour::trickle, FakeOffice::updatePath, "GET");
    office->misbehave(Misbehaviour::trickle, FakeOffice::backupPath);
    const std::string before = dump(database());
    for (const char* segue : {"spojenie_obnova_segue", "spojenie_aktualizacia_segue"}) {
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(download(segue, "", [](Spojenie& s) { s.transferDeadline = 1.0; }), "chyba!") << segue;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << segue;
        EXPECT_NE(alert()->message()->find("timed out"), std::string::npos) << *alert()->message();
        EXPECT_EQ(dump(database()), before) << segue;
        tapAlert("ok");
    }
}

TEST_F(SpojenieTest, PartialCopiesLeftByAnInterruptedCopyAreRemovedAtStart) {
    trekora();
    FileManager::createDirectory(out());
    const std::vector<std::string> leftovers = {env().documentsPath(".trekora.db3.part.partial-Ab12Cd"),
                                                env().documentsPath(".export_akcen.db3.partial-x0Y9zz"),
                                                out(".Predajca_12_backup_20261206_133304.zip.partial-QQ77qq")};
    for (const auto& path : leftovers) FileManager::writeFile(path, std::string(4096, 'p'));
    FileManager::writeFile(env().documentsPath(".keep"), "not a copy");
    env().restart();
    trekora();
    for (const auto& path : leftovers) EXPECT_FALSE(FileManager::fileExists(path)) << path;
    EXPECT_TRUE(FileManager::fileExists(env().documentsPath(".keep")));
    EXPECT_TRUE(FileManager::fileExists(database()));
}

// Killed synchronisations, restores and updates leave their work folders in
// the system's temporary folder: the next start removes those of processes
// that are gone, never one of a process still at work.
TEST_F(SpojenieTest, WorkFoldersOfKilledJobsAreRemovedAtStart) {
    trekora();
    WorkingJob backup = startJob("trekora-backup");
    WorkingJob download = startJob("trekora-download");
    WorkingJob running = startJob("trekora-download");
    WorkingJob elsewhere = startJob("trekora-backup");
    ASSERT_TRUE(FileManager::isDirectory(backup.folder) && FileManager::isDirectory(download.folder) &&
                FileManager::isDirectory(running.folder));
    backup.kill();
    download.kill();
    const std::string own = FileManager::makeTemporaryDirectory("trekora-backup");
    // Folders named without their process, as they were made before: they go
    // once a day old.
    const std::string tmp = std::filesystem::temp_directory_path().string();
    auto unnamed = [&](const char* prefix, bool old) {
        std::string path = tmp + "/" + prefix + "-XXXXXX";
        if (!::mkdtemp(path.data())) return std::string();
        FileManager::writeFile(path + "/download.tmp", "x");
        const timespec twoDaysAgo[2] = {{std::time(nullptr) - 2 * 86400, 0}, {std::time(nullptr) - 2 * 86400, 0}};
        if (old) ::utimensat(AT_FDCWD, path.c_str(), twoDaysAgo, 0);
        return path;
    };
    const std::string stale = unnamed("trekora-download", true);
    const std::string fresh = unnamed("trekora-backup", false);
    const std::string foreign = unnamed("trekora-backupx", true);
    // A job of a copy in another process-id namespace: its id names no
    // process here. (Named so only now: a clean-up of an older build running
    // meanwhile would take it for left.)
    const std::string renamed = tmp + "/trekora-backup-999999999-" + elsewhere.folder.substr(elsewhere.folder.size() - 6);
    ASSERT_EQ(::rename(elsewhere.folder.c_str(), renamed.c_str()), 0);
    elsewhere.folder = renamed;

    env().restart();
    trekora();
    EXPECT_FALSE(FileManager::fileExists(backup.folder));
    EXPECT_FALSE(FileManager::fileExists(download.folder));
    EXPECT_FALSE(FileManager::fileExists(stale));
    for (const auto& kept : {running.folder, elsewhere.folder, own, fresh, foreign})
        EXPECT_TRUE(FileManager::isDirectory(kept)) << kept;
    running.kill();
    elsewhere.kill();
    for (const auto& path : {backup.folder, download.folder, running.folder, elsewhere.folder, own, stale, fresh, foreign})
        FileManager::removeItem(path);
}

// The shared object goes (the program quits) while the short synchronisation
// waits for a silent office: the upload is cancelled and the job has ended
// before the object is gone; nothing of the job runs afterwards.
TEST_F(SpojenieTest, TheSharedObjectEndsARunningSynchronisationBeforeItGoes) {
    FileManager::createDirectory(out());
    FileManager::writeFile(out("42.db3"), "closing export 42");
    office->misbehave(Misbehaviour::silent, FakeOffice::uploadPath);
    open("polozky_synchronizacia_po_preskladneni_segue");
    ASSERT_TRUE(platform::MainRunLoop::runUntil([this] { return !office->requests().empty(); },
                                                std::chrono::milliseconds(5000)));
    const auto workingFolder = entries(std::filesystem::current_path().string());
    const auto started = std::chrono::steady_clock::now();
    env().restart();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    // Past the upload's own time-out: a job still running would go on to the
    // update check and its finish alert.
    platform::MainRunLoop::runFor(std::chrono::milliseconds(1500));
    EXPECT_EQ(office->requests(), std::vector<std::string>{"POST /trekora_data/uploader.php"});
    EXPECT_FALSE(alert());
    EXPECT_EQ(entries(out()), std::vector<std::string>{"42.db3"});
    EXPECT_EQ(entries(std::filesystem::current_path().string()), workingFolder) << "a file written through a freed path";
}

TEST_F(SpojenieTest, UpdateIsAppliedOnceAndThenNotOfferedAgain) {
    office->setUpdateFile(updateFile(kScript), "Sun, 06 Dec 2026 13:33:04 GMT");
    ASSERT_EQ(synchronise(), "hotovo");
    EXPECT_EQ(env().scalar("select akcen from verzia"), "2026-12-06 13:33:04");
    EXPECT_EQ(env().scalar("select nazov || '/' || popis from zlava where id = 900"), "Zimná akcia/stredisko 12");
    EXPECT_TRUE(FileManager::fileExists(env().documentsPath("export_akcen.db3")));
    tapAlert("ok");

    // The short job after a stock transfer: no question, no backup, the log stays.
    const auto uploadsBefore = office->uploads().size();
    auto screen = open("polozky_synchronizacia_po_preskladneni_segue");
    EXPECT_EQ(screen->title(), "synchronizácia po preskladneni");
    ASSERT_EQ(waitForFinish(), "hotovo");
    EXPECT_EQ(office->uploads().size(), uploadsBefore);
    int gets = 0, heads = 0;
    for (const auto& request : office->requests()) {
        gets += request == std::string("GET ") + FakeOffice::updatePath;
        heads += request == std::string("HEAD ") + FakeOffice::updatePath;
    }
    EXPECT_EQ(gets, 1);
    EXPECT_EQ(heads, 2);
}

TEST_F(SpojenieTest, BrokenUpdateDownloadsLeaveDatabaseAndVersionUntouched) {
    office->setUpdateFile(updateFile(kScript), "Sun, 06 Dec 2026 13:33:04 GMT");
    const std::string before = dump(database());
    for (auto misbehaviour : {Misbehaviour::status500, Misbehaviour::cutOff, Misbehaviour::htmlPage200,
                              Misbehaviour::notADatabase, Misbehaviour::silent, Misbehaviour::trickle}) {
        office->misbehave(misbehaviour, FakeOffice::updatePath, "GET");
        open("polozky_synchronizacia_po_preskladneni_segue");
        ASSERT_EQ(waitForFinish(), "chyba!") << static_cast<int>(misbehaviour);
        tapAlert("ok");
        EXPECT_EQ(nav->topViewController(), root);
        EXPECT_EQ(dump(database()), before) << static_cast<int>(misbehaviour);
    }
    // A script with a failing statement is an update all the same: the rest
    // runs and its date is recorded, so it is not fetched again.
    office->misbehave(Misbehaviour::none, FakeOffice::updatePath, "GET");
    office->setUpdateFile(updateFile(std::string(kScript) + ";insert into nikde values(?)"),
                          "Sun, 06 Dec 2026 13:33:04 GMT");
    open("polozky_synchronizacia_po_preskladneni_segue");
    ASSERT_EQ(waitForFinish(), "hotovo");
    EXPECT_EQ(env().scalar("select popis from zlava where id = 900"), "stredisko 12");
    EXPECT_EQ(env().scalar("select akcen from verzia"), "2026-12-06 13:33:04");
}

TEST_F(SpojenieTest, ACutOffUpdateDownloadStillTellsTheFilesNotSent) {
    office->setUpdateFile(updateFile(kScript), "Sun, 06 Dec 2026 13:33:04 GMT");
    office->misbehave(Misbehaviour::status500, FakeOffice::uploadPath);
    office->misbehave(Misbehaviour::cutOff, FakeOffice::updatePath, "GET");
    ASSERT_EQ(synchronise(), "chyba!");
    EXPECT_NE(alert()->message()->find("neodoslané súbory: "), std::string::npos) << *alert()->message();
}

TEST_F(SpojenieTest, UpdatePromptWaitsForTheOfficeWithTheWaitShown) {
    office->handle("GET", FakeOffice::updatePath, [](const FakeOffice::Request&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return FakeOffice::Reply{404, "not found", "text/plain", {}};
    });
    auto screen = open("spojenie_aktualizacia_segue");
    ASSERT_TRUE(alert());
    alert()->textFields().front()->type(pinFor(*alert()));
    tapAlert("ok");
    // The office is still asked for the update's date: no prompt yet, but the wait is shown.
    EXPECT_FALSE(alert());
    EXPECT_FALSE(screen->activityIndicator.lock()->isHidden());
    EXPECT_FALSE(screen->labelInfo.lock()->isHidden());
    EXPECT_NE(screen->labelInfo.lock()->text().value_or(""), "");
    platform::MainRunLoop::runUntil([this] { return alert() != nullptr; }, std::chrono::milliseconds(5000));
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "aktualizácia");
    tapAlert("storno");
}

TEST_F(SpojenieTest, RestoreReplacesTheDatabaseWithAGoodCopy) {
    // With no copy of its own, the office serves the backup it received
    // whose database holds the highest document number, the later of two
    // equal ones: not a later backup of a database without the day's
    // documents. The finish alert names the copy's highest document.
    const std::string deposit = ResultString::number(trekora().zapisVklad("11.11", ""));
    ASSERT_EQ(synchronise(), "hotovo");
    tapAlert("ok");
    env().execute("update km set hodnota = '123456'");
    ASSERT_EQ(synchronise(), "hotovo");
    tapAlert("ok");
    env().execute("update km set hodnota = '555555'");
    env().execute("delete from vety where cdok >= " + deposit);
    ASSERT_EQ(synchronise(), "hotovo");
    tapAlert("ok");
    ASSERT_EQ(download("spojenie_obnova_segue"), "hotovo") << alert()->message().value_or("");
    EXPECT_EQ(alert()->message()->rfind("najvyšší doklad kópie: " + deposit + "\nčas: ", 0), 0u)
        << *alert()->message();
    tapAlert("ok");
    EXPECT_EQ(env().scalar("select hodnota from km"), "123456");
    EXPECT_EQ(env().scalar("select max(cdok) from vety"), deposit);

    const std::string copy = env().documentsPath("copy.db3");
    ASSERT_TRUE(FileManager::copyItem(database(), copy));
    sqlite3* db = nullptr;
    sqlite3_open(copy.c_str(), &db);
    sqlite3_exec(db, "update km set hodnota = '999999'", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    office->setBackupDatabase(fileBytes(copy));

    ASSERT_EQ(download("spojenie_obnova_segue"), "hotovo");
    EXPECT_EQ(proposed, office->backupDir() + "/trekora.db3");
    EXPECT_EQ(env().scalar("select hodnota from km"), "999999");
}

TEST_F(SpojenieTest, RestoreKeepsTheDatabaseWhenTheCopyIsNotGood) {
    const std::string before = dump(database());
    // A database without the application's tables, and one that is damaged.
    const std::string other = env().documentsPath("other.db3");
    sqlite3* db = nullptr;
    sqlite3_open(other.c_str(), &db);
    sqlite3_exec(db, "create table t(x); insert into t values(1)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::string damaged = fileBytes(database());
    for (std::size_t i = 4096; i < damaged.size(); i += 7) damaged[i] = '\x5a';
    // Every table, but no settings: the handheld could no longer reach the office.
    const std::string bare = env().documentsPath("bare.db3");
    ASSERT_TRUE(FileManager::copyItem(database(), bare));
    sqlite3_open(bare.c_str(), &db);
    sqlite3_exec(db, "delete from nastavenia", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::string withoutSettings = fileBytes(bare);

    struct Case {
        Misbehaviour misbehaviour;
        std::string served;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {Misbehaviour::status500, fileBytes(database()),
         "server odpovedal 500 internal server error (" + office->url(FakeOffice::backupPath) + ")"},
        {Misbehaviour::silent, fileBytes(database()), "timed out"},
        {Misbehaviour::trickle, fileBytes(database()), "timed out"},
        {Misbehaviour::cutOff, fileBytes(database()), ""},
        {Misbehaviour::htmlPage200, fileBytes(database()), "nie je databáza"},
        {Misbehaviour::notADatabase, fileBytes(database()), "nie je databáza"},
        {Misbehaviour::none, fileBytes(other), "chýbajú tabuľky"},
        {Misbehaviour::none, damaged, ""},
        {Misbehaviour::none, withoutSettings, "nastavenia"},
    };
    for (const auto& c : cases) {
        office->setBackupDatabase(c.served);
        office->misbehave(c.misbehaviour, FakeOffice::backupPath);
        ASSERT_EQ(download("spojenie_obnova_segue"), "chyba!") << c.reason;
        EXPECT_NE(alert()->message()->find(c.reason), std::string::npos) << *alert()->message();
        EXPECT_EQ(dump(database()), before) << c.reason;
        tapAlert("ok");
        EXPECT_EQ(nav->topViewController(), root);
    }
    // An address that cannot be loaded, names a journal of the database or
    // no plain file ends the same way, whatever the office answers.
    office->misbehave(Misbehaviour::htmlPage200, FakeOffice::backupPath);
    for (const std::string& address : {std::string("nie je adresa"), office->url("/trekora_data/trekora.db3-journal"),
                                       office->url("/trekora_data/trekora.db3%00")}) {
        ASSERT_EQ(download("spojenie_obnova_segue", address), "chyba!");
        EXPECT_NE(alert()->message()->find("adresa"), std::string::npos) << *alert()->message();
        tapAlert("ok");
        EXPECT_EQ(nav->topViewController(), root);
        EXPECT_EQ(dump(database()), before) << address;
    }
    EXPECT_FALSE(FileManager::fileExists(database() + "-journal"));
}

TEST_F(SpojenieTest, ARestoreNeverReplacesOrCreatesTheProgramsOwnEntries) {
    std::filesystem::remove_all(out());
    const std::string log = env().documentsPath("trekora.log");
    const std::string served = "stiahnutý súbor";
    for (const std::string name : {"trekora.log", "out", "ekasa_neiste.json", "posledna_uzavierka.txt", "odoslana_zaloha.txt",
                                   "ekasa_neiste.poskodeny-1.json", "posledna_uzavierka.poskodeny-1.txt",
                                   "zaevidovane_doklady.json", "zaevidovane_doklady.poskodeny-1.json",
                                   "export_akcen.db3-journal", "poznamky.txt"}) {
        office->handle("GET", "/trekora_data/" + name, [served](const FakeOffice::Request&) {
            return FakeOffice::Reply{200, served, "application/octet-stream", {}};
        });
        const bool own = name != "poznamky.txt";
        ASSERT_EQ(download("spojenie_obnova_segue", office->url("/trekora_data/" + name)), own ? "chyba!" : "hotovo")
            << name;
        if (own) {
            EXPECT_NE(alert()->message()->find("vlastný súbor programu"), std::string::npos) << *alert()->message();
        }
        EXPECT_EQ(fileBytes(env().documentsPath(name)) == served, !own) << name;
        tapAlert("ok");
    }
    EXPECT_NE(fileBytes(log).rfind(served, 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(out()));
}

TEST_F(SpojenieTest, HttpsWithCheckedCertificates) {
    FakeOffice secure(FakeOffice::Scheme::https);
    secure.setBackupDatabase(fileBytes(database()));
    pointAt(secure);
    ASSERT_EQ(download("spojenie_obnova_segue"), "chyba!") << "an unknown certificate is refused";
    EXPECT_NE(alert()->message()->find("SSL"), std::string::npos);
    tapAlert("ok");
    secure.trust();
    ASSERT_EQ(download("spojenie_obnova_segue"), "hotovo");
    tapAlert("ok");
    FileManager::createDirectory(out());
    FileManager::writeFile(out("42.db3"), "closing export 42");
    ASSERT_EQ(synchronise(), "hotovo");
    EXPECT_EQ(secure.uploads().size(), 3u);
}

TEST_F(SpojenieTest, ServiceCodeGuardsRestoreAndUpdate) {
    auto screen = open("spojenie_aktualizacia_segue");
    EXPECT_EQ(screen->title(), "aktualizácia");
    ASSERT_TRUE(alert());
    tapAlert("storno");
    EXPECT_EQ(nav->topViewController(), root);

    open("spojenie_obnova_segue");
    ASSERT_TRUE(alert());
    // A code the challenge does not take, whatever the challenge.
    alert()->textFields().front()->type(std::to_string((std::stoll(pinFor(*alert())) + 1) % 839));
    platform::SystemSounds::clearPlayed();
    tapAlert("ok");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "chybny pin!");
    ASSERT_FALSE(platform::SystemSounds::played().empty());
    EXPECT_EQ(platform::SystemSounds::played().front().id, 1116u);
    tapAlert("ok");
    EXPECT_EQ(nav->topViewController(), root);

    // The update prompt proposes the folder and the file name joined as they are.
    settings().IMPORT_PC_DIR = office->url("/trekora_data/import");
    EXPECT_EQ(download("spojenie_aktualizacia_segue"), "chyba!");
    EXPECT_EQ(proposed, office->url("/trekora_data/importexport_akcen.db3"));
}

TEST_F(SpojenieTest, OtherJobsOfTheScreen) {
    auto idle = open("");
    EXPECT_FALSE(alert());
    EXPECT_TRUE(idle->navigationItem().hidesBackButton());
    EXPECT_FALSE(idle->title());
    nav->popViewController(false);

    auto import = open("spojenie_import_segue");
    EXPECT_FALSE(import->title());
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "importovať objednávky na závoz?");
    tapAlert("nie");
    EXPECT_EQ(nav->topViewController(), root);

    auto exported = open("spojenie_export_segue");
    EXPECT_EQ(exported->title(), "export");
}

TEST_F(SpojenieTest, UploadBodyAndFileNameAsTheOfficeReadsThem) {
    EXPECT_EQ(Spojenie::multipartBody("a.txt", ""),
              "\r\n--" + Spojenie::boundary +
                  "\r\nContent-Disposition: form-data; name=\"uploadedfile\"; filename=\"a.txt\"\r\n"
                  "Content-Type: application/octet-stream\r\n\r\n\r\n--" +
                  Spojenie::boundary + "--\r\n");
    EXPECT_EQ(Spojenie::boundary.size(), 56u);

    const std::string name = "Dodávka č. 2_7_backup_20240101_120000.zip";
    FileManager::createDirectory(out());
    FileManager::writeFile(out(name), std::string("\0\r\n--x", 6));
    auto screen = open("");
    auto semafor = std::make_shared<platform::DispatchSemaphore>(0);
    screen->posliSubor(out(name), semafor);
    ASSERT_TRUE(semafor->wait(5.0));
    ASSERT_EQ(office->uploads().size(), 1u);
    EXPECT_EQ(office->uploads()[0].fileName, name);
    EXPECT_EQ(office->uploads()[0].bytes, std::string("\0\r\n--x", 6));
    EXPECT_FALSE(FileManager::fileExists(out(name)));
    EXPECT_EQ(screen->neodoslaneSubory, 0);

    // A file that cannot be read still releases the waiting job.
    screen->posliSubor(out("missing.zip"), semafor);
    ASSERT_TRUE(semafor->wait(5.0));
    EXPECT_EQ(screen->neodoslaneSubory, 1);
}

TEST_F(SpojenieTest, BackupOfADatabaseThatCannotBeReadFailsAndNoArchiveIsSent) {
    FileManager::writeFile(database(), std::string(8192, 'x'));
    ASSERT_EQ(synchronise(), "chyba!");
    EXPECT_NE(alert()->message()->find("záloha zlyhala"), std::string::npos);
    ASSERT_EQ(office->uploads().size(), 1u);
    EXPECT_NE(office->uploads()[0].fileName.find(".log"), std::string::npos);
    EXPECT_TRUE(entries(out()).empty());
}

TEST_F(SpojenieTest, ClosingsCutOffBeforeOrDuringTheirExportReachTheOfficeWhole) {
    // Cut off between the closing's commit and its export.
    const std::string first = trekora().zapisUzavierku().substr(5);
    // Cut off during the export: a partial file under its temporary name with its journal.
    const std::string second = trekora().zapisUzavierku().substr(5);
    FileManager::writeFile(out("." + second + ".db3.tmp"), "SQLite format 3");
    FileManager::writeFile(out("." + second + ".db3.tmp-journal"), std::string(512, '\x7f'));
    // An export file left without its tables and with a journal beside it.
    const std::string third = trekora().zapisUzavierku().substr(5);
    ASSERT_EQ(trekora().exportDU(third), "ok!,,export " + third + ".db3");
    FileManager::writeFile(out(third + ".db3"), "");
    FileManager::writeFile(out(third + ".db3-journal"), std::string(512, '\x7f'));

    ASSERT_EQ(synchronise(), "hotovo");
    std::vector<std::string> closings;
    for (const auto& upload : office->uploads()) {
        EXPECT_NE(upload.fileName.front(), '.');
        EXPECT_EQ(upload.fileName.find("-journal"), std::string::npos);
        if (upload.fileName.find("_backup_") != std::string::npos) continue;
        closings.push_back(upload.fileName);
        const std::string received = env().documentsPath("received.db3");
        FileManager::writeFile(received, upload.bytes);
        const std::string cdok = upload.fileName.substr(0, upload.fileName.find('.'));
        EXPECT_NE(dump(received).find("# odbe\n"), std::string::npos) << upload.fileName;
        sqlite3* db = nullptr;
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_open_v2(received.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_prepare_v2(db, "select count(*) from vety where cdok = ? and pohyb = 90", -1, &st, nullptr),
                  SQLITE_OK) << upload.fileName;
        sqlite3_bind_text(st, 1, cdok.c_str(), -1, SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(st, 0), 1) << upload.fileName;
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    std::sort(closings.begin(), closings.end());
    EXPECT_EQ(closings, (std::vector<std::string>{first + ".db3", second + ".db3", third + ".db3"}));
    EXPECT_TRUE(entries(out()).empty());
}

// The office's copy is older than a closing of this device. The restore is
// refused while the closing's export is owed or waits in "out", and while
// the device's whole database holds documents the copy lacks (they are
// named). A database that cannot be read is replaced once a synchronisation
// has sent what it could, and the numbering goes on above the closing sent.
TEST_F(SpojenieTest, ARestoreNeverBringsBackNumbersThatLeftTheDevice) {
    const std::string copy = env().documentsPath("copy.db3");
    ASSERT_TRUE(FileManager::copyItem(database(), copy));
    office->setBackupDatabase(fileBytes(copy));
    const std::string deposit = ResultString::number(trekora().zapisVklad("11.11", ""));
    const std::string first = trekora().zapisUzavierku().substr(5);
    const std::string written = dump(database());
    // Owed (only its mark in "out"), then waiting there.
    for (const bool exported : {false, true}) {
        if (exported) {
            ASSERT_EQ(trekora().exportDU(first), "ok!,,export " + first + ".db3");
        }
        ASSERT_EQ(download("spojenie_obnova_segue"), "chyba!") << exported;
        EXPECT_NE(alert()->message()->find("najprv spustite synchronizáciu"), std::string::npos) << *alert()->message();
        EXPECT_EQ(dump(database()), written);
        tapAlert("ok");
    }

    ASSERT_EQ(synchronise(), "hotovo");
    tapAlert("ok");
    std::vector<std::string> later;
    for (int i = 0; i < 4; ++i) later.push_back(ResultString::number(trekora().zapisVklad("1.00", "")));
    const std::string whole = dump(database());
    ASSERT_EQ(download("spojenie_obnova_segue"), "chyba!");
    EXPECT_NE(alert()->message()->find("kópia databázy nemá doklady " + deposit + ", " + first + ", " + later[0] +
                                       ", " + later[1] + ", " + later[2] + ", … (spolu 6)"),
              std::string::npos) << *alert()->message();
    EXPECT_EQ(dump(database()), whole);
    tapAlert("ok");

    FileManager::writeFile(database(), std::string(8192, 'x'));
    ASSERT_EQ(download("spojenie_obnova_segue"), "chyba!");
    EXPECT_NE(alert()->message()->find("najprv spustite synchronizáciu"), std::string::npos) << *alert()->message();
    EXPECT_EQ(fileBytes(database()), std::string(8192, 'x'));
    tapAlert("ok");
    ASSERT_EQ(synchronise(), "chyba!") << "no backup of it can be made";
    tapAlert("ok");
    ASSERT_EQ(download("spojenie_obnova_segue"), "hotovo");
    tapAlert("ok");
    EXPECT_EQ(trekora().zapisVklad("22.22", ""), "ok!,,cdok=" + std::to_string(std::stoll(first) + 1));
}

// The program ended between a closing's mark and its commit: the mark
// names a closing the database never held and blocks no restore.
TEST_F(SpojenieTest, AMarkOfAClosingNeverWrittenBlocksNoRestore) {
    office->setBackupDatabase(fileBytes(database()));
    const std::string next = env().scalar("select seq + 1 from sqlite_sequence where name = 'vety'");
    FileManager::createDirectory(out());
    FileManager::writeFile(out("." + next + ".db3.tmp"), "");
    ASSERT_EQ(download("spojenie_obnova_segue"), "hotovo");
}

// The stored lookup of the closings cannot be read (its page is damaged):
// the owed export stays owed and the synchronisation says that it failed.
TEST_F(SpojenieTest, AnOwedExportStaysWhenItsClosingCannotBeRead) {
    ASSERT_EQ(trekora().zapisVklad("11.11", "").rfind("ok!", 0), 0u);
    const std::string cdok = trekora().zapisUzavierku().substr(5);
    zeroPage(database(), pageHolding(database(), "select ducis DUCIS from vety"));
    ASSERT_EQ(synchronise(), "chyba!");
    EXPECT_NE(alert()->message()->find("export uzávierky " + cdok + " zlyhal: "), std::string::npos)
        << *alert()->message();
    EXPECT_TRUE(FileManager::fileExists(out("." + cdok + ".db3.tmp")));
}

// A page of the lines is damaged: the closing's export fails for good. The
// restore waits until a synchronisation has sent the database's backup,
// then takes the office's copy; the owed export of a closing the copy
// lacks is set aside (kept, never sent) and the numbering goes on above it.
TEST_F(SpojenieTest, ADamagedDatabaseIsReplacedOnceASynchronisationHasSentWhatItCould) {
    office->setBackupDatabase(fileBytes(database()));
    zeroPage(database(), std::stoll(env().scalar("select rootpage from sqlite_master where name = 'polo'")));
    const std::string cdok = trekora().zapisUzavierku().substr(5);
    ASSERT_NE(trekora().exportDU(cdok).rfind("ok!", 0), 0u);
    const std::string damaged = fileBytes(database());
    ASSERT_EQ(download("spojenie_obnova_segue"), "chyba!");
    EXPECT_NE(alert()->message()->find("poškodená"), std::string::npos) << *alert()->message();
    EXPECT_NE(alert()->message()->find("najprv spustite synchronizáciu"), std::string::npos) << *alert()->message();
    EXPECT_EQ(fileBytes(database()), damaged);
    tapAlert("ok");

    ASSERT_EQ(synchronise(), "chyba!");
    EXPECT_NE(alert()->message()->find("export uzávierky " + cdok + " zlyhal"), std::string::npos);
    tapAlert("ok");
    ASSERT_EQ(download("spojenie_obnova_segue"), "hotovo");
    EXPECT_NE(alert()->message()->find("uzávierky " + cdok), std::string::npos) << *alert()->message();
    tapAlert("ok");
    const std::string aside = "." + cdok + ".db3.odlozeny-1";
    EXPECT_EQ(entries(out()), std::vector<std::string>{aside});
    EXPECT_EQ(trekora().zapisVklad("22.22", ""), "ok!,,cdok=" + std::to_string(std::stoll(cdok) + 1));
    const std::size_t sent = office->uploads().size();
    ASSERT_EQ(synchronise(), "hotovo");
    EXPECT_EQ(office->uploads().size(), sent + 2) << "the backup archive and the log alone";
    EXPECT_EQ(entries(out()), std::vector<std::string>{aside});
    tapAlert("ok");

    // A copy that holds the owed closing itself: its export stays owed and
    // is made from the copy.
    const std::string next = trekora().zapisUzavierku().substr(5);
    office->setBackupDatabase(fileBytes(database()));
    zeroPage(database(), std::stoll(env().scalar("select rootpage from sqlite_master where name = 'polo'")));
    ASSERT_EQ(synchronise(), "chyba!");
    tapAlert("ok");
    ASSERT_EQ(download("spojenie_obnova_segue"), "hotovo");
    tapAlert("ok");
    ASSERT_EQ(synchronise(), "hotovo");
    EXPECT_EQ(office->uploads()[office->uploads().size() - 3].fileName, next + ".db3");
    EXPECT_EQ(entries(out()), std::vector<std::string>{aside});
}

// The page of the settings is damaged: no synchronisation can read where to
// send. It keeps one backup of the file in "out", not one a round; the
// restore of the office's copy (its address typed) is then accepted, and
// what waits in "out" goes with the copy's first synchronisation.
TEST_F(SpojenieTest, ADamagedDatabaseThatCannotSendIsReplacedAndItsFilesGoLater) {
    ASSERT_TRUE(trekora().saveNastaveniaItem());
    office->setBackupDatabase(fileBytes(database()));
    const std::string cdok = trekora().zapisUzavierku().substr(5);
    ASSERT_EQ(trekora().exportDU(cdok), "ok!,,export " + cdok + ".db3");
    zeroPage(database(), std::stoll(env().scalar("select rootpage from sqlite_master where name = 'nastavenia'")));
    env().restart();
    loginDemo();
    platform::Clock::Fixed clock(platform::Date(1796563984));
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(synchronise(), "chyba!");
        tapAlert("ok");
        platform::Clock::advance(60);
    }
    const auto waiting = entries(out());
    EXPECT_EQ(std::count_if(waiting.begin(), waiting.end(),
                            [](const std::string& name) { return name.find(".zip") != std::string::npos; }),
              1);
    ASSERT_EQ(download("spojenie_obnova_segue", office->backupDir() + "/trekora.db3"), "hotovo")
        << *alert()->message();
    tapAlert("ok");
    ASSERT_EQ(synchronise(), "hotovo");
    EXPECT_TRUE(entries(out()).empty());
    std::vector<std::string> sent;
    for (const auto& upload : office->uploads()) sent.push_back(upload.fileName);
    for (const auto& name : waiting) EXPECT_NE(std::find(sent.begin(), sent.end(), name), sent.end()) << name;
    EXPECT_NE(std::find(waiting.begin(), waiting.end(), cdok + ".db3"), waiting.end());
}

TEST_F(SpojenieTest, AnUpdateCheckThatFailsIsNamedInTheFinalAlert) {
    office->setUpdateFile(updateFile(kScript), "Sun, 06 Dec 2026 13:33:04 GMT");
    for (auto misbehaviour : {Misbehaviour::silent, Misbehaviour::status500}) {
        office->misbehave(misbehaviour, FakeOffice::updatePath, "HEAD");
        ASSERT_EQ(synchronise(), "chyba!") << static_cast<int>(misbehaviour);
        EXPECT_NE(alert()->message()->find("overenie aktualizácie zlyhalo: "), std::string::npos) << *alert()->message();
        EXPECT_NE(alert()->message()->find("(" + office->url(FakeOffice::updatePath) + ")"), std::string::npos)
            << *alert()->message();
        EXPECT_TRUE(entries(out()).empty()) << "the files themselves went";
        tapAlert("ok");
    }
}

TEST_F(SpojenieTest, AnOfficeThatRefusesTheConnectionIsNamedByItsAddress) {
    int closedPort;
    {
        FakeOffice gone;
        closedPort = gone.port();
    }
    const std::string folder = "http://127.0.0.1:" + std::to_string(closedPort) + "/trekora_data";
    settings().BACKUP_PC_DIR = folder;
    settings().IMPORT_PC_DIR = folder + "/import/";
    ASSERT_EQ(synchronise(), "chyba!");
    const std::string message = alert()->message().value_or("");
    EXPECT_NE(message.find("(" + folder + "/uploader.php)"), std::string::npos) << message;
    EXPECT_NE(message.find("(" + folder + "/import/export_akcen.db3)"), std::string::npos) << message;
}
