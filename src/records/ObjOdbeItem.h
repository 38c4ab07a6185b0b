#pragma once

#include "records/OptionalField.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The customer copy of an exchanged document (a row of table odbe).
// Every field is optional: absent in a new record. JSON: one object whose
// members are the field names; every member is written (absent as null) in
// field order; on reading every member is optional (missing or null leaves
// the field absent) but a present value must have the field's JSON kind.
// Members with other names are ignored. Shared by std::shared_ptr.
class ObjOdbeItem {
public:
    std::optional<std::int64_t> IDO;
    std::optional<std::string> IDOSC;
    std::optional<std::int64_t> STR;
    std::optional<std::string> ICO;
    std::optional<std::string> DIC;
    std::optional<std::string> NAZOV1;
    std::optional<std::string> NAZOV2;
    std::optional<std::string> ULICA;
    std::optional<std::string> MESTO;
    std::optional<std::string> PSC;
    std::optional<std::string> TELC;
    std::optional<std::string> FAXC;
    std::optional<std::int64_t> IDOPL;
    std::optional<std::int64_t> MATICA;
    std::optional<double> ZLAVA;
    std::optional<double> ZLMAX;
    std::optional<std::int64_t> POHYB;
    std::optional<std::int64_t> MATIC2;
    std::optional<std::int64_t> CTLAC;
    std::optional<std::string> IDOSCC;
    std::optional<std::string> ICDPH;
    std::optional<std::int64_t> CDOK;

    // The scalar fields in declaration order.
    static const OptionalFieldList<ObjOdbeItem>& fields();

    // Throws JsonCodingError (a floating value that is not finite).
    nlohmann::ordered_json encode(const std::string& path = "") const;
    // Throws JsonCodingError; no record results from a failed decoding.
    static std::shared_ptr<ObjOdbeItem> decode(const nlohmann::json& json, const std::string& path = "");

    std::string description() const;
};
