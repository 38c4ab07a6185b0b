#pragma once

#include "records/OptionalField.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// One line of an exchanged document (a row of table polo).
// Every field is optional: absent in a new record. JSON: one object whose
// members are the field names; every member is written (absent as null) in
// field order; on reading every member is optional (missing or null leaves
// the field absent) but a present value must have the field's JSON kind.
// Members with other names are ignored. Shared by std::shared_ptr.
class ObjPoloItem {
public:
    std::optional<std::int64_t> CDOK;
    std::optional<std::string> DATUM;
    std::optional<std::int64_t> STR;
    std::optional<std::int64_t> IDO;
    std::optional<std::int64_t> POHYB;
    std::optional<std::string> IDTOV;
    std::optional<std::string> IDTOVSC;
    std::optional<std::int64_t> SKUTOV1;
    std::optional<std::int64_t> SKUTOV2;
    std::optional<std::string> NAZTOV1;
    std::optional<std::string> NAZTOV2;
    std::optional<std::string> MJ;
    std::optional<double> DPH;
    std::optional<double> MNOZ;
    std::optional<double> CENA;
    std::optional<double> ZLAVA1;
    std::optional<double> CENA1;
    std::optional<double> ZLAVA2;
    std::optional<double> CENA2;
    std::optional<double> ZLAVAC;
    std::optional<double> CENAC;
    std::optional<double> CCMNOZ;
    std::optional<double> HDPHCC;
    std::optional<double> CCSUM;
    std::optional<std::string> SARZA;
    std::optional<std::string> DATUMSPOTREBY;
    std::optional<std::string> EAN;
    std::optional<std::string> EAN_OB;

    // The scalar fields in declaration order.
    static const OptionalFieldList<ObjPoloItem>& fields();

    // Throws JsonCodingError (a floating value that is not finite).
    nlohmann::ordered_json encode(const std::string& path = "") const;
    // Throws JsonCodingError; no record results from a failed decoding.
    static std::shared_ptr<ObjPoloItem> decode(const nlohmann::json& json, const std::string& path = "");

    std::string description() const;
};
