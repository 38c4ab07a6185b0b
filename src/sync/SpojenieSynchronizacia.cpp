// The synchronisation jobs of the connection screen.

#include "core/BackgroundJobs.h"
#include "core/Trekora.h"
#include "core/ZaevidovaneDoklady.h"
#include "platform/Console.h"
#include "platform/DateFormatter.h"
#include "platform/Device.h"
#include "platform/DispatchQueue.h"
#include "platform/FileManager.h"
#include "platform/Numbers.h"
#include "platform/UrlRequest.h"
#include "platform/UrlSession.h"
#include "records/NastaveniaItem.h"
#include "sync/DatabaseFile.h"
#include "sync/OdoslanaZaloha.h"
#include "sync/Spojenie.h"
#include "sync/ZipPacker.h"

using platform::Console;
using platform::FileManager;

namespace {

// A name stem part without characters that cannot stand in a file name.
std::string fileNamePart(std::string text) {
    for (char& c : text)
        if (c == '/' || c == '\0') c = '_';
    return text;
}

// Packs a consistent snapshot of the database as the entry "trekora.db3"
// into a new archive at `archive`. False with the reason; no archive is
// left behind then. `unreadable` as DatabaseFile::snapshot tells it. The
// registrations of the device's record that the snapshot holds with their
// identifiers go into `drzane`: once the archive has reached the office,
// the record need not keep them.
bool packBackup(const std::string& database, const std::string& archive, std::string* reason, bool* unreadable,
                std::vector<ZaevidovaneDoklady::Registracia>* drzane) {
    const std::string work = FileManager::makeTemporaryDirectory("trekora-backup");
    if (work.empty()) {
        *reason = "nemôžem vytvoriť dočasný adresár";
        return false;
    }
    const std::string snapshot = work + "/trekora.db3";
    const std::string packed = work + "/backup.zip";
    bool ok = DatabaseFile::snapshot(database, snapshot, reason, unreadable);
    if (ok) {
        auto& trekora = sharedTrekora();
        std::string hlasenie;
        const auto zoznam = ZaevidovaneDoklady(trekora.getDocumentsDirectory()).zoznam(&hlasenie);
        if (!hlasenie.empty()) trekora.log("zaloha: zaznam zaevidovanych dokladov " + hlasenie);
        if (zoznam && !zoznam->empty())
            if (auto failure = ZaevidovaneDoklady::drzane(snapshot, *zoznam, drzane)) {
                trekora.log("zaloha: zaevidovane doklady v zalohe sa nedaju zistit: " + *failure);
                drzane->clear();
            }
    }
    if (ok) {
        ZipPacker zip;
        ok = zip.createZip(packed);
        ok = ok && zip.addFile(snapshot, FileManager::lastPathComponent(database));
        ok = zip.closeZip() && ok;
        if (!ok) *reason = "archív zálohy sa nepodarilo zapísať";
    }
    if (ok) {
        platform::Error error;
        FileManager::removeItem(archive);
        ok = FileManager::moveItem(packed, archive, &error);
        if (!ok) *reason = error.localizedDescription();
    }
    FileManager::removeItem(work);
    return ok;
}

}  // namespace

bool Spojenie::naOdoslanie(const std::string& path) {
    const std::string name = FileManager::lastPathComponent(path);
    if (name.empty() || name.front() == '.') return false;
    for (const std::string ending : {"-journal", "-wal", "-shm", ".tmp", ".part"})
        if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            return false;
    if (FileManager::isDirectory(path)) return false;
    const auto size = FileManager::fileSize(path);
    return size && *size > 0;
}

void Spojenie::synchronizacia() {
    auto screen = self();
    auto job = sharedTrekora().jobs->begin();
    if (!job) return;
    platform::DispatchQueue::global(platform::DispatchQueue::QoS::Utility)->async(
        [screen, job] { screen->synchronizaciaJob(true); });
}

void Spojenie::synchronizaciaPoPreskladneni() {
    zacniPriebeh("synchronizácia po preskladneni");
    // The job waits for each upload: it runs on a background queue so that
    // the main queue never waits.
    auto screen = self();
    auto job = sharedTrekora().jobs->begin();
    if (!job) return;
    platform::DispatchQueue::global(platform::DispatchQueue::QoS::Utility)->async(
        [screen, job] { screen->synchronizaciaJob(false); });
}

std::string Spojenie::popisChyb() const {
    std::string text = chybaJobu;
    const int chyby = neodoslaneSubory.load();
    if (chyby > 0) {
        text += (text.empty() ? "" : "\n") + std::string("neodoslané súbory: ") + std::to_string(chyby);
        std::lock_guard lock(dovodMutex_);
        if (!dovodNeodoslania_.empty()) text += " (" + dovodNeodoslania_ + ")";
    }
    return text;
}

void Spojenie::neodoslany(const std::string& reason) {
    {
        std::lock_guard lock(dovodMutex_);
        dovodNeodoslania_ = reason;
    }
    ++neodoslaneSubory;
}

void Spojenie::synchronizaciaJob(bool full) {
    auto& trekora = sharedTrekora();
    const std::string prefix = full ? "synchronizacia()" : "synchronizaciaPoPreskladneni()";
    neodoslaneSubory = 0;
    chybaJobu.clear();
    {
        std::lock_guard lock(dovodMutex_);
        dovodNeodoslania_.clear();
    }

    if (full) {
        naHlavnom([](Spojenie& s) { s.zacniPriebeh("synchronizácia"); });
        trekora.log(prefix);
        trekora.log(prefix + " obsah adresara Documents:");
        platform::Error error;
        if (auto entries = FileManager::contentsOfDirectory(documentsPath, &error)) {
            for (const auto& entry : *entries) trekora.log(prefix + "   " + entry);
        } else {
            trekora.log(prefix + " error: " + error.localizedDescription());
        }
    } else {
        trekora.log(prefix + " aktualizacia po preskladneni");
        naHlavnom([](Spojenie& s) { s.nastavInfo("aktualizácia po preskladneni"); });
    }

    const std::string out = FileManager::appendingPathComponent(documentsPath, "out");
    Console::print(platform::Url::fileUrl(out).absoluteString());
    platform::Error createError;
    if (!FileManager::createDirectory(out, true, &createError))
        trekora.log(prefix + " create out Directory error: " + createError.localizedDescription());

    std::string stem, archive;
    // The database file as this job deals with it: the office has it once
    // the archive made of it is sent, or when no archive can be made of it
    // at all (it cannot be read as a database).
    std::string stav;
    // The recorded registrations the backup archive holds.
    std::vector<ZaevidovaneDoklady::Registracia> zalohovane;
    const OdoslanaZaloha zaloha(trekora.getDocumentsDirectory());
    // A run that cannot send (no upload address) makes no second archive of
    // the file as it stands beside one that an earlier run left in "out".
    bool waiting = false;
    if (full) {
        const std::string stamp = platform::DateFormatter::format(platform::Date::now(), "yyyyMMdd_HHmmss");
        stem = fileNamePart(platform::Device::name()) + "_" + fileNamePart(trekora.str) + "_backup_" + stamp;
        archive = FileManager::appendingPathComponent(out, stem + ".zip");
        const std::string before = OdoslanaZaloha::odtlacok(trekora.dbURL);
        if (const std::string earlier = uploadEndpoint().empty() ? zaloha.cakajuca(before) : std::string();
            !earlier.empty()) {
            trekora.log(prefix + " backup tohto stavu databazy uz caka: " + FileManager::lastPathComponent(earlier));
            archive = earlier;
            stav = before;
            waiting = true;
        } else {
            trekora.log(prefix + " vytvaram backup: " + stem + ".zip");
            naHlavnom([](Spojenie& s) { s.nastavInfo("vytvaram backup"); });
            std::string reason;
            bool unreadable = false;
            if (!packBackup(trekora.dbURL, archive, &reason, &unreadable, &zalohovane)) {
                zalohovane.clear();
                trekora.log(prefix + " backup error: " + reason);
                chybaJobu = "záloha zlyhala: " + reason;
                if (unreadable) stav = before;
            } else if (OdoslanaZaloha::odtlacok(trekora.dbURL) == before) {
                // Unchanged while the snapshot was taken: the archive holds it.
                stav = before;
            }
        }
    }

    // A closing whose export was cut off (the program ended between the
    // closing and its export, or during it) is exported again before "out"
    // is sent.
    const std::string exporty = trekora.dokonciExportyDU();
    if (!exporty.empty()) chybaJobu += (chybaJobu.empty() ? "" : "\n") + exporty;
    posliOut(prefix);
    // The archive leaves "out" only on the office's own 200.
    if (!stav.empty() && !FileManager::fileExists(archive)) {
        if (auto failure = zaloha.zaznamenaj(stav)) trekora.log(prefix + " zaznam odoslanej zalohy: " + *failure);
    } else if (!stav.empty() && !waiting) {
        if (auto failure = zaloha.zaznamenajCakajucu(stav, archive))
            trekora.log(prefix + " zaznam cakajucej zalohy: " + *failure);
    }
    if (!zalohovane.empty() && !FileManager::fileExists(archive)) {
        if (auto failure = ZaevidovaneDoklady(trekora.getDocumentsDirectory()).odober(zalohovane))
            trekora.log(prefix + " zaznam zaevidovanych dokladov: " + *failure);
    }
    // The shared object is going (the program is quitting): the job ends here.
    if (trekora.jobs->ending()) return;

    if (full) {
        trekora.log("### koniec tohto log suboru ###########################################################");
        const std::string closedLog = FileManager::appendingPathComponent(out, stem + ".log");
        platform::Error moveError;
        if (!FileManager::moveItem(FileManager::appendingPathComponent(documentsPath, trekora.logFileName), closedLog,
                                   &moveError))
            trekora.log(prefix + " error: " + moveError.localizedDescription());
        trekora.log("### zaciatok tohto log suboru ###########################################################");
        trekora.log("### trekora II verzia: " + trekora.version);
        auto semafor = std::make_shared<platform::DispatchSemaphore>(0);
        posliSubor(closedLog, semafor);
        cakajNaPrenos(semafor);
    }

    if (!trekora.jePotrebnyUpade() || trekora.jobs->ending()) {
        if (!trekora.chybaOvereniaAktualizacie.empty())
            chybaJobu += (chybaJobu.empty() ? "" : "\n") + std::string("overenie aktualizácie zlyhalo: ") +
                         trekora.chybaOvereniaAktualizacie;
        naHlavnom([](Spojenie& s) {
            if (s.popisChyb().empty()) {
                s.zobrazHotovo();
            } else {
                s.zobrazChybu(s.popisChyb());
            }
        });
        return;
    }

    const std::string address =
        (trekora.nastaveniaItem ? trekora.nastaveniaItem->IMPORT_PC_DIR : std::string()) + "export_akcen.db3";
    if (full) {
        trekora.log(prefix + " aktualizacia " + address);
    } else {
        Console::print(address);
    }
    naHlavnom([full, address](Spojenie& s) {
        if (full) s.nastavInfo("aktualizácia");
        s.nastavProgress(0, false);
        s.stiahni(address);
    });
}

void Spojenie::posliOut(const std::string& prefix) {
    auto& trekora = sharedTrekora();
    const std::string out = FileManager::appendingPathComponent(documentsPath, "out");
    trekora.log(prefix + " plnim zoznam suborov na odoslanie v adresari /out/:");
    filesToSend.clear();
    platform::Error error;
    if (auto entries = FileManager::contentsOfDirectory(out, &error)) {
        for (const auto& entry : *entries) {
            const std::string path = FileManager::appendingPathComponent(out, entry);
            if (!naOdoslanie(path)) {
                trekora.log(prefix + " preskakujem " + entry);
                continue;
            }
            trekora.log(prefix + " " + entry);
            filesToSend.push_back(path);
        }
    } else {
        trekora.log(prefix + " error: " + error.localizedDescription());
    }
    const int count = static_cast<int>(filesToSend.size());
    trekora.log(prefix + " pocet suborov na odoslanie: " + std::to_string(count));
    int started = 0;
    for (const auto& path : filesToSend) {
        if (trekora.jobs->ending()) break;
        ++started;
        const float progress = static_cast<float>(started) / static_cast<float>(count);
        const std::string name = FileManager::lastPathComponent(path);
        naHlavnom([progress, name](Spojenie& s) {
            Console::print(platform::format("%f", static_cast<double>(progress)));
            s.nastavProgress(progress, true);
            s.nastavInfo("posielam " + name);
        });
        auto semafor = std::make_shared<platform::DispatchSemaphore>(0);
        posliSubor(path, semafor);
        cakajNaPrenos(semafor);
    }
}

bool Spojenie::cakajNaPrenos(const std::shared_ptr<platform::DispatchSemaphore>& semafor) {
    // The transfer ends by its own deadline; this bound only guards the job
    // against a completion that never comes.
    if (semafor->wait(transferDeadline + 30.0)) return true;
    neodoslany("server neodpovedal včas");
    return false;
}
