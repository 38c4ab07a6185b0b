#pragma once

#include "records/TextField.h"

#include <memory>
#include <string>

// One editable parameter of a document type's parameter form.
// Every field is a text, empty in a new record. Shared by std::shared_ptr.
class ParameterItem {
public:
    std::string GROUPNAME = "";
    std::string NAME = "";
    std::string TYPE = "";
    std::string CAPTION = "";
    std::string VALUE = "";
    std::string DISPLAYVALUE = "";
    std::string MIN = "";
    std::string MAX = "";
    std::string LOOKUPQUERY = "";
    std::string LOOKUPFIELD = "";
    std::string DISPLAYFIELD = "";

    // The fields in declaration order; a field's name is also its column.
    static const TextFieldList<ParameterItem>& fields();

    std::string description() const;
};
