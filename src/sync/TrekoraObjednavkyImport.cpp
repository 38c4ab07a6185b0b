// The import of orders prepared by the office: fetching one order (SELECT),
// storing it, and confirming its take-over (UPDATE).

#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "platform/Console.h"
#include "platform/DispatchSemaphore.h"
#include "records/NastaveniaItem.h"
#include "sync/JsonValueText.h"
#include "sync/ObjednavkyHttp.h"
#include "sync/PrijataObjednavka.h"

#include <nlohmann/json.hpp>

#include <exception>

using platform::Console;
using platform::DispatchSemaphore;

namespace {

// "{"ACTION": "<action>", "CDOK": "<number>"}" with the number encoded as a
// JSON string.
std::optional<std::string> message(const std::string& action, const std::string& cdok) {
    try {
        return "{\"ACTION\": \"" + action + "\", \"CDOK\": " + nlohmann::json(cdok).dump() + "}";
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void finish(const std::shared_ptr<DispatchSemaphore>& semafor, const std::shared_ptr<std::string>& vysledok,
            std::string result) {
    if (vysledok) *vysledok = std::move(result);
    semafor->signal();
}

}  // namespace

void Trekora::importObjednavka(const std::string& cdok, const std::shared_ptr<DispatchSemaphore>& semafor,
                               const std::shared_ptr<std::string>& vysledok) {
    static const std::string operation = "importObjednavka(cdok:semafor:)";
    Console::print("start " + operation + " ...");
    auto json = message("SELECT", cdok);
    if (!json) return finish(semafor, vysledok, "chyba!,,neplatné číslo objednávky");
    const std::string path = dbURL;
    ObjednavkyHttp::post(
        nastaveniaItem->OBJ_PRE_IMPORT_DIR, "request=" + *json, ObjednavkyHttp::Side::importSide,
        [cdok, path, semafor, vysledok](const ObjednavkyHttp::Reply& reply) {
            std::string failure;
            auto object = ObjednavkyHttp::replyObject(operation, reply, failure);
            if (!object) return finish(semafor, vysledok, failure);
            if (ObjednavkyHttp::refused(*object, failure)) return finish(semafor, vysledok, failure);
            auto it = object->find("DOKLADY");
            if (it == object->end() || !it->is_array() || it->empty())
                return finish(semafor, vysledok, "chyba!,,odpoveď servera bez objednávky " + cdok);
            std::vector<nlohmann::json> orders;
            for (const auto& order : *it) {
                auto number = JsonValueText::orderNumberOf(order);
                if (!number || !PrijataObjednavka::sameNumber(*number, cdok))
                    return finish(semafor, vysledok,
                                  "chyba!,,server poslal inú objednávku (" + (number ? *number : "bez CDOK") +
                                      ") namiesto " + cdok);
                orders.push_back(order);
            }
            // The number twice in one reply: the same order is stored once;
            // different orders under one number are not stored (nor
            // confirmed), as neither may take the other's place. The copies
            // are compared as an order offered again is compared with the
            // one stored.
            std::string note;
            if (orders.size() > 1) {
                const std::string times = std::to_string(orders.size()) + "-krát";
                bool same = false;
                if (std::string failure = PrijataObjednavka::sameOrders(path, orders, same); !failure.empty())
                    return finish(semafor, vysledok, "chyba!,," + failure);
                if (!same) return finish(semafor, vysledok, "chyba!,,prišla " + times + " s rôznym obsahom, neuložená");
                note = "prišla " + times + ", uložená raz";
            }
            std::string stored = PrijataObjednavka::storeAll(path, {orders.front()});
            finish(semafor, vysledok, ResultString::isSuccess(stored) ? "ok,," + note : std::move(stored));
        });
}

void Trekora::updateObjednavka(const std::string& cdok, const std::shared_ptr<DispatchSemaphore>& semafor,
                               const std::shared_ptr<std::string>& vysledok) {
    static const std::string operation = "updateObjednavka(cdok:semafor:)";
    Console::print("start " + operation + " ...");
    auto json = message("UPDATE", cdok);
    if (!json) return finish(semafor, vysledok, "chyba!,,neplatné číslo objednávky");
    ObjednavkyHttp::post(nastaveniaItem->OBJ_PRE_IMPORT_DIR, "request=" + *json, ObjednavkyHttp::Side::importSide,
                         [semafor, vysledok](const ObjednavkyHttp::Reply& reply) {
                             std::string failure;
                             auto object = ObjednavkyHttp::replyObject(operation, reply, failure);
                             if (!object || ObjednavkyHttp::refused(*object, failure))
                                 return finish(semafor, vysledok, failure);
                             finish(semafor, vysledok, "ok,,");
                         });
}

std::string Trekora::zapisObjednavku(const nlohmann::json& objednavka) {
    Console::print("start zapisObjednavku(objednavka:) ...");
    return PrijataObjednavka::storeAll(dbURL, {objednavka});
}
