// The restore: what stands against replacing the database by the office's
// copy, and the replacement itself.
//
// A whole database (it passes SQLite's own integrity check) is replaced
// only when nothing of it would be lost: no closing's export is owed or
// waits in "out", and the copy holds every document it holds.
//
// A damaged database cannot be trusted to tell what it holds, and its
// closings may never export again: it is replaced once a synchronisation
// has sent what it could. That is, once nothing the synchronisation sends
// is left in "out" (an owed export's mark is not sent) and the office has
// the database file as it stands now: the last full synchronisation sent
// the backup archive of this very file, or found that no archive can be
// made of it (OdoslanaZaloha). When the damage itself keeps the
// synchronisation from sending (the settings, which say where to, cannot
// be read), it is replaced once the backup archive of the file as it
// stands waits in "out": what waits there stays for the copy's first
// synchronisation. Its owed exports of closings the copy lacks
// are set aside, kept under names of their own and never exported, and
// their numbers stay taken; one of a closing the copy holds stays owed.
//
// Either way the copy numbers its documents above every number that has
// left the device, takes over the orders an earlier version stored, and
// takes the fiscal identifiers the device holds (the record of its
// registrations, and a whole database's documents) where its documents
// lack them; a document of the copy holding other identifiers stands
// against it.

#include "core/OdoslaneCisla.h"
#include "core/PrevodObjednavok.h"
#include "core/Trekora.h"
#include "core/ZaevidovaneDoklady.h"
#include "db/SqlDatabase.h"
#include "platform/FileManager.h"
#include "posting/ExportyUzavierok.h"
#include "sync/DatabaseFile.h"
#include "sync/OdoslanaZaloha.h"
#include "sync/Spojenie.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

using platform::FileManager;

namespace {

const std::string kOdmietnuta = "obnova nie je možná: ";

// How many documents a refusal names before "…".
constexpr std::size_t kMenovane = 5;

// The first of `names` (of `count` in all), with "…" and the count when
// there are more.
std::string vymenuj(const std::vector<std::string>& names, std::size_t count) {
    std::string listed;
    for (std::size_t i = 0; i < names.size() && i < kMenovane; ++i)
        listed += (listed.empty() ? "" : ", ") + names[i];
    if (count > kMenovane) listed += ", … (spolu " + std::to_string(count) + ")";
    return listed;
}

// The first finding of an integrity check, for the salesman (the whole
// answer goes to the log).
std::string firstFinding(const std::string& answer) {
    std::size_t from = 0;
    while (from < answer.size()) {
        std::size_t to = answer.find('\n', from);
        if (to == std::string::npos) to = answer.size();
        if (answer.compare(from, 3, "***") != 0 && to > from) return answer.substr(from, to - from);
        from = to + 1;
    }
    return answer;
}

// The documents (headers) of the database at `database` that the copy at
// `kopia` lacks: a document is known by its number (by its row when it has
// none). The first few names and the count, in `names` and `count`; the
// reason when the two cannot be compared.
std::optional<std::string> lackingDocuments(const std::string& database, const std::string& kopia,
                                            std::vector<std::string>* names, std::size_t* count) {
    sqlite3* db = nullptr;
    std::optional<std::string> failure;
    sqlite3_stmt* stmt = nullptr;
    // Read-only: the copy attached to it is read-only too.
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        failure = db ? sqlite3_errmsg(db) : "nemôžem otvoriť databázu";
    } else {
        sqlite3_busy_timeout(db, 5000);
        if (sqlite3_prepare_v2(db, "attach database ?1 as kopia", -1, &stmt, nullptr) != SQLITE_OK ||
            sqlite3_bind_text(stmt, 1, kopia.c_str(), -1, SQLITE_TRANSIENT) != SQLITE_OK ||
            sqlite3_step(stmt) != SQLITE_DONE)
            failure = sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
    if (!failure &&
        sqlite3_prepare_v2(db,
                           "select d.cdok, d.id from main.vety d where not exists (select 1 from kopia.vety c "
                           "where c.cdok is d.cdok and (d.cdok is not null or c.id = d.id)) order by d.id",
                           -1, &stmt, nullptr) != SQLITE_OK)
        failure = sqlite3_errmsg(db);
    if (!failure) {
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (++*count > kMenovane) continue;
            const auto* number = sqlite3_column_text(stmt, 0);
            names->push_back(number ? reinterpret_cast<const char*>(number)
                                    : "riadok " + std::to_string(sqlite3_column_int64(stmt, 1)));
        }
        // Only rows read to their end are the whole answer.
        if (rc != SQLITE_DONE) failure = sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return failure;
}

// The highest document number of the copy at `kopia`, "" when it holds no
// document; the reason in `failure` when it cannot be read.
std::string najvyssiDoklad(const std::string& kopia, std::string* failure) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    std::string cislo;
    if (sqlite3_open_v2(kopia.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "select max(cdok) from vety where typeof(cdok) = 'integer'", -1, &stmt, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        if (sqlite3_column_type(stmt, 0) != SQLITE_NULL) cislo = std::to_string(sqlite3_column_int64(stmt, 0));
    } else {
        *failure = db ? sqlite3_errmsg(db) : "nemôžem otvoriť databázu";
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return cislo;
}

// Why the database must not be replaced by the copy at `kopia`; "" when it
// may. On a damaged database the owed exports to be set aside go into
// `odlozit`; `cela` tells whether the database is there and whole.
std::string prekazkaObnovy(Trekora& trekora, const std::string& kopia,
                           std::vector<ExportyUzavierok::Polozka>* odlozit, bool* cela) {
    const ExportyUzavierok exporty(trekora.getDocumentsDirectory());
    std::optional<std::string> unreadable;
    const auto polozky = exporty.zoznam(&unreadable);
    if (unreadable) return kOdmietnuta + *unreadable;
    // No database file at all holds nothing that could be lost.
    const bool missing = !FileManager::fileExists(trekora.dbURL);
    bool busy = false;
    const std::string damage = missing ? "" : DatabaseFile::integrityProblem(trekora.dbURL, &busy);
    // Held by another connection: busy, not damaged, and not replaced.
    if (busy) return kOdmietnuta + DatabaseFile::busyMessage(damage) + ", skúste obnovu znova o chvíľu";
    *cela = !missing && damage.empty();

    if (damage.empty()) {
        // An export waiting in "out", or owed for a closing of this database,
        // leaves first.
        for (const auto& polozka : polozky) {
            const std::string unsent =
                kOdmietnuta + "export uzávierky " + polozka.cdok + " ešte nebol odoslaný, najprv spustite synchronizáciu";
            if (!polozka.dlzny) return unsent;
            if (missing) continue;
            const auto closing = ExportyUzavierok::najdi(trekora, polozka.cdok);
            if (closing.chyba)
                return kOdmietnuta + "nedá sa zistiť, či je uzávierka " + polozka.cdok + " v databáze (" +
                       *closing.chyba + ")";
            if (closing.je) return unsent;
            // A mark of a closing this database never held (the program ended
            // between the mark and the commit) owes nothing.
        }
        if (missing) return "";
        std::vector<std::string> names;
        std::size_t count = 0;
        if (auto failure = lackingDocuments(trekora.dbURL, kopia, &names, &count))
            return kOdmietnuta + "doklady databázy sa nedajú porovnať s kópiou (" + *failure + ")";
        if (count == 0) return "";
        return kOdmietnuta + "kópia databázy nemá doklady " + vymenuj(names, count) +
               ", ktoré sú v zariadení; najprv spustite synchronizáciu a obnovte kópiu, ktorá ich obsahuje";
    }

    trekora.log("obnova: databaza je poskodena: " + damage);
    const std::string damaged = kOdmietnuta + "databáza je poškodená (" + firstFinding(damage) + ")";
    // When the damage itself keeps the synchronisation from sending (it
    // cannot read where to), what it could do is put the backup of the
    // file as it stands into "out": that and whatever else waits there
    // stay, and go with the first synchronisation of the copy.
    std::string nastavenia;
    if (Spojenie::uploadEndpoint().empty()) nastavenia = DatabaseFile::settingsProblem(trekora.dbURL, trekora.str);
    if (!nastavenia.empty()) trekora.log("obnova: nastavenia sa nedaju precitat: " + nastavenia);
    for (const auto& name : FileManager::contentsOfDirectory(exporty.priecinok()).value_or(std::vector<std::string>{}))
        if (nastavenia.empty() && Spojenie::naOdoslanie(FileManager::appendingPathComponent(exporty.priecinok(), name)))
            return damaged + " a v priečinku out čakajú súbory na odoslanie, najprv spustite synchronizáciu";
    const OdoslanaZaloha zaloha(trekora.getDocumentsDirectory());
    const std::string stav = OdoslanaZaloha::odtlacok(trekora.dbURL);
    if (!zaloha.zodpoveda(stav) && (nastavenia.empty() || zaloha.cakajuca(stav).empty()))
        return damaged + " a kancelária ešte nemá jej zálohu v tomto stave, najprv spustite synchronizáciu";
    for (const auto& polozka : polozky)
        if (polozka.dlzny) odlozit->push_back(polozka);
    return "";
}

// Carries the fiscal identifiers the device holds into the copy at `kopia`:
// those of the registrations it recorded, and those of the documents of
// its database when that is whole. A document of the copy without
// identifiers takes them; one holding other identifiers stands against the
// restore (why, or "").
std::string prenesFiskalneUdaje(Trekora& trekora, const std::string& kopia, bool cela) {
    std::string hlasenie;
    auto udaje = ZaevidovaneDoklady(trekora.getDocumentsDirectory()).zoznam(&hlasenie);
    if (!hlasenie.empty()) trekora.log("obnova: zaznam zaevidovanych dokladov " + hlasenie);
    if (!udaje) return kOdmietnuta + "záznam zaevidovaných dokladov " + hlasenie;
    if (cela)
        if (auto failure = ZaevidovaneDoklady::vDatabaze(trekora.dbURL, &*udaje))
            return kOdmietnuta + "fiškálne údaje dokladov databázy sa nedajú prečítať (" + *failure + ")";
    std::vector<std::string> ine;
    if (auto failure = ZaevidovaneDoklady::vrat(kopia, *udaje, &ine))
        return kOdmietnuta + "fiškálne údaje dokladov sa nedajú preniesť do kópie (" + *failure + ")";
    if (ine.empty()) return "";
    std::sort(ine.begin(), ine.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    ine.erase(std::unique(ine.begin(), ine.end()), ine.end());
    return kOdmietnuta + "kópia databázy má pri dokladoch " + vymenuj(ine, ine.size()) +
           " iné fiškálne údaje, než aké sú v zariadení; najprv spustite synchronizáciu a obnovte kópiu, ktorá ich obsahuje";
}

}  // namespace

std::string Trekora::obnovDatabazu(const std::string& kopia, std::string* hlasenie) {
    // The copy is looked at only once it is known to be a good database.
    std::string reason = DatabaseFile::checkDatabase(kopia);
    if (!reason.empty()) return reason;
    std::vector<ExportyUzavierok::Polozka> owed;
    bool cela = false;
    reason = prekazkaObnovy(*this, kopia, &owed, &cela);
    if (!reason.empty()) return reason;
    // An owed export of a closing that the copy holds itself stays owed: the
    // next synchronisation makes it from the copy. The others are set aside.
    std::vector<ExportyUzavierok::Polozka> odlozit;
    for (const auto& polozka : owed) {
        ExportyUzavierok::Uzavierka closing;
        auto db = SqlDatabase::databaseWithPath(kopia);
        if (db->openWithFlags(SQLITE_OPEN_READONLY)) {
            closing = ExportyUzavierok::najdi(*this, *db, polozka.cdok);
            db->close();
        } else {
            closing.chyba = db->lastErrorMessage();
        }
        if (closing.chyba)
            return kOdmietnuta + "nedá sa zistiť, či má kópia uzávierku " + polozka.cdok + " (" + *closing.chyba + ")";
        if (!closing.je) odlozit.push_back(polozka);
    }

    // A copy an earlier version made keeps its orders' lines.
    if (auto failure = PrevodObjednavok::preved(kopia))
        return kOdmietnuta + PrevodObjednavok::chyba + " (" + *failure + ")";

    // A restore never drops the identifiers of a registration.
    reason = prenesFiskalneUdaje(*this, kopia, cela);
    if (!reason.empty()) return reason;

    const OdoslaneCisla cisla(getDocumentsDirectory(), dbURL);
    // A closing set aside was written in the database whose backup the
    // office holds: its number is given to nothing else.
    for (const auto& polozka : odlozit)
        if (auto failure = cisla.zaznamenaj(polozka.cdok))
            return kOdmietnuta + "číslo uzávierky " + polozka.cdok + " sa nedá zaznamenať (" + *failure + ")";
    if (auto failure = cisla.pokracujNad(kopia))
        return kOdmietnuta + "číslovanie dokladov kópie sa nedá posunúť za odoslané čísla (" + *failure + ")";

    // The finish alert names the copy's highest document number, so that a
    // copy without the day's documents is seen at once.
    std::string failure;
    const std::string najvyssi = najvyssiDoklad(kopia, &failure);
    // The owed exports are set aside before the copy takes the database's
    // place, so that none is ever taken for a mark of the copy; they go back
    // when the copy does not take it.
    const ExportyUzavierok exporty(getDocumentsDirectory());
    std::vector<std::pair<std::string, std::string>> moved;
    const auto putBack = [&moved] {
        for (const auto& [from, to] : moved) FileManager::moveItem(to, from);
    };
    for (const auto& polozka : odlozit) {
        std::string why;
        const auto target = exporty.odloz(polozka, &why);
        if (!target) {
            putBack();
            return kOdmietnuta + "export uzávierky " + polozka.cdok + " sa nedá odložiť (" + why + ")";
        }
        moved.emplace_back(polozka.cesta, *target);
    }
    reason = DatabaseFile::replaceWith(kopia, dbURL);
    if (!reason.empty()) {
        putBack();
        return reason;
    }
    if (!failure.empty()) {
        log("obnova: najvyssi doklad kopie sa neda zistit: " + failure);
        *hlasenie = "najvyšší doklad kópie sa nedá zistiť (" + failure + ")";
    } else {
        log("obnova: najvyssi doklad kopie " + (najvyssi.empty() ? "ziadny" : najvyssi));
        *hlasenie = najvyssi.empty() ? "kópia nemá žiadny doklad" : "najvyšší doklad kópie: " + najvyssi;
    }
    for (std::size_t i = 0; i < moved.size(); ++i) {
        const std::string aside = FileManager::lastPathComponent(moved[i].second);
        log("obnova: nedokonceny export " + FileManager::lastPathComponent(moved[i].first) + " odlozeny ako " + aside);
        *hlasenie += "\n" + ExportyUzavierok::oznamOdlozenia(odlozit[i].cdok, aside);
    }
    return "";
}
