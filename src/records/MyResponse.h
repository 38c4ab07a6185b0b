#pragma once

#include "records/ObjVetyItem.h"

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A reply carrying a response text and a list of documents. Both fields are
// optional and absent in a new record. JSON: only the present members are
// written (a reply with both absent is {}); on reading both are optional and
// other members are ignored.
class MyResponse {
public:
    std::optional<std::string> RESPONSE;
    std::optional<std::vector<std::shared_ptr<ObjVetyItem>>> DOKLADY;

    // Throws JsonCodingError (a floating value that is not finite).
    nlohmann::ordered_json encode(const std::string& path = "") const;
    // Throws JsonCodingError; no record results from a failed decoding.
    static std::shared_ptr<MyResponse> decode(const nlohmann::json& json, const std::string& path = "");

    std::string description() const;
};
