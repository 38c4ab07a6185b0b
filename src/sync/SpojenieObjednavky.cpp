// The order exchange runs of the connection screen: the export of the orders
// for delivery written here and the import of the orders the office
// prepared. Each run goes on a background queue, one order at a time; the
// screen shows the progress and a summary of what was moved and what not.

#include "sync/Spojenie.h"

#include "core/BackgroundJobs.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/Date.h"
#include "platform/DispatchQueue.h"
#include "platform/Numbers.h"
#include "sync/ObjednavkyBeh.h"

#include <memory>
#include <string>

using platform::Console;

namespace {

// Runs one order run on a background queue with the screen's progress and
// summary; `text` is "export " or "import ", `done` the summary's word.
void run(const std::shared_ptr<Spojenie>& screen, const std::string& text, const std::string& done,
         ObjednavkyBeh::Summary (*body)(Trekora&, const ObjednavkyBeh::Progress&)) {
    auto job = sharedTrekora().jobs->begin();
    if (!job) return;
    platform::DispatchQueue::global(platform::DispatchQueue::QoS::Utility)->async([screen, text, done, body, job] {
        auto progress = [screen, text](int k, int n) {
            screen->naHlavnom([text, k, n](Spojenie& s) {
                const float fraction = n > 0 ? static_cast<float>(k) / static_cast<float>(n) : 0.0f;
                Console::print(platform::format("%g", fraction));
                s.nastavProgress(fraction, true);
                s.nastavInfo(text + std::to_string(k) + "/" + std::to_string(n));
            });
        };
        const ObjednavkyBeh::Summary summary = body(sharedTrekora(), progress);
        screen->naHlavnom([summary, done](Spojenie& s) {
            std::string message = done + std::to_string(summary.k) + " z " + std::to_string(summary.n);
            for (const auto& line : summary.riadky) message += "\n" + line;
            if (!summary.chyba.empty()) {
                if (summary.riadky.empty()) message += "\n" + ResultString::reason(summary.chyba);
                s.zobrazChybu(message);
                return;
            }
            const double seconds = platform::Date::now().timeIntervalSince(s.startTime);
            s.zobrazKoniec(platform::format("hotovo, čas: %3.0f sec.", seconds), message);
        });
    });
}

}  // namespace

void Spojenie::exportObjednavok() {
    opytajSa("exportovať objednávky na závoz?", [](Spojenie& s) {
        s.zacniPriebeh("export objednávok na závoz");
        // The office's last number is asked and the orders are read on the
        // background queue too, so the main queue never waits for the office.
        run(s.self(), "export ", "exportovaných ", &ObjednavkyBeh::exportuj);
    });
}

void Spojenie::importObjednavok() {
    zacniPriebeh("import objednávok na závoz");
    run(self(), "import ", "importovaých ", &ObjednavkyBeh::importuj);
}
