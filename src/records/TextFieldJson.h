#pragma once

#include "records/JsonCoding.h"
#include "records/TextField.h"

// JSON coding of records whose fields are texts that are never absent:
// every member is written as a JSON string (an empty text as ""), and every
// member is required on reading and must hold a JSON string.
template <class Record>
jsoncoding::OrderedJson encodeTextFields(const Record& record, const TextFieldList<Record>& fields) {
    jsoncoding::OrderedJson object = jsoncoding::OrderedJson::object();
    for (const auto& field : fields) object[field.name] = record.*(field.member);
    return object;
}

template <class Record>
void decodeTextFields(Record& record, const TextFieldList<Record>& fields, const jsoncoding::Json& object,
                      const std::string& path) {
    jsoncoding::requireObject(object, path);
    for (const auto& field : fields) record.*(field.member) = jsoncoding::requireString(object, field.name, path);
}
