#pragma once

#include "records/RowDictionary.h"
#include "records/TextField.h"

#include <memory>
#include <string>

// A stock batch of one good with its expiry date.
// Every field is a text, empty in a new record. Shared by std::shared_ptr.
class DatumSpotrebyItem {
public:
    std::string SKLAD_ID = "";
    std::string SKLAD_STAV = "";
    std::string IDTOV = "";
    std::string SARZA_ID = "";
    std::string SARZA_STAV = "";
    std::string DATUMSPOTREBY = "";
    std::string FDATSPOT = "";
    std::string VYBRANE = "";

    // The fields in declaration order; a field's name is also its column.
    static const TextFieldList<DatumSpotrebyItem>& fields();

    // A new record with each field copied from the row's column of the same
    // name (the empty text where the row has no such column).
    static std::shared_ptr<DatumSpotrebyItem> fromRow(const RowDictionary& row);
    void fillFromRow(const RowDictionary& row);

    std::string description() const;
};
