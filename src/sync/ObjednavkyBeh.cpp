#include "sync/ObjednavkyBeh.h"

#include "core/PrevodObjednavok.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/DispatchSemaphore.h"
#include "records/ObjVetyItem.h"
#include "sync/JsonValueText.h"
#include "sync/ObjednavkyHttp.h"

#include <algorithm>
#include <memory>

using platform::Console;
using platform::DispatchSemaphore;


ObjednavkyBeh::Summary ObjednavkyBeh::exportuj(Trekora& trekora, const Progress& progress) {
    Summary summary;
    const auto orders = trekora.getObjednavkyNaExport(&summary.chyba);
    summary.n = static_cast<int>(orders.size());
    for (const auto& order : orders) {
        const std::string result = trekora.exportObjednavka(order);
        if (!ResultString::isSuccess(result)) {
            summary.chyba = result;
            break;
        }
        ++summary.k;
        if (progress) progress(summary.k, summary.n);
    }
    return summary;
}

ObjednavkyBeh::Summary ObjednavkyBeh::importuj(Trekora& trekora, const Progress& progress) {
    Summary summary;
    // Orders an earlier version stored are taken over whether or not this
    // run stores any; until they are, no order can be stored.
    if (auto failure = PrevodObjednavok::preved(trekora.dbURL)) {
        summary.chyba = "chyba!,," + PrevodObjednavok::chyba + " (" + *failure + ")";
        return summary;
    }
    // One semaphore for the run: at most one request is outstanding, and a
    // wait that runs out ends the run, so no late signal is taken for another.
    auto semafor = std::make_shared<DispatchSemaphore>(0);
    auto vysledok = std::make_shared<std::string>();
    auto send = [&](auto&& start) {
        *vysledok = "";
        start();
        if (!ObjednavkyHttp::await(*semafor)) return std::string("chyba!,,") + ObjednavkyHttp::timeoutText;
        return *vysledok;
    };

    std::string result = send([&] { trekora.readCislaObjednavokNaImport(semafor, vysledok); });
    if (!ResultString::isSuccess(result)) {
        summary.chyba = result;
        return summary;
    }
    // A number listed more than once is asked for once; an element without
    // a number (kept by its place in the list) spoils only itself.
    struct Entry {
        std::string cdok;  // empty for an element without a number
        std::size_t place = 0;
    };
    std::vector<Entry> entries;
    std::size_t place = 0;
    for (const auto& element : trekora.cislaObjednavokNaImport) {
        ++place;
        Console::print(element.dump());
        const auto cdok = JsonValueText::orderNumberOf(element);
        if (!cdok) {
            entries.push_back({"", place});
        } else if (std::none_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.cdok == *cdok; })) {
            entries.push_back({*cdok, place});
        }
    }
    summary.n = static_cast<int>(entries.size());

    std::vector<std::string> lines;
    int handled = 0;
    int unconfirmed = 0;
    auto failed = [&](const std::string& cdok, const std::string& what, const std::string& why) {
        if (summary.chyba.empty()) summary.chyba = why;
        lines.push_back(cdok + ": " + what + ResultString::reason(why));
    };
    for (const Entry& entry : entries) {
        // A named reference, not a structured binding: the requests below
        // capture it, and not every compiler captures a binding.
        const std::string& cdok = entry.cdok;
        if (cdok.empty()) {
            failed("prvok " + std::to_string(entry.place) + " zoznamu", "", "chyba!,,bez čísla CDOK");
            ++handled;
            if (progress) progress(handled, summary.n);
            continue;
        }
        Console::print(cdok);
        // An order that cannot be stored is left out and not confirmed: the
        // office offers it again. The office marks an order delivered only
        // once it is stored here.
        result = send([&] { trekora.importObjednavka(cdok, semafor, vysledok); });
        if (!ResultString::isSuccess(result)) {
            failed(cdok, "", result);
        } else {
            ++summary.k;
            const std::string note = ResultString::reason(result);
            if (!note.empty()) lines.push_back(cdok + ": " + note);
            result = send([&] { trekora.updateObjednavka(cdok, semafor, vysledok); });
            if (!ResultString::isSuccess(result)) {
                ++unconfirmed;
                failed(cdok, "uložená, nepotvrdená kanceláriou: ", result);
            }
        }
        ++handled;
        if (progress) progress(handled, summary.n);
        // Without an answer from the office the rest would only wait in vain.
        if (ObjednavkyHttp::unreachable(result)) break;
    }
    if (handled < summary.n) lines.push_back("import prerušený: kancelária neodpovedá");
    if (summary.k < summary.n) summary.riadky.push_back("neuložené: " + std::to_string(summary.n - summary.k));
    if (unconfirmed > 0) summary.riadky.push_back("nepotvrdené kanceláriou: " + std::to_string(unconfirmed));
    summary.riadky.insert(summary.riadky.end(), lines.begin(), lines.end());
    return summary;
}
