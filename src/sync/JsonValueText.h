#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

// Text forms of JSON values received from the office.
class JsonValueText {
public:
    // The plain text of a value: a string unchanged, a number in its decimal
    // form (a whole floating value without a decimal point: 12.0 -> "12"),
    // true/false as "1"/"0", null as "<null>"; an array or object as its
    // compact JSON text.
    static std::string of(const nlohmann::json& value);

    // The value of a stored column: absent (SQL NULL) for null and for the
    // text "<null>"; a number, text or truth value as of(); absent with
    // `refused` set for an array or object, which no column can hold.
    static std::optional<std::string> column(const nlohmann::json& value, bool& refused);

    // An order number in its text form: a JSON number as of() writes it (a
    // whole one without a decimal point: 9311.0 -> "9311"; one with a
    // fraction in its decimal text) or a string of decimal digits (after an
    // optional sign) unchanged; absent for anything else.
    static std::optional<std::string> orderNumber(const nlohmann::json& value);
    // The order number of an object's "CDOK" member; absent when `object` is
    // no object or has no such number.
    static std::optional<std::string> orderNumberOf(const nlohmann::json& object);
};
