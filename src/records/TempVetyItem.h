#pragma once

#include "records/TextField.h"

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <string>

// The header of the temporary document that is posted next.
// Every field is a text, empty in a new record. Shared by std::shared_ptr.
class TempVetyItem {
public:
    std::string IDU = "";
    std::string IDO = "";
    std::string INFO = "";
    std::string KM = "";
    std::string FACVSET = "";
    std::string FACNAS = "";
    std::string TRASA = "";
    std::string POHYB = "";
    std::string DATUM3 = "";
    std::string SUMDOKZ = "";
    std::string PARCDOK = "";
    std::string OBJCDOK = "";

    // The fields in declaration order; a field's name is also its column.
    static const TextFieldList<TempVetyItem>& fields();

    // JSON: one object with every field as a JSON string member, in field
    // order (an empty text is "", never null or left out).
    nlohmann::ordered_json encode(const std::string& path = "") const;
    // Every member must be present and hold a JSON string; other members are
    // ignored. Throws JsonCodingError; no record results from a failed decoding.
    static std::shared_ptr<TempVetyItem> decode(const nlohmann::json& json, const std::string& path = "");

    std::string description() const;
};
