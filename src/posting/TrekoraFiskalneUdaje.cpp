// The fiscal identifier write-back: the fiscal service's registration of a
// document written into its header, by row id or by document number, and
// recorded among the registrations this device made (ZaevidovaneDoklady);
// and what the documents of a number hold of a registration.
#include "core/BackgroundJobs.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "core/ZaevidovaneDoklady.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "platform/DispatchQueue.h"

#include <functional>
#include <optional>
#include <string>

using platform::Console;

namespace {

// Why the identifiers must not be written, checked inside the write's
// transaction; none when they may.
using Refusal = std::function<std::optional<std::string>(SqlDatabase&)>;

// Identifiers of one registration belong to one document: a uid or okp that
// a document other than the one to be written (`column` <> `key`) holds
// already is refused.
std::optional<std::string> heldByAnother(Trekora& trekora, SqlDatabase& db, const std::string& column,
                                         const std::string& key, const std::optional<std::string>& uid,
                                         const std::optional<std::string>& okp) {
    const std::string u = uid.value_or(""), o = okp.value_or("");
    if (u.empty() && o.empty()) return std::nullopt;
    auto rows = db.executeQuery("select cdok, coalesce(uid, ''), coalesce(okp, '') from vety where (" + column +
                                    " is null or " + column + " <> ?) and ((? <> '' and uid = ?) or (? <> '' and okp = ?))",
                                {key, u, u, o, o});
    if (!rows) return db.lastErrorMessage();
    if (!rows->next()) return std::nullopt;
    std::string conflict = Trekora::udajePatriaInemuDokladu + ": uid " + rows->stringForColumnIndex(1).value_or("") +
                           ", okp " + rows->stringForColumnIndex(2).value_or("") + " má doklad č. " +
                           rows->stringForColumnIndex(0).value_or("");
    rows->close();
    trekora.log("zapis fiskalnych udajov " + conflict);
    return conflict;
}

// Records the registration written into the document of number `cdok`
// among those this device made, inside the write's transaction before its
// commit: a crash leaves the record holding it, whatever the database
// holds. A number recorded with another registration is refused as a
// document holding another registration's identifiers.
std::optional<std::string> zaznamenaj(Trekora& trekora, const std::string& cdok,
                                      const ZaevidovaneDoklady::Registracia& udaje) {
    ZaevidovaneDoklady::Registracia registracia = udaje;
    registracia.cdok = cdok;
    if (cdok.empty() || !registracia.maUdaje()) return std::nullopt;
    ZaevidovaneDoklady::Registracia ina;
    auto failure = ZaevidovaneDoklady(trekora.getDocumentsDirectory()).zapis(registracia, &ina);
    if (!failure) return std::nullopt;
    if (!ina.cdok.empty()) {
        const std::string conflict = Trekora::dokladMaInuRegistraciu + ": č. " + cdok + " má v zázname zariadenia pardok " +
                                     ina.pardok + ", uid " + ina.uid + "; fiškálna služba ho hlási s pardok " +
                                     registracia.pardok + ", uid " + registracia.uid;
        trekora.log("zapis fiskalnych udajov " + conflict);
        return conflict;
    }
    return "záznam zaevidovaných dokladov sa nedá zapísať: " + *failure;
}

ZaevidovaneDoklady::Registracia registracia(const std::optional<std::string>& uid, const std::optional<std::string>& okp,
                                            const std::optional<std::string>& datum_vytvor,
                                            const std::optional<std::string>& datum_vystav,
                                            const std::optional<std::string>& datum_evid,
                                            const std::optional<std::string>& pardok) {
    ZaevidovaneDoklady::Registracia r;
    r.uid = uid.value_or("");
    r.okp = okp.value_or("");
    r.pardok = pardok.value_or("");
    r.datumVytvor = datum_vytvor.value_or("");
    r.datumVystav = datum_vystav.value_or("");
    r.datumEvid = datum_evid.value_or("");
    return r;
}

std::string updateDoklad(Trekora& trekora, const std::string& name, const char* sql, const char* argumentsLabel,
                         const SqlDatabase::Values& values, const std::optional<std::string>& key,
                         const std::string& okPrefix, const std::function<void()>& afterCommit, bool oneRow,
                         const Refusal& refusal, const Refusal& beforeCommit) {
    trekora.log(name);
    std::string result;
    auto db = SqlRows::connection(trekora);
    if (!db->open()) {
        trekora.log(name + " chyba!,,nemôžem otvoriť databázu");
        return "chyba!,,nemôžem otvoriť databázu";
    }
    db->setCrashOnErrors(true);
    // A write-back that could not begin, run or commit is reported as a
    // failure, never as stored.
    std::optional<std::string> failure;
    if (!db->beginTransaction()) failure = db->lastErrorMessage();
    std::string shown;
    for (const auto& v : values) {
        if (!shown.empty()) shown += ", ";
        shown += v.isAbsentOrNull() ? std::string("nil") : "Optional(\"" + v.text().value_or("") + "\")";
    }
    trekora.log(name + argumentsLabel + "[" + shown + "]");
    if (key) {
        std::optional<SqlError> error;
        if (!failure && refusal) failure = refusal(*db);
        if (!failure && !db->executeUpdate(sql, values, &error))
            failure = error ? error->description : db->lastErrorMessage();
        // Identifiers that found no document were stored nowhere.
        if (!failure && oneRow && db->changes() == 0) failure = "doklad s id=" + *key + " neexistuje";
        if (!failure) failure = beforeCommit(*db);
        if (!failure && !db->commit()) failure = db->lastErrorMessage();
        if (!failure) {
            result = okPrefix + *key;
            trekora.log(name + " commit!");
            if (afterCommit) afterCommit();
        } else {
            Console::print(*failure);
            result = "chyba!,," + *failure;
            if (db->inTransaction()) db->rollback();
            trekora.log(name + " rollback!");
        }
    }
    db->close();
    trekora.log(name + " close!");
    trekora.log(name + " result: " + result);
    return result;
}

}  // namespace

std::string Trekora::updateDokladById(const std::optional<std::string>& uid, const std::optional<std::string>& okp,
                                      const std::optional<std::string>& datum_vytvor,
                                      const std::optional<std::string>& datum_vystav,
                                      const std::optional<std::string>& datum_evid,
                                      const std::optional<std::string>& pardok, const std::optional<std::string>& id) {
    return updateDoklad(
        *this, "updateDokladById(uid:okp:datum_vytvor:datum_vystav:datum_evid:pardok:id:)",
        "update vety set uid=@uid, okp=@okp,datum_vytvor=@datum_vytvor, datum_vystav=@datum_vystav, "
        "datum_evid=@datum_evid,pardok=@pardok where id=@id",
        " argumentsArray[uid,okp,datum_vytvor,datum_vystav,datum_evid,pardok,id]: ",
        {uid, okp, datum_vytvor, datum_vystav, datum_evid, pardok, id}, id, "ok!,,id=", [&] {
            // The fiscal service's answer is handled away from the main
            // thread, and the shared object's fields belong to the main
            // thread: the document being printed takes the values there. A
            // document opened meanwhile is another one and keeps its own.
            auto copy = [document = id.value_or(""), pardok, uid, okp] {
                auto& printing = sharedTrekora().printingDoklad;
                if (auto shown = printing.find("ID"); shown != printing.end() && shown->second != document) return;
                auto assign = [&printing](const char* key, const std::optional<std::string>& value) {
                    if (value) printing[key] = *value;
                    else printing.erase(key);
                };
                assign("PARDOK", pardok);
                assign("UID", uid);
                assign("OKP", okp);
            };
            if (platform::DispatchQueue::main()->isCurrent()) {
                copy();
                return;
            }
            // Nothing of the answer runs once the object has ended its jobs.
            jobs->onMain(copy);
        }, true, [&](SqlDatabase& db) { return heldByAnother(*this, db, "id", id.value_or(""), uid, okp); },
        [&](SqlDatabase& db) -> std::optional<std::string> {
            auto rows = db.executeQuery("select coalesce(cdok, '') from vety where id = ?", {id});
            if (!rows) return db.lastErrorMessage();
            const std::string cdok = rows->next() ? rows->stringForColumnIndex(0).value_or("") : std::string();
            rows->close();
            return zaznamenaj(*this, cdok, registracia(uid, okp, datum_vytvor, datum_vystav, datum_evid, pardok));
        });
}

std::string Trekora::updateDokladByCdok(const std::optional<std::string>& uid, const std::optional<std::string>& okp,
                                        const std::optional<std::string>& datum_vytvor,
                                        const std::optional<std::string>& datum_vystav,
                                        const std::optional<std::string>& datum_evid,
                                        const std::optional<std::string>& pardok,
                                        const std::optional<std::string>& cdok) {
    return updateDoklad(*this, "updateDokladByCdok(uid:okp:datum_vytvor:datum_vystav:datum_evid:pardok:cdok:)",
                        "update vety set uid=@uid, okp=@okp, datum_vytvor=@datum_vytvor, datum_vystav=@datum_vystav, "
                        "datum_evid=@datum_evid, pardok=@pardok where cdok=@cdok",
                        " argumentsArray[uid,okp,datum_vytvor,datum_vystav,datum_evid,pardok,cdok]: ",
                        {uid, okp, datum_vytvor, datum_vystav, datum_evid, pardok, cdok}, cdok, "ok!,,cdok=", {},
                        false, [&](SqlDatabase& db) -> std::optional<std::string> {
                            if (auto held = heldByAnother(*this, db, "cdok", cdok.value_or(""), uid, okp)) return held;
                            // A document of this number that holds the identifiers of
                            // another registration keeps them: only a document without
                            // any, or with these very ones, takes them.
                            auto rows = db.executeQuery(
                                "select coalesce(uid, ''), coalesce(okp, ''), coalesce(pardok, '') from vety "
                                "where cdok = ? and (coalesce(uid, '') <> '' or coalesce(okp, '') <> '' or "
                                "coalesce(pardok, '') <> '') and (coalesce(uid, '') <> ? or coalesce(pardok, '') <> ?)",
                                {cdok, uid.value_or(""), pardok.value_or("")});
                            if (!rows) return db.lastErrorMessage();
                            if (!rows->next()) return std::nullopt;
                            std::string conflict = dokladMaInuRegistraciu + ": č. " + *cdok + " má pardok " +
                                                   rows->stringForColumnIndex(2).value_or("") + ", uid " +
                                                   rows->stringForColumnIndex(0).value_or("") +
                                                   "; fiškálna služba ho hlási s pardok " + pardok.value_or("") +
                                                   ", uid " + uid.value_or("");
                            rows->close();
                            log("updateDokladByCdok " + conflict);
                            return conflict;
                        },
                        [&](SqlDatabase&) {
                            return zaznamenaj(*this, cdok.value_or(""),
                                              registracia(uid, okp, datum_vytvor, datum_vystav, datum_evid, pardok));
                        });
}

Trekora::FiskalneUdaje Trekora::fiskalneUdajeDokladu(const std::string& cdok, const std::optional<std::string>& uid,
                                                      const std::optional<std::string>& pardok, std::string* reason) {
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        if (reason) *reason = "nemôžem otvoriť databázu";
        return FiskalneUdaje::neprecitane;
    }
    auto rows = db->executeQuery("select coalesce(uid, ''), coalesce(okp, ''), coalesce(pardok, '') from vety "
                                 "where cdok = ?",
                                 {cdok});
    if (!rows) {
        if (reason) *reason = db->lastErrorMessage();
        db->close();
        return FiskalneUdaje::neprecitane;
    }
    // The same registration as the write-back by number tells it: the same
    // uid and receipt reference.
    auto found = FiskalneUdaje::ziadnyDoklad;
    std::optional<SqlError> error;
    while (rows->nextWithError(&error)) {
        const std::string u = rows->stringForColumnIndex(0).value_or(""), o = rows->stringForColumnIndex(1).value_or(""),
                          p = rows->stringForColumnIndex(2).value_or("");
        if (u.empty() && o.empty() && p.empty()) {
            if (found == FiskalneUdaje::ziadnyDoklad) found = FiskalneUdaje::ziadne;
        } else if (u == uid.value_or("") && p == pardok.value_or("")) {
            found = FiskalneUdaje::tieto;
        } else if (found != FiskalneUdaje::tieto) {
            found = FiskalneUdaje::ine;
        }
    }
    rows->close();
    db->close();
    // A read that stopped short is no answer.
    if (error) {
        if (reason) *reason = error->description;
        return FiskalneUdaje::neprecitane;
    }
    return found;
}

const std::string Trekora::dokladMaInuRegistraciu = "doklad už má fiškálne údaje inej registrácie";
const std::string Trekora::udajePatriaInemuDokladu = "fiškálne údaje už patria inému dokladu";
