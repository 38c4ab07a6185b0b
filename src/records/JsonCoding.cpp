#include "records/JsonCoding.h"

#include <cmath>

namespace jsoncoding {

namespace {

using Kind = JsonCodingError::Kind;

const Json& member(const Json& object, const char* key, const std::string& path, bool& found) {
    static const Json none;
    requireObject(object, path);
    auto it = object.find(key);
    found = it != object.end();
    return found ? *it : none;
}

[[noreturn]] void mismatch(const Json& value, const std::string& path, const char* expected) {
    if (value.is_null())
        throw JsonCodingError(Kind::valueNotFound, path, std::string("Expected ") + expected + " but found null");
    throw JsonCodingError(Kind::typeMismatch, path,
                          std::string("Expected ") + expected + " but found " + kindName(value));
}

}  // namespace

std::string memberPath(const std::string& path, std::string_view key) {
    if (path.empty()) return std::string(key);
    return path + "." + std::string(key);
}

std::string elementPath(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

std::string kindName(const Json& value) {
    switch (value.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::object: return "an object";
    case Json::value_t::array: return "an array";
    case Json::value_t::string: return "a string";
    case Json::value_t::boolean: return "a boolean";
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: return "a number";
    case Json::value_t::binary: return "binary data";
    case Json::value_t::discarded: break;
    }
    return "an invalid value";
}

void requireObject(const Json& value, const std::string& path) {
    if (!value.is_object()) mismatch(value, path, "an object");
}

void requireArray(const Json& value, const std::string& path) {
    if (!value.is_array()) mismatch(value, path, "an array");
}

std::string readString(const Json& value, const std::string& path) {
    if (!value.is_string()) mismatch(value, path, "a string");
    return value.get<std::string>();
}

std::int64_t readInteger(const Json& value, const std::string& path) {
    switch (value.type()) {
    case Json::value_t::number_integer:
        return value.get<std::int64_t>();
    case Json::value_t::number_unsigned: {
        auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(INT64_MAX)) return static_cast<std::int64_t>(number);
        break;
    }
    case Json::value_t::number_float: {
        double number = value.get<double>();
        // -2^63 is exact as a double; 2^63 is the first value past the range.
        if (std::isfinite(number) && std::trunc(number) == number && number >= -9223372036854775808.0 &&
            number < 9223372036854775808.0)
            return static_cast<std::int64_t>(number);
        break;
    }
    default:
        mismatch(value, path, "a whole number");
    }
    throw JsonCodingError(Kind::typeMismatch, path,
                          "The number " + value.dump() + " is not a whole number in the 64-bit range");
}

double readFloating(const Json& value, const std::string& path) {
    if (!value.is_number()) mismatch(value, path, "a number");
    return value.get<double>();
}

std::string requireString(const Json& object, const char* key, const std::string& path) {
    bool found = false;
    const Json& value = member(object, key, path, found);
    if (!found)
        throw JsonCodingError(Kind::keyNotFound, path, std::string("No value for key \"") + key + "\"");
    return readString(value, memberPath(path, key));
}

std::int64_t requireInteger(const Json& object, const char* key, const std::string& path) {
    bool found = false;
    const Json& value = member(object, key, path, found);
    if (!found)
        throw JsonCodingError(Kind::keyNotFound, path, std::string("No value for key \"") + key + "\"");
    return readInteger(value, memberPath(path, key));
}

std::optional<std::string> optionalString(const Json& object, const char* key, const std::string& path) {
    bool found = false;
    const Json& value = member(object, key, path, found);
    if (!found || value.is_null()) return std::nullopt;
    return readString(value, memberPath(path, key));
}

std::optional<std::int64_t> optionalInteger(const Json& object, const char* key, const std::string& path) {
    bool found = false;
    const Json& value = member(object, key, path, found);
    if (!found || value.is_null()) return std::nullopt;
    return readInteger(value, memberPath(path, key));
}

std::optional<double> optionalFloating(const Json& object, const char* key, const std::string& path) {
    bool found = false;
    const Json& value = member(object, key, path, found);
    if (!found || value.is_null()) return std::nullopt;
    return readFloating(value, memberPath(path, key));
}

OrderedJson writeFloating(double value, const std::string& path) {
    if (!std::isfinite(value))
        throw JsonCodingError(Kind::invalidValue, path, "Cannot encode the non-finite number " +
                                                            std::string(std::isnan(value) ? "nan" : "inf"));
    return OrderedJson(value);
}

std::string dumpCompact(const OrderedJson& value) {
    try {
        return value.dump();
    } catch (const nlohmann::json::exception& error) {
        throw JsonCodingError(Kind::invalidValue, "", std::string("Cannot encode the text: ") + error.what());
    }
}

Json parse(std::string_view text) {
    try {
        return Json::parse(text.begin(), text.end());
    } catch (const nlohmann::json::exception& error) {
        throw JsonCodingError(Kind::dataCorrupted, "", std::string("The data is not valid JSON: ") + error.what());
    }
}

}  // namespace jsoncoding
