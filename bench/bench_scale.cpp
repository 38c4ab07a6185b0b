// A year of documents on the handheld: the demo database grown by SQL to
// 100,000 documents with their lines and customer copies (--documents=N for
// another count). Opening the document list (reading it and drawing its first
// page on a terminal of 40 lines) runs interleaved with the list's own stored
// query read on the raw SQLite interface into rows of texts; then the program
// itself logs in, opens the list and quits, once on a terminal and once with
// its screens written to a pipe, and its peak memory is printed.
#include <fcntl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/ModelRunner.h"
#include "app/TerminalFrontEnd.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "report/DataItem.h"
#include "ui/orders/Doklady.h"
#include "ui/orders/OrdersStoryboard.h"

namespace {

constexpr int kTerminalLines = 40;
// What a person types: the demo PIN, the main menu's "doklady" row, quit.
constexpr const char* kSession = "1234\n6\nq\n";

long g_documents = 100000;
std::string g_dir;
std::string g_listQuery;
std::shared_ptr<Doklady> g_doklady;
std::shared_ptr<platform::Window> g_window;

// Grows the database to `documents` documents: copies of the demo documents,
// each with its lines and customer copy, on later dates and with receipt
// numbers of their own.
void growDocuments(const std::string& database, long documents) {
    const std::string n = std::to_string(documents);
    bench::exec(database, R"(
begin;
create temp table n(i integer primary key);
with recursive c(i) as (select 1 union all select i + 1 from c where i < )" + n + R"( - (select count(*) from vety))
  insert into n select i from c where i <= )" + n + R"( - (select count(*) from vety);
insert into vety (id, cdok, datum, cas, str, idu, meno, ido, idopl, idosc, ico, pohyb, smj, dodzla, datum3, sumdokz,
                  info, ctl, pardok, parcdok, porcdok, objcdok, importovat, km, facvset, facnas, trasa, obccbd, obccsd,
                  sumdph, sumdokz_korunka, ducis, uid, okp, datum_vytvor, datum_vystav, datum_evid)
  select 100000 + n.i, 100000 + n.i, date('2025-01-01', '+' || (n.i / 300) || ' days'), s.cas, s.str, s.idu, s.meno,
         s.ido, s.idopl, s.idosc, s.ico, s.pohyb, s.smj, s.dodzla, s.datum3, s.sumdokz,
         case when s.pohyb = 10 then 'DC:' || (n.i + 1) else s.info end, s.ctl, s.pardok, s.parcdok, s.porcdok,
         s.objcdok, s.importovat, s.km, s.facvset, s.facnas, s.trasa, s.obccbd, s.obccsd, s.sumdph, s.sumdokz_korunka,
         s.ducis, s.uid, s.okp, s.datum_vytvor, s.datum_vystav, s.datum_evid
  from n join vety s on s.id = 1001 + n.i % 6;
insert into polo (vety_id, cdok, datum, str, ido, pohyb, sklad_typ, idtov, idtovsc, skutov1, skutov2, naztov1, naztov2,
                  mj, dph, mnoz, cena, zlava1, cena1, zlava2, cena2, zlavac, cenac, cena00, ccmnoz, hdphcc, ccsum,
                  sarza, datumspotreby, ean, ean_ob, korunka)
  select 100000 + n.i, 100000 + n.i, p.datum, p.str, p.ido, p.pohyb, p.sklad_typ, p.idtov, p.idtovsc, p.skutov1,
         p.skutov2, p.naztov1, p.naztov2, p.mj, p.dph, p.mnoz, p.cena, p.zlava1, p.cena1, p.zlava2, p.cena2, p.zlavac,
         p.cenac, p.cena00, p.ccmnoz, p.hdphcc, p.ccsum, p.sarza, p.datumspotreby, p.ean, p.ean_ob, p.korunka
  from n join polo p on p.vety_id = 1001 + n.i % 6;
insert into odbe (vety_id, cdok, ido, idosc, str, ico, dic, nazov1, nazov2, ulica, mesto, psc, telc, faxc, idopl,
                  matica, zlava, zlmax, pohyb, matic2, ctlac, idoscc, icdph)
  select 100000 + n.i, 100000 + n.i, o.ido, o.idosc, o.str, o.ico, o.dic, o.nazov1, o.nazov2, o.ulica, o.mesto, o.psc,
         o.telc, o.faxc, o.idopl, o.matica, o.zlava, o.zlmax, o.pohyb, o.matic2, o.ctlac, o.idoscc, o.icdph
  from n join odbe o on o.vety_id = 1001 + n.i % 6;
commit;
)");
}

void rawStoredQuery() {
    // The list's own query on a connection of its own, each row read into
    // its column texts.
    bench::readRawRows(sharedTrekora().dbURL, g_listQuery);
}

void openDocumentList() {
    // What a person waits for: the list read and its first page drawn.
    ModelRunner runner(g_window);
    {
        g_doklady->viewWillAppear(false);
        std::istringstream none;
        std::ostringstream screen;
        TerminalFrontEnd frontEnd(runner, none, screen, false, false);
        frontEnd.setHeight([] { return kTerminalLines; });
        frontEnd.run();
        bench::keep(screen.str().size());
    }
}

// The program run on a copy of the grown Documents folder with the typed
// session, its screens on a terminal of kTerminalLines lines (or, without
// one, written to a pipe that is read and dropped). Answers its peak memory
// in kilobytes and the seconds the session took; none when it did not run.
struct Run {
    long peakKb = 0;
    double seconds = 0;
};

std::optional<Run> runProgram(bool onTerminal) {
    const std::string program = std::string(TREKORA_BINARY_DIR) + "/trekora";
    const std::filesystem::path home = g_dir + "/home";
    const std::filesystem::path documents = home / "trekora" / "Documents";
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(documents);
    std::filesystem::copy_file(sharedTrekora().dbURL, documents / "trekora.db3");

    int master = -1, input[2] = {-1, -1}, output[2] = {-1, -1};
    std::string slaveName;
    if (onTerminal) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return std::nullopt;
        slaveName = ptsname(master);
    } else if (pipe(input) != 0 || pipe(output) != 0) {
        return std::nullopt;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        if (onTerminal) {
            setsid();
            const int slave = open(slaveName.c_str(), O_RDWR);
            winsize size{};
            size.ws_row = kTerminalLines;
            size.ws_col = 100;
            ioctl(slave, TIOCSWINSZ, &size);
            dup2(slave, 0);
            dup2(slave, 1);
        } else {
            dup2(input[0], 0);
            dup2(output[1], 1);
        }
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        for (int fd = 3; fd < 1024; ++fd) close(fd);
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        unsetenv("TREKORA_WIFI_SSID");
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int reading = onTerminal ? master : output[0];
    if (onTerminal) {
        if (write(master, kSession, std::strlen(kSession)) < 0) return std::nullopt;
    } else {
        close(input[0]);
        close(output[1]);
        if (write(input[1], kSession, std::strlen(kSession)) < 0) return std::nullopt;
        close(input[1]);
    }
    // Read and drop what it draws until it ends (the end of the pipe, or an
    // error on the terminal once no one holds it any more).
    char buffer[65536];
    while (read(reading, buffer, sizeof buffer) > 0) {}
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    close(reading);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::filesystem::remove_all(home);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return Run{usage.ru_maxrss, seconds};
}

}  // namespace

int main(int argc, char** argv) {
    bench::RatioReporter::readArguments(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--documents=", 12) == 0) g_documents = std::atol(argv[i] + 12);
    bench::QuietConsole quiet;
    auto& trekora = bench::startInFreshDocuments(g_dir);
    growDocuments(trekora.dbURL, g_documents);
    auto item = trekora.findDataItem("vsetky_vystavene");
    if (!item) {
        std::fprintf(stderr, "no data item vsetky_vystavene\n");
        return 1;
    }
    g_listQuery = item->selectQuery;
    OrdersStoryboard::registerAll();
    g_doklady = platform::Storyboard::named("Main")->instantiate<Doklady>("Doklady");
    g_window = std::make_shared<platform::Window>();
    g_window->setRootViewController(platform::NavigationController::make(g_doklady));
    g_window->makeKeyAndVisible();
    std::fprintf(stderr, "documents: %zu\n", g_doklady->data.size());

    std::printf("documents: %ld\n", g_documents);
    const bool ok = bench::RatioReporter::compare("opening the document list (first page drawn) / raw stored query",
                                                  openDocumentList, rawStoredQuery,
                                                  {.rounds = 9, .batchSeconds = 0.2, .goal = "goal at most 1.5x"});
    g_window.reset();
    g_doklady.reset();

    const auto onTerminal = runProgram(true);
    const auto toPipe = runProgram(false);
    Trekora::resetShared();
    std::filesystem::remove_all(g_dir);

    if (onTerminal)
        std::printf("peak memory of the program, log in and open the list on a terminal: %.1f MB (%.2f s in all)\n",
                    onTerminal->peakKb / 1024.0, onTerminal->seconds);
    if (toPipe)
        std::printf("peak memory of the program, log in and open the list, screens to a pipe: %.1f MB (%.2f s in all)\n",
                    toPipe->peakKb / 1024.0, toPipe->seconds);
    std::printf("goal: peak under 200 MB at 100,000 documents, under 1.5 GB at 1,000,000\n");
    if (!ok) return 1;
    if (!onTerminal || !toPipe) {
        std::printf("the program %s/trekora did not run the session to its end\n", TREKORA_BINARY_DIR);
        return 1;
    }
    return 0;
}
