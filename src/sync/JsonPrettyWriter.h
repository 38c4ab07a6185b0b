#pragma once

#include <nlohmann/json.hpp>

#include <string>

// The indented JSON form in which the order export writes its documents:
// one member or element a line, two blanks a level, " : " between a key and
// its value, a "/" written as "\/", letters outside ASCII unescaped. Floating
// values with a whole value are written without a decimal point (20, not
// 20.0); empty arrays and objects are "[]" and "{}".
class JsonPrettyWriter {
public:
    // Throws nlohmann::json::type_error when a text is not UTF-8.
    static std::string write(const nlohmann::ordered_json& value);

private:
    static void writeValue(std::string& out, const nlohmann::ordered_json& value, int level);
    static void writeString(std::string& out, const std::string& text);
    static void writeNumber(std::string& out, const nlohmann::ordered_json& value);
};
