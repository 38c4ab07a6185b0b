// File upload and download of the connection screen, and its URL-session
// callbacks.

#include <cstdio>

#include "core/BackgroundJobs.h"
#include "core/OdoslaneCisla.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "core/ZaevidovaneDoklady.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"
#include "platform/FileManager.h"
#include "platform/Numbers.h"
#include "platform/UrlRequest.h"
#include "platform/UrlSession.h"
#include "records/NastaveniaItem.h"
#include "sync/DatabaseFile.h"
#include "sync/OdoslanaZaloha.h"
#include "sync/PoskodenaDatabaza.h"
#include "sync/Spojenie.h"

using platform::Console;
using platform::FileManager;

const std::string Spojenie::boundary = "---------------------------14737809831466499882746641449";

namespace {

constexpr const char* kUpload = "posliSubor(url:semafor:)";
constexpr const char* kFinish = "urlSession(_:downloadTask:didFinishDownloadingTo:)";

std::string lastComponent(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// scheme://host[:port] of an address; "" when it is none.
std::string origin(const std::string& address) {
    auto url = platform::Url::parse(address);
    if (!url || url->host().empty() || (url->scheme() != "http" && url->scheme() != "https")) return "";
    std::string out = url->scheme() + "://" + url->host();
    if (url->port()) out += ":" + std::to_string(*url->port());
    return out;
}

// The program's own entries of Documents, which no download replaces or
// creates: the log, the outbox, the journals of a database, the fiscal
// service's mark of uncertain registrations (and a damaged one kept aside),
// the record of the numbers that left the device, that of the backup the
// office has and that of the registrations this device made (and a damaged
// one of each kept aside), and a damaged database kept aside. (The database
// itself is replaced only by the restore's own checked road.)
bool ownEntry(const std::string& name, const Trekora& trekora) {
    if (name == trekora.logFileName || name == "out" || name == trekora.neisteFileName ||
        name == OdoslaneCisla::fileName || name == OdoslanaZaloha::fileName || name == ZaevidovaneDoklady::fileName ||
        name.rfind(trekora.neistePoskodenyPrefix, 0) == 0 || name.rfind(OdoslaneCisla::poskodenyPrefix, 0) == 0 ||
        name.rfind(ZaevidovaneDoklady::poskodenyPrefix, 0) == 0 || name.rfind(PoskodenaDatabaza::prefix, 0) == 0)
        return true;
    for (const std::string ending : {"-journal", "-wal", "-shm"})
        if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    return false;
}

platform::UrlSessionConfiguration transferConfiguration(double deadline) {
    auto configuration = platform::UrlSessionConfiguration::defaultConfiguration();
    configuration.timeoutIntervalForResource = deadline;
    return configuration;
}

}  // namespace

std::string Spojenie::uploadEndpoint() {
    auto& trekora = sharedTrekora();
    if (!trekora.nastaveniaItem) return "";
    std::string base = origin(trekora.nastaveniaItem->BACKUP_PC_DIR);
    if (base.empty()) base = origin(trekora.nastaveniaItem->IMPORT_PC_DIR);
    return base.empty() ? "" : base + "/trekora_data/uploader.php";
}

std::string Spojenie::multipartBody(const std::string& fileName, const std::string& bytes) {
    // A quote or a line end would end the header line early: such characters
    // of a (device) name are sent as "_".
    std::string name = fileName;
    for (char& c : name)
        if (c == '"' || c == '\r' || c == '\n') c = '_';
    std::string body;
    body.reserve(bytes.size() + 256);
    body += "\r\n--" + boundary + "\r\n";
    body += "Content-Disposition: form-data; name=\"uploadedfile\"; filename=\"" + name + "\"\r\n";
    body += "Content-Type: application/octet-stream\r\n\r\n";
    body += bytes;
    body += "\r\n--" + boundary + "--\r\n";
    return body;
}

void Spojenie::posliSubor(const std::string& path, const std::shared_ptr<platform::DispatchSemaphore>& semafor) {
    auto& trekora = sharedTrekora();
    const std::string name = lastComponent(path);
    naHlavnom([name](Spojenie& s) { s.nastavInfo("posielam " + name); });
    trekora.log(std::string(kUpload) + " posielam: " + name);

    auto failed = [this, &trekora, semafor](const std::string& why) {
        trekora.log(std::string(kUpload) + " error: " + why);
        neodoslany(why);
        semafor->signal();
    };
    platform::Error readError;
    auto bytes = FileManager::contents(path, &readError);
    if (!bytes) return failed(readError.localizedDescription());
    const std::string endpoint = uploadEndpoint();
    auto url = platform::Url::parse(endpoint);
    if (!url) return failed("no upload address in the settings");

    platform::UrlRequest request(*url, 60.0, 0);
    request.httpMethod = "POST";
    request.setValue("Keep-Alive", "Connection");
    request.setValue("multipart/form-data; boundary=" + boundary, "Content-Type");
    // Only the office's own 200 to this very POST lets the file go: a
    // redirect (a captive portal, a move to another address) is an answer
    // of its own and a failure.
    request.followsRedirects = false;

    // The shared object waits for the upload's completion before it goes,
    // and cancels the upload then.
    auto job = trekora.jobs->begin();
    if (!job) return failed("cancelled");
    auto session = platform::UrlSession::make(transferConfiguration(transferDeadline), selfAsDelegate());
    auto screen = self();
    auto task = session->uploadTask(
        request, multipartBody(name, *bytes),
        [screen, path, name, semafor, job](std::optional<std::string> data,
                                      std::shared_ptr<platform::HttpUrlResponse> response,
                                      std::optional<platform::Error> error) {
            auto& t = sharedTrekora();
            Console::print(std::string(27, '-'));
            Console::print("upload task finished!");
            Console::print("data");
            Console::print(data ? std::to_string(data->size()) + " bytes" : "nil");
            Console::print("response");
            Console::print(response ? std::to_string(response->statusCode()) : "nil");
            Console::print("error");
            Console::print(error ? error->localizedDescription() : "nil");

            t.log(std::string(kUpload) + " odoslane: " + name);
            if (response)
                t.log(std::string(kUpload) + " response: statusCode: " + std::to_string(response->statusCode()) +
                      " statusMessage: " + platform::HttpUrlResponse::localizedString(response->statusCode()));
            t.log(std::string(kUpload) + " error: " + (error ? error->localizedDescription() : "nil"));
            if (!error && response && response->statusCode() == 200) {
                t.log(std::string(kUpload) + " mazem: " + name);
                platform::Error removeError;
                if (!FileManager::removeItem(path, &removeError))
                    t.log(std::string(kUpload) + " error: " + removeError.localizedDescription());
            } else if (error || !response) {
                screen->neodoslany(error ? error->localizedDescription() : "server neodpovedal");
            } else {
                const std::string reason = "server odpovedal " + response->statusDescription();
                if (auto location = response->value("Location"))
                    t.log(std::string(kUpload) + " presmerovanie na: " + *location);
                screen->neodoslany(reason);
            }
            semafor->signal();
        });
    BackgroundJobs::resume(job, task);
    session->finishTasksAndInvalidate();
}

std::string Spojenie::chybaAdresy(const std::string& address) {
    auto url = platform::Url::parse(address);
    if (!url || (url->scheme() != "http" && url->scheme() != "https") || url->host().empty())
        return "neplatná adresa: " + address;
    const std::string name = url->lastPathComponent();
    bool plain = !name.empty() && name.front() != '.' &&
                 name.rfind(sharedTrekora().dbFileName + "-", 0) == std::string::npos;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\') plain = false;
    if (!plain) return "neplatná adresa: " + address + " (názov súboru)";
    if (ownEntry(name, sharedTrekora())) return "neplatná adresa: " + address + " (vlastný súbor programu)";
    return "";
}

void Spojenie::stiahni(const std::string& address) {
    const std::string reason = chybaAdresy(address);
    if (!reason.empty()) {
        Console::print(reason);
        naHlavnom([reason](Spojenie& s) { s.zobrazChybuPrenosu(reason); });
        return;
    }
    auto job = sharedTrekora().jobs->begin();
    if (!job) return;
    auto url = platform::Url::parse(address);
    downloadFileUrl = address;
    auto session = platform::UrlSession::make(transferConfiguration(transferDeadline), selfAsDelegate());
    auto task = session->downloadTask(platform::UrlRequest(*url, 60.0, 0));
    stahovanie = job;
    BackgroundJobs::resume(job, task);
    session->finishTasksAndInvalidate();
}

void Spojenie::zobrazChybuPrenosu(const std::string& reason) {
    // A download that ends a synchronisation also tells what the job did
    // not send before it.
    const std::string others = popisChyb();
    zobrazChybu(others.empty() ? reason : reason + "\n" + others);
}

void Spojenie::didSendBodyData(platform::UrlSession&, platform::UrlSessionTask&, int64_t, int64_t totalBytesSent,
                               int64_t totalBytesExpectedToSend) {
    const float value = static_cast<float>(totalBytesSent) / static_cast<float>(totalBytesExpectedToSend);
    naHlavnom([value](Spojenie& s) {
        Console::print("didSendBodyData " + platform::format("%f", static_cast<double>(value)));
        s.nastavProgress(value, false);
    });
}

void Spojenie::didWriteData(platform::UrlSession&, platform::UrlSessionTask&, int64_t, int64_t totalBytesWritten,
                            int64_t totalBytesExpectedToWrite) {
    const float value = static_cast<float>(totalBytesWritten) / static_cast<float>(totalBytesExpectedToWrite);
    naHlavnom([value](Spojenie& s) {
        Console::print(platform::format("%f", static_cast<double>(value)));
        s.nastavProgress(value, false);
    });
}

void Spojenie::didCompleteWithError(platform::UrlSession&, platform::UrlSessionTask&,
                                    const std::optional<platform::Error>& error) {
    // The last callback of the download: its ticket goes back on return.
    const auto job = std::move(stahovanie);
    if (!error) return;
    Console::print(error->localizedDescription());
    sharedTrekora().log(std::string(kFinish) + " error: " + error->localizedDescription());
    // A download that failed leaves the screen through its alert.
    const std::string reason = error->localizedDescription();
    naHlavnom([reason](Spojenie& s) { s.zobrazChybuPrenosu(reason); });
}

void Spojenie::didFinishDownloadingTo(platform::UrlSession&, platform::UrlSessionTask& task,
                                      const platform::Url& location) {
    auto& trekora = sharedTrekora();
    const std::string destination = localFileUrl(downloadFileUrl);
    const std::string temporary = location.filePath();
    Console::print("finish");
    Console::print(location.absoluteString());
    Console::print(destination);

    auto fail = [&](const std::string& reason) {
        trekora.log(std::string(kFinish) + " chyba: " + reason);
        naHlavnom([reason](Spojenie& s) { s.zobrazChybuPrenosu(reason); });
    };

    // Only a complete answer with status 200 is taken.
    auto response = task.response();
    if (!response) return fail("server neodpovedal");
    if (response->statusCode() != 200) return fail("server odpovedal " + response->statusDescription());
    const int64_t expected = response->expectedContentLength();
    const auto size = FileManager::fileSize(temporary);
    if (!size || (expected >= 0 && static_cast<int64_t>(*size) != expected))
        return fail("neúplný súbor");

    // The name comes from the typed address, checked before the download.
    if (const std::string reason = chybaAdresy(downloadFileUrl); !reason.empty()) return fail(reason);
    const std::string name = lastComponent(destination);
    // What the finish alert tells beside the time (of a restore: the copy's
    // highest document number and the exports set aside).
    std::string hlasenie;
    if (name == "trekora.db3") {
        // The database takes the download's place only once the download is
        // known good and nothing stands against it; one rename replaces it,
        // the old file stays until then.
        if (const std::string reason = trekora.obnovDatabazu(temporary, &hlasenie); !reason.empty())
            return fail(reason);
        trekora.log(std::string(kFinish) + " obnova ok");
    } else {
        std::string reason;
        if (name == "export_akcen.db3" && !DatabaseFile::hasSqliteHeader(temporary))
            return fail("súbor s aktualizáciami nie je databáza");
        if (!DatabaseFile::placeCopy(temporary, destination, &reason)) {
            Console::print("Error creating a file " + destination + " : " + reason);
            return fail(reason);
        }
        if (name == "export_akcen.db3") {
            trekora.log(std::string(kFinish) + " spustam update");
            const std::string x = trekora.updateData("update1", platform::Url::fileUrl(destination).absoluteString());
            trekora.log(std::string(kFinish) + " x=" + x);
            // An update may have rewritten the document tables.
            if (auto failure = OdoslaneCisla(trekora.getDocumentsDirectory()).pokracujNad(trekora.dbURL))
                trekora.log(std::string(kFinish) + " cislovanie nad odoslanymi: " + *failure);
            trekora.vratFiskalneUdaje(trekora.dbURL);
            if (!x.empty()) return fail(ResultString::reason(x));
        }
    }
    naHlavnom([hlasenie, restored = name == "trekora.db3"](Spojenie& s) {
        // Settings that could not be read give no address to send to: the
        // restored database's own are read, so that its first
        // synchronisation sends what waits in "out".
        if (restored && uploadEndpoint().empty()) sharedTrekora().readNastaveniaItem();
        const int chyby = s.neodoslaneSubory.load();
        if (chyby > 0 || !s.chybaJobu.empty()) {
            s.zobrazChybu(s.popisChyb());
        } else if (!hlasenie.empty()) {
            s.zobrazKoniec("hotovo", hlasenie + "\n" + s.casText());
        } else {
            s.zobrazHotovo();
        }
    });
}
