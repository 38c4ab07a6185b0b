// The stock transfer of a goods receipt: the receipt's lines go to the
// office PC, whose answer (the lines actually transferred) takes their place.

#include "core/CoreDb.h"
#include "core/Trekora.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlValue.h"
#include "platform/Console.h"
#include "platform/DispatchSemaphore.h"
#include "platform/HttpUrlResponse.h"
#include "platform/Numbers.h"
#include "records/MenuItem.h"
#include "records/NastaveniaItem.h"
#include "records/OdberatelItem.h"
#include "records/PreskladnenieItem.h"
#include "records/TempPoloItem.h"
#include "records/TempVetyItem.h"
#include "sync/ObjednavkyHttp.h"

#include <exception>
#include <memory>
#include <regex>
#include <string>
#include <vector>

using platform::Console;

namespace {

struct Outcome {
    std::string result = "ok,,";
    std::vector<std::shared_ptr<PreskladnenieItem>> lines;
};

bool isQuantity(const std::string& text) {
    static const std::regex pattern("[+-]?[0-9]+(\\.[0-9]+)?");
    return std::regex_match(text, pattern);
}

bool isDate(const std::string& text) {
    static const std::regex pattern("([0-9]{4})-([0-9]{2})-([0-9]{2})");
    std::smatch m;
    if (!std::regex_match(text, m, pattern)) return false;
    const int year = std::stoi(m[1]);
    const int month = std::stoi(m[2]);
    const int day = std::stoi(m[3]);
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[month - 1] + (month == 2 && leap ? 1 : 0);
}

// "" when every line names a known good with a numeric quantity and a date;
// otherwise the reason.
std::string checkLines(const std::string& dbPath, const std::vector<std::shared_ptr<PreskladnenieItem>>& lines) {
    auto db = coredb::openDatabase(dbPath);
    if (!db) return "nemôžem otvoriť databázu";
    std::string reason;
    for (const auto& line : lines) {
        if (!isQuantity(line->MNOZ)) reason = "neplatné množstvo '" + line->MNOZ + "' tovaru " + line->IDTOV;
        else if (!isDate(line->DATUMSPOTREBY))
            reason = "neplatný dátum spotreby '" + line->DATUMSPOTREBY + "' tovaru " + line->IDTOV;
        if (!reason.empty()) break;
        auto rs = db->executeQuery("select 1 from tovar where idtov = ?", {SqlValue(line->IDTOV)});
        const bool known = rs && rs->next();
        if (rs) rs->close();
        if (!known) {
            reason = "neznámy tovar '" + line->IDTOV + "'";
            break;
        }
    }
    db->close();
    return reason;
}

}  // namespace

std::string Trekora::preskladnenieZPC() {
    Console::print("start preskladnenieZPC() ...");
    const std::string cdok = getCdok("19");
    if (cdok.empty() || cdok.rfind("chyba", 0) == 0) {
        const auto cut = cdok.find(",,");
        return "chyba!,," + (cut == std::string::npos ? std::string("nemôžem zistiť číslo dokladu")
                                                       : cdok.substr(cut + 2));
    }
    for (const auto& line : tempPoloArray) {
        line->CDOK = cdok;
        line->STR = str;
    }
    std::string json;
    try {
        json = TempPoloItem::encodeArray(tempPoloArray);
    } catch (const std::exception& e) {
        Console::print(e.what());
        return std::string("chyba!,,") + e.what();
    }
    const std::string body = "request=" + json;
    Console::print(body);

    // The completion only decodes; the lines are replaced here, on the
    // caller's thread, after the wait.
    auto semaphore = std::make_shared<platform::DispatchSemaphore>(0);
    auto outcome = std::make_shared<Outcome>();
    ObjednavkyHttp::post(
        nastaveniaItem->FBCONNECTIONSTRING, body, ObjednavkyHttp::Side::exportSide,
        [semaphore, outcome](const ObjednavkyHttp::Reply& reply) {
            if (reply.error) {
                outcome->result = "chyba!,," + reply.error->localizedDescription();
            } else if (!reply.response) {
                outcome->result = "chyba!,,ziadna odpoved z PC!";
            } else {
                const int status = reply.response->statusCode();
                const std::string text = platform::HttpUrlResponse::localizedString(status);
                Console::print("statusCode: " + std::to_string(status));
                Console::print("statusMessage: " + text);
                if (status != 200) {
                    outcome->result = "chyba!,," + platform::format("%i", status) + " " + text;
                } else if (!reply.data) {
                    outcome->result = "chyba!,,ziadne data z PC!";
                } else {
                    const std::string rule(30, '=');
                    Console::print(*reply.data);
                    Console::print(rule);
                    Console::print("preskladnenie");
                    Console::print(rule);
                    Console::print(*reply.data);
                    try {
                        outcome->lines = PreskladnenieItem::decodeArrayFromText(*reply.data);
                        Console::print(std::to_string(outcome->lines.size()));
                        for (const auto& line : outcome->lines) Console::print(line->description());
                        if (outcome->lines.empty()) outcome->result = "chyba!,,ziadne data z PC! (prazdne pole)";
                    } catch (const std::exception& e) {
                        Console::print(e.what());
                        outcome->lines.clear();
                        outcome->result = std::string("chyba!,,") + e.what();
                    }
                }
            }
            semaphore->signal();
        });
    if (!ObjednavkyHttp::await(*semaphore)) return std::string("chyba!,,") + ObjednavkyHttp::timeoutText;
    if (outcome->result.rfind("ok", 0) != 0) return outcome->result;

    const std::string reason = checkLines(dbURL, outcome->lines);
    if (!reason.empty()) {
        Console::print("preskladnenie odmietnuté: " + reason);
        return "chyba!,," + reason;
    }
    tempPoloArray.clear();
    for (const auto& received : outcome->lines) {
        auto line = std::make_shared<TempPoloItem>();
        tempPoloArray.push_back(line);
        line->IDTOV = received->IDTOV;
        line->MNOZ = received->MNOZ;
        line->DATUMSPOTREBY = received->DATUMSPOTREBY;
        line->ZLAVA1 = line->ZLAVA2 = line->ZLAVAC = "0";
        line->IDO = selectedOdberatelItem->IDO;
        line->POHYB = platform::format("%lld", static_cast<long long>(selectedTypDokladuItem->pohyb));
    }
    if (!tempVetyArray.empty())
        tempVetyArray.front()->INFO = "V:" + platform::format("%lld", static_cast<long long>(outcome->lines.back()->CDOK));
    return "ok,,";
}
