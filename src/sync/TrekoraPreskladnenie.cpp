// The stock transfer of a goods receipt: the receipt's lines go to the
// office PC, whose answer (the lines actually transferred) takes their place.

#include "core/CoreDb.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlValue.h"
#include "platform/Console.h"
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
        // A text without ",," has no reason of its own: the general one is given.
        const std::string reason = ResultString::reason(cdok);
        return "chyba!,," + (reason == cdok ? std::string("nemôžem zistiť číslo dokladu") : reason);
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

    // The reply is only decoded on the session's queue; the lines are
    // replaced here, on the caller's thread, after the wait.
    auto lines = std::make_shared<std::vector<std::shared_ptr<PreskladnenieItem>>>();
    const std::string result = ObjednavkyHttp::postAndWait(
        nastaveniaItem->FBCONNECTIONSTRING, body, ObjednavkyHttp::Side::exportSide,
        [lines](const ObjednavkyHttp::Reply& reply) -> std::string {
            if (reply.error) return "chyba!,," + reply.error->localizedDescription();
            if (!reply.response) return "chyba!,,ziadna odpoved z PC!";
            const int status = reply.response->statusCode();
            const std::string text = platform::HttpUrlResponse::localizedString(status);
            Console::print("statusCode: " + std::to_string(status));
            Console::print("statusMessage: " + text);
            if (status != 200) return "chyba!,," + reply.response->statusDescription();
            if (!reply.data) return "chyba!,,ziadne data z PC!";
            const std::string rule(30, '=');
            Console::print(*reply.data);
            Console::print(rule);
            Console::print("preskladnenie");
            Console::print(rule);
            Console::print(*reply.data);
            try {
                *lines = PreskladnenieItem::decodeArrayFromText(*reply.data);
            } catch (const std::exception& e) {
                Console::print(e.what());
                lines->clear();
                return std::string("chyba!,,") + e.what();
            }
            Console::print(std::to_string(lines->size()));
            for (const auto& line : *lines) Console::print(line->description());
            if (lines->empty()) return "chyba!,,ziadne data z PC! (prazdne pole)";
            return "ok,,";
        });
    if (!ResultString::isSuccess(result)) return result;

    const std::string reason = checkLines(dbURL, *lines);
    if (!reason.empty()) {
        Console::print("preskladnenie odmietnuté: " + reason);
        return "chyba!,," + reason;
    }
    tempPoloArray.clear();
    for (const auto& received : *lines) {
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
        tempVetyArray.front()->INFO = "V:" + platform::format("%lld", static_cast<long long>(lines->back()->CDOK));
    return "ok,,";
}
