// Daily closing with its export file.
#include "core/CoreDb.h"
#include "core/OdoslaneCisla.h"
#include "core/SqlFailure.h"
#include "core/SqlRows.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "platform/Console.h"
#include "platform/Url.h"
#include "posting/ExportyUzavierok.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

using platform::Console;

namespace fs = std::filesystem;

std::string Trekora::zapisUzavierku() {
    std::string result = "chyba!,,zapis du";
    auto db = SqlRows::connection(*this);
    if (!db->open()) {
        Console::print("Unable to open database");
        return "chyba! ,,nemôžem otvoriť databázu";
    }
    db->setCrashOnErrors(true);
    // Both stored texts are read first: their lookups run on connections of
    // their own, which the closing's exclusive transaction would block.
    const coredb::Statements statements = coredb::cutStatements(getQuery("du_insert"));
    coredb::traceCounts(statements);
    if (statements.statements.empty()) {
        db->close();
        return result;
    }
    const std::string numberQuery = getQuery("last_insert_cdok");
    const ExportyUzavierok exporty(getDocumentsDirectory());
    std::string marked;
    // One transaction: a closing is written whole or not at all, so that a
    // failed closing leaves no header behind for the next one to count.
    try {
        if (!db->beginTransaction()) throw SqlFailure(db->lastErrorMessage());
        bool first = true;
        for (const auto& statement : statements.statements) {
            Console::print(statement);
            SqlRows::update(*db, statement,
                            first ? SqlDatabase::Values{idu, "uzavierka", km, "0"} : SqlDatabase::Values{});
            first = false;
        }
        std::string cdok;
        auto rs = SqlRows::query(*db, numberQuery, {});
        if (rs->next()) cdok = SqlRows::text(*rs, "CDOK");
        rs->close();
        Console::print("cdok= " + cdok);
        std::optional<std::string> refusal;
        const bool number = ExportyUzavierok::jeCisloUzavierky(cdok);
        if (auto wrong = OdoslaneCisla::chybaCisla(cdok)) {
            // A closing whose number no export can carry would never reach
            // the office.
            refusal = "uzávierka nebola zapísaná: " + *wrong;
        } else if (number && ExportyUzavierok::jeCely(exporty.subor(cdok))) {
            // The number is new in this database, yet an export of that name
            // waits in "out": the closing of a database restored since. This
            // closing's export would replace it, so the closing waits until
            // that file has been sent.
            refusal = "uzávierka nebola zapísaná: export inej uzávierky " + cdok +
                      ".db3 ešte nebol odoslaný, najprv spustite synchronizáciu";
        } else if (std::error_code ec; number && fs::is_directory(fs::symlink_status(exporty.subor(cdok), ec))) {
            // No export could take its name: the closing would be written
            // with its export owed for good.
            refusal = "uzávierka nebola zapísaná: názov jej exportu " + cdok + ".db3 v priečinku out zaberá priečinok";
        } else if (number) {
            // From the commit on the closing's export is owed: its mark goes
            // into "out" first, so that it is found again if the program ends
            // before the export is whole. Without the mark the closing is not
            // written, as its export could be lost.
            if (auto failure = exporty.oznacDlzny(cdok)) {
                Console::print("export mark failed for " + cdok + ": " + *failure);
                refusal = "uzávierka nebola zapísaná: do priečinka out sa nedá zapísať (" + *failure + ")";
            } else {
                marked = cdok;
            }
        }
        // Without a number the closing cannot be exported or shown.
        if (cdok.empty() || refusal) {
            db->rollback();
            if (refusal) result = "chyba!,," + *refusal;
        } else {
            if (!db->commit()) throw SqlFailure(db->lastErrorMessage());
            marked.clear();
            result = "ok!,," + cdok;
        }
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba,,") + e.what();
        if (db->inTransaction()) db->rollback();
    }
    // A closing that was not written owes no export.
    if (!marked.empty()) exporty.odstranZnacku(marked);
    db->close();
    return result;
}

std::string Trekora::exportDU(const std::string& cdok) {
    const auto finish = [this](const std::string& result) {
        log("exportDU(cdok:) result: " + result);
        return result;
    };
    if (!ExportyUzavierok::jeCisloUzavierky(cdok)) return finish("chyba!,,\"" + cdok + "\" nie je číslo uzávierky");
    auto db = SqlRows::connection(*this);
    // URI file names, so that the export statements can attach the file by
    // its "file:" URL.
    if (!db->openWithFlags(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI))
        return finish("chyba!,,nemôžem otvoriť databázu");
    db->setCrashOnErrors(true);

    // Only an existing closing is exported; anything else writes no file.
    const auto closing = ExportyUzavierok::najdi(*this, *db, cdok);
    if (closing.chyba) Console::print(*closing.chyba);
    if (closing.chyba || !closing.je) {
        db->close();
        return finish("chyba!,," + (closing.chyba ? *closing.chyba : "uzávierka " + cdok + " v databáze nie je"));
    }

    const ExportyUzavierok exporty(getDocumentsDirectory());
    Console::print(platform::Url::fileUrl(exporty.priecinok()).absoluteString());
    std::error_code ec;
    fs::create_directories(exporty.priecinok(), ec);
    if (ec) Console::print("create failed " + ec.message());
    const std::string file = exporty.subor(cdok);
    const std::string temp = exporty.znacka(cdok);
    const std::string location = platform::Url::fileUrl(temp).absoluteString();
    Console::print("filename= " + location);
    // The export starts from a new, empty temporary file: what an interrupted
    // export left there, its journal included, is not built on, and what
    // stands at that name is never written through.
    ExportyUzavierok::odstranZurnaly(temp);
    if (auto failure = exporty.novaZnacka(cdok)) {
        db->close();
        return finish("chyba!,," + *failure);
    }

    std::string result;
    bool ran = false;
    try {
        const coredb::Statements statements = coredb::cutStatements(getQueryOrThrow("du_export", *db));
        coredb::traceCounts(statements);
        if (statements.statements.size() >= 3) {
            for (std::size_t i = 0; i < statements.statements.size(); ++i) {
                Console::print(statements.statements[i]);
                SqlRows::update(*db, statements.statements[i], {i < 3 ? location : closing.ducis});
            }
            ran = true;
        } else {
            result = "chyba!,,príkazy exportu uzávierky (du_export) v databáze sú neúplné";
        }
    } catch (const std::exception& e) {
        Console::print(e.what());
        result = std::string("chyba!,,") + e.what();
    }
    db->close();
    // Only a whole export takes the file's name; one that failed keeps its
    // mark, so that the next synchronisation exports the closing again.
    if (ran) {
        if (!ExportyUzavierok::jeCely(temp)) {
            result = "chyba!,,export " + cdok + ".db3 nie je úplný";
        } else if (auto failure = OdoslaneCisla(getDocumentsDirectory(), dbURL).zaznamenaj(cdok)) {
            // Once the export has its name it may leave the device: its number
            // is recorded first, so that no restore gives it out again.
            result = "chyba!,,záznam exportu " + cdok + " sa nepodarilo zapísať: " + *failure;
        } else {
            fs::rename(temp, file, ec);
            if (ec) {
                result = "chyba!,," + ec.message();
            } else {
                // Journals of a file that stood there before belong to it alone.
                ExportyUzavierok::odstranZurnaly(file);
                result = "ok!,,export " + cdok + ".db3";
            }
        }
    }
    return finish(result);
}

std::string Trekora::dokonciExportyDU() {
    const ExportyUzavierok exporty(getDocumentsDirectory());
    // The closings owed: an export begun and never renamed, or an export
    // file in "out" (not sent yet) that is not whole.
    std::optional<std::string> unreadable;
    const auto polozky = exporty.zoznam(&unreadable);
    std::vector<std::string> owed;
    for (const auto& polozka : polozky)
        if (polozka.dlzny && std::find(owed.begin(), owed.end(), polozka.cdok) == owed.end())
            owed.push_back(polozka.cdok);

    std::string failures = unreadable ? "exporty uzávierok: " + *unreadable : "";
    const auto failed = [&failures](const std::string& cdok, const std::string& reason) {
        failures += (failures.empty() ? "" : "\n") + std::string("export uzávierky ") + cdok + " zlyhal: " + reason;
    };
    for (const auto& cdok : owed) {
        // A mark whose number is no closing number cannot be exported, nor
        // told from an owed one: it stays, and is reported.
        if (!ExportyUzavierok::jeCisloUzavierky(cdok)) {
            failed(cdok, "\"" + cdok + "\" nie je číslo uzávierky");
            continue;
        }
        const auto closing = ExportyUzavierok::najdi(*this, cdok);
        // A database that cannot tell keeps the export owed.
        if (closing.chyba) {
            log("dokonciExportyDU() " + cdok + ": " + *closing.chyba);
            failed(cdok, *closing.chyba);
            continue;
        }
        if (!closing.je) {
            // A number that is definitely no closing of this database: one
            // rolled back, or one of another database (set aside as damaged,
            // or replaced by a restore) that may live there alone. Its begun
            // export is never deleted: it is set aside as the set-aside of a
            // damaged database does, its number staying taken, and named. A
            // file of that name is left as it is.
            log("dokonciExportyDU() " + cdok + " nie je uzavierka");
            const OdoslaneCisla cisla(getDocumentsDirectory(), dbURL);
            if (auto failure = cisla.zaznamenaj(cdok)) {
                failed(cdok, "číslo uzávierky sa nedá zaznamenať (" + *failure + ")");
                continue;
            }
            if (auto failure = cisla.pokracujNad(dbURL)) log("dokonciExportyDU() cislovanie nad odoslanymi: " + *failure);
            for (const auto& polozka : polozky) {
                if (polozka.cdok != cdok || polozka.cesta != exporty.znacka(cdok)) continue;
                std::string why;
                const auto aside = exporty.odloz(polozka, &why);
                if (!aside) {
                    failed(cdok, "nedokončený export sa nedá odložiť (" + why + ")");
                    continue;
                }
                log("dokonciExportyDU() " + cdok + " znacka odlozena ako " + fs::path(*aside).filename().string());
                failures += (failures.empty() ? "" : "\n") + ExportyUzavierok::oznamOdlozenia(cdok, *aside);
            }
            continue;
        }
        log("dokonciExportyDU() export " + cdok);
        const std::string result = exportDU(cdok);
        if (!ResultString::isSuccess(result)) failed(cdok, ResultString::reason(result));
    }
    return failures;
}
