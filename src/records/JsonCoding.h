#pragma once

#include "records/JsonCodingError.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Strict JSON reading and writing shared by the records: a member is taken
// only when it holds the field's own JSON kind (no text is read as a number
// or the other way round); every failure is a JsonCodingError naming the
// member's path. Records write with nlohmann::ordered_json, so their members
// appear in field order.
namespace jsoncoding {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// "POLOZKY" + "[2]" -> "POLOZKY[2]"; "" + "CDOK" -> "CDOK"; "[0]" + "CDOK" -> "[0].CDOK"
std::string memberPath(const std::string& path, std::string_view key);
std::string elementPath(const std::string& path, std::size_t index);

// Name of a value's JSON kind for messages: "a string", "a number", "null", ...
std::string kindName(const Json& value);

// Fails unless the value is a JSON object / array.
void requireObject(const Json& value, const std::string& path);
void requireArray(const Json& value, const std::string& path);

// Required members: missing -> keyNotFound, null -> valueNotFound, other kind -> typeMismatch.
std::string requireString(const Json& object, const char* key, const std::string& path);
std::int64_t requireInteger(const Json& object, const char* key, const std::string& path);

// Optional members: a missing member or null gives no value; another kind fails.
std::optional<std::string> optionalString(const Json& object, const char* key, const std::string& path);
std::optional<std::int64_t> optionalInteger(const Json& object, const char* key, const std::string& path);
std::optional<double> optionalFloating(const Json& object, const char* key, const std::string& path);

// The value of a present member, read as the given kind.
std::string readString(const Json& value, const std::string& path);
// A JSON number with a whole value in the signed 64-bit range (12 and 12.0; not 12.5).
std::int64_t readInteger(const Json& value, const std::string& path);
// Any JSON number.
double readFloating(const Json& value, const std::string& path);

// A floating value for writing; fails (invalidValue) when it is not finite.
OrderedJson writeFloating(double value, const std::string& path);

// Compact JSON text (no blanks or line breaks); fails (invalidValue) on text
// that is not UTF-8.
std::string dumpCompact(const OrderedJson& value);

// Parses a JSON text; fails with dataCorrupted when it is not JSON.
Json parse(std::string_view text);

// Decodes an array whose every element is one record of Record (through
// Record::decode(element, path)); any failing element fails the whole array.
template <class Record>
std::vector<std::shared_ptr<Record>> decodeArray(const Json& value, const std::string& path) {
    requireArray(value, path);
    std::vector<std::shared_ptr<Record>> records;
    records.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i)
        records.push_back(Record::decode(value[i], elementPath(path, i)));
    return records;
}

// Writes a list of records (through Record::encode(path)) as an array.
template <class Record>
OrderedJson encodeArray(const std::vector<std::shared_ptr<Record>>& records, const std::string& path) {
    OrderedJson array = OrderedJson::array();
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!records[i])
            throw JsonCodingError(JsonCodingError::Kind::invalidValue, elementPath(path, i),
                                  "Cannot encode a missing record");
        array.push_back(records[i]->encode(elementPath(path, i)));
    }
    return array;
}

}  // namespace jsoncoding
