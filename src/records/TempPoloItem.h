#pragma once

#include "records/TextField.h"

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <string>
#include <vector>

// One line of the temporary document: one goods-and-batch pair with a quantity.
// Every field is a text, empty in a new record. Shared by std::shared_ptr.
class TempPoloItem {
public:
    std::string TEMP_VETY_ID = "";
    std::string IDO = "";
    std::string IDTOV = "";
    std::string MNOZ = "";
    std::string DATUMSPOTREBY = "";
    std::string POHYB = "";
    std::string ZLAVA1 = "";
    std::string ZLAVA2 = "";
    std::string ZLAVAC = "";
    std::string CDOK = "";
    std::string STR = "";

    // The fields in declaration order; a field's name is also its column.
    static const TextFieldList<TempPoloItem>& fields();

    // JSON: one object with every field as a JSON string member, in field
    // order (an empty text is "", never null or left out).
    nlohmann::ordered_json encode(const std::string& path = "") const;
    // Every member must be present and hold a JSON string; other members are
    // ignored. Throws JsonCodingError; no record results from a failed decoding.
    static std::shared_ptr<TempPoloItem> decode(const nlohmann::json& json, const std::string& path = "");

    // The lines as one compact JSON array text (no blanks or line breaks),
    // elements in list order; no lines give "[]". Throws JsonCodingError when
    // a field is not UTF-8 text.
    static std::string encodeArray(const std::vector<std::shared_ptr<TempPoloItem>>& lines);

    std::string description() const;
};
