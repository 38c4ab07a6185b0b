#pragma once

#include "records/RowDictionary.h"
#include "records/TextField.h"

#include <memory>
#include <string>

// One goods line of a customer's price list and, once VYBRANE holds a quantity,
// a line of the document being written. The first 22 fields are columns of
// the price-list query, the last six are working fields of the recomputation.
// Every field is a text, empty in a new record. Shared by std::shared_ptr.
class TovarItem {
public:
    std::string IDTOV = "";
    std::string NAZTOV1 = "";
    std::string NAZTOV2 = "";
    std::string EAN = "";
    std::string EAN_OB = "";
    std::string SKLAD_STAV = "";
    std::string CENA = "";
    std::string DPH = "";
    std::string SDPH = "";
    std::string ZLAVA1 = "";
    std::string ZLAVA2 = "";
    std::string DATUM_OD = "";
    std::string DATUM_DO = "";
    std::string ZLAVA3 = "";
    std::string CENA1 = "";
    std::string CENA2 = "";
    std::string CENA3 = "";
    std::string MAXZLA = "";
    std::string AKCZLA = "";
    std::string MJ = "";
    std::string VYBRANE = "";
    std::string KORUNKA = "";
    std::string CENA3SDPH = "";
    std::string CCMNOZ = "";
    std::string HDPHCC = "";
    std::string CCSUM = "";
    std::string SUMDOKZ = "";
    std::string SUMDOKZ_KORUNKA = "";

    // The fields in declaration order; a field's name is also its column.
    static const TextFieldList<TovarItem>& fields();

    // A new record with each field copied from the row's column of the same
    // name (the empty text where the row has no such column).
    static std::shared_ptr<TovarItem> fromRow(const RowDictionary& row);
    void fillFromRow(const RowDictionary& row);

    std::string description() const;
};
