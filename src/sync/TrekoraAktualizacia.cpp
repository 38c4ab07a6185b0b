// The data update: whether the office holds a newer update file than the
// one last applied, and the application of a downloaded update file.

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/BackgroundJobs.h"
#include "core/CoreDb.h"
#include "core/PrevodObjednavok.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "platform/DateFormatter.h"
#include "platform/DiagnosticLog.h"
#include "platform/DispatchQueue.h"
#include "platform/DispatchSemaphore.h"
#include "platform/MainRunLoop.h"
#include "platform/TimeZone.h"
#include "platform/UrlRequest.h"
#include "platform/UrlSession.h"
#include "records/NastaveniaItem.h"
#include "sync/DatabaseFile.h"

using platform::Console;

namespace {

constexpr const char* kUpdate = "updateData(script:updateFileUrl:)";
constexpr const char* kCheck = "jePotrebnyUpade()";
constexpr const char* kWrite = "writeDatumAktualizacieLokalne()";

// What the check waits beyond its request's deadline at most, for the
// request's end to be reported.
constexpr double kCheckMargin = 15.0;

std::string updateFilePath(const std::string& updateFileUrl) {
    auto url = platform::Url::parse(updateFileUrl);
    return url && url->isFileUrl() ? url->filePath() : updateFileUrl;
}

bool isWordCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
}

// Whether the word that ends at `last` (inclusive) is END, in any case.
bool endsWithEnd(const std::string& text, std::size_t from, std::size_t last) {
    if (last < from + 2) return false;
    const std::size_t first = last - 2;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(text[first + i])) != "END"[i]) return false;
    return first == from || !isWordCharacter(text[first - 1]);
}

// The script cut where SQLite itself sees a whole statement end: a ";"
// inside a trigger's body, a quoted text or a comment ends none. One scan
// passes over quoted texts and comments; SQLite is asked only at a ";"
// outside them. Once it has said that a statement goes on there (a
// trigger's body is open), it is asked again only where ";" follows the
// word END, the only place such a body can close. Blank pieces are left
// out, as of every stored text.
coredb::Statements cutScript(const std::string& text) {
    coredb::Statements out;
    auto cut = [&out, &text](std::size_t start, std::size_t end) {
        std::string piece = text.substr(start, end - start);
        ++out.pieces;
        if (piece.find_first_not_of(" \t\n\r\f\v") != std::string::npos) out.statements.push_back(std::move(piece));
    };
    auto skipTo = [&text](std::size_t from, const char* closing) {
        const std::size_t at = text.find(closing, from);
        return at == std::string::npos ? text.size() : at + std::strlen(closing) - 1;
    };
    const std::size_t size = text.size();
    std::size_t start = 0;
    std::size_t last = std::string::npos;  // the statement's last character outside comments and blanks
    bool inBody = false;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        const char next = i + 1 < size ? text[i + 1] : '\0';
        if (c == '-' && next == '-') {
            i = skipTo(i + 2, "\n");
        } else if (c == '/' && next == '*') {
            i = skipTo(i + 2, "*/");
        } else if (c == ';') {
            const bool ask = !inBody || (last != std::string::npos && endsWithEnd(text, start, last));
            if (ask && sqlite3_complete(text.substr(start, i + 1 - start).c_str())) {
                cut(start, i);
                start = i + 1;
                last = std::string::npos;
                inBody = false;
                continue;
            }
            inBody = inBody || ask;
            last = i;
        } else if (!std::isspace(static_cast<unsigned char>(c))) {
            if (c == '\'' || c == '"' || c == '`') i = skipTo(i + 1, std::string(1, c).c_str());
            else if (c == '[') i = skipTo(i + 1, "]");
            last = std::min(i, size - 1);
        }
    }
    cut(start, size);
    return out;
}

}  // namespace

bool Trekora::jePotrebnyUpade() {
    log(kCheck);
    datumAktualizacieLokalne.clear();
    datumAktualizacieNaServeri.clear();
    chybaOvereniaAktualizacie.clear();
    auto semafor = std::make_shared<platform::DispatchSemaphore>(0);
    readDatumAktualizacieNaServeri(semafor);
    Console::print(platform::DispatchQueue::main()->isCurrent() ? "main thread!" : "global thread!");
    if (!semafor->wait(updateCheckDeadline + kCheckMargin)) {
        Console::print("jePotrebnyUpade(): no answer in time");
        chybaOvereniaAktualizacie = "server neodpovedal včas";
    }
    readDatumAktualizacieLokalne();
    const bool result = datumAktualizacieLokalne < datumAktualizacieNaServeri;
    log(std::string(kCheck) + " datumAktualizacieLokalne: " + datumAktualizacieLokalne);
    log(std::string(kCheck) + " datumAktualizacieNaServeri: " + datumAktualizacieNaServeri);
    log(std::string(kCheck) + " result: " + (result ? "true" : "false"));
    return result;
}

void Trekora::readDatumAktualizacieNaServeri(const std::shared_ptr<platform::DispatchSemaphore>& semafor) {
    const std::string address = (nastaveniaItem ? nastaveniaItem->IMPORT_PC_DIR : std::string()) + "export_akcen.db3";
    auto url = platform::Url::parse(address);
    if (!url) {
        chybaOvereniaAktualizacie = "neplatná adresa: " + address;
        platform::DiagnosticLog::write("Last-Modified Date: ");
        Console::print(datumAktualizacieNaServeri);
        semafor->signal();
        return;
    }
    platform::UrlRequest request(*url, 60.0, 0);
    request.httpMethod = "HEAD";
    // An overall deadline besides the idle time-out: an office that
    // trickles its answer cannot hold the check.
    auto configuration = platform::UrlSessionConfiguration::defaultConfiguration();
    configuration.timeoutIntervalForResource = updateCheckDeadline;
    auto session = platform::UrlSession::make(configuration);
    // The answer writes into this object: it holds a ticket of the jobs,
    // and ending the jobs cancels the request.
    auto job = jobs->begin();
    auto task = session->dataTask(
        request, [this, semafor, job](std::optional<std::string>, std::shared_ptr<platform::HttpUrlResponse> response,
                                      std::optional<platform::Error> error) {
            std::optional<std::string> header;
            if (response) header = response->value("Last-Modified");
            // Only the file itself dates an update: an error page's date does not.
            if (header && response->statusCode() == 200) {
                const platform::DateFormatter parser("EEE, dd MMM yyyy HH:mm:ss zzz", platform::TimeZone::gmt());
                if (auto date = parser.date(*header)) {
                    const platform::DateFormatter writer("yyyy-MM-dd HH:mm:ss", platform::TimeZone::gmt());
                    Console::print(writer.string(*date));
                    datumAktualizacieNaServeri = writer.string(*date);
                }
            }
            // An office without an update file (404) leaves nothing to check;
            // every other answer without a date means the check failed.
            if (!response) {
                chybaOvereniaAktualizacie = error ? error->localizedDescription() : "server neodpovedal";
            } else if (response->statusCode() != 200 && response->statusCode() != 404) {
                chybaOvereniaAktualizacie = "server odpovedal " + response->statusDescription();
            } else if (response->statusCode() == 200 && datumAktualizacieNaServeri.empty()) {
                chybaOvereniaAktualizacie = "server neuviedol dátum aktualizácie";
            }
            platform::DiagnosticLog::write("Last-Modified Date: " + header.value_or(""));
            Console::print(datumAktualizacieNaServeri);
            semafor->signal();
        });
    BackgroundJobs::resume(job, task);
    session->finishTasksAndInvalidate();
}

void Trekora::readDatumAktualizacieLokalne() {
    coredb::traceStart("readDatumAktualizacieLokalne()");
    auto db = coredb::openDatabase(dbURL);
    if (!db) return;
    std::optional<SqlError> error;
    auto rs = db->executeQuery("select akcen from verzia", {}, &error);
    if (!rs) {
        coredb::trace("failed: " + (error ? error->description : db->lastErrorMessage()));
    } else {
        coredb::trace("colcount: " + std::to_string(rs->columnCount()));
        if (rs->next()) datumAktualizacieLokalne = coredb::text(*rs, "AKCEN");
        rs->close();
    }
    coredb::trace(datumAktualizacieLokalne);
    db->close();
}

void Trekora::writeDatumAktualizacieLokalne() {
    log(kWrite);
    // Without a date from the office there is nothing to record: the date
    // of the last applied update stays, so the same update is not taken
    // for a newer one.
    if (datumAktualizacieNaServeri.empty()) {
        log(std::string(kWrite) + " no server date, akcen kept");
        return;
    }
    auto db = std::make_shared<SqlDatabase>(dbURL);
    if (!db->open()) {
        log(std::string(kWrite) + " Unable to open database");
        return;
    }
    if (db->executeUpdateWithArgumentsInArray("update verzia set akcen=:HODNOTA", {datumAktualizacieNaServeri})) {
        log(std::string(kWrite) + " update ok");
    } else {
        log(std::string(kWrite) + " update failed db.lastError = " + db->lastError().description);
    }
    db->close();
}

std::string Trekora::updateData(const std::string& script, const std::string& updateFileUrl) {
    auto fail = [this](const std::string& result) {
        log(std::string(kUpdate) + " result = " + result);
        return result;
    };
    const std::string path = updateFilePath(updateFileUrl);

    // The update file must be an SQLite file; it is only read.
    std::string queryText;
    {
        if (!DatabaseFile::hasSqliteHeader(path)) return fail("chyba! ,,nemôžem otvoriť databázu s aktualizáciami");
        SqlDatabase update(path);
        if (!update.openWithFlags(SQLITE_OPEN_READONLY)) return fail("chyba! ,,nemôžem otvoriť databázu s aktualizáciami");
        queryText = getQuery(script, update);
        update.close();
    }
    if (queryText.empty()) return fail("chyba! ,,prazdne query!");

    // An update may make the order tables again or drop the links of an
    // earlier version: the orders are taken over before it runs.
    if (auto failure = PrevodObjednavok::preved(dbURL))
        return fail("chyba! ,," + PrevodObjednavok::chyba + " (" + *failure + ")");

    SqlDatabase db(dbURL);
    if (!db.open()) return fail("chyba! ,,nemôžem otvoriť databázu");

    const coredb::Statements cut = cutScript(queryText);
    coredb::traceCounts(cut);
    log(std::string(kUpdate) + " filteredArray.count = " + std::to_string(cut.statements.size()));
    // Statements 0 to 4 take the file's address; a script without them is
    // not an update script.
    if (cut.statements.size() < 5) {
        db.close();
        return fail("chyba! ,,neúplné query!");
    }

    // The statements run one by one, each taking effect on its own, as the
    // office writes its scripts: a failing statement ends nothing, and a
    // script may hold its own begin and commit.
    for (std::size_t i = 0; i < cut.statements.size(); ++i) {
        const std::string& statement = cut.statements[i];
        const SqlValue value = i < 5 ? SqlValue(updateFileUrl) : SqlValue(str);
        const bool x = db.executeUpdateWithArgumentsInArray(statement, {value});
        log(std::string(kUpdate) + " query = " + statement);
        log(std::string(kUpdate) + " x = " + (x ? "true" : "false") + " db.changes = " + std::to_string(db.changes()));
    }
    // The run's connection is closed before the date is written, so that a
    // transaction a script left open cannot hold the date's write back.
    db.close();
    if (script == "update1") {
        log(std::string(kUpdate) + " datumAktualizacieLokalne: " + datumAktualizacieLokalne);
        log(std::string(kUpdate) + " datumAktualizacieNaServeri: " + datumAktualizacieNaServeri);
        writeDatumAktualizacieLokalne();
    }
    return "";
}
