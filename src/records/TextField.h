#pragma once

#include "records/ReflectedDescription.h"
#include "records/RowDictionary.h"

#include <string>
#include <string_view>
#include <vector>

// One text field of a record: its name (also its column and JSON key) and
// where it is stored. The records list their fields in declaration order, so
// the helpers below fill, print and code them in that order.
template <class Record>
struct TextField {
    const char* name;
    std::string Record::*member;
};

template <class Record>
using TextFieldList = std::vector<TextField<Record>>;

// Sets every listed field from the row's column of the same name; a field
// whose column the row lacks becomes the empty text.
template <class Record>
void fillTextFieldsFromRow(Record& record, const TextFieldList<Record>& fields, const RowDictionary& row) {
    for (const auto& field : fields) {
        auto it = row.find(field.name);
        record.*(field.member) = it == row.end() ? std::string() : it->second;
    }
}

template <class Record>
std::string describeTextFields(std::string_view typeName, const Record& record,
                               const TextFieldList<Record>& fields) {
    ReflectedDescription description(typeName);
    for (const auto& field : fields) description.text(field.name, record.*(field.member));
    return description.str();
}
