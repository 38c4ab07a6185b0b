// The order exchange with the office: the last exported number, the export
// of one order for delivery and the list of orders waiting for import.

#include "core/OdoslaneCisla.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/DispatchSemaphore.h"
#include "records/NastaveniaItem.h"
#include "records/ObjVetyItem.h"
#include "sync/JsonPrettyWriter.h"
#include "sync/JsonValueText.h"
#include "sync/ObjednavkyHttp.h"

#include <nlohmann/json.hpp>

#include <exception>
#include <memory>
#include <string>

using platform::Console;
using platform::DispatchSemaphore;

std::string Trekora::getLastCdok() {
    Console::print("start getLastCdok() ...");
    std::string json;
    try {
        json = nlohmann::ordered_json{{"ACTION", "LASTCDOK"}, {"STR", str}}.dump();
    } catch (const std::exception& e) {
        return std::string("chyba!,,") + e.what();
    }
    const std::string body = "request=" + json;
    Console::print(std::to_string(body.size()) + " bytes");
    return ObjednavkyHttp::postAndWait(
        nastaveniaItem->OBJ_PRE_EXPORT_DIR, body, ObjednavkyHttp::Side::exportSide,
        [](const ObjednavkyHttp::Reply& reply) {
            std::string failure;
            auto object = ObjednavkyHttp::replyObject("getLastCdok()", reply, failure);
            if (!object) return failure;
            Console::print("jsonDictionary: " + object->dump());
            if (ObjednavkyHttp::refused(*object, failure)) return failure;
            auto it = object->find("CDOK");
            auto number = it == object->end() ? std::nullopt : JsonValueText::orderNumber(*it);
            if (!number) return std::string("chyba!,,odpoveď servera bez čísla CDOK");
            return "ok,," + *number;
        });
}

std::string Trekora::exportObjednavka(const std::shared_ptr<ObjVetyItem>& objednavka) {
    Console::print("start exportObjednavka(objednavka:) ...");
    if (!objednavka) return "chyba!,,žiadna objednávka";
    Console::print(objednavka->description());
    std::string array;
    try {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        list.push_back(objednavka->encode());
        array = JsonPrettyWriter::write(list);
    } catch (const std::exception& e) {
        Console::print(e.what());
        return std::string("chyba!,,") + e.what();
    }
    const std::string body = "request=\n{\n\"ACTION\":\"EXPORT\",\n\"DOKLADY\":" + array + "\n}";
    // Once the office holds the number, no other document may take it: the
    // record of the numbers that left the device is raised first.
    if (objednavka->CDOK) {
        const std::string cdok = std::to_string(*objednavka->CDOK);
        if (auto failure = OdoslaneCisla(getDocumentsDirectory(), dbURL).zaznamenaj(*objednavka->CDOK)) {
            Console::print("export " + *failure);
            return "chyba!,,objednávka " + cdok + " nebola odoslaná, záznam odoslaných čísel sa nedá zapísať: " +
                   *failure;
        }
    }
    Console::print(body);
    return ObjednavkyHttp::postAndWait(
        nastaveniaItem->OBJ_PRE_EXPORT_DIR, body, ObjednavkyHttp::Side::exportSide,
        [](const ObjednavkyHttp::Reply& reply) {
            std::string failure;
            auto object = ObjednavkyHttp::replyObject("export", reply, failure);
            if (!object) return failure;
            if (ObjednavkyHttp::refused(*object, failure)) {
                Console::print("export " + failure);
                return failure;
            }
            Console::print("export OK");
            return std::string("ok,,");
        });
}

void Trekora::readCislaObjednavokNaImport(const std::shared_ptr<DispatchSemaphore>& semafor,
                                          const std::shared_ptr<std::string>& vysledok) {
    static const std::string operation = "readCislaObjednavokNaImport(semafor:)";
    cislaObjednavokNaImport.clear();
    Console::print("start " + operation + " ...");
    std::string json;
    try {
        json = "{\"ACTION\": \"LIST\", \"STR\": " + nlohmann::json(str).dump() + "}";
    } catch (const std::exception& e) {
        if (vysledok) *vysledok = std::string("chyba!,,") + e.what();
        semafor->signal();
        return;
    }
    ObjednavkyHttp::post(
        nastaveniaItem->OBJ_PRE_IMPORT_DIR, "request=" + json, ObjednavkyHttp::Side::importSide,
        [this, semafor, vysledok](const ObjednavkyHttp::Reply& reply) {
            std::string failure;
            auto object = ObjednavkyHttp::replyObject(operation, reply, failure);
            if (object && ObjednavkyHttp::refused(*object, failure)) {
                Console::print(operation + ": ziadne data!");
                object.reset();
            }
            std::vector<nlohmann::json> list;
            if (object) {
                Console::print(operation + ": OK!");
                auto it = object->find("LIST");
                if (it == object->end() || !it->is_array()) {
                    failure = "chyba!,,odpoveď servera bez zoznamu LIST";
                    object.reset();
                } else {
                    // The whole list is kept: an element without an order
                    // number is left out by the run, never the others.
                    for (const auto& element : *it) {
                        Console::print(element.is_object() && element.contains("CDOK") ? element["CDOK"].dump()
                                                                                      : element.dump());
                        list.push_back(element);
                    }
                }
            }
            if (object) cislaObjednavokNaImport = std::move(list);
            if (vysledok) *vysledok = object ? "ok,," + std::to_string(cislaObjednavokNaImport.size()) : failure;
            semafor->signal();
        });
}
