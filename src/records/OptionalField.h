#pragma once

#include "records/ReflectedDescription.h"
#include "records/JsonCoding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// One optional scalar field of an exchange record: its name (also its JSON
// key and table column) and where it is stored, as an integer, a floating
// value or a text. The records list their fields in declaration order.
template <class Record>
struct OptionalField {
    using IntegerMember = std::optional<std::int64_t> Record::*;
    using FloatingMember = std::optional<double> Record::*;
    using TextMember = std::optional<std::string> Record::*;

    const char* name;
    std::variant<IntegerMember, FloatingMember, TextMember> member;
};

template <class Record>
using OptionalFieldList = std::vector<OptionalField<Record>>;

template <class Record>
void describeOptionalFields(ReflectedDescription& description, const Record& record,
                            const OptionalFieldList<Record>& fields) {
    for (const auto& field : fields) {
        std::visit(
            [&](auto member) {
                using Value = typename std::remove_reference_t<decltype(record.*member)>::value_type;
                if constexpr (std::is_same_v<Value, std::int64_t>)
                    description.optionalInteger(field.name, record.*member);
                else if constexpr (std::is_same_v<Value, double>)
                    description.optionalFloating(field.name, record.*member);
                else
                    description.optionalText(field.name, record.*member);
            },
            field.member);
    }
}

// Writes every field: a present value as its JSON kind, an absent one as null.
template <class Record>
void encodeOptionalFields(jsoncoding::OrderedJson& object, const Record& record,
                          const OptionalFieldList<Record>& fields, const std::string& path) {
    for (const auto& field : fields) {
        std::visit(
            [&](auto member) {
                const auto& value = record.*member;
                using Value = typename std::remove_cvref_t<decltype(value)>::value_type;
                if (!value)
                    object[field.name] = nullptr;
                else if constexpr (std::is_same_v<Value, double>)
                    object[field.name] = jsoncoding::writeFloating(*value, jsoncoding::memberPath(path, field.name));
                else
                    object[field.name] = *value;
            },
            field.member);
    }
}

// Reads every field: a missing member or null leaves it absent; a value of
// another kind fails the whole decoding.
template <class Record>
void decodeOptionalFields(Record& record, const OptionalFieldList<Record>& fields, const jsoncoding::Json& object,
                          const std::string& path) {
    for (const auto& field : fields) {
        std::visit(
            [&](auto member) {
                auto& value = record.*member;
                using Value = typename std::remove_cvref_t<decltype(value)>::value_type;
                if constexpr (std::is_same_v<Value, std::int64_t>)
                    value = jsoncoding::optionalInteger(object, field.name, path);
                else if constexpr (std::is_same_v<Value, double>)
                    value = jsoncoding::optionalFloating(object, field.name, path);
                else
                    value = jsoncoding::optionalString(object, field.name, path);
            },
            field.member);
    }
}
