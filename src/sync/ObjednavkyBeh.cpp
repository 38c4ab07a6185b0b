#include "sync/ObjednavkyBeh.h"

#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/DispatchSemaphore.h"
#include "records/ObjVetyItem.h"
#include "sync/JsonValueText.h"
#include "sync/ObjednavkyHttp.h"

#include <memory>

using platform::Console;
using platform::DispatchSemaphore;

namespace {

bool isOk(const std::string& result) { return result.rfind("ok", 0) == 0; }

}  // namespace

ObjednavkyBeh::Summary ObjednavkyBeh::exportuj(Trekora& trekora, const Progress& progress) {
    Summary summary;
    const auto orders = trekora.getObjednavkyNaExport(&summary.chyba);
    summary.n = static_cast<int>(orders.size());
    for (const auto& order : orders) {
        const std::string result = trekora.exportObjednavka(order);
        if (!isOk(result)) {
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
    if (!isOk(result)) {
        summary.chyba = result;
        return summary;
    }
    const auto list = trekora.cislaObjednavokNaImport;
    summary.n = static_cast<int>(list.size());
    for (const auto& element : list) {
        Console::print(element.dump());
        const auto cdok = JsonValueText::orderNumber(element.value("CDOK", nlohmann::json()));
        if (!cdok) {
            summary.chyba = "chyba!,,objednávka bez čísla CDOK";
            break;
        }
        Console::print(*cdok);
        // The office marks an order delivered only once it is stored here.
        result = send([&] { trekora.importObjednavka(*cdok, semafor, vysledok); });
        if (isOk(result)) result = send([&] { trekora.updateObjednavka(*cdok, semafor, vysledok); });
        if (!isOk(result)) {
            summary.chyba = result;
            break;
        }
        ++summary.k;
        if (progress) progress(summary.k, summary.n);
    }
    return summary;
}
