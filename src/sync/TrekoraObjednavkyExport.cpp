// The orders for delivery that the office does not hold yet, read with their
// lines and customer copies as records of the order exchange.

#include "core/CoreDb.h"
#include "core/Trekora.h"
#include "core/TrekoraError.h"
#include "db/SqlDatabase.h"
#include "db/SqlResultSet.h"
#include "db/SqlValue.h"
#include "platform/Console.h"
#include "records/ObjVetyItem.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>

using platform::Console;

namespace {

// Fills every field from the column of its name; a NULL or missing column
// leaves the field absent.
template <class Record>
void fill(Record& record, SqlResultSet& rs) {
    for (const auto& field : Record::fields()) {
        const int index = rs.columnIndexForName(field.name);
        std::visit(
            [&](auto member) {
                auto& value = record.*member;
                using Value = typename std::remove_cvref_t<decltype(value)>::value_type;
                value.reset();
                if (index < 0 || rs.columnIndexIsNull(index)) return;
                if constexpr (std::is_same_v<Value, std::int64_t>)
                    value = static_cast<std::int64_t>(rs.longLongIntForColumnIndex(index));
                else if constexpr (std::is_same_v<Value, double>)
                    value = rs.doubleForColumnIndex(index);
                else
                    value = rs.stringForColumnIndex(index);
            },
            field.member);
    }
}

// A whole decimal number, nothing else.
std::optional<std::int64_t> wholeNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || end == text.c_str() || text[0] == ' ') return std::nullopt;
    return value;
}

}  // namespace

std::vector<std::shared_ptr<ObjVetyItem>> Trekora::getObjednavkyNaExport(std::string* chyba) {
    Console::print("start getObjednavkyNaExport() ...");
    std::vector<std::shared_ptr<ObjVetyItem>> result;
    auto fail = [&](const std::string& reason) {
        Console::print(reason);
        if (chyba) *chyba = reason;
    };
    auto db = coredb::openDatabase(dbURL);
    if (!db) {
        fail("chyba!,,nemôžem otvoriť databázu");
        return result;
    }

    const std::string answer = getLastCdok();
    if (!ResultString::isSuccess(answer)) {
        fail(answer);
        db->close();
        return result;
    }
    const auto last = wholeNumber(ResultString::reason(answer));
    if (!last) {
        fail("chyba!,,neplatné posledné číslo objednávky: " + ResultString::reason(answer));
        db->close();
        return result;
    }

    // Only the centre's own orders: the office's last number is that of this
    // centre.
    std::optional<SqlError> error;
    auto headers = db->executeQuery(
        "select * from vety where pohyb=40 and info like 'ZAVOZ:%' and str=@STR and cdok>@LASTEXPORTEDCDOK "
        "order by cdok;",
        {SqlValue(str), SqlValue(*last)}, &error);
    bool failed = !headers;
    if (headers) {
        while (headers->next()) {
            auto header = std::make_shared<ObjVetyItem>();
            result.push_back(header);
            fill(*header, *headers);
            header->IMPORTOVAT = "A";
        }
        headers->close();
    }
    for (const auto& header : result) {
        if (failed) break;
        const SqlValue cdok(header->CDOK.value_or(0));
        header->POLOZKY.emplace();
        auto lines = db->executeQuery("select * from polo where cdok=@CDOK order by id;", {cdok}, &error);
        if (!lines) {
            failed = true;
            break;
        }
        while (lines->next()) {
            auto line = std::make_shared<ObjPoloItem>();
            header->POLOZKY->push_back(line);
            fill(*line, *lines);
        }
        lines->close();
        header->ODBERATELIA.emplace();
        auto customers = db->executeQuery("select * from odbe where cdok=@CDOK;", {cdok}, &error);
        if (!customers) {
            failed = true;
            break;
        }
        while (customers->next()) {
            auto customer = std::make_shared<ObjOdbeItem>();
            header->ODBERATELIA->push_back(customer);
            fill(*customer, *customers);
        }
        customers->close();
    }
    db->close();
    if (failed) {
        // A shortened list could pass an order that was never read whole;
        // nothing is sent instead.
        const std::string message = error ? error->description : db->lastErrorMessage();
        Console::print("failed: " + message);
        fail("chyba!,," + message);
        result.clear();
    }
    Console::print("result......");
    Console::print(std::to_string(result.size()));
    return result;
}
