#pragma once

#include "records/ObjOdbeItem.h"
#include "records/ObjPoloItem.h"
#include "records/OptionalField.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The header of an exchanged document (a row of table vety) with its lines and
// customer copies, so that a whole document travels as one JSON object.
// Every field is optional: absent in a new record. JSON: one object whose
// members are the field names; every member is written (absent as null) in
// field order; on reading every member is optional (missing or null leaves
// the field absent) but a present value must have the field's JSON kind.
// Members with other names are ignored. Shared by std::shared_ptr.
class ObjVetyItem {
public:
    std::optional<std::int64_t> CDOK;
    std::optional<std::string> DATUM;
    std::optional<std::string> CAS;
    std::optional<std::int64_t> STR;
    std::optional<std::int64_t> IDU;
    std::optional<std::string> MENO;
    std::optional<std::int64_t> IDO;
    std::optional<std::int64_t> IDOPL;
    std::optional<std::string> IDOSC;
    std::optional<std::string> ICO;
    std::optional<std::int64_t> POHYB;
    std::optional<double> SMJ;
    std::optional<double> DODZLA;
    std::optional<std::string> DATUM3;
    std::optional<double> SUMDOKZ;
    std::optional<std::string> INFO;
    std::optional<std::int64_t> CTL;
    std::optional<std::string> PARDOK;
    std::optional<std::int64_t> PARCDOK;
    std::optional<std::int64_t> PORCDOK;
    std::optional<std::int64_t> OBJCDOK;
    std::optional<std::string> IMPORTOVAT;
    std::optional<std::vector<std::shared_ptr<ObjPoloItem>>> POLOZKY;
    std::optional<std::vector<std::shared_ptr<ObjOdbeItem>>> ODBERATELIA;

    // The scalar fields in declaration order (POLOZKY and ODBERATELIA follow them).
    static const OptionalFieldList<ObjVetyItem>& fields();

    // Throws JsonCodingError (a floating value that is not finite).
    nlohmann::ordered_json encode(const std::string& path = "") const;
    // Throws JsonCodingError; no record results from a failed decoding.
    static std::shared_ptr<ObjVetyItem> decode(const nlohmann::json& json, const std::string& path = "");

    std::string description() const;
};
