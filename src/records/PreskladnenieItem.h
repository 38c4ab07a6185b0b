#pragma once

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One line of the office server's answer to a stock transfer. JSON: every
// member required, "CDOK" a JSON number with a whole value, the three texts
// JSON strings; other members ignored.
class PreskladnenieItem {
public:
    std::int64_t CDOK = 0;
    std::string IDTOV = "";
    std::string MNOZ = "";
    std::string DATUMSPOTREBY = "";

    nlohmann::ordered_json encode(const std::string& path = "") const;
    // Throws JsonCodingError; no record results from a failed decoding.
    static std::shared_ptr<PreskladnenieItem> decode(const nlohmann::json& json, const std::string& path = "");

    // The whole answer: a JSON array of lines, decoded in array order. A
    // text that is not JSON, a top level that is not an array, or any element
    // that fails fails the whole answer (throws JsonCodingError).
    static std::vector<std::shared_ptr<PreskladnenieItem>> decodeArray(const nlohmann::json& json);
    static std::vector<std::shared_ptr<PreskladnenieItem>> decodeArrayFromText(std::string_view jsonText);

    std::string description() const;
};
