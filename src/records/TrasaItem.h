#pragma once

#include "records/RowDictionary.h"
#include "records/TextField.h"

#include <memory>
#include <string>

// A stop on a route.
// Every field is a text, empty in a new record. Shared by std::shared_ptr.
class TrasaItem {
public:
    std::string TRASA_CISLO = "";
    std::string PORADIE = "";
    std::string IDOSC = "";
    std::string IDO = "";

    // The fields in declaration order; a field's name is also its column.
    static const TextFieldList<TrasaItem>& fields();

    // A new record with each field copied from the row's column of the same
    // name (the empty text where the row has no such column).
    static std::shared_ptr<TrasaItem> fromRow(const RowDictionary& row);
    void fillFromRow(const RowDictionary& row);

    std::string description() const;
};
