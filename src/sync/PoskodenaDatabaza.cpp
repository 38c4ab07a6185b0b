#include "sync/PoskodenaDatabaza.h"

#include "core/OdoslaneCisla.h"
#include "core/Trekora.h"
#include "platform/Error.h"
#include "platform/FileManager.h"
#include "posting/ExportyUzavierok.h"
#include "sync/DatabaseFile.h"

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

using platform::FileManager;

const std::string PoskodenaDatabaza::prefix = "trekora.poskodena-";

namespace {

std::string databaseName(long long k) { return PoskodenaDatabaza::prefix + std::to_string(k) + ".db3"; }

std::string noteName(long long k) { return PoskodenaDatabaza::prefix + std::to_string(k) + ".txt"; }

// The closing numbers a note names, one a line; none when there is no note.
std::vector<std::string> noteNumbers(const std::string& path) {
    std::vector<std::string> numbers;
    std::istringstream lines(FileManager::contents(path).value_or(""));
    for (std::string line; std::getline(lines, line);)
        if (ExportyUzavierok::jeCisloUzavierky(line)) numbers.push_back(line);
    return numbers;
}

// The numbers of the databases set aside whose note stands beside them: what
// the salesman has not confirmed yet.
std::vector<long long> unconfirmed(const std::string& documents) {
    std::vector<long long> found;
    for (const auto& name : FileManager::contentsOfDirectory(documents).value_or(std::vector<std::string>{})) {
        const std::string& start = PoskodenaDatabaza::prefix;
        if (name.size() <= start.size() + 4 || name.compare(0, start.size(), start) != 0 ||
            name.compare(name.size() - 4, 4, ".txt") != 0)
            continue;
        const auto k = OdoslaneCisla::cislo(name.substr(start.size(), name.size() - start.size() - 4));
        if (k && FileManager::fileExists(FileManager::appendingPathComponent(documents, databaseName(*k))))
            found.push_back(*k);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// One line for each export that a note's closings have set aside in "out".
std::string exportLines(const std::string& documents, const std::vector<std::string>& numbers) {
    const ExportyUzavierok exporty(documents);
    std::string lines;
    for (const auto& cdok : numbers)
        for (const auto& path : exporty.odlozene(cdok)) lines += "\n" + ExportyUzavierok::oznamOdlozenia(cdok, path);
    return lines;
}

std::string setAside(const std::string& aside) {
    return "databáza je odložená ako " + aside +
           " a program pokračuje s dodanou databázou; prihláste sa a obnovte databázu z kancelárie (spojenie → obnova)";
}

}  // namespace

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

    const ExportyUzavierok exporty(documents);
    std::optional<std::string> unreadable;
    std::vector<ExportyUzavierok::Polozka> owed;
    for (const auto& polozka : exporty.zoznam(&unreadable))
        if (polozka.dlzny) owed.push_back(polozka);
    if (unreadable) return fail(*unreadable);

    long long k = 1;
    while (k < 1000 && FileManager::fileExists(FileManager::appendingPathComponent(documents, databaseName(k)))) ++k;
    if (k == 1000) return fail("žiadny voľný názov na odloženie");
    const std::string aside = databaseName(k);
    const std::string target = FileManager::appendingPathComponent(documents, aside);
    const std::string note = FileManager::appendingPathComponent(documents, noteName(k));

    // The closings it still owes are never exported now: their numbers stay
    // taken, and the note names them, before anything moves. A note standing
    // at this name is of a set-aside cut short before the database moved:
    // the closings it names are named again.
    std::vector<std::string> numbers = noteNumbers(note);
    const OdoslaneCisla cisla(documents);
    for (const auto& polozka : owed) {
        if (auto failure = cisla.zaznamenaj(polozka.cdok))
            return fail("číslo uzávierky " + polozka.cdok + " sa nedá zaznamenať (" + *failure + ")");
        if (std::find(numbers.begin(), numbers.end(), polozka.cdok) == numbers.end()) numbers.push_back(polozka.cdok);
    }
    std::string text;
    for (const auto& cdok : numbers) text += cdok + "\n";
    platform::Error error;
    if (!FileManager::writeFile(note, text, true, &error)) return fail(error.localizedDescription());

    // Everything moved goes back when a later step fails.
    std::vector<std::pair<std::string, std::string>> moved;
    const auto putBack = [&moved] {
        for (auto it = moved.rbegin(); it != moved.rend(); ++it) FileManager::moveItem(it->second, it->first);
    };
    // The owed exports go aside first (each on the disk before the next
    // step), so that no start or synchronisation after a kill takes them for
    // marks of the shipped database.
    for (const auto& polozka : owed) {
        std::string why;
        const auto to = exporty.odloz(polozka, &why);
        if (!to) {
            putBack();
            return fail("export uzávierky " + polozka.cdok + " sa nedá odložiť (" + why + ")");
        }
        moved.emplace_back(polozka.cesta, *to);
    }
    // A journal belongs to its database: it goes before the database, so that
    // it is never left behind to be applied to the shipped one.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        if (!FileManager::fileExists(database + suffix)) continue;
        if (!FileManager::moveItem(database + suffix, target + suffix, &error)) {
            putBack();
            return fail(error.localizedDescription());
        }
        moved.emplace_back(database + suffix, target + suffix);
    }
    if (FileManager::fileExists(database)) {
        if (!FileManager::moveItem(database, target, &error)) {
            putBack();
            return fail(error.localizedDescription());
        }
        moved.emplace_back(database, target);
    }
    if (!FileManager::syncFolder(documents)) {
        putBack();
        return fail(std::error_code(errno, std::generic_category()).message());
    }
    trekora.log("databaza je poskodena (" + damage + "), odlozena ako " + aside);

    // The shipped database, as at a start without one.
    const auto failure = trekora.pripravDatabazu();
    const std::string lines = exportLines(documents, numbers);
    if (!FileManager::fileExists(database))
        return "databáza je odložená ako " + aside + ", dodaná databáza sa nedá skopírovať: spustite program znova" +
               lines;
    if (failure) {
        trekora.log("cislovanie nad odoslanymi: " + *failure);
        return "databáza je odložená ako " + aside + ", ale číslovanie dokladov sa nedá posunúť za odoslané čísla (" +
               *failure + "): spustite program znova" + lines;
    }
    return setAside(aside) + lines;
}

std::optional<std::string> PoskodenaDatabaza::nepotvrdene(Trekora& trekora) {
    const std::string documents = trekora.getDocumentsDirectory();
    std::string text;
    for (const long long k : unconfirmed(documents))
        text += (text.empty() ? "" : "\n") + setAside(databaseName(k)) +
                exportLines(documents, noteNumbers(FileManager::appendingPathComponent(documents, noteName(k))));
    if (text.empty()) return std::nullopt;
    return text;
}

void PoskodenaDatabaza::potvrd(Trekora& trekora) {
    const std::string documents = trekora.getDocumentsDirectory();
    for (const long long k : unconfirmed(documents))
        FileManager::removeItem(FileManager::appendingPathComponent(documents, noteName(k)));
}
