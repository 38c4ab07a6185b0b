#include "sync/PoskodenaDatabaza.h"

#include "core/OdoslaneCisla.h"
#include "core/Trekora.h"
#include "platform/Error.h"
#include "platform/FileManager.h"
#include "posting/ExportyUzavierok.h"
#include "sync/DatabaseFile.h"

#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

using platform::FileManager;

const std::string PoskodenaDatabaza::prefix = "trekora.poskodena-";

std::optional<std::string> PoskodenaDatabaza::odloz(Trekora& trekora, std::string* reason) {
    const auto fail = [reason](const std::string& why) {
        if (reason) *reason = "databáza sa nedá odložiť: " + why;
        return std::nullopt;
    };
    const std::string documents = trekora.getDocumentsDirectory();
    const std::string database = trekora.dbURL;
    bool busy = false;
    const std::string damage = DatabaseFile::checkDatabase(database, &busy);
    // Held by another connection for longer than the check waits: nothing is
    // known to be damaged, and nothing moves.
    if (busy) {
        if (reason) *reason = damage + ", nič sa neodložilo: skúste to znova o chvíľu";
        return std::nullopt;
    }
    if (damage.empty()) return fail("nie je poškodená");

    // The closings it still owes are never exported now: their numbers stay
    // taken before anything moves.
    const ExportyUzavierok exporty(documents);
    std::optional<std::string> unreadable;
    std::vector<ExportyUzavierok::Polozka> owed;
    for (const auto& polozka : exporty.zoznam(&unreadable))
        if (polozka.dlzny) owed.push_back(polozka);
    if (unreadable) return fail(*unreadable);
    const OdoslaneCisla cisla(documents);
    for (const auto& polozka : owed)
        if (auto failure = cisla.zaznamenaj(polozka.cdok))
            return fail("číslo uzávierky " + polozka.cdok + " sa nedá zaznamenať (" + *failure + ")");

    // Everything moved goes back when a later step fails.
    std::vector<std::pair<std::string, std::string>> moved;
    const auto putBack = [&moved] {
        for (auto it = moved.rbegin(); it != moved.rend(); ++it) FileManager::moveItem(it->second, it->first);
    };
    std::string aside;
    for (int k = 1; k < 1000 && aside.empty(); ++k) {
        const std::string name = prefix + std::to_string(k) + ".db3";
        if (!FileManager::fileExists(FileManager::appendingPathComponent(documents, name))) aside = name;
    }
    if (aside.empty()) return fail("žiadny voľný názov na odloženie");
    const std::string target = FileManager::appendingPathComponent(documents, aside);
    platform::Error error;
    if (FileManager::fileExists(database)) {
        if (!FileManager::moveItem(database, target, &error)) return fail(error.localizedDescription());
        moved.emplace_back(database, target);
    }
    // A journal belongs to its database: left behind, it would be applied
    // to the shipped one.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        if (!FileManager::fileExists(database + suffix)) continue;
        if (!FileManager::moveItem(database + suffix, target + suffix, &error)) {
            putBack();
            return fail(error.localizedDescription());
        }
        moved.emplace_back(database + suffix, target + suffix);
    }
    std::string hlasenie;
    std::vector<std::string> odlozene;
    for (const auto& polozka : owed) {
        std::string why;
        const auto to = exporty.odloz(polozka, &why);
        if (!to) {
            putBack();
            return fail("export uzávierky " + polozka.cdok + " sa nedá odložiť (" + why + ")");
        }
        moved.emplace_back(polozka.cesta, *to);
        hlasenie += "\nnedokončený export uzávierky " + polozka.cdok + " je odložený ako out/" +
                    FileManager::lastPathComponent(*to) + " a neodošle sa";
    }
    if (!FileManager::syncFolder(documents)) {
        putBack();
        return fail(std::error_code(errno, std::generic_category()).message());
    }
    trekora.log("databaza je poskodena (" + damage + "), odlozena ako " + aside);

    // The shipped database, as at a start without one.
    const auto failure = trekora.pripravDatabazu();
    if (!FileManager::fileExists(database))
        return "databáza je odložená ako " + aside +
               ", dodaná databáza sa nedá skopírovať: spustite program znova" + hlasenie;
    if (failure) {
        trekora.log("cislovanie nad odoslanymi: " + *failure);
        return "databáza je odložená ako " + aside + ", ale číslovanie dokladov sa nedá posunúť za odoslané čísla (" +
               *failure + "): spustite program znova" + hlasenie;
    }
    return "databáza je odložená ako " + aside +
           " a program pokračuje s dodanou databázou; prihláste sa a obnovte databázu z kancelárie (spojenie → obnova)" +
           hlasenie;
}
